// Type files (".mtp") from arbitrary bytes: never a crash; a refused file
// leaves the open type as it was, and an accepted one saves and reopens.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "SafeFile.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "Typedata.h"

namespace {

std::string Folder() {
    return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string input = Folder() + "/mtpfile_fuzz-" + std::to_string(getpid()) + ".mtp";
    static const std::string output = Folder() + "/mtpfile_fuzz-" + std::to_string(getpid()) + "-out.mtp";
    static const bool removeAtExit = [] {
        std::atexit([] {
            ::unlink(input.c_str());
            ::unlink(output.c_str());
        });
        return true;
    }();
    (void)removeAtExit;
    if (!ReplaceFileContents(input, std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    static uint8_t formats[100] = {};
    TTypeObjectData object(formats);
    object.SetTypeName("OPEN");
    object.AddTable()->SetName("Kept");
    const bool loaded = object.LoadFromFile(input);
    if (!loaded) {
        if (object.GetTypeName() != "OPEN" || object.GetTableCount() != 1) std::abort();
        return 0;
    }
    // What was read can be written and read again.
    if (!object.SaveToFile(output)) std::abort();
    TTypeObjectData again(formats);
    if (!again.LoadFromFile(output)) std::abort();
    if (again.GetTableCount() != object.GetTableCount() ||
        again.GetTypeData().GetParameterCount() != object.GetTypeData().GetParameterCount() ||
        again.GetTypeData().GetDataSetCount() != object.GetTypeData().GetDataSetCount())
        std::abort();
    for (int32_t i = 0; i < object.GetTableCount(); ++i)
        if (again.GetTable(i)->GetDataSetCount() != object.GetTable(i)->GetDataSetCount() ||
            again.GetTable(i)->GetRowCount() != object.GetTable(i)->GetRowCount())
            std::abort();
    return 0;
}
