#include "TypeCSVCommands.h"

#include <memory>
#include <vector>

#include "Appinterface.h"
#include "CSVFile.h"
#include "CsvElementsSelect.h"
#include "Dialogs.h"
#include "MessageIds.h"
#include "Tabledata.h"
#include "TypeCSV.h"
#include "TypeObject.h"
#include "TypeWindow.h"
#include "Typedata.h"

namespace {

constexpr const char* CsvFileFilter = "CSV File (*.csv)|*.csv|Any File (*.*)|*.*";
constexpr const char* CsvFileExt = "*.csv";

bool Chosen(std::span<const uint8_t> flags, size_t i) { return i < flags.size() && flags[i] != 0; }

}  // namespace

void ResetTypeForCSVImport(TTypeData6& type) {
    type.SetLanguageCount(1);
    type.SetParameterCount(0);
    type.SetDataSetCount(1);
}

std::string CsvExportFileName(const std::string& displayName) {
    const size_t slash = displayName.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = displayName.rfind('.');
    // A leading dot names a hidden file, not an extension.
    if (dot == std::string::npos || dot <= start) return displayName;
    return displayName.substr(0, dot) + ".csv";
}

TCsvExportResult WriteTypeCSVFile(TTypeObjectData& type, const std::string& fileName,
                                  std::span<const uint8_t> languages, bool parameters, bool configuration,
                                  std::span<const uint8_t> tables) {
    TCsvExportResult result;
    CSVFile file(fileName, true);
    if (!file.IsOpen()) return result;
    bool good = WriteToCSV(type.GetTypeData(), file, languages, parameters, configuration) && file.Flush();
    for (int32_t i = 0; good && i < type.GetTableCount(); ++i)
        if (Chosen(tables, static_cast<size_t>(i)))
            if (TTableData* table = type.GetTable(i)) good = table->WriteToCSV(file);
    result.PartFailed = !good;
    // The file lands under its name only when every byte of it got there; a
    // write that failed on the way keeps it from being put in place.
    result.Saved = file.Close() && good;
    return result;
}

bool ReadTypeCSVFile(TTypeObjectData& type, CSVFile& file, bool parameters, std::span<const uint8_t> tables) {
    TTypeObjectData definition(type.GetDisplayFormats());
    if (parameters) {
        file.Rewind();
        ResetTypeForCSVImport(definition.GetTypeData());
        if (!ReadFromCSV(definition.GetTypeData(), file)) return false;
    }
    std::vector<std::unique_ptr<TTableData>> read;
    file.Rewind();
    for (size_t i = 0; i < tables.size(); ++i) {
        auto table = std::make_unique<TTableData>(type.GetDisplayFormats());
        table->SetDataSetCount(1);
        try {
            // The blocks were there when the file was scanned; one that is
            // missing now means the file changed under us.
            if (!table->ReadFromCSV(file)) return false;
        } catch (...) {
            return false;
        }
        if (tables[i]) read.push_back(std::move(table));
    }
    // Everything chosen was read: now the type changes.
    if (parameters) {
        type.SwapTypeData(definition);
        // The tables there are belong to the type under its new name.
        type.SetTypeName(type.GetTypeData().GetName());
    }
    for (auto& table : read) {
        table->SetTypeName(type.GetTypeName());
        type.AdoptTable(std::move(table));
    }
    return true;
}

bool ImportTypeCSV(TfrmTypeObject& window, const std::string& fileName, bool ask) {
    _AppInterface* app = window.App;
    if (!window.TypeData) return false;
    CSVFile file(fileName, false);
    if (!file.IsOpen()) {
        ShowMessageBox(&window, app->Text(Msg::CannotOpenFile, fileName), TMsgIcon::Stop);
        return false;
    }
    uint8_t parameters = 0;
    std::vector<uint8_t> tables;
    int32_t tableCount = 0;
    if (TfrmCsvElementsSelect::Execute(app, file, &parameters, &tables, &tableCount) != 1) return false;
    if (ask && parameters &&
        ShowMessageBox(&window, app->Text(Msg::OverwriteParametersConfirm), TMsgIcon::Warning, TMsgButtons::YesNo) !=
            QMessageBox::Yes)
        return false;
    window.HideEditors();
    if (!ReadTypeCSVFile(*window.TypeData, file, parameters != 0, tables)) {
        ShowMessageBox(&window, app->Text(Msg::ImportErrors), TMsgIcon::Stop);
        return false;
    }
    window.Refresh(true);
    return true;
}

void ExportTypeCSV(TfrmTypeObject& window) {
    _AppInterface* app = window.App;
    window.HideEditors();
    if (!window.TypeData) return;
    TTypeObjectData& type = *window.TypeData;
    // ITEMS: replaced by the items dialog.
    std::vector<uint8_t> languages(static_cast<size_t>(type.GetTypeData().GetLanguageCount()), 1);
    std::vector<uint8_t> tables(static_cast<size_t>(type.GetTableCount()), 1);
    TOpenDialogRequest request;
    request.Owner = &window;
    request.Filter = CsvFileFilter;
    request.DefaultExt = CsvFileExt;
    std::string fileName;
    if (!RunSaveDialog(request, CsvExportFileName(window.GetDisplayName()), fileName)) return;
    const TCsvExportResult result = WriteTypeCSVFile(type, fileName, languages, true, true, tables);
    if (result.PartFailed) ShowMessageBox(&window, app->Text(Msg::ExportErrors), TMsgIcon::Stop);
    if (!result.Saved) ShowMessageBox(&window, app->Text(Msg::CannotSaveFile, fileName), TMsgIcon::Stop);
}
