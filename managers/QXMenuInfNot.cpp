// The menu window's InfNot grid: its cells, the cell editor, the edits and
// the InfNot commands. The rules of the grid are in MenuInfNot.h.
#include "QXMenuForm.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <algorithm>
#include <optional>

#include "Appinterface.h"
#include "Dialogs.h"
#include "MenuInfNot.h"
#include "MessageIds.h"
#include "QtText.h"

namespace {

// CellEditText keeps the text a cell edit last gave. From an edit's start
// until it gives one it holds the cell's text between these marks: a text
// no edit gives, so it never passes for an edit's result. The cell editor
// itself tells when an edit ends and whether it changed anything.
constexpr char NotYetEditedMark[] = "$$";

}  // namespace

// ---------------------------------------------------------------- cell editor

TInfNotCellDelegate::TInfNotCellDelegate(TfrmQXMenu* form) : QStyledItemDelegate(form), Form(form) {}

QWidget* TInfNotCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    if (!Form->strgrdInfNotDataGetEditText(index.column(), index.row() + 1)) return nullptr;
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        connect(line, &QLineEdit::textEdited, this, [this] { Changed = true; });
        if (const int most = Form->CellMaxLength(index.column(), index.row() + 1); most > 0) line->setMaxLength(most);
    }
    Editor = editor;
    return editor;
}

void TInfNotCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) return QStyledItemDelegate::setEditorData(editor, index);
    // An edit started with the Delete key starts empty and, ended at once,
    // empties the cell; any other edit applies only what was typed.
    Changed = Form->StartEmptyCellEdit != 0;
    line->setText(Changed ? QString() : index.data().toString());
}

void TInfNotCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !Changed) return;
    Changed = false;
    Form->ApplyCellEdit(index.column(), index.row() + 1, CpStr(line->text()));
}

void TInfNotCellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (Editor == editor) Editor = nullptr;
    Changed = false;
    QStyledItemDelegate::destroyEditor(editor, index);
}

// ---------------------------------------------------------------- InfNot grid

void TfrmQXMenu::strgrdInfNotDataClick() {
    SelectedInfNot = EditedMenu->GetInfNotCount() == 0 ? 0 : std::max(0, strgrdInfNotData->currentRow());
    UpdateActions();
}

int TfrmQXMenu::TextColumn() const { return InfNotTextColumn(EditedMenu->ShowLinked != 0); }

void TfrmQXMenu::SetCell(int row, int column, const std::string& text) {
    QTableWidgetItem* cell = strgrdInfNotData->item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        strgrdInfNotData->setItem(row, column, cell);
    }
    const QString shown = QStr(text);
    if (cell->text() != shown) cell->setText(shown);
}

void TfrmQXMenu::RefreshInfNotGrid() {
    const int32_t n = EditedMenu->GetInfNotCount();
    const bool linked = EditedMenu->ShowLinked != 0;
    const int columns = InfNotColumnCount(linked);
    strgrdInfNotData->setColumnCount(columns);
    strgrdInfNotData->setRowCount(n == 0 ? 1 : n);
    QStringList headers{QStr(App->Text(Msg::MenuCaptionNr)), QStr(App->Text(Msg::MenuCaptionRange))};
    if (linked) headers << QStr(App->Text(Msg::MenuCaptionOriginalText));
    headers << QStr(App->Text(Msg::MenuCaptionText));
    strgrdInfNotData->setHorizontalHeaderLabels(headers);
    const int widths3[] = {35, 50, 150}, widths4[] = {35, 50, 100, 150};
    for (int c = 0; c < columns; ++c) strgrdInfNotData->setColumnWidth(c, linked ? widths4[c] : widths3[c]);
    strgrdInfNotData->horizontalHeader()->setStretchLastSection(true);
    if (n == 0) {
        for (int c = 0; c < columns; ++c) SetCell(0, c, "-");
    }
    for (int32_t k = 0; k < n; ++k) {
        SetCell(k, 0, std::to_string(k + 1));
        SetCell(k, 1, std::to_string(EditedMenu->GetInfNotRange(k)));
        if (linked) SetCell(k, 2, DefaultMenu->GetInfNotText(TextLanguage + 1, k));
        SetCell(k, columns - 1, SelectedLanguage == -1 ? "?" : EditedMenu->GetInfNotText(SelectedLanguage, k));
    }
    for (int r = 0; r < strgrdInfNotData->rowCount(); ++r)
        for (int c = 0; c < columns; ++c) {
            QTableWidgetItem* cell = strgrdInfNotData->item(r, c);
            // The number column is fixed, as the header row is.
            const bool editable = n > 0 && InfNotColumnTakesEdits(linked, c);
            const Qt::ItemFlags flags = c == 0      ? Qt::ItemIsEnabled
                                        : editable ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable
                                                   : Qt::ItemIsSelectable | Qt::ItemIsEnabled;
            if (cell->flags() != flags) cell->setFlags(flags);
        }
}

