// The menu window offscreen: a new menu, the item, InfNot and language
// commands, the name editor, the help memo, the InfNot grid, saving,
// reopening and closing, driven through the window's actions and keys.
#include "MenuTest.h"

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QScrollBar>
#include <QTreeWidgetItemIterator>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include "../frame/EndKeys.h"
#include "Appinterface.h"
#include "Managers.h"
#include "MessageIds.h"

#include <algorithm>

namespace {

using Box = QMessageBox::StandardButton;

class MenuWindow : public MenuFixture {};

// The item indexes of the tree's nodes, sorted.
std::vector<int32_t> TreeIndexes(TfrmQXMenu* w) {
    std::vector<int32_t> out;
    for (QTreeWidgetItemIterator it(w->treeviewMenuItemsStructure); *it; ++it)
        out.push_back(w->EditedMenu->GetMenuItemIndex(TTreeWidgetNodes::ItemOf(*it)));
    std::sort(out.begin(), out.end());
    return out;
}
std::vector<int32_t> Counting(int32_t n) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < n; ++i) out.push_back(i);
    return out;
}

std::vector<std::string> Texts(const std::vector<TMessageRequest>& messages) {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.Text);
    return out;
}

}  // namespace

TEST_F(MenuWindow, NewMenuHoldsTheDefaultMenuWithOneUnnamedLanguage) {
    MainWindow().App.UntitledCounter = 1;  // one untitled window (of any kind) was opened before
    TfrmQXMenu* w = Open();
    ASSERT_FALSE(w->isHidden());
    EXPECT_EQ(w->GetKind(), 0x7000u);
    EXPECT_EQ(w->windowTitle(), "QX318 Menu [untitled2]");
    EXPECT_EQ(MainWindow().App.UntitledCounter, 2);
    EXPECT_EQ(LanguageList(w), std::vector<std::string>{"1. <Language1>"});
    EXPECT_EQ(w->SelectedLanguage, 0);
    EXPECT_FALSE(w->Modified);
    EXPECT_EQ(w->StatusPanel0->text(), "");
    EXPECT_EQ(w->EditedMenu->GetMenuItemCount(), 5);
    EXPECT_EQ(w->EditedMenu->GetMenuItemParent(3), 1);
    EXPECT_EQ(w->EditedMenu->GetMenuItemState(3), 1);
    EXPECT_EQ(w->EditedMenu->GetInfNotCount(), 2);
    EXPECT_EQ(w->EditedMenu->GetInfNotRange(1), 5);
    // The new language has no names yet; the hidden item shows the hidden state.
    EXPECT_EQ(Label(w, 1), "");
    EXPECT_EQ(StateImage(w, 1), 1);
    EXPECT_EQ(StateImage(w, 3), 2);
    EXPECT_TRUE(Messages.empty());
    // A second new window takes the next number.
    TfrmQXMenu* second = Open();
    EXPECT_EQ(second->windowTitle(), "QX318 Menu [untitled3]");
}

TEST_F(MenuWindow, WithoutTheDefaultMenuANewMenuHasOnlyTheBareRoot) {
    fs::remove(ProgramDir / "DefaultMenu.mnu");
    const std::string path = (ProgramDir / "DefaultMenu.mnu").string();
    TfrmQXMenu* w = Open();
    // Both name the system's cause on their last line.
    EXPECT_EQ(Texts(Messages), (std::vector<std::string>{Text(Msg::CannotOpenDefaultMenu).replace(
                                                             Text(Msg::CannotOpenDefaultMenu).find("%s"), 2, path) +
                                                             "\r\nNo such file or directory",
                                                         "Cannot open file!\r\n" + path + "\r\nNo such file or directory"}));
    EXPECT_EQ(w->EditedMenu->GetMenuItemCount(), 0);
    EXPECT_EQ(w->treeviewMenuItemsStructure->topLevelItemCount(), 1);
    w->treeviewMenuItemsStructure->setCurrentItem(w->treeviewMenuItemsStructure->topLevelItem(0));
    Messages.clear();
    w->actAddMenuItem->trigger();
    w->actAddChildMenuItem->trigger();
    EXPECT_EQ(Texts(Messages), (std::vector<std::string>{Text(Msg::MenuStructureWarning), "Cannot add node.",
                                                         "Cannot add child node."}));
}

TEST_F(MenuWindow, StructureWarningIsAskedUntilAnsweredYesOncePerWindow) {
    TfrmQXMenu* w = Open();
    Select(w, 2);
    Answers = {Box::No};
    w->actInsertMenuItem->trigger();
    EXPECT_EQ(w->EditedMenu->GetMenuItemCount(), 5);
    EXPECT_FALSE(w->Modified);
    Answers = {Box::Yes};
    w->actInsertMenuItem->trigger();
    EXPECT_EQ(w->EditedMenu->GetMenuItemCount(), 6);
    w->actDeleteMenuItem->trigger();
    w->PageControl->setCurrentIndex(1);
    w->actAddInfNotItem->trigger();
    EXPECT_EQ(Texts(Messages), std::vector<std::string>(2, Text(Msg::MenuStructureWarning)));
    EXPECT_EQ(w->EditedMenu->GetInfNotCount(), 3);
    // Language commands, texts and visibility never ask; a second window asks again.
    Messages.clear();
    w->PageControl->setCurrentIndex(0);
    w->actToggleVisible->trigger();
    TfrmQXMenu* other = Open();
    Select(other, 1);
    Answers = {Box::No};
    other->actAddChildMenuItem->trigger();
    EXPECT_EQ(Texts(Messages), std::vector<std::string>{Text(Msg::MenuStructureWarning)});
}

