// Exporting a type and its tables to one semicolon-separated text file and
// importing them back. The file work is done by plain functions; the two
// commands of the type window run them with the user's choices.
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct TCsvElements;
class TTypeData6;
class TTypeObjectData;
class TfrmTypeObject;

// The definition as an import of the parameters starts it: one language,
// no parameter, one data set.
void ResetTypeForCSVImport(TTypeData6& type);

// The name the export proposes: the window's name with its extension
// replaced by ".csv", so that saving at once never writes over the type
// file; a name without extension stays as it is.
std::string CsvExportFileName(const std::string& displayName);

// How a CSV export ended.
struct TCsvExportResult {
    bool PartFailed = false;  // the type's rows or a table block could not be written
    bool Saved = false;       // the whole file is in place under its name
};

// Writes the type's rows (languages chosen by flag, with parameters, with
// configuration), then the block of every chosen table, into the named
// file. A file that cannot be written completely is not put in place: the
// file of that name stays as it was.
TCsvExportResult WriteTypeCSVFile(TTypeObjectData& type, const std::string& fileName,
                                  std::span<const uint8_t> languages, bool parameters, bool configuration,
                                  std::span<const uint8_t> tables);

// Puts the chosen parts of what a scan of a CSV file read into the type:
// with parameters, the definition is replaced by the one the file holds
// (and the tables there are take its name as their owner's); every table
// whose flag is set (one flag per table read, in file order) is appended
// after the tables there are. False when a chosen part did not read: the
// type is then as it was.
bool ApplyCsvElements(TTypeObjectData& type, TCsvElements& read, bool parameters, std::span<const uint8_t> tables);

// The type window's commands: File > Export > CSV, and the import of a
// CSV file into the window (ask: the window already holds a type, so
// overwriting its parameters is asked first). True when something was
// imported.
void ExportTypeCSV(TfrmTypeObject& window);
bool ImportTypeCSV(TfrmTypeObject& window, const std::string& fileName, bool ask);
