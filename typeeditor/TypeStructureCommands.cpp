// The type window's structure commands: add, insert, delete, copy and paste
// of tables, fields, rows and parameters; add, insert, delete and rename of
// languages. Each asks the model first; a refusal ends it without a word.
#include <QApplication>
#include <QMdiArea>

#include "Appinterface.h"
#include "Dialogs.h"
#include "MessageIds.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "TypeWindow.h"
#include "Typedata.h"

void TfrmTypeObject::ConnectStructureCommands() {
    const std::pair<QAction*, void (TfrmTypeObject::*)()> handlers[] = {
        {actAddTable, &TfrmTypeObject::actAddTableExecute},
        {actInsertTable, &TfrmTypeObject::actInsertTableExecute},
        {actDeleteTable, &TfrmTypeObject::actDeleteTableExecute},
        {actCopyTable, &TfrmTypeObject::actCopyTableExecute},
        {actPasteTable, &TfrmTypeObject::actPasteTableExecute},
        {actAddField, &TfrmTypeObject::actAddFieldExecute},
        {actInsertField, &TfrmTypeObject::actInsertFieldExecute},
        {actDeleteField, &TfrmTypeObject::actDeleteFieldExecute},
        {actCopyField, &TfrmTypeObject::actCopyFieldExecute},
        {actPasteField, &TfrmTypeObject::actPasteFieldExecute},
        {actAddRow, &TfrmTypeObject::actAddRowExecute},
        {actInsertRow, &TfrmTypeObject::actInsertRowExecute},
        {actDeleteRow, &TfrmTypeObject::actDeleteRowExecute},
        {actAddParameter, &TfrmTypeObject::actAddParameterExecute},
        {actInsertParameter, &TfrmTypeObject::actInsertParameterExecute},
        {actDeleteParameter, &TfrmTypeObject::actDeleteParameterExecute},
        {actCopyParameter, &TfrmTypeObject::actCopyParameterExecute},
        {actPasteParameter, &TfrmTypeObject::actPasteParameterExecute},
        {actAddLanguage, &TfrmTypeObject::actAddLanguageExecute},
        {actInsertLanguage, &TfrmTypeObject::actInsertLanguageExecute},
        {actDeleteLanguage, &TfrmTypeObject::actDeleteLanguageExecute},
        {actRenameLanguage, &TfrmTypeObject::actRenameLanguageExecute},
    };
    for (const auto& [action, handler] : handlers) connect(action, &QAction::triggered, this, handler);
    SetModeShortcuts();
    // What the view-as commands offer depends on the focused view.
    FocusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (InsideThisWindow(old) || InsideThisWindow(now)) UpdateActions();
    });
}

void TfrmTypeObject::SetModeShortcuts() {
    // Two enabled actions on one key fire neither: the mode not in use
    // lends its keys to the other. The plus key of the main keyboard is "="
    // unshifted on many layouts.
    const bool table = Selection.TableMode();
    const QList<QKeySequence> add = {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)};
    const QKeySequence insert(Qt::CTRL | Qt::Key_Insert), remove(Qt::CTRL | Qt::Key_Delete);
    actAddRow->setShortcuts(table ? add : QList<QKeySequence>());
    actInsertRow->setShortcut(table ? insert : QKeySequence());
    actDeleteRow->setShortcut(table ? remove : QKeySequence());
    actAddParameter->setShortcuts(table ? QList<QKeySequence>() : add);
    actInsertParameter->setShortcut(table ? QKeySequence() : insert);
    actDeleteParameter->setShortcut(table ? QKeySequence() : remove);
}

TTypeCommandState TfrmTypeObject::CommandState() {
    ViewSlot = GetViewSlot();
    TTypeCommandState state;
    state.Selection = Selection;
    state.Expert = App->ExpertMode != 0;
    state.ClipboardKind = App->CopyPaste ? App->CopyPaste->GetKind() : TCopyPaste::KindNone;
    state.Type = TypeData.get();
    state.ViewSlot = ViewSlot;
    return state;
}

bool TfrmTypeObject::CommandAllowed(TTypeCommand command) {
    return TypeData && TypeCommandEnabled(command, CommandState());
}

void TfrmTypeObject::TreeModified() {
    if (TypeGrid) TypeGrid->Refresh();
    UpdateStatus(true);
    UpdateActions();
}