TEST_F(MenuWindow, ItemCommandsAndTheirRefusals) {
    struct Case {
        const char* what;
        int32_t selected;
        QAction* TfrmQXMenu::*action;
        int32_t count;         // items afterwards
        int32_t newParent;     // parent of the selected new item, -1 none
        int32_t selectedAfter; // item selected afterwards
        const char* refusal;   // message shown instead, or null
    };
    const Case cases[] = {
        {"add beside Settings", 1, &TfrmQXMenu::actAddMenuItem, 6, 0, 5, nullptr},
        {"add beside Contrast", 2, &TfrmQXMenu::actAddMenuItem, 6, 1, 5, nullptr},
        {"add on the root", 0, &TfrmQXMenu::actAddMenuItem, 5, -1, 0, "Cannot add node."},
        {"child of the root", 0, &TfrmQXMenu::actAddChildMenuItem, 6, 0, 5, nullptr},
        {"child of Volume", 3, &TfrmQXMenu::actAddChildMenuItem, 6, 3, 5, nullptr},
        {"insert before Contrast", 2, &TfrmQXMenu::actInsertMenuItem, 6, 1, 2, nullptr},
        {"insert before the root", 0, &TfrmQXMenu::actInsertMenuItem, 5, -1, 0, "Cannot insert node."},
        {"delete Settings with its children", 1, &TfrmQXMenu::actDeleteMenuItem, 2, -1, -2, nullptr},
        {"delete the root", 0, &TfrmQXMenu::actDeleteMenuItem, 5, -1, 0, "Cannot delete node."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Messages.clear();
        TfrmQXMenu* w = Open();
        w->StructureConfirmed = 1;
        Select(w, c.selected);
        (w->*c.action)->trigger();
        EXPECT_EQ(w->EditedMenu->GetMenuItemCount(), c.count);
        // The default menu takes every structural change too.
        EXPECT_EQ(w->DefaultMenu->GetMenuItemCount(), c.count);
        if (c.refusal) {
            EXPECT_EQ(Texts(Messages), std::vector<std::string>{c.refusal});
            EXPECT_FALSE(w->Modified);
        } else {
            EXPECT_TRUE(Messages.empty());
            EXPECT_TRUE(w->Modified);
            EXPECT_EQ(w->StatusPanel0->text(), "Modified");
            if (c.selectedAfter >= 0) {
                EXPECT_EQ(w->SelectedItem, c.selectedAfter);
                EXPECT_EQ(w->EditedMenu->GetMenuItemParent(c.selectedAfter), c.newParent);
            }
        }
        // One tree node per item.
        EXPECT_EQ(TreeIndexes(w), Counting(c.count));
        w->Modified = 0;
        CloseWindow(w);
    }
}

TEST_F(MenuWindow, DeletingAnItemKeepsTheLinkedDefaultMenuInStep) {
    TfrmQXMenu* w = Open();
    w->StructureConfirmed = 1;
    Select(w, 1);
    w->actDeleteMenuItem->trigger();
    // Info (item 4) is item 1 now, in both menus.
    EXPECT_EQ(w->DefaultMenu->GetMenuItemName(0, 1), "Info");
    EXPECT_EQ(w->EditedMenu->GetMenuItemParent(1), 0);
    EXPECT_EQ(w->EditedMenu->GetMenuItemIndex(TTreeWidgetNodes::ItemOf(
                  w->treeviewMenuItemsStructure->topLevelItem(0)->child(0))),
              1);
}

TEST_F(MenuWindow, TogglingAParentHidesItsSubtreeAndTheStateImageToggles) {
    TfrmQXMenu* w = Open();
    // A hidden child of a visible parent becomes visible again.
    Select(w, 3);
    w->actToggleVisible->trigger();
    EXPECT_EQ(w->EditedMenu->GetMenuItemState(3), 0);
    EXPECT_EQ(StateImage(w, 3), 1);
    EXPECT_TRUE(w->Modified);
    // The parent takes its whole subtree with it.
    Select(w, 1);
    w->actToggleVisible->trigger();
    for (int32_t item : {1, 2, 3}) {
        EXPECT_EQ(w->EditedMenu->GetMenuItemState(item), 1) << item;
        EXPECT_EQ(StateImage(w, item), 2) << item;
    }
    EXPECT_EQ(w->EditedMenu->GetMenuItemState(4), 0);
    EXPECT_EQ(StateImage(w, 4), 1);
    w->actToggleVisible->trigger();
    for (int32_t item : {1, 2, 3}) EXPECT_EQ(StateImage(w, item), 1) << item;
    EXPECT_TRUE(Messages.empty());
}

TEST_F(MenuWindow, ClickOnTheStateImageTogglesThatNode) {
    TfrmQXMenu* w = Open();
    w->resize(650, 481);
    QTreeWidget* tree = w->treeviewMenuItemsStructure;
    tree->expandAll();
    auto* node = dynamic_cast<TTreeWidgetItem*>(w->EditedMenu->GetTreeNode(4));
    const QRect row = tree->visualItemRect(node);
    ASSERT_TRUE(row.isValid());
    auto click = [&](int x) {
        const QPoint at(row.left() + x, row.center().y());
        QMouseEvent press(QEvent::MouseButtonPress, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &release);
    };
    click(8);  // the state image
    EXPECT_EQ(w->EditedMenu->GetMenuItemState(4), 1);
    EXPECT_EQ(tree->currentItem(), node);
    click(row.width() / 2 + 60);  // the text: selects only
    EXPECT_EQ(w->EditedMenu->GetMenuItemState(4), 1);
}

TEST_F(MenuWindow, NameEditorKeys) {
    TfrmQXMenu* w = Open(( ProgramDir / "DefaultMenu.mnu").string());
    Select(w, 2);
    QLineEdit* editor = w->edtMenuItemName;
    QTreeWidget* tree = w->treeviewMenuItemsStructure;

    // A typed character starts the edit with that character; Enter applies it.
    Key(tree, Qt::Key_B, "B");
    ASSERT_FALSE(editor->isHidden());
    EXPECT_EQ(editor->text(), "B");
    Type(editor, "right");
    Key(editor, Qt::Key_Return);
    EXPECT_TRUE(editor->isHidden());
    EXPECT_EQ(w->EditedMenu->GetMenuItemName(0, 2), "Bright");
    EXPECT_EQ(Label(w, 2), "Bright");
    EXPECT_TRUE(w->Modified);

    // Escape puts the stored name back; the edit still counts as a change.
    w->Modified = 0;
    Key(tree, Qt::Key_Return);
    EXPECT_EQ(editor->text(), "Bright");
    Type(editor, "ness");
    Key(editor, Qt::Key_Escape);
    EXPECT_EQ(w->EditedMenu->GetMenuItemName(0, 2), "Bright");
    EXPECT_TRUE(w->Modified);

    // Delete starts empty; Down ends the edit; the name is cut to 17 characters.
    Key(tree, Qt::Key_Delete);
    EXPECT_EQ(editor->text(), "");
    Type(editor, "A very long name for an item");
    Key(editor, Qt::Key_Down);
    EXPECT_EQ(w->EditedMenu->GetMenuItemName(0, 2), "A very long name ");

    // Shift+Delete starts nothing, but the key never reaches the tree.
    Key(tree, Qt::Key_Delete, {}, Qt::ShiftModifier);
    EXPECT_TRUE(editor->isHidden());

    // Another command ends an edit in progress and applies it.
    Key(tree, Qt::Key_X, "x");
    w->actToggleVisible->trigger();
    EXPECT_TRUE(editor->isHidden());
    EXPECT_EQ(w->EditedMenu->GetMenuItemName(0, 2), "x");

    // Scrolling ends it as well.
    Key(tree, Qt::Key_Y, "y");
    ASSERT_FALSE(editor->isHidden());
    tree->verticalScrollBar()->setRange(0, 10);
    tree->verticalScrollBar()->setValue(5);
    EXPECT_TRUE(editor->isHidden());
    EXPECT_EQ(w->EditedMenu->GetMenuItemName(0, 2), "y");

    // With "Show Original Name" the editor leaves the original name visible.
    w->actShowOrgName->trigger();
    EXPECT_EQ(Label(w, 2), "(Contrast): y");
    Key(tree, Qt::Key_Return);
    const QFontMetrics metrics(tree->font());
    const QRect row = tree->visualItemRect(tree->currentItem());
    EXPECT_GT(editor->x(), row.left() + metrics.horizontalAdvance("(Contrast): ") / 2);
    Key(editor, Qt::Key_Return);
}

TEST_F(MenuWindow, NoNameEditWithoutALanguage) {
    TfrmQXMenu* w = Open();
    w->listboxLanguages->setCurrentRow(-1);
    EXPECT_EQ(w->SelectedLanguage, -1);
    EXPECT_EQ(Label(w, 1), "?");
    Select(w, 1);
    Key(w->treeviewMenuItemsStructure, Qt::Key_A, "a");
    EXPECT_TRUE(w->edtMenuItemName->isHidden());
    EXPECT_FALSE(w->Modified);
}

TEST_F(MenuWindow, HelpMemoKeepsAtMost127CharactersWithLineBreaks) {
    TfrmQXMenu* w = Open((ProgramDir / "DefaultMenu.mnu").string());
    Select(w, 1);
    EXPECT_EQ(w->memoMenuItemsHelp->toPlainText(), "Unit settings");
    EXPECT_FALSE(w->Modified);
    w->memoMenuItemsHelp->setPlainText("Line one\nLine two");
    EXPECT_EQ(w->EditedMenu->GetMenuItemHelp(0, 1), "Line one\r\nLine two");
    EXPECT_TRUE(w->Modified);
    const std::string long200(200, 'h');
    w->memoMenuItemsHelp->setPlainText(QString::fromStdString(long200));
    EXPECT_EQ(w->EditedMenu->GetMenuItemHelp(0, 1), std::string(127, 'h'));
    EXPECT_EQ(w->memoMenuItemsHelp->toPlainText().size(), 127);
    // A cut never leaves half a line break.
    w->memoMenuItemsHelp->setPlainText(QString(126, 'h') + "\nx");
    EXPECT_EQ(w->EditedMenu->GetMenuItemHelp(0, 1), std::string(126, 'h'));
    // Another item shows its own help; the other language its own.
    Select(w, 2);
    EXPECT_EQ(w->memoMenuItemsHelp->toPlainText(), "");
    w->listboxLanguages->setCurrentRow(1);
    Select(w, 1);
    EXPECT_EQ(w->memoMenuItemsHelp->toPlainText(), "");
}

namespace {

// The grid's open cell editor, or null.
QLineEdit* OpenCellEditor(TfrmQXMenu* w) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QLineEdit* e : w->strgrdInfNotData->viewport()->findChildren<QLineEdit*>())
        if (!e->isHidden()) return e;
    return nullptr;
}

