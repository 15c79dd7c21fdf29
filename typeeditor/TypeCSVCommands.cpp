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
#include "TypeItemsSelect.h"
#include "TypeObject.h"
#include "TypeWindow.h"
#include "Typedata.h"
#include "SystemCause.h"

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
    // The file lands under its name only when every byte of it got there.
    if (good) result.Saved = file.Close();
    else file.Discard();
    return result;
}

bool ApplyCsvElements(TTypeObjectData& type, TCsvElements& read, bool parameters, std::span<const uint8_t> tables) {
    if (parameters && !read.Definition) return false;
    if (tables.size() > read.Tables.size()) return false;
    // Everything chosen was read: now the type changes.
    if (parameters) {
        type.SwapTypeData(*read.Definition);
        // The tables there are belong to the type under its new name.
        type.SetTypeName(type.GetTypeData().GetName());
    }
    for (size_t i = 0; i < tables.size(); ++i) {
        if (!tables[i]) continue;
        read.Tables[i]->SetTypeName(type.GetTypeName());
        type.AdoptTable(std::move(read.Tables[i]));
    }
    return true;
}

bool ImportTypeCSV(TfrmTypeObject& window, const std::string& fileName, bool ask) {
    _AppInterface* app = window.App;
    if (!window.TypeData) return false;
    ClearSystemCause();
    CSVFile file(fileName, false);
    if (!file.IsOpen()) {
        ShowFailureMessage(&window, app->Text(Msg::CannotOpenFile, fileName));
        return false;
    }
    uint8_t parameters = 0;
    std::vector<uint8_t> tables;
    int32_t tableCount = 0;
    // The dialog's scan reads every part it lists; the import takes the
    // parts chosen from it instead of reading the file again.
    TCsvElements read;
    if (TfrmCsvElementsSelect::Execute(app, file, &parameters, &tables, &tableCount, &read) != 1) return false;
    if (ask && parameters &&
        ShowMessageBox(&window, app->Text(Msg::OverwriteParametersConfirm), TMsgIcon::Warning, TMsgButtons::YesNo) !=
            QMessageBox::Yes)
        return false;
    window.HideEditors();
    if (!ApplyCsvElements(*window.TypeData, read, parameters != 0, tables)) {
        ShowMessageBox(&window, app->Text(Msg::ImportErrors), TMsgIcon::Stop);
        return false;
    }
    // The language shown may be gone with the old definition.
    if (window.CurrentLanguage >= window.TypeData->GetTypeData().GetLanguageCount()) window.CurrentLanguage = 0;
    window.Refresh(true);
    return true;
}

void ExportTypeCSV(TfrmTypeObject& window) {
    _AppInterface* app = window.App;
    window.HideEditors();
    if (!window.TypeData) return;
    TTypeObjectData& type = *window.TypeData;
    _TypeObjectItems items(type);
    if (TfrmTypeObjectItemsSelect::Execute(app, type, &items) != 1) return;
    TOpenDialogRequest request;
    request.Owner = &window;
    request.Filter = CsvFileFilter;
    request.DefaultExt = CsvFileExt;
    std::string fileName;
    if (!RunSaveDialog(request, CsvExportFileName(window.GetDisplayName()), fileName)) return;
    ClearSystemCause();
    const TCsvExportResult result = WriteTypeCSVFile(type, fileName, items.languages, items.parameters != 0,
                                                     items.configuration != 0, items.tables);
    if (result.PartFailed) ShowMessageBox(&window, app->Text(Msg::ExportErrors), TMsgIcon::Stop);
    if (!result.Saved) ShowFailureMessage(&window, app->Text(Msg::CannotSaveFile, fileName));
}
