// The ini reader on arbitrary bytes: never a crash, and text it writes reads
// back to the same sections, keys and values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemIniFile ini;
    ini.SetText(std::string(reinterpret_cast<const char*>(data), size));
    std::string text;
    if (!ini.GetText(text)) return 0;
    TMemIniFile back;
    back.SetText(text);
    const auto sections = ini.ReadSections();
    if (back.ReadSections().size() != sections.size()) std::abort();
    for (const auto& s : sections)
        for (const auto& k : ini.ReadSection(s))
            if (back.ReadString(s, k, "\x01missing") != ini.ReadString(s, k, "")) std::abort();
    return 0;
}
