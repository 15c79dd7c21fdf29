#include "TypeCommands.h"

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

bool TypeCommandBuilt(TTypeCommand command) {
    switch (command) {
    case TTypeCommand::Language:
    case TTypeCommand::ViewEditAs:
    case TTypeCommand::ViewEditAsFormat:
    case TTypeCommand::DownloadType:
    case TTypeCommand::UploadType: return true;
    default: return false;
    }
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