// Opens the editor of a grid cell as a double-click does, and returns it.
QLineEdit* EditCell(TfrmQXMenu* w, int row, int column) {
    QTableWidget* grid = w->strgrdInfNotData;
    grid->setCurrentCell(row, column);
    grid->edit(grid->currentIndex());
    return OpenCellEditor(w);
}

}  // namespace

// The keys that end an edit without the mouse: Tab, Shift+Tab and Ctrl+Enter
// store what was typed, Esc puts the stored value back (the help, stored as
// it is typed, goes back to what it was when the memo took the focus).
TEST_F(MenuWindow, EveryEditorEndsByTheKeyboard) {
    TfrmQXMenu* w = Open((ProgramDir / "DefaultMenu.mnu").string());
    QPlainTextEdit* memo = w->memoMenuItemsHelp;
    struct Editor {
        const char* Name;
        // Opens the editor and types into it (the n-th time): the widget
        // the keys go to and the text it would store.
        std::function<QWidget*(int, std::string&)> Change;
        std::function<std::string()> Stored;
        std::function<bool()> Open;
    };
    const Editor editors[] = {
        {"item name",
         [&](int n, std::string& typed) -> QWidget* {
             w->PageControl->setCurrentIndex(0);
             Select(w, 2);
             Key(w->treeviewMenuItemsStructure, Qt::Key_Return);
             w->edtMenuItemName->end(false);
             typed = w->edtMenuItemName->text().toStdString() + std::to_string(n);
             Type(w->edtMenuItemName, std::to_string(n));
             return w->edtMenuItemName;
         },
         [&] { return w->EditedMenu->GetMenuItemName(0, 2); }, [&] { return !w->edtMenuItemName->isHidden(); }},
        {"help",
         [&](int n, std::string& typed) -> QWidget* {
             w->PageControl->setCurrentIndex(0);
             Select(w, 1);
             QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
             QCoreApplication::sendEvent(memo, &in);
             memo->moveCursor(QTextCursor::End);
             Type(memo, " " + std::to_string(n));
             typed = w->EditedMenu->GetMenuItemHelp(0, 1);
             return memo;
         },
         [&] { return w->EditedMenu->GetMenuItemHelp(0, 1); }, [] { return false; }},
        {"InfNot text",
         [&](int n, std::string& typed) -> QWidget* {
             w->PageControl->setCurrentIndex(1);
             QLineEdit* editor = EditCell(w, 0, 2);
             if (!editor) return nullptr;
             editor->selectAll();
             typed = "Door " + std::to_string(n);
             Type(editor, typed);
             return editor;
         },
         [&] { return w->EditedMenu->GetInfNotText(0, 0); }, [] { return false; }},
        {"InfNot range",
         [&](int n, std::string& typed) -> QWidget* {
             w->PageControl->setCurrentIndex(1);
             QLineEdit* editor = EditCell(w, 1, 1);
             if (!editor) return nullptr;
             editor->selectAll();
             typed = std::to_string(10 + n);
             Type(editor, typed);
             return editor;
         },
         [&] { return std::to_string(w->EditedMenu->GetInfNotRange(1)); }, [] { return false; }},
    };
    for (const Editor& e : editors) {
        std::string expected = e.Stored();
        int n = 0;
        for (const TEndKey& end : EndKeys()) {
            std::string typed;
            QWidget* keys = e.Change(++n, typed);
            ASSERT_NE(keys, nullptr) << e.Name << " " << end.Name;
            Key(keys, end.Key, {}, end.Mods);
            if (end.Stores) expected = typed;
            EXPECT_FALSE(e.Open()) << e.Name << " " << end.Name;
            EXPECT_EQ(e.Stored(), expected) << e.Name << " " << end.Name;
            // Tab moves on to the next cell's editor: Esc leaves it.
            if (QLineEdit* next = OpenCellEditor(w)) Key(next, Qt::Key_Escape);
            EXPECT_EQ(OpenCellEditor(w), nullptr) << e.Name << " " << end.Name;
        }
    }
    EXPECT_EQ(w->EditedMenu->GetMenuItemHelp(0, 1), "Unit settings 1 3 4");
}

