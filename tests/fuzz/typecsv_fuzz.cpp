// The type CSV import on arbitrary text: never a crash, the type stays
// within its limits, and what was read can be exported and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "CSVFile.h"
#include "FuzzFiles.h"
#include "SafeFile.h"
#include "TypeCSV.h"
#include "Typedata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("typecsv_fuzz", ".csv");
    const std::string& input = files.Input;
    const std::string& output = files.Output;
    if (!ReplaceFileContents(input, std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    static uint8_t formats[100] = {};
    TTypeData6 type(formats);
    type.SetLanguageCount(1);
    type.SetDataSetCount(1);
    uint32_t found = 0;
    {
        CSVFile file(input, false);
        if (!file.IsOpen()) return 0;
        ReadFromCSV(type, file, &found);
    }
    if (found > 15 || type.GetLanguageCount() > 10 || type.GetLanguageCount() < 1) std::abort();
    const std::vector<uint8_t> chosen(static_cast<size_t>(type.GetLanguageCount()), 1);
    {
        CSVFile file(output, true);
        if (!WriteToCSV(type, file, chosen, true, true) || !file.Close()) std::abort();
    }
    TTypeData6 again(formats);
    again.SetLanguageCount(1);
    again.SetDataSetCount(1);
    CSVFile file(output, false);
    if (!ReadFromCSV(again, file, &found)) std::abort();
    if (again.GetParameterCount() > type.GetParameterCount() || again.GetLanguageCount() != type.GetLanguageCount())
        std::abort();
    return 0;
}
