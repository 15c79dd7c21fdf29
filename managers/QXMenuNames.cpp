// The menu window's names: the item names edited in place in the tree, and
// the language commands with their names.
#include "QXMenuForm.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "Appinterface.h"
#include "Dialogs.h"
#include "MessageIds.h"
#include "QtText.h"
#include "TreeWidgetNodes.h"

namespace {

// The input boxes take a language name as long as the menu keeps it.
constexpr int LanguageNameLength = static_cast<int>(TQXMenuData::LanguageNameLength);

enum TNameEditStart { StartWithName, StartEmpty, StartTyped };

}  // namespace

// ---------------------------------------------------------------- language commands

void TfrmQXMenu::actAddLanguageExecute() {
    EndEdits();
    if (!EditedMenu->CanAddLanguage()) return;
    const std::string n = std::to_string(EditedMenu->GetLanguageCount() + 1);
    std::string name = App->Text(Msg::CaptionLanguageColumn) + n;
    if (!InputQuery(this, App->Text(Msg::CaptionLanguageColumn), App->Text(Msg::InputLanguageName, n), name,
                    LanguageNameLength))
        return;
    EditedMenu->AddLanguage();
    EditedMenu->SetLanguageName(EditedMenu->GetLanguageCount() - 1, name);
    RefreshLanguageList();
    listboxLanguages->setCurrentRow(listboxLanguages->count() - 1);
    UpdateStatus(true);
    UpdateActions();
}

void TfrmQXMenu::actInsertLanguageExecute() {
    EndEdits();
    const int32_t at = SelectedLanguage;
    if (!EditedMenu->CanInsertLanguage(at)) return;
    const std::string n = std::to_string(at + 1);
    std::string name = App->Text(Msg::CaptionLanguageColumn) + n;
    if (!InputQuery(this, App->Text(Msg::CaptionLanguageColumn), App->Text(Msg::InputLanguageName, n), name,
                    LanguageNameLength))
        return;
    EditedMenu->InsertLanguage(at);
    EditedMenu->SetLanguageName(at, name);
    RefreshLanguageList();
    UpdateStatus(true);
    UpdateActions();
}

void TfrmQXMenu::actRenameLanguageExecute() {
    EndEdits();
    const int32_t at = SelectedLanguage;
    if (at < 0 || at >= EditedMenu->GetLanguageCount()) return;
    std::string name = EditedMenu->GetLanguageName(at);
    if (!InputQuery(this, App->Text(Msg::CaptionLanguageColumn),
                    App->Text(Msg::InputLanguageName, std::to_string(at + 1)), name, LanguageNameLength))
        return;
    EditedMenu->SetLanguageName(at, name);
    RefreshLanguageList();
    UpdateStatus(true);
    UpdateActions();
}

void TfrmQXMenu::actDeleteLanguageExecute() {
    EndEdits();
    const int32_t at = SelectedLanguage;
    if (!EditedMenu->CanDeleteLanguage(at)) return;
    if (ShowMessageBox(this, App->Text(Msg::DeleteMenuLanguageConfirm, EditedMenu->GetLanguageName(at)),
                       TMsgIcon::Warning, TMsgButtons::YesNo) != QMessageBox::Yes)
        return;
    EditedMenu->DeleteLanguage(at);
    RefreshLanguageList();
    UpdateStatus(true);
    UpdateActions();
}

void TfrmQXMenu::listboxLanguagesDblClick() {
    if (SelectedLanguage >= 0) actRenameLanguageExecute();
}

// ---------------------------------------------------------------- name editor

bool TfrmQXMenu::NameEditVisible() const { return !edtMenuItemName->isHidden(); }

void TfrmQXMenu::treeviewMenuItemsStructureDblClick() { StartNameEdit(StartWithName); }

void TfrmQXMenu::StartNameEdit(int how, const QString& typed) {
    QTreeWidgetItem* item = treeviewMenuItemsStructure->currentItem();
    if (!item || !TTreeWidgetNodes::NodeOf(item)) return;
    // The editor covers the name and leaves a bracketed original name in
    // front of it visible.
    QTreeWidget* tree = treeviewMenuItemsStructure;
    const QRect row = tree->visualItemRect(item);
    const QFontMetrics metrics(tree->font());
    const int margin = tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1;
    const int textLeft = row.left() + margin + tree->iconSize().width() + 2 * margin;
    const int textRight = textLeft + metrics.horizontalAdvance(item->text(0));
    const QString name = QStr(EditedMenu->GetMenuItemName(SelectedLanguage, SelectedItem));
    const int left = std::max(row.left(), textRight - metrics.horizontalAdvance(name) - margin);
    const int width = std::max(60, tree->viewport()->width() - left);
    const int height = std::max(row.height(), edtMenuItemName->sizeHint().height());
    edtMenuItemName->setGeometry(left, row.top() + (row.height() - height) / 2, width, height);
    if (SelectedLanguage == -1) return;
    EditItem = SelectedItem;
    EditLanguage = SelectedLanguage;
    edtMenuItemName->setText(how == StartEmpty ? QString() : how == StartTyped ? typed : name);
    edtMenuItemName->show();
    edtMenuItemName->setFocus();
    if (how == StartWithName) edtMenuItemName->selectAll();
    else edtMenuItemName->end(false);
}

void TfrmQXMenu::EndNameEdit(bool restore) {
    if (!NameEditVisible()) return;
    if (restore) edtMenuItemName->setText(QStr(EditedMenu->GetMenuItemName(EditLanguage, EditItem)));
    edtMenuItemNameExit();
}

void TfrmQXMenu::edtMenuItemNameExit() {
    if (!NameEditVisible()) return;
    const std::string text = CpStr(edtMenuItemName->text());
    edtMenuItemName->hide();  // before anything else: hiding moves the focus
    EditedMenu->SetMenuItemName(EditLanguage, EditItem, text);
    treeviewMenuItemsStructure->setFocus();
    RefreshTreeView();
    UpdateStatus(true);
}

bool TfrmQXMenu::treeviewMenuItemsStructureKeyDown(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        StartNameEdit(StartWithName);
        return true;
    }
    if (key->key() == Qt::Key_Delete) {
        if (mods == Qt::NoModifier) StartNameEdit(StartEmpty);
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty() || (mods & (Qt::AltModifier | Qt::ControlModifier))) return false;
    // Typed characters start an edit; every character key is consumed.
    const char16_t c = text.at(0).unicode();
    if (c >= 32 && c <= 127) StartNameEdit(StartTyped, text.left(1));
    return c >= 32;
}

void TfrmQXMenu::treeviewMenuItemsStructureMouseDown(QMouseEvent* mouse) {
    if (mouse->button() != Qt::LeftButton) return;
    QTreeWidget* tree = treeviewMenuItemsStructure;
    QTreeWidgetItem* item = tree->itemAt(mouse->position().toPoint());
    if (!item) return;
    const QRect row = tree->visualItemRect(item);
    const int margin = tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1;
    const int x = mouse->position().toPoint().x() - row.left() - margin;
    if (x < 0 || x >= TreeNodes->StateImageWidth()) return;
    // A click on the state image toggles the node it belongs to.
    tree->setCurrentItem(item);
    actToggleVisibleExecute();
}