// Each edit box takes no more characters than the menu's field keeps: one
// more typed leaves the text at the field's length.
TEST_F(MenuWindow, EditBoxesTakeNoMoreThanTheirFieldKeeps) {
    TfrmQXMenu* w = Open((ProgramDir / "DefaultMenu.mnu").string());
    QPlainTextEdit* memo = w->memoMenuItemsHelp;
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    struct Case {
        const char* Name;
        size_t Length;
        std::function<QWidget*()> Open;
        std::function<QString()> Text;
        std::function<std::string()> Stored;
    };
    const Case cases[] = {
        {"item name", TQXMenuData::ItemNameLength,
         [&]() -> QWidget* {
             Select(w, 2);
             Key(w->treeviewMenuItemsStructure, Qt::Key_Delete);
             return w->edtMenuItemName;
         },
         [&] { return w->edtMenuItemName->text(); }, [&] { return w->EditedMenu->GetMenuItemName(0, 2); }},
        {"help", TQXMenuData::ItemHelpLength,
         [&]() -> QWidget* {
             Select(w, 1);
             memo->clear();
             return memo;
         },
         [&] { return memo->toPlainText(); }, [&] { return w->EditedMenu->GetMenuItemHelp(0, 1); }},
        // Item 1 has a range of 20: the field keeps 19.
        {"InfNot text", TQXMenuData::InfNotTextLength,
         [&]() -> QWidget* {
             w->PageControl->setCurrentIndex(1);
             QLineEdit* editor = EditCell(w, 0, 2);
             if (editor) editor->clear();
             return editor;
         },
         [&] { return OpenCellEditor(w) ? OpenCellEditor(w)->text() : QString(); },
         [&] { return w->EditedMenu->GetInfNotText(0, 0); }},
        // Item 2 has a range of 5: four characters and the terminator.
        {"InfNot text within its range", 4,
         [&]() -> QWidget* {
             QLineEdit* editor = EditCell(w, 1, 2);
             if (editor) editor->clear();
             return editor;
         },
         [&] { return OpenCellEditor(w) ? OpenCellEditor(w)->text() : QString(); },
         [&] { return w->EditedMenu->GetInfNotText(0, 1); }},
    };
    for (const Case& c : cases) {
        QWidget* box = c.Open();
        ASSERT_NE(box, nullptr) << c.Name;
        std::string typed;
        for (size_t i = 0; i <= c.Length; ++i) typed += letters[i % letters.size()];
        Type(box, typed);
        EXPECT_EQ(c.Text().toStdString(), typed.substr(0, c.Length)) << c.Name;
        if (box != memo) Key(box, Qt::Key_Return);
        EXPECT_EQ(c.Stored(), typed.substr(0, c.Length)) << c.Name;
    }
    // A line break counts as the two characters it is stored as, and one
    // that would pass the length is refused as a whole.
    Select(w, 1);
    memo->clear();
    Type(memo, std::string(125, 'h'));
    Key(memo, Qt::Key_Return, "\r");
    Key(memo, Qt::Key_Return, "\r");
    EXPECT_EQ(w->EditedMenu->GetMenuItemHelp(0, 1), std::string(125, 'h') + "\r\n");
    // The language names of the input boxes.
    Typed = {"A very long language name"};
    w->actAddLanguage->trigger();
    ASSERT_FALSE(Inputs.empty());
    EXPECT_EQ(Inputs.back().MaxLength, static_cast<int>(TQXMenuData::LanguageNameLength));
}

