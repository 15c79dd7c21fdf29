// The type part of a type's CSV file: rows of L + 5 fields (five fixed
// columns, then one per language), keyed by the program's own German words.
//
//   QX318Utility_Exported
//   Anzahl_Config-Switches;16
//   Ident-String;<type name>
//   \xA7Sprachen;;;;;<x for a chosen language>...
//   Bezeichner;Wert;Einheit;Min ;Max;<every language's name>...
//   \xA7Config                      (with the configuration)
//   SW16 .. SW01;<x when on in data set 0>;;;;<switch text per chosen language>...
//   \xA7Parameter                   (with the parameters)
//   <code>;<value in data set 0>;<units>;<min>;<max>;<text after the code per chosen language>...
//
// The table blocks follow (TTableData::WriteToCSV).
#pragma once

#include <cstdint>
#include <span>

class CSVFile;
class TTypeData6;

// Bits of ReadFromCSV's found mask.
enum : uint32_t {
    CSVFoundName = 1,
    CSVFoundLanguages = 2,
    CSVFoundSwitches = 4,
    CSVFoundParameters = 8,
};

// Writes the type's rows; chosen holds one flag per language (non-zero =
// chosen; languages beyond it are not chosen). False when a write failed.
bool WriteToCSV(const TTypeData6& type, CSVFile& file, std::span<const uint8_t> chosen, bool withParameters,
                bool withConfig);

// Reads the type's rows, adding languages and parameters to what the type
// holds. False when a number did not convert; reading goes on with the next
// row all the same. The found mask is stored also then.
bool ReadFromCSV(TTypeData6& type, CSVFile& file, uint32_t* found = nullptr);
