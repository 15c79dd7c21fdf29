#include "TypeCommands.h"

#include <algorithm>

#include "Tabledata.h"
#include "TypeObject.h"
#include "Typedata.h"

bool TypeCommandEnabled(TTypeCommand command, const TTypeCommandState& s) {
    const _TypeSelection& sel = s.Selection;
    const bool tableKind = sel.Kind == _TypeSelection::KindTable || sel.Kind == _TypeSelection::KindField;
    const bool table = sel.Table != -1, field = sel.Field != -1, row = sel.Row != -1, param = sel.Parameter != -1;
    const bool params = sel.Kind == _TypeSelection::KindParameters;
    const TTypeData6* def = s.Type ? &s.Type->GetTypeData() : nullptr;
    using C = TTypeCommand;
    switch (command) {
    case C::AddTable: return s.Expert;
    case C::InsertTable:
    case C::DeleteTable:
    case C::CopyTable:
    case C::AddField:
    case C::AddRow: return tableKind && table && s.Expert;
    case C::PasteTable: return sel.Kind == _TypeSelection::KindTable && table && s.Expert && s.ClipboardKind == 3;
    case C::InsertField:
    case C::DeleteField: return tableKind && table && field && s.Expert;
    case C::CopyField: return sel.Kind == _TypeSelection::KindField && field && s.Expert;
    case C::PasteField: return sel.Kind == _TypeSelection::KindField && field && s.Expert && s.ClipboardKind == 4;
    case C::InsertRow:
    case C::DeleteRow: return sel.Kind == _TypeSelection::KindTable && table && row && s.Expert;
    case C::AddParameter: return params && s.Expert;
    case C::InsertParameter:
    case C::DeleteParameter:
    case C::CopyParameter: return params && param && s.Expert;
    case C::PasteParameter: return params && param && s.Expert && s.ClipboardKind == 0;
    case C::AddLanguage: return def && def->CanAddLanguage() && s.Expert;
    case C::InsertLanguage:
        return sel.Kind == _TypeSelection::KindLanguage && def && def->CanInsertLanguage(sel.Language) && s.Expert;
    case C::DeleteLanguage:
        return sel.Kind == _TypeSelection::KindLanguage && def && def->CanDeleteLanguage(sel.Language) &&
               def->GetLanguageCount() > 1 && s.Expert;
    case C::RenameLanguage:
        return sel.Kind == _TypeSelection::KindLanguage && sel.Language != -1 && s.Expert;
    case C::ViewEditAs: return s.ViewSlot >= 0 && s.ViewSlot <= 99;
    case C::Language:
    case C::ViewEditAsFormat:
    case C::DownloadType: return true;
    case C::UploadType: return s.Type && !s.Type->GetTypeName().empty();
    }
    return false;
}

_TypeSelection SelectionAfter(TTypeCommand command, const _TypeSelection& selection, const TTypeObjectData& type) {
    _TypeSelection sel = selection;
    const TTableData* table = type.GetTable(sel.Table);
    const int32_t fields = table ? table->GetFieldCount() : 0, rows = table ? table->GetRowCount() : 0;
    const int32_t params = type.GetTypeData().GetParameterCount();
    using C = TTypeCommand;
    switch (command) {
    case C::AddTable:
        sel.Kind = _TypeSelection::KindTable;
        sel.Table = type.GetTableCount() - 1;
        break;
    case C::InsertTable: sel.Kind = _TypeSelection::KindTable; break;
    case C::DeleteTable:
        sel.Table = std::min(sel.Table, type.GetTableCount() - 1);
        if (sel.Table < 0) {
            sel.Kind = _TypeSelection::KindParameters;
            sel.Table = -1;
        } else sel.Kind = _TypeSelection::KindTable;
        break;
    case C::AddField:
        sel.Kind = _TypeSelection::KindField;
        sel.Field = fields - 1;
        break;
    case C::InsertField: sel.Kind = _TypeSelection::KindField; break;
    case C::DeleteField:
        sel.Field = std::min(sel.Field, fields - 1);
        if (sel.Field < 0) {
            sel.Kind = _TypeSelection::KindTable;
            sel.Field = -1;
        } else sel.Kind = _TypeSelection::KindField;
        break;
    case C::AddRow: sel.Row = rows - 1; break;
    case C::DeleteRow: sel.Row = std::max(std::min(sel.Row, rows - 1), -1); break;
    case C::AddParameter: sel.Parameter = params - 1; break;
    case C::DeleteParameter: sel.Parameter = std::max(std::min(sel.Parameter, params - 1), -1); break;
    default: break;
    }
    return sel;
}

namespace {

std::string_view TrimBelow33(std::string_view text) {
    auto low = [](char c) { return static_cast<unsigned char>(c) < 33; };
    while (!text.empty() && low(text.front())) text.remove_prefix(1);
    while (!text.empty() && low(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string TableNameFromInput(std::string_view text) {
    constexpr size_t MaxTableName = 16;
    return std::string(TrimBelow33(TrimBelow33(text).substr(0, MaxTableName)));
}

std::string ProposedTableName(const std::string& tableText, int32_t tableCount) {
    return tableText + " " + std::to_string(tableCount + 1);
}

int32_t CurrentLanguageAfterDelete(int32_t current, int32_t deleted, int32_t count) {
    if (current > deleted) --current;
    if (current >= count) current = count - 1;
    if (current <= 0 && count > 0) current = 0;
    return current;
}

std::string TypeWindowCaption(const std::string& typeText, const std::string& typeName,
                              const std::string& displayName) {
    std::string caption = typeText + " " + typeName;
    if (typeName != displayName) caption += " [" + displayName + "]";
    return caption;
}

std::string ClipboardKindText(int32_t kind) {
    switch (kind) {
    case 0: return "P";
    case 3: return "T";
    case 4: return "F";
    default: return std::string();
    }
}

std::string LanguageMenuCaption(int32_t index, const std::string& name, bool current) {
    return std::to_string(index + 1) + (current ? ">  " : ". ") + name;
}