TEST_F(MenuWindow, InfNotRangeInput) {
    struct Case {
        const char* typed;
        int range;       // afterwards
        bool refused;    // message 20005
        const char* text;
    };
    const Case cases[] = {
        {"3", 3, false, "Do"}, {"20", 20, false, "Door open"}, {"0", 0, false, ""},
        {"21", 20, true, "Door open"}, {"-1", 20, true, "Door open"}, {"x", 20, true, "Door open"},
        {"", 20, true, "Door open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Messages.clear();
        TfrmQXMenu* w = Open((ProgramDir / "DefaultMenu.mnu").string());
        w->PageControl->setCurrentIndex(1);
        QLineEdit* editor = EditCell(w, 0, 1);
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        Key(editor, Qt::Key_Backspace);
        Type(editor, c.typed);
        Key(editor, Qt::Key_Return);
        EXPECT_EQ(w->EditedMenu->GetInfNotRange(0), c.range);
        EXPECT_EQ(w->EditedMenu->GetInfNotText(0, 0), c.text);
        EXPECT_EQ(w->EditedMenu->GetInfNotText(1, 0), c.range == 3 ? "Tu" : c.range == 0 ? "" : "Tuer offen");
        EXPECT_EQ(Cell(w, 0, 1), std::to_string(c.range));
        EXPECT_EQ(Texts(Messages), c.refused ? std::vector<std::string>{"Wrong value for Range (" +
                                                                         std::string(c.typed) + ")."}
                                             : std::vector<std::string>{});
        EXPECT_TRUE(w->Modified);  // also a refused range counts as a change
        w->Modified = 0;
        CloseWindow(w);
    }
}

TEST_F(MenuWindow, InfNotTextEditsApplyOnceAndOnlyWhenChanged) {
    TfrmQXMenu* w = Open((ProgramDir / "DefaultMenu.mnu").string());
    w->PageControl->setCurrentIndex(1);
    EXPECT_EQ(Cell(w, 0, 0), "1");
    EXPECT_EQ(Cell(w, 1, 1), "5");
    EXPECT_EQ(Cell(w, 0, 2), "Door open");
    EXPECT_EQ(w->strgrdInfNotData->horizontalHeaderItem(2)->text(), "Text");

    // Opening and leaving an editor without a change applies nothing.
    QLineEdit* editor = EditCell(w, 0, 2);
    ASSERT_NE(editor, nullptr);
    Key(editor, Qt::Key_Return);
    EXPECT_FALSE(w->Modified);

    // Typed text is cut to the field, then to the range - 1.
    editor = EditCell(w, 1, 2);
    editor->selectAll();
    Type(editor, "Battery");
    Key(editor, Qt::Key_Return);
    EXPECT_EQ(w->EditedMenu->GetInfNotText(0, 1), "Batt");
    EXPECT_EQ(Cell(w, 1, 2), "Batt");
    EXPECT_TRUE(w->Modified);
    editor = EditCell(w, 0, 2);
    editor->selectAll();
    Type(editor, "A text longer than the field");
    Key(editor, Qt::Key_Return);
    EXPECT_EQ(w->EditedMenu->GetInfNotText(0, 0), "A text longer than ");

    // Escape while editing applies nothing.
    editor = EditCell(w, 0, 2);
    Type(editor, "zzz");
    Key(editor, Qt::Key_Escape);
    EXPECT_EQ(w->EditedMenu->GetInfNotText(0, 0), "A text longer than ");

    // Delete, then Enter, empties the text; in the range column it is refused.
    w->strgrdInfNotData->setCurrentCell(0, 2);
    Key(w->strgrdInfNotData, Qt::Key_Delete);
    editor = OpenCellEditor(w);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "");
    Key(editor, Qt::Key_Return);
    EXPECT_EQ(w->EditedMenu->GetInfNotText(0, 0), "");
    Messages.clear();
    w->strgrdInfNotData->setCurrentCell(1, 1);
    Key(w->strgrdInfNotData, Qt::Key_Delete);
    Key(OpenCellEditor(w), Qt::Key_Return);
    EXPECT_EQ(Texts(Messages), std::vector<std::string>{"Wrong value for Range ()."});
    EXPECT_EQ(w->EditedMenu->GetInfNotRange(1), 5);

    // The number column and, with original names, the original text stay as they are.
    EXPECT_EQ(EditCell(w, 0, 0), nullptr);
    w->actShowOrgName->trigger();
    EXPECT_EQ(w->strgrdInfNotData->columnCount(), 4);
    EXPECT_EQ(w->strgrdInfNotData->horizontalHeaderItem(2)->text(), "Original Text");
    EXPECT_EQ(Cell(w, 0, 2), "Door open");
    EXPECT_EQ(EditCell(w, 0, 2), nullptr);
    editor = EditCell(w, 1, 3);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    Type(editor, "Lo");
    Key(editor, Qt::Key_Return);
    EXPECT_EQ(w->EditedMenu->GetInfNotText(0, 1), "Lo");
}

TEST_F(MenuWindow, InfNotItemCommands) {
    TfrmQXMenu* w = Open();
    w->StructureConfirmed = 1;
    // Only on their page.
    EXPECT_FALSE(w->actAddInfNotItem->isEnabled());
    w->PageControl->setCurrentIndex(1);
    EXPECT_TRUE(w->actAddInfNotItem->isEnabled());
    EXPECT_FALSE(w->actAddMenuItem->isEnabled());
    w->actAddInfNotItem->trigger();
    EXPECT_EQ(w->EditedMenu->GetInfNotCount(), 3);
    EXPECT_EQ(w->SelectedInfNot, 2);
    EXPECT_EQ(w->strgrdInfNotData->rowCount(), 3);
    w->strgrdInfNotData->setCurrentCell(0, 1);
    w->actInsertInfNotItem->trigger();
    EXPECT_EQ(w->EditedMenu->GetInfNotRange(0), 0);
    EXPECT_EQ(w->EditedMenu->GetInfNotRange(1), 20);
    EXPECT_EQ(w->DefaultMenu->GetInfNotCount(), 4);
    for (int i = 0; i < 4; ++i) {
        w->strgrdInfNotData->setCurrentCell(0, 1);
        w->actDeleteInfNotItem->trigger();
    }
    EXPECT_EQ(w->EditedMenu->GetInfNotCount(), 0);
    EXPECT_EQ(w->SelectedInfNot, 0);
    EXPECT_EQ(w->strgrdInfNotData->rowCount(), 1);
    EXPECT_EQ(Cell(w, 0, 0), "-");
    EXPECT_EQ(Cell(w, 0, 2), "-");
    EXPECT_FALSE(w->actDeleteInfNotItem->isEnabled());
    EXPECT_FALSE(w->actInsertInfNotItem->isEnabled());
    EXPECT_EQ(EditCell(w, 0, 1), nullptr);
}