bool TfrmQXMenu::strgrdInfNotDataGetEditText(int column, int row) {
    if (!MayEditInfNotCell(EditedMenu->GetInfNotCount(), EditedMenu->ShowLinked != 0, SelectedLanguage != -1, column,
                           row))
        return false;
    EditLanguage = SelectedLanguage;
    const QTableWidgetItem* cell = strgrdInfNotData->item(row - 1, column);
    const std::string shown = cell ? CpStr(cell->text()) : std::string();
    CellEditText = StartEmptyCellEdit ? std::string() : NotYetEditedMark + shown + NotYetEditedMark;
    return true;
}

int TfrmQXMenu::CellMaxLength(int column, int row) const {
    const int32_t k = row - 1;
    if (column != TextColumn() || k < 0 || k >= EditedMenu->GetInfNotCount()) return 0;
    // What TruncateInfNotText leaves: the range less its terminator.
    return InfNotTextMaxLength(EditedMenu->GetInfNotRange(k), static_cast<int>(TQXMenuData::InfNotTextLength));
}

void TfrmQXMenu::ApplyCellEdit(int column, int row, const std::string& text) {
    const int32_t k = row - 1;
    if (k < 0 || k >= EditedMenu->GetInfNotCount()) return;
    CellEditText = text;
    const TInfNotColumn kind = InfNotColumnOf(EditedMenu->ShowLinked != 0, column);
    if (kind == TInfNotColumn::Range) {
        const std::optional<int32_t> typed = InfNotRangeOf(text);
        const int32_t range = typed.value_or(EditedMenu->GetInfNotRange(k));
        if (!typed) ShowMessageBox(this, App->Text(Msg::WrongRange, text), TMsgIcon::Stop);
        EditedMenu->SetInfNotRange(k, range);
        EditedMenu->TruncateInfNotText(k);
        UpdateStatus(true);
    } else if (kind == TInfNotColumn::Text) {
        EditedMenu->SetInfNotText(EditLanguage, k, text);
        EditedMenu->TruncateInfNotText(k);
        UpdateStatus(true);
    }
    RefreshInfNotGrid();
}

bool TfrmQXMenu::strgrdInfNotDataKeyDown(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    if (key->key() != Qt::Key_Delete || mods != Qt::NoModifier) return false;
    if (CellDelegate->OpenEditor()) return false;
    StartEmptyCellEdit = 1;
    strgrdInfNotData->edit(strgrdInfNotData->currentIndex());
    StartEmptyCellEdit = 0;
    return true;
}

void TfrmQXMenu::actAddInfNotItemExecute() {
    EndEdits();
    if (!EditedMenu->CanAddInfNotItem() || !ConfirmStructureChange()) return;
    EditedMenu->AddInfNotItem();
    RefreshInfNotGrid();
    strgrdInfNotData->setCurrentCell(EditedMenu->GetInfNotCount() - 1, 1);
    strgrdInfNotDataClick();
    UpdateStatus(true);
    UpdateActions();
}

void TfrmQXMenu::actInsertInfNotItemExecute() {
    EndEdits();
    if (!EditedMenu->CanInsertInfNotItem(SelectedInfNot) || !ConfirmStructureChange()) return;
    EditedMenu->InsertInfNotItem(SelectedInfNot);
    RefreshInfNotGrid();
    UpdateStatus(true);
    UpdateActions();
}

void TfrmQXMenu::actDeleteInfNotItemExecute() {
    EndEdits();
    if (!EditedMenu->CanDeleteInfNotItem(SelectedInfNot) || !ConfirmStructureChange()) return;
    EditedMenu->DeleteInfNotItem(SelectedInfNot);
    RefreshInfNotGrid();
    strgrdInfNotDataClick();
    UpdateStatus(true);
    UpdateActions();
}