void TfrmTypeObject::Reselect() {
    SelectInView(Selection);
    if (FocusedView() != DataGrid || !TypeData) return;
    // The grid's cursor goes to the parameter, row and field named, so that
    // the next command works on what the user sees.
    const QAbstractItemModel* model = DataGrid->model();
    const QModelIndex at = DataGrid->currentIndex();
    int row = at.isValid() ? at.row() : 1, col = at.isValid() ? at.column() : 1;
    if (Selection.Kind == _TypeSelection::KindParameters && Selection.Parameter >= 0) row = Selection.Parameter + 1;
    if (Selection.TableMode()) {
        if (Selection.Row >= 0) row = Selection.Row + 1;
        if (Selection.Field >= 0) col = Selection.Field + 1;
    }
    row = std::min(row, model->rowCount() - 1);
    col = std::min(col, model->columnCount() - 1);
    if (row >= 1 && col >= 1 && model->index(row, col) != at) DataGrid->setCurrentIndex(model->index(row, col));
    Selection = ReadSelection();
    ApplySelectionKind();
    UpdateActions();
}

void TfrmTypeObject::RefreshAndReselect(TTypeCommand command) {
    Refresh(true);
    Selection = SelectionAfter(command, Selection, *TypeData);
    Reselect();
}

void TfrmTypeObject::ClipboardChanged() {
    QMdiArea* area = mdiArea();
    if (!area) {
        UpdateStatus(false);
        UpdateActions();
        return;
    }
    for (QMdiSubWindow* w : area->subWindowList())
        if (auto* type = qobject_cast<TfrmTypeObject*>(w)) {
            type->UpdateStatus(false);
            type->UpdateActions();
        }
}

void TfrmTypeObject::ChangeTable(TTypeCommand command,
                                 const std::function<bool(TTableData&, const _TypeSelection&)>& change) {
    HideEditors();
    if (!CommandAllowed(command)) return;
    TTableData* table = TypeData->GetTable(Selection.Table);
    if (table && change(*table, Selection)) RefreshAndReselect(command);
}

void TfrmTypeObject::ChangeDefinition(TTypeCommand command,
                                      const std::function<bool(TTypeData6&, const _TypeSelection&)>& change) {
    HideEditors();
    if (CommandAllowed(command) && change(TypeData->GetTypeData(), Selection)) RefreshAndReselect(command);
}

// ---------------------------------------------------------------- tables

bool TableNameAccepted(QWidget* owner, _AppInterface& app, const TTypeObjectData& type, const std::string& name) {
    if (name.empty()) {
        ShowMessageBox(owner, app.Text(Msg::InvalidTableName), TMsgIcon::Stop);
        return false;
    }
    if (type.TableExists(name)) {
        ShowMessageBox(owner, app.Text(Msg::TableExists, name), TMsgIcon::Stop);
        return false;
    }
    return true;
}

bool TfrmTypeObject::AskTableName(std::string& name) {
    std::string answer = ProposedTableName(App->Text(Msg::CaptionTable), TypeData->GetTableCount());
    if (!InputQuery(this, App->Text(Msg::CaptionTable), App->Text(Msg::InputTableName), answer,
                    static_cast<int>(TTableData::NameLength)))
        return false;
    // The checks run on the name as it will be stored.
    name = TableNameFromInput(answer);
    return TableNameAccepted(this, *App, *TypeData, name);
}

void TfrmTypeObject::actAddTableExecute() {
    HideEditors();
    std::string name;
    if (!CommandAllowed(TTypeCommand::AddTable) || !AskTableName(name)) return;
    TypeData->AddTable()->SetName(name);
    RefreshAndReselect(TTypeCommand::AddTable);
}

void TfrmTypeObject::actInsertTableExecute() {
    HideEditors();
    std::string name;
    if (!CommandAllowed(TTypeCommand::InsertTable) || !AskTableName(name)) return;
    TTableData* table = TypeData->InsertTable(Selection.Table);
    if (!table) return;
    table->SetName(name);
    RefreshAndReselect(TTypeCommand::InsertTable);
}

void TfrmTypeObject::actDeleteTableExecute() {
    HideEditors();
    if (!CommandAllowed(TTypeCommand::DeleteTable)) return;
    const TTableData* table = TypeData->GetTable(Selection.Table);
    if (!table) return;
    const std::string name = !table->GetName().empty() ? table->GetName()
                                                        : App->Text(Msg::CaptionTable) + " " + std::to_string(Selection.Table + 1);
    if (ShowMessageBox(this, App->Text(Msg::DeleteConfirm, name), TMsgIcon::Warning, TMsgButtons::YesNo) !=
        QMessageBox::Yes)
        return;
    TypeData->DeleteTable(Selection.Table);
    RefreshAndReselect(TTypeCommand::DeleteTable);
}

