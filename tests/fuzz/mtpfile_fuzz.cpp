// Type files (".mtp") from arbitrary bytes: never a crash; a refused file
// leaves the open type as it was, and an accepted one saves and reopens.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "SafeFile.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "Typedata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("mtpfile_fuzz", ".mtp");
    const std::string& input = files.Input;
    const std::string& output = files.Output;
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