TEST_F(MenuWindow, LanguagesAddedRenamedAndDeleted) {
    TfrmQXMenu* w = Open();
    Typed = {"English"};
    w->actAddLanguage->trigger();
    ASSERT_EQ(Inputs.size(), 1u);
    EXPECT_EQ(Inputs[0].Caption, "Language");
    EXPECT_EQ(Inputs[0].Prompt, "Input Language 2 name:");
    EXPECT_EQ(Inputs[0].Value, "Language2");
    EXPECT_EQ(LanguageList(w), (std::vector<std::string>{"1. <Language1>", "2. English"}));
    EXPECT_EQ(w->SelectedLanguage, 1);
    EXPECT_TRUE(w->Modified);

    // Insert before the selected language; it becomes the selected entry.
    Typed = {"Deutschland ist lang"};
    w->actInsertLanguage->trigger();
    EXPECT_EQ(Inputs[1].Prompt, "Input Language 2 name:");
    EXPECT_EQ(LanguageList(w), (std::vector<std::string>{"1. <Language1>", "2. Deutschlan", "3. English"}));
    EXPECT_EQ(w->SelectedLanguage, 1);

    // Rename by Enter on the list, preset with the current name.
    Typed = {"Deutsch"};
    Key(w->listboxLanguages, Qt::Key_Return);
    EXPECT_EQ(Inputs[2].Value, "Deutschlan");
    EXPECT_EQ(LanguageList(w)[1], "2. Deutsch");
    // A cancelled box changes nothing.
    w->Modified = 0;
    w->actRenameLanguage->trigger();
    EXPECT_EQ(LanguageList(w)[1], "2. Deutsch");
    EXPECT_FALSE(w->Modified);

    // Delete asks; No keeps it; the Delete key runs the command.
    Answers = {Box::No};
    w->actDeleteLanguage->trigger();
    EXPECT_EQ(w->EditedMenu->GetLanguageCount(), 3);
    EXPECT_EQ(Messages.back().Text, "Delete Deutsch language.\r\nAre you sure?");
    Key(w->listboxLanguages, Qt::Key_Delete);
    EXPECT_EQ(LanguageList(w), (std::vector<std::string>{"1. <Language1>", "2. English"}));
    EXPECT_EQ(w->SelectedLanguage, 1);
    // Deleting the last entry selects the new last one.
    Key(w->listboxLanguages, Qt::Key_Delete);
    EXPECT_EQ(w->SelectedLanguage, 0);
    Key(w->listboxLanguages, Qt::Key_Delete);
    EXPECT_EQ(w->SelectedLanguage, -1);
    EXPECT_FALSE(w->actDeleteLanguage->isEnabled());
    EXPECT_FALSE(w->actRenameLanguage->isEnabled());
    EXPECT_FALSE(w->actInsertLanguage->isEnabled());
    // Ten languages at most.
    for (int i = 0; i < 10; ++i) {
        Typed = {"L" + std::to_string(i)};
        w->actAddLanguage->trigger();
    }
    EXPECT_EQ(w->EditedMenu->GetLanguageCount(), 10);
    EXPECT_FALSE(w->actAddLanguage->isEnabled());
    EXPECT_FALSE(w->actInsertLanguage->isEnabled());
}

TEST_F(MenuWindow, ShowOriginalNameAfterAnInsert) {
    TfrmQXMenu* w = Open((ProgramDir / "DefaultMenu.mnu").string());
    w->StructureConfirmed = 1;
    Select(w, 2);
    w->actInsertMenuItem->trigger();
    w->actShowOrgName->trigger();
    EXPECT_TRUE(w->actShowOrgName->isChecked());
    // Built-in English: the original names come from the default menu's language 0.
    EXPECT_EQ(Label(w, 1), "(Settings): Settings");
    EXPECT_EQ(Label(w, 2), "(): ");
    EXPECT_EQ(Label(w, 3), "(Contrast): Contrast");
    w->listboxLanguages->setCurrentRow(1);
    EXPECT_EQ(Label(w, 3), "(Contrast): Kontrast");
    w->actShowOrgName->trigger();
    EXPECT_FALSE(w->actShowOrgName->isChecked());
    EXPECT_EQ(Label(w, 3), "Kontrast");
}

TEST_F(MenuWindow, SaveAndReopen) {
    TfrmQXMenu* w = Open();
    w->StructureConfirmed = 1;
    Typed = {"Francais"};
    Key(w->listboxLanguages, Qt::Key_Return);
    Select(w, 2);
    Key(w->treeviewMenuItemsStructure, Qt::Key_C, "C");
    Key(w->edtMenuItemName, Qt::Key_Return);
    w->actToggleVisible->trigger();
    const std::string file = (Root / "mine.mnu").string();
    SaveNames = {file};
    w->SaveMenuItem->trigger();
    ASSERT_EQ(SaveDialogs.size(), 1u);
    EXPECT_EQ(SaveDialogs[0].FileName, "untitled1");
    EXPECT_EQ(SaveDialogs[0].Filter, "Menu File (*.mnu)|*.mnu");
    EXPECT_FALSE(w->Modified);
    EXPECT_EQ(w->FileName, file);
    EXPECT_EQ(w->windowTitle(), QString::fromStdString("QX318 Menu [" + file + "]"));
    EXPECT_TRUE(Messages.empty());
    CloseWindow(w);

    TfrmQXMenu* again = Open(file);
    ASSERT_FALSE(again->isHidden());
    EXPECT_EQ(LanguageList(again), std::vector<std::string>{"1. Francais"});
    EXPECT_EQ(again->EditedMenu->GetMenuItemName(0, 2), "C");
    EXPECT_EQ(again->EditedMenu->GetMenuItemState(2), 1);
    EXPECT_EQ(again->EditedMenu->GetInfNotRange(0), 20);
    EXPECT_TRUE(again->treeviewMenuItemsStructure->topLevelItem(0)->isExpanded());
    EXPECT_FALSE(again->Modified);

    // Save As onto an existing file asks first.
    SaveNames = {file};
    Answers = {Box::No};
    again->Modified = 1;
    EXPECT_FALSE(again->SaveMenuAs());
    EXPECT_EQ(Messages.back().Text, file + "\r\nFile already exists. Do you want to replace it?");
    EXPECT_TRUE(again->Modified);
}

// A save into a "folder" that is a file: the message table's text, then the
// system's cause; the menu stays modified under its old name.
TEST_F(MenuWindow, AFailedSaveNamesTheSystemsCause) {
    TfrmQXMenu* w = Open();
    w->StructureConfirmed = 1;
    Typed = {"Francais"};
    Key(w->listboxLanguages, Qt::Key_Return);
    WriteFileBytes(Root / "plain", "not a folder");
    const std::string file = (Root / "plain" / "menu.mnu").string();
    SaveNames = {file};
    Messages.clear();
    EXPECT_FALSE(w->SaveMenuAs());
    EXPECT_EQ(Texts(Messages), std::vector<std::string>{"Cannot save file:\r\n" + file + "\r\nNot a directory"});
    EXPECT_EQ(Messages.back().Icon, TMsgIcon::Stop);
    EXPECT_TRUE(w->Modified);
    EXPECT_NE(w->FileName, file);
}

TEST_F(MenuWindow, AnUnreadableFileClosesItsWindow) {
    const std::string file = (Root / "broken.mnu").string();
    WriteFileBytes(file, "not a menu");
    QPointer<TfrmQXMenu> w = Open(file);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!w || w->isHidden());
    EXPECT_EQ(Texts(Messages), std::vector<std::string>{"Cannot open file!\r\n" + file});
}

