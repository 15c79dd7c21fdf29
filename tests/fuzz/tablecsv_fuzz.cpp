// The table CSV reader on arbitrary text: never a crash; a refused block
// leaves the table as it was; a block that reads writes back (in decimal)
// to a file that reads to the same table.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CSVFile.h"
#include "Tabledata.h"

namespace {

std::string FuzzFile(const char* what) {
    return "/tmp/qx-tablecsv-fuzz-" + std::to_string(::getpid()) + what;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

bool ReadTable(CSVFile& file, TTableData& table, bool& refused) {
    refused = false;
    try {
        return table.ReadFromCSV(file);
    } catch (const TModelLimit&) {
        refused = true;
    } catch (const EConvertError&) {
        refused = true;
    }
    return false;
}

void Same(TTableData& a, TTableData& b) {
    Check(a.GetName() == b.GetName());
    Check(a.GetFunction() == b.GetFunction() && a.GetBlock() == b.GetBlock() && a.GetCfg() == b.GetCfg() &&
          a.GetLevel() == b.GetLevel());
    Check(a.GetFieldCount() == b.GetFieldCount() && a.GetRowCount() == b.GetRowCount());
    for (int32_t f = 0; f < a.GetFieldCount(); ++f) {
        Check(a.GetField(f)->GetName() == b.GetField(f)->GetName());
        Check(a.GetField(f)->Size == b.GetField(f)->Size && a.GetField(f)->Flags == b.GetField(f)->Flags);
        for (int32_t r = 0; r < a.GetRowCount(); ++r) Check(a.GetValue(0, r, f) == b.GetValue(0, r, f));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = FuzzFile(".csv");
    std::FILE* f = std::fopen(input.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    CSVFile file(input, false);
    for (int block = 0; block < 4; ++block) {
        TTableData table;
        table.SetDataSetCount(1);
        bool refused = false;
        const bool found = ReadTable(file, table, refused);
        if (refused) {
            Check(table.GetFieldCount() == 0 && table.GetRowCount() == 0 && table.GetName().empty());
            break;
        }
        if (!found) break;
        const std::string output = FuzzFile("-out.csv");
        {
            CSVFile out(output, true);
            Check(table.WriteToCSV(out));
            Check(out.Close());
        }
        CSVFile again(output, false);
        TTableData back;
        back.SetDataSetCount(1);
        Check(ReadTable(again, back, refused) && !refused);
        Same(table, back);
    }
    return 0;
}