void TfrmTypeObject::actCopyTableExecute() {
    if (!CommandAllowed(TTypeCommand::CopyTable)) return;
    if (const TTableData* table = TypeData->GetTable(Selection.Table)) {
        App->CopyPaste->Copy(table, TCopyPaste::KindTable);
        ClipboardChanged();
    }
}

void TfrmTypeObject::actPasteTableExecute() {
    HideEditors();
    if (!CommandAllowed(TTypeCommand::PasteTable)) return;
    const TTableData* stored = App->CopyPaste->GetTable();
    const TTableData* target = TypeData->GetTable(Selection.Table);
    if (!stored || !target) return;
    auto copy = std::make_unique<TTableData>(*stored);
    copy->SetName(target->GetName());
    TypeData->ReplaceTable(Selection.Table, std::move(copy));
    Refresh(true);
    Reselect();
}

// ---------------------------------------------------------------- fields

void TfrmTypeObject::actAddFieldExecute() {
    ChangeTable(TTypeCommand::AddField, [](TTableData& t, const _TypeSelection&) {
        if (!t.CanAddField()) return false;
        t.AddField();
        return true;
    });
}

void TfrmTypeObject::actInsertFieldExecute() {
    ChangeTable(TTypeCommand::InsertField, [](TTableData& t, const _TypeSelection& sel) {
        if (!t.CanInsertField(sel.Field)) return false;
        t.InsertField(sel.Field);
        return true;
    });
}

void TfrmTypeObject::actDeleteFieldExecute() {
    ChangeTable(TTypeCommand::DeleteField, [](TTableData& t, const _TypeSelection& sel) {
        if (!t.CanDeleteField(sel.Field)) return false;
        t.DeleteField(sel.Field);
        return true;
    });
}

void TfrmTypeObject::actCopyFieldExecute() {
    if (!CommandAllowed(TTypeCommand::CopyField)) return;
    const TTableData* table = TypeData->GetTable(Selection.Table);
    if (const _TableFieldInfo* field = table ? table->GetField(Selection.Field) : nullptr) {
        App->CopyPaste->Copy(field, TCopyPaste::KindField);
        ClipboardChanged();
    }
}

void TfrmTypeObject::actPasteFieldExecute() {
    HideEditors();
    if (!CommandAllowed(TTypeCommand::PasteField)) return;
    TTableData* table = TypeData->GetTable(Selection.Table);
    _TableFieldInfo* field = table ? table->GetField(Selection.Field) : nullptr;
    const _TableFieldInfo* stored = App->CopyPaste->GetField();
    if (!field || !stored) return;
    // The record only: the cells stay.
    *field = *stored;
    Refresh(true);
    Reselect();
}

// ---------------------------------------------------------------- rows

void TfrmTypeObject::actAddRowExecute() {
    ChangeTable(TTypeCommand::AddRow, [](TTableData& t, const _TypeSelection&) {
        if (!t.CanAddRow()) return false;
        t.AddRow();
        return true;
    });
}

void TfrmTypeObject::actInsertRowExecute() {
    ChangeTable(TTypeCommand::InsertRow, [](TTableData& t, const _TypeSelection& sel) {
        if (!t.CanInsertRow(sel.Row)) return false;
        t.InsertRow(sel.Row);
        return true;
    });
}

void TfrmTypeObject::actDeleteRowExecute() {
    ChangeTable(TTypeCommand::DeleteRow, [](TTableData& t, const _TypeSelection& sel) {
        if (!t.CanDeleteRow(sel.Row)) return false;
        t.DeleteRow(sel.Row);
        return true;
    });
}

// ---------------------------------------------------------------- parameters

void TfrmTypeObject::actAddParameterExecute() {
    ChangeDefinition(TTypeCommand::AddParameter, [](TTypeData6& d, const _TypeSelection&) {
        if (!d.CanAddParameter()) return false;
        d.AddParameter();
        return true;
    });
}

void TfrmTypeObject::actInsertParameterExecute() {
    ChangeDefinition(TTypeCommand::InsertParameter, [](TTypeData6& d, const _TypeSelection& sel) {
        if (!d.CanInsertParameter(sel.Parameter)) return false;
        d.InsertParameter(sel.Parameter);
        return true;
    });
}

void TfrmTypeObject::actDeleteParameterExecute() {
    ChangeDefinition(TTypeCommand::DeleteParameter, [](TTypeData6& d, const _TypeSelection& sel) {
        if (!d.CanDeleteParameter(sel.Parameter)) return false;
        d.DeleteParameter(sel.Parameter);
        return true;
    });
}