TEST_F(MenuWindow, SavingOverTheDefaultMenuAsksUnderAnySpelling) {
    const fs::path link = Root / "link.mnu";
    fs::create_symlink(ProgramDir / "DefaultMenu.mnu", link);
    const std::string names[] = {(ProgramDir / "DefaultMenu.mnu").string(),
                                 (ProgramDir / "." / "DefaultMenu.mnu").string(),
                                 (ProgramDir / ".." / "bin" / "DefaultMenu.mnu").string(), link.string()};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Messages.clear();
        TfrmQXMenu* w = Open();
        w->Modified = 1;
        Answers = {Box::No};
        EXPECT_FALSE(w->SaveMenuTo(name));
        EXPECT_EQ(Texts(Messages), std::vector<std::string>{Text(Msg::ReplaceOriginalMenuConfirm)});
        EXPECT_TRUE(w->Modified);
        EXPECT_EQ(ReadFileBytes(ProgramDir / "DefaultMenu.mnu"), TestDefaultMenu);
        w->Modified = 0;
        CloseWindow(w);
    }
}

TEST_F(MenuWindow, EveryCloseQueryOutcome) {
    const std::string good = (Root / "good.mnu").string();
    const std::string unwritable = (Root / "no-such-folder" / "x.mnu").string();
    struct Case {
        const char* what;
        bool titled;                           // opened from good.mnu
        std::vector<Box> answers;
        std::vector<std::string> saveAs;       // names the save dialog gives
        bool closes;
        bool saved;                            // good.mnu holds the change
    };
    const Case cases[] = {
        {"not modified", true, {}, {}, true, false},
        {"cancel", true, {Box::Cancel}, {}, false, false},
        {"no", true, {Box::No}, {}, true, false},
        {"yes, saved", true, {Box::Yes}, {}, true, true},
        {"yes, save as cancelled", false, {Box::Yes}, {}, false, false},
        {"yes, save as written", false, {Box::Yes}, {good}, true, true},
        {"yes, write failed", false, {Box::Yes}, {unwritable}, false, false},
        {"yes, replace refused", false, {Box::Yes, Box::No}, {good}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            TfrmQXMenu* writer = Open();
            Typed = {"English"};
            writer->actRenameLanguage->trigger();
            ASSERT_TRUE(writer->SaveMenuTo(good));
            CloseWindow(writer);
        }
        Messages.clear();
        TfrmQXMenu* w = Open(c.titled ? good : std::string());
        if (std::string(c.what) != "not modified") {
            Typed = {"Changed"};
            w->actRenameLanguage->trigger();
        }
        Answers.assign(c.answers.begin(), c.answers.end());
        SaveNames.assign(c.saveAs.begin(), c.saveAs.end());
        EXPECT_EQ(CloseWindow(w), c.closes);
        TQXMenuData check(nullptr, nullptr, -1);
        ASSERT_TRUE(check.LoadFromFile(good));
        EXPECT_EQ(check.GetLanguageName(0), c.saved ? "Changed" : "English");
        if (!c.closes) {
            EXPECT_TRUE(w->Modified);
            EXPECT_EQ(w->GetTitle(), c.titled ? good : "untitled" + std::to_string(w->UntitledNumber));
            w->Modified = 0;
            CloseWindow(w);
        }
    }
}

// A window opened from the default menu itself: answering Yes to "Save
// changes?" and then No to replacing the default menu writes nothing, and
// neither closing nor New Menu throws the changes away.
TEST_F(MenuWindow, RefusingToReplaceTheDefaultMenuKeepsTheChanges) {
    const std::string file = (ProgramDir / "DefaultMenu.mnu").string();
    const char* commands[] = {"close", "new menu"};
    for (const std::string command : commands) {
        SCOPED_TRACE(command);
        Messages.clear();
        TfrmQXMenu* w = Open(file);
        Typed = {"Changed"};
        w->actRenameLanguage->trigger();
        ASSERT_TRUE(w->Modified);
        Answers = {Box::Yes, Box::No};
        if (command == "close") EXPECT_FALSE(CloseWindow(w));
        else w->actDefaultMenu->trigger();
        EXPECT_EQ(Texts(Messages), (std::vector<std::string>{file + "\r\nSave changes?",
                                                             Text(Msg::ReplaceOriginalMenuConfirm)}));
        EXPECT_EQ(ReadFileBytes(ProgramDir / "DefaultMenu.mnu"), TestDefaultMenu);
        EXPECT_TRUE(w->Modified);
        EXPECT_EQ(LanguageList(w), (std::vector<std::string>{"1. Changed", "2. Deutsch"}));
        w->Modified = 0;
        CloseWindow(w);
    }
}

TEST_F(MenuWindow, NewMenuKeepsTheFileAndAsksAboutChanges) {
    const std::string file = (Root / "kept.mnu").string();
    TfrmQXMenu* w = Open();
    Typed = {"Old"};
    w->actRenameLanguage->trigger();
    ASSERT_TRUE(w->SaveMenuTo(file));
    CloseWindow(w);
    w = Open(file);
    Typed = {"Edited"};
    w->actRenameLanguage->trigger();
    // Cancel: nothing happens.
    Answers = {Box::Cancel};
    w->actDefaultMenu->trigger();
    EXPECT_EQ(LanguageList(w), std::vector<std::string>{"1. Edited"});
    // Yes with a failed write keeps the menu and its changes.
    fs::permissions(Root, fs::perms::owner_write, fs::perm_options::remove);
    Answers = {Box::Yes};
    w->actDefaultMenu->trigger();
    fs::permissions(Root, fs::perms::owner_write, fs::perm_options::add);
    if (getuid() != 0) {
        EXPECT_EQ(LanguageList(w), std::vector<std::string>{"1. Edited"});
        EXPECT_TRUE(w->Modified);
    }
    // No: a new menu under the same file name.
    Answers = {Box::No};
    w->actDefaultMenu->trigger();
    EXPECT_EQ(LanguageList(w), std::vector<std::string>{"1. <Language1>"});
    EXPECT_EQ(w->windowTitle(), QString::fromStdString("QX318 Menu [" + file + "]"));
    EXPECT_FALSE(w->Modified);
    Typed = {"New"};
    w->actRenameLanguage->trigger();
    w->SaveMenuItem->trigger();
    TQXMenuData check(nullptr, nullptr, -1);
    ASSERT_TRUE(check.LoadFromFile(file));
    EXPECT_EQ(check.GetLanguageName(0), "New");
}

