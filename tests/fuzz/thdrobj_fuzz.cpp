// The container reader on arbitrary files: opening, every section, nested
// containers in every section, and the table and type readers on them. Never
// a crash, and whatever opens is consistent with the file's size.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Tabledata.h"
#include "Thdrobj.h"
#include "Typedata.h"

namespace {

const std::string& FuzzFile() {
    static const std::string name = "/tmp/qx-thdrobj-fuzz-" + std::to_string(::getpid()) + ".bin";
    return name;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

void ReadEverything(THdrObj& c, uint64_t bytes, int depth) {
    Check(c.GetTotalSize() <= bytes);
    for (int32_t i = 0; i < c.GetSectionCount() && i < 64; ++i) {
        uint16_t id = 0, sub = 0;
        uint32_t size = 0;
        Check(c.GetSectionInfo(i, &id, &size, &sub) == 1);
        if (c.FindSection(id, sub) != i) continue;  // a later duplicate: never read
        uint32_t got = 0;
        const auto payload = c.ReadSectionAlloc(id, sub, &got);
        Check(payload && got == size);
        THdrMem nested;
        if (depth < 2 && nested.OpenFromSection(&c, id, "", sub)) {
            Check(nested.GetTotalSize() <= size);
            ReadEverything(nested, size, depth + 1);
            TTableData table;
            table.LoadFrom(nested);
            TTypeData6 type;
            type.LoadFrom(nested);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(FuzzFile().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    THdrFile file;
    if (file.Open(FuzzFile(), "")) {
        Check(file.GetTotalSize() == size);
        ReadEverything(file, size, 0);
        // The readers straight on the file as well.
        TTableData table;
        table.LoadFrom(file);
        TTypeData6 type;
        type.LoadFrom(file);
    }
    return 0;
}