void TfrmTypeObject::actCopyParameterExecute() {
    if (!CommandAllowed(TTypeCommand::CopyParameter)) return;
    const TTypeData6& def = TypeData->GetTypeData();
    const _ParamName* name = def.GetParamNameItem(Selection.Parameter, CurrentLanguage);
    const _ParamFormatItem* format = def.GetParamFormat(Selection.Parameter);
    // A parameter travels with its text and its format record together, or
    // not at all: the store never holds the text of one parameter beside
    // the format of another.
    if (!name || !format) return;
    if (!App->CopyPaste->Copy(name, TCopyPaste::KindParameter) || !App->CopyPaste->CopyParamFormat(format))
        App->CopyPaste->Clear();
    ClipboardChanged();
}

void TfrmTypeObject::actPasteParameterExecute() {
    HideEditors();
    if (!CommandAllowed(TTypeCommand::PasteParameter)) return;
    TTypeData6& def = TypeData->GetTypeData();
    const _ParamName* storedName = App->CopyPaste->GetParamName();
    const _ParamFormatItem* storedFormat = App->CopyPaste->GetFormat();
    _ParamName* name = def.GetParamNameItem(Selection.Parameter, CurrentLanguage);
    _ParamFormatItem* format = def.GetParamFormat(Selection.Parameter);
    if (!storedName || !storedFormat || !name || !format) return;
    // The current language's text and the format record; other languages'
    // texts and the data sets' values stay.
    *name = *storedName;
    *format = *storedFormat;
    Refresh(true);
    Reselect();
}

// ---------------------------------------------------------------- languages

bool TfrmTypeObject::RenameLanguage(int32_t language) {
    _LangItem* item = TypeData ? TypeData->GetTypeData().GetLanguage(language) : nullptr;
    if (!item) return false;
    std::string name = item->GetName();
    if (!InputQuery(this, App->Text(Msg::CaptionLanguageColumn), App->Text(Msg::InputLanguageName, std::to_string(language + 1)),
                    name, static_cast<int>(_LangItem::NameLength)))
        return false;
    item->SetName(name);
    return true;
}

void TfrmTypeObject::actAddLanguageExecute() {
    HideEditors();
    if (!CommandAllowed(TTypeCommand::AddLanguage)) return;
    TTypeData6& def = TypeData->GetTypeData();
    if (def.AddLanguage()) {
        const int32_t added = def.GetLanguageCount() - 1;
        if (RenameLanguage(added)) {
            CurrentLanguage = added;
            Refresh(true);
        } else
            def.DeleteLanguage(added);
    }
    TypeTree->Rebuild();
    TypeGrid->Refresh();
    if (FocusedView() == TreeView) {
        Selection.Kind = _TypeSelection::KindLanguage;
        Selection.Language = CurrentLanguage;
        Reselect();
    }
    UpdateStatus(false);
    UpdateActions();
}

void TfrmTypeObject::actInsertLanguageExecute() {
    HideEditors();
    if (!CommandAllowed(TTypeCommand::InsertLanguage)) return;
    TTypeData6& def = TypeData->GetTypeData();
    const int32_t at = Selection.Language;
    if (def.InsertLanguage(at)) {
        if (RenameLanguage(at)) {
            CurrentLanguage = at;
            Refresh(true);
        } else
            def.DeleteLanguage(at);
    }
    TypeTree->Rebuild();
    TypeGrid->Refresh();
    Selection.Kind = _TypeSelection::KindLanguage;
    Selection.Language = CurrentLanguage;
    Reselect();
    UpdateStatus(false);
    UpdateActions();
}

void TfrmTypeObject::actDeleteLanguageExecute() {
    HideEditors();
    if (!CommandAllowed(TTypeCommand::DeleteLanguage)) return;
    TTypeData6& def = TypeData->GetTypeData();
    const int32_t at = Selection.Language;
    const _LangItem* language = def.GetLanguage(at);
    if (!language) return;
    if (ShowMessageBox(this, App->Text(Msg::DeleteTypeLanguageConfirm, language->GetName()), TMsgIcon::Warning,
                       TMsgButtons::YesNo) != QMessageBox::Yes)
        return;
    def.DeleteLanguage(at);
    CurrentLanguage = CurrentLanguageAfterDelete(CurrentLanguage, at, def.GetLanguageCount());
    TypeTree->Rebuild();
    TypeGrid->Refresh();
    UpdateStatus(true);
    Selection.Kind = _TypeSelection::KindLanguage;
    Selection.Language = CurrentLanguage;
    Reselect();
    UpdateActions();
}

void TfrmTypeObject::actRenameLanguageExecute() {
    HideEditors();
    if (!CommandAllowed(TTypeCommand::RenameLanguage)) return;
    RenameLanguage(Selection.Language);
    Refresh(true);
}