TEST_F(MenuWindow, JoinsTheMainWindowWhileActive) {
    TfrmQX318MainForm& main = MainWindow();
    main.show();
    TfrmQXMenu* w = Open();
    QApplication::processEvents();
    EXPECT_TRUE(main.menuBar()->actions().contains(w->popupmnuEdit->menuAction()));
    EXPECT_EQ(main.mnuFile->actions().value(3), w->SaveMenuItem);
    EXPECT_EQ(main.mnuFile->actions().value(4), w->SaveAsMenuItem);
    QAction* save = main.App.ToolBars.Slots[0].GetButton(2);
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(save->isEnabled());
    Typed = {"Named"};
    w->actRenameLanguage->trigger();
    const std::string file = (Root / "button.mnu").string();
    SaveNames = {file};
    save->trigger();
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(w->Modified);
    const QAction* edit = w->popupmnuEdit->menuAction();
    const QAction* saveItem = w->SaveMenuItem;
    ASSERT_TRUE(CloseWindow(w));
    EXPECT_FALSE(main.menuBar()->actions().contains(edit));
    EXPECT_FALSE(main.mnuFile->actions().contains(saveItem));
    EXPECT_FALSE(save->isEnabled());
}

// With flexible tool bars the active menu window lends its buttons to the
// main window's menu tool bar; closing another menu window must not take
// them away.
TEST_F(MenuWindow, ClosingOneMenuWindowLeavesTheActiveOnesButtonsOnTheToolBar) {
    {
        _AppInterface settings;
        settings.FlexibleToolBarsSetting = 1;
        ASSERT_TRUE(SaveSettings(settings, CfgPath().string()));
    }
    TfrmQX318MainForm& main = MainWindow();
    ASSERT_TRUE(main.App.FlexibleToolBars);
    main.show();
    QToolBar* shared = main.App.ToolBars.Slots[6].GetToolBar();
    const QList<QAction*> defaults = shared->actions();
    ASSERT_EQ(defaults.size(), 1);
    TfrmQXMenu* first = Open();
    TfrmQXMenu* second = Open();
    QCoreApplication::processEvents();
    main.ClientArea->setActiveSubWindow(first);
    QCoreApplication::processEvents();
    EXPECT_EQ(shared->actions(), first->toolbarQXMenu->actions());
    // The active one closes: the other becomes active with its own buttons.
    main.ClientArea->setActiveSubWindow(second);
    QCoreApplication::processEvents();
    EXPECT_EQ(shared->actions(), second->toolbarQXMenu->actions());
    ASSERT_TRUE(CloseWindow(second));
    QCoreApplication::processEvents();
    ASSERT_EQ(main.ClientArea->activeSubWindow(), first);
    EXPECT_EQ(shared->actions(), first->toolbarQXMenu->actions());
    // A window whose file cannot be read closes at once and leaves the
    // active one as it was.
    const std::string broken = (Root / "broken.mnu").string();
    WriteFileBytes(broken, "not a menu");
    QPointer<TfrmQXMenu> failed = Open(broken);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(!failed || failed->isHidden());
    ASSERT_EQ(main.ClientArea->activeSubWindow(), first);
    EXPECT_EQ(shared->actions(), first->toolbarQXMenu->actions());
    QAction* save = main.App.ToolBars.Slots[0].GetButton(2);
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(save->isEnabled());
    // The last one closes, and a window of another kind becomes active: the
    // default button comes back.
    RegisterManagers();
    ASSERT_TRUE(DocumentCreators().OpenMemView);
    DocumentCreators().OpenMemView(&main.App);
    QCoreApplication::processEvents();
    ASSERT_NE(main.FindDocumentWindow(KindMemoryViewer), nullptr);
    main.ClientArea->setActiveSubWindow(first);
    QCoreApplication::processEvents();
    EXPECT_EQ(shared->actions(), first->toolbarQXMenu->actions());
    ASSERT_TRUE(CloseWindow(first));
    QCoreApplication::processEvents();
    EXPECT_EQ(main.ClientArea->activeSubWindow(), main.FindDocumentWindow(KindMemoryViewer));
    EXPECT_EQ(shared->actions(), defaults);
}

// A manager window closing in the background leaves the active window's
// buttons on the General tool bar.
TEST_F(MenuWindow, AManagerClosingInTheBackgroundLeavesTheActiveWindowsSaveButton) {
    TfrmQX318MainForm& main = MainWindow();
    main.show();
    RegisterManagers();
    DocumentCreators().OpenMemView(&main.App);
    QCoreApplication::processEvents();
    auto* viewer = main.FindDocumentWindow(KindMemoryViewer);
    ASSERT_NE(viewer, nullptr);
    TfrmQXMenu* menu = Open();
    main.ClientArea->setActiveSubWindow(menu);
    QCoreApplication::processEvents();
    QAction* save = main.App.ToolBars.Slots[0].GetButton(2);
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(save->isEnabled());
    QPointer<TMDICustomChild> closing(viewer);
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    ASSERT_TRUE(!closing || closing->isHidden());
    EXPECT_EQ(main.ClientArea->activeSubWindow(), menu);
    EXPECT_EQ(main.App.ToolBars.Slots[0].GetButton(2), save);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(save->property("QXMenuOwner").value<QObject*>(), menu);
}

TEST_F(MenuWindow, ExpertModeOpensAMenuFileFromTheCommandLine) {
    const std::string file = (ProgramDir / "DefaultMenu.mnu").string();
    WriteRegistry("[Software\\KVOZ]\nKVOZ=KVOZ\n");
    Main = std::make_unique<TfrmQX318MainForm>(nullptr, file);
    EXPECT_TRUE(Main->actMenuManager->isVisible());
    EXPECT_TRUE(Main->actMenuManager->isEnabled());
    Main->show();
    QCoreApplication::processEvents();
    TMDICustomChild* w = Main->FindDocumentWindow(KindQXMenu);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(static_cast<TfrmQXMenu*>(w)->FileName, file);
    // The Menu Manager command shows the open window instead of a second one.
    Main->actMenuManager->trigger();
    int count = 0;
    for (TMDICustomChild* d : Main->DocumentWindows()) count += d->Kind == KindQXMenu;
    EXPECT_EQ(count, 1);
}
