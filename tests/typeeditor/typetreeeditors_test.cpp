// The in-place editors of the type tree, driven by keys and clicks through
// the real window: the expert gate, the edit box's commits and messages,
// the size and units combo boxes, the check lists, and what scrolling,
// Esc and Delete do.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>

#include "../frame/EndKeys.h"
#include "StructureFixture.h"

namespace {

using TEditor = TTypeObjectTreeView::TEditor;

class TreeEditors : public StructureFixture {
protected:
    TfrmTypeObject* W = nullptr;

    void OpenSample(bool expert) {
        StartMain(expert);
        W = Open();
        ASSERT_NE(W, nullptr);
    }
    TTableData& Speeds() { return *W->TypeData->GetTable(0); }
    TEditor Editor() const { return W->TypeTree->OpenEditor(); }
    // Opens the editor of a node as a user does: Enter on its item.
    void Edit(int32_t id, int32_t sub, int32_t table = -1, int32_t field = -1) {
        ClickNode(W, id, sub, table, field);
        QTest::keyClick(W->TreeView, Qt::Key_Return);
    }
    // Types into the edit box and ends with the key.
    void TypeAndEnd(const char* text, Qt::Key end = Qt::Key_Return) {
        ASSERT_EQ(Editor(), TEditor::EditBox);
        W->edtEditTreeView->selectAll();
        QTest::keyClicks(W->edtEditTreeView, text);
        QTest::keyClick(W->edtEditTreeView, end);
    }
    static Strings Entries(const QListWidget* list) {
        Strings texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back((list->item(i)->checkState() == Qt::Checked ? "[x] " : "[ ] ") +
                            list->item(i)->text().toStdString());
        return texts;
    }
};

}  // namespace

TEST_F(TreeEditors, WithoutExpertModeOnlyTheLanguageChoiceIsOpen) {
    OpenSample(false);
    struct Node {
        int32_t Id, Sub, Table, Field;
    };
    const Node nodes[] = {{NodeTypeName, 0, -1, -1}, {NodeTableName, 0, 0, -1}, {NodeFunction, 0, 0, -1},
                          {NodeBlock, 0, 0, -1},     {NodeTableCfg, 0, 0, -1},  {NodeLevel, 0, 0, -1},
                          {NodeRows, 0, 0, -1},      {NodeFields, 0, 0, -1},    {NodeFieldName, 1, 0, 1},
                          {NodeFieldSize, 1, 0, 1},  {NodeFieldUnits, 1, 0, 1}, {NodeFieldFlags, 1, 0, 1}};
    for (const Node& n : nodes) {
        ClickNode(W, n.Id, n.Sub, n.Table, n.Field);
        QTreeWidgetItem* item = W->TreeView->currentItem();
        QTest::mouseDClick(W->TreeView->viewport(), Qt::LeftButton, {}, W->TreeView->visualItemRect(item).center());
        QTest::keyClick(W->TreeView, Qt::Key_Delete);
        QTest::keyClick(W->TreeView, '7');
        EXPECT_EQ(Editor(), TEditor::None) << n.Id;
        for (QWidget* e : {static_cast<QWidget*>(W->edtEditTreeView), static_cast<QWidget*>(W->cmbboxFieldSize),
                           static_cast<QWidget*>(W->cmbboxFieldUnits), static_cast<QWidget*>(W->chklbEditTreeView)})
            EXPECT_FALSE(e->isVisible()) << n.Id;
    }
    EXPECT_FALSE(W->Modified);
    // A double click on a language makes it the current one.
    ClickNode(W, NodeLanguage, 1);
    QTest::mouseDClick(W->TreeView->viewport(), Qt::LeftButton, {},
                       W->TreeView->visualItemRect(W->TreeView->currentItem()).center());
    EXPECT_EQ(W->CurrentLanguage, 1);
    EXPECT_EQ(Text(ItemOf(W, NodeCurrentLanguage, 0)), "Language (2. Deutsch)");
    EXPECT_EQ(W->StatusPanels[1]->text().toStdString(), "Deutsch");
    EXPECT_FALSE(W->Modified);
}

TEST_F(TreeEditors, TheEditBoxCommitsEachNode) {
    OpenSample(true);
    Speeds().SetFunction(12);
    W->Refresh(false);
    struct Case {
        int32_t Id, Sub, Table, Field;
        const char* Typed;
        std::function<std::string(TfrmTypeObject*)> Stored;
        const char* Expected;
        const char* Message;  // none: no message
    };
    auto table = [](TfrmTypeObject* w) -> TTableData& { return *w->TypeData->GetTable(0); };
    auto function = [&](TfrmTypeObject* w) { return std::to_string(table(w).GetFunction()); };
    auto tableName = [&](TfrmTypeObject* w) { return table(w).GetName(); };
    const Case cases[] = {
        {NodeTypeName, 0, -1, -1, "A VERY LONG TYPE NAME", [](TfrmTypeObject* w) { return w->TypeData->GetTypeName(); },
         "A VERY LONG TYPE", nullptr},
        // The table's own name is no duplicate; another table's is.
        {NodeTableName, 0, 0, -1, "Speeds", tableName, "Speeds", nullptr},
        {NodeTableName, 0, 0, -1, "  Flow  ", tableName, "Flow", nullptr},
        {NodeTableName, 0, 0, -1, "   ", tableName, "Flow", "Invalid table name."},
        {NodeTableName, 0, 0, -1, "Flow rates of pump 1 and 2", tableName, "Flow rates of pu", nullptr},
        {NodeFunction, 0, 0, -1, "300", function, "12", "Wrong value for Function."},
        {NodeFunction, 0, 0, -1, "abc", function, "12", nullptr},
        {NodeFunction, 0, 0, -1, "$1F", function, "31", nullptr},
        {NodeFunction, 0, 0, -1, "-1", function, "31", "Wrong value for Function."},
        {NodeBlock, 0, 0, -1, "256", [&](TfrmTypeObject* w) { return std::to_string(table(w).GetBlock()); }, "0",
         "Wrong value for Block."},
        {NodeLevel, 0, 0, -1, "0x10", [&](TfrmTypeObject* w) { return std::to_string(table(w).GetLevel()); }, "16",
         nullptr},
        {NodeLevel, 0, 0, -1, "999", [&](TfrmTypeObject* w) { return std::to_string(table(w).GetLevel()); }, "16",
         "Wrong value for Level."},
        {NodeRows, 0, 0, -1, "70000", [&](TfrmTypeObject* w) { return std::to_string(table(w).GetRowCount()); }, "2",
         "Wrong value for Rows Count."},
        {NodeRows, 0, 0, -1, "5", [&](TfrmTypeObject* w) { return std::to_string(table(w).GetRowCount()); }, "5",
         nullptr},
        {NodeFields, 0, 0, -1, "256", [&](TfrmTypeObject* w) { return std::to_string(table(w).GetFieldCount()); },
         "3", "Wrong value for Fields Count."},
        {NodeFieldName, 1, 0, 1, "Temperature of oil", [&](TfrmTypeObject* w) { return table(w).GetField(1)->GetName(); },
         "Temperature of oi", nullptr},
    };
    for (const Case& c : cases) {
        Messages.clear();
        Edit(c.Id, c.Sub, c.Table, c.Field);
        TypeAndEnd(c.Typed);
        EXPECT_EQ(c.Stored(W), c.Expected) << c.Typed;
        EXPECT_EQ(MessageTexts(), c.Message ? Strings{c.Message} : Strings{}) << c.Typed;
        if (c.Message) {
            EXPECT_EQ(Messages.back().Icon, TMsgIcon::Stop);
        }
        EXPECT_EQ(Editor(), TEditor::None);
        EXPECT_FALSE(W->edtEditTreeView->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), W->TreeView) << c.Typed;
    }
    // The other table's name is refused; the tree, the tabs and the caption
    // show what is stored.
    Messages.clear();
    Edit(NodeTableName, 1, 1);
    TypeAndEnd("Flow rates of pu");
    EXPECT_EQ(MessageTexts(),
              Strings{"Table 'Flow rates of pu' already exists.\r\nCannot create two tables with the same name."});
    EXPECT_EQ(W->TypeData->GetTable(1)->GetName(), "");
    EXPECT_EQ(Text(ItemOf(W, NodeTable, 0)), "Table1 (Flow rates of pu)");
    EXPECT_EQ(Text(ItemOf(W, NodeRows, 0, 0)), "Rows: 5");
    EXPECT_EQ(W->TabControl->tabText(2).toStdString(), "Table 1 (Flow rates of pu)");
    EXPECT_EQ(W->windowTitle().toStdString().rfind("Type A VERY LONG TYPE", 0), 0u);
    // The grid shows the new rows at once.
    ClickCell(W, 2, 1, 1);
    EXPECT_EQ(W->DataGrid->model()->rowCount(), 6);
    EXPECT_TRUE(W->Modified);
}

TEST_F(TreeEditors, KeysThatOpenAndCloseTheEditBox) {
    OpenSample(true);
    // A typed character opens the box with that character.
    ClickNode(W, NodeFunction, 0, 0);
    QTest::keyClick(W->TreeView, '4');
    ASSERT_EQ(Editor(), TEditor::EditBox);
    EXPECT_EQ(W->edtEditTreeView->text().toStdString(), "4");
    EXPECT_EQ(W->edtEditTreeView->cursorPosition(), 1);
    QTest::keyClick(W->edtEditTreeView, '2');
    QTest::keyClick(W->edtEditTreeView, Qt::Key_Down);
    EXPECT_EQ(Speeds().GetFunction(), 42);
    // Delete opens it empty; Up ends it.
    QTest::keyClick(W->TreeView, Qt::Key_Delete);
    ASSERT_EQ(Editor(), TEditor::EditBox);
    EXPECT_TRUE(W->edtEditTreeView->text().isEmpty());
    QTest::keyClicks(W->edtEditTreeView, "9");
    QTest::keyClick(W->edtEditTreeView, Qt::Key_Up);
    EXPECT_EQ(Speeds().GetFunction(), 9);
    // Esc puts the old value back; the window counts it as a change.
    W->Modified = false;
    W->UpdateStatus(false);
    QTest::keyClick(W->TreeView, Qt::Key_Return);
    TypeAndEnd("77", Qt::Key_Escape);
    EXPECT_EQ(Speeds().GetFunction(), 9);
    EXPECT_TRUE(W->Modified);
    // Enter on an item with children opens and closes it.
    QTreeWidgetItem* field = ItemOf(W, NodeField, 0, 0);
    ClickNode(W, NodeField, 0, 0);
    const bool expanded = field->isExpanded();
    QTest::keyClick(W->TreeView, Qt::Key_Return);
    EXPECT_NE(field->isExpanded(), expanded);
    EXPECT_EQ(Editor(), TEditor::None);
    // Scrolling the tree commits what was typed.
    Edit(NodeBlock, 0, 0);
    QTest::keyClicks(W->edtEditTreeView, "7");
    emit W->TreeView->verticalScrollBar()->valueChanged(1);
    EXPECT_EQ(Speeds().GetBlock(), 7);
    EXPECT_EQ(Editor(), TEditor::None);
    // Leaving the box for the grid commits what was typed.
    Edit(NodeBlock, 0, 0);
    W->edtEditTreeView->selectAll();
    QTest::keyClicks(W->edtEditTreeView, "5");
    ClickCell(W, 0, 1, 3);
    EXPECT_EQ(Speeds().GetBlock(), 5);
    EXPECT_EQ(Editor(), TEditor::None);
    EXPECT_FALSE(W->edtEditTreeView->isVisible());
}

TEST_F(TreeEditors, TheEditBoxLiesOverTheValue) {
    OpenSample(true);
    Edit(NodeTableName, 0, 0);
    ASSERT_EQ(Editor(), TEditor::EditBox);
    QTreeWidgetItem* item = ItemOf(W, NodeTableName, 0, 0);
    const QRect text = W->TreeView->ItemTextRect(item);
    const QRect box = W->edtEditTreeView->geometry();
    const int value = W->TreeView->fontMetrics().horizontalAdvance("Speeds");
    EXPECT_EQ(box.left(), text.right() - value);
    EXPECT_EQ(box.right(), W->TreeView->viewport()->width() - 1);
    EXPECT_GE(box.width(), 50);
    EXPECT_EQ(box.top(), text.top());
    // A narrow pane grows to give the box 50 pixels.
    QTest::keyClick(W->edtEditTreeView, Qt::Key_Escape);
    W->Splitter->setSizes({120, 700});
    QApplication::processEvents();
    const int before = W->pnlTreeView->width();
    Edit(NodeFieldName, 1, 0, 1);
    ASSERT_EQ(Editor(), TEditor::EditBox);
    EXPECT_GE(W->edtEditTreeView->width(), 50);
    EXPECT_GT(W->pnlTreeView->width(), before);
}

TEST_F(TreeEditors, TheSizeCombo) {
    OpenSample(true);
    // Field 2 is two bytes wide: the list opens on "2".
    Edit(NodeFieldSize, 1, 0, 1);
    ASSERT_EQ(Editor(), TEditor::SizeCombo);
    EXPECT_TRUE(W->cmbboxFieldSize->isVisible());
    EXPECT_EQ(W->cmbboxFieldSize->currentIndex(), 1);
    EXPECT_EQ(W->cmbboxFieldSize->count(), 4);
    // Esc keeps the size, also after a choice in the list.
    W->cmbboxFieldSize->setCurrentIndex(3);
    emit W->cmbboxFieldSize->activated(3);
    QTest::keyClick(W->cmbboxFieldSize, Qt::Key_Escape);
    EXPECT_EQ(Speeds().GetField(1)->Size, 2);
    EXPECT_EQ(Editor(), TEditor::None);
    EXPECT_FALSE(W->cmbboxFieldSize->isVisible());
    // A choice and Enter: three bytes.
    Edit(NodeFieldSize, 1, 0, 1);
    W->cmbboxFieldSize->hidePopup();
    W->cmbboxFieldSize->setCurrentIndex(2);
    QTest::keyClick(W->cmbboxFieldSize, Qt::Key_Return);
    EXPECT_EQ(Speeds().GetField(1)->Size, 3);
    EXPECT_EQ(Text(ItemOf(W, NodeFieldSize, 1, 0, 1)), "Size: 3");
    // The tree has the focus back (the window's, as offscreen a closed
    // drop-down list leaves no window active).
    EXPECT_EQ(W->window()->focusWidget(), W->TreeView);
    // Scrolling closes it without storing what was not accepted.
    Edit(NodeFieldSize, 1, 0, 1);
    W->cmbboxFieldSize->hidePopup();
    W->cmbboxFieldSize->setCurrentIndex(0);
    W->TreeView->verticalScrollBar()->setValue(W->TreeView->verticalScrollBar()->maximum());
    W->TreeView->horizontalScrollBar()->setValue(1);
    emit W->TreeView->verticalScrollBar()->valueChanged(0);
    EXPECT_EQ(Editor(), TEditor::None);
    EXPECT_EQ(Speeds().GetField(1)->Size, 3);
}

TEST_F(TreeEditors, TheUnitsComboAndTheRecentUnits) {
    OpenSample(true);
    Main->App.UnitsList->assign({"bar", "rpm"});
    Speeds().GetField(1)->SetUnit("degC");
    W->Refresh(false);
    // Typing a letter opens the combo with that letter.
    ClickNode(W, NodeFieldUnits, 1, 0, 1);
    QTest::keyClick(W->TreeView, 'k');
    ASSERT_EQ(Editor(), TEditor::UnitsCombo);
    EXPECT_EQ(W->cmbboxFieldUnits->currentText().toStdString(), "k");
    QLineEdit* line = W->cmbboxFieldUnits->lineEdit();
    QTest::keyClicks(line, "Pa  ");
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_EQ(Speeds().GetField(1)->GetUnit(), "kPa");
    EXPECT_EQ(*Main->App.UnitsList, (Strings{"kPa", "bar", "rpm"}));
    EXPECT_EQ(Text(ItemOf(W, NodeFieldUnits, 1, 0, 1)), "Units: kPa");
    // Opened with Enter: the list is a copy of the recent units, the text
    // the field's unit; Esc keeps it.
    Edit(NodeFieldUnits, 1, 0, 1);
    ASSERT_EQ(Editor(), TEditor::UnitsCombo);
    EXPECT_EQ(W->cmbboxFieldUnits->currentText().toStdString(), "kPa");
    EXPECT_EQ(W->cmbboxFieldUnits->count(), 3);
    W->cmbboxFieldUnits->hidePopup();
    QTest::keyClicks(line, "xyz");
    QTest::keyClick(line, Qt::Key_Escape);
    EXPECT_EQ(Speeds().GetField(1)->GetUnit(), "kPa");
    // A long unit is cut to 7 characters; the list takes the stored text.
    Edit(NodeFieldUnits, 1, 0, 1);
    W->cmbboxFieldUnits->hidePopup();
    line->selectAll();
    QTest::keyClicks(line, "millibar");
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_EQ(Speeds().GetField(1)->GetUnit(), "milliba");
    EXPECT_EQ(Main->App.UnitsList->front(), "milliba");
    // Delete opens it empty; opened and left untouched it stores nothing.
    ClickNode(W, NodeFieldUnits, 0, 0, 0);
    QTest::keyClick(W->TreeView, Qt::Key_Delete);
    ASSERT_EQ(Editor(), TEditor::UnitsCombo);
    EXPECT_TRUE(W->cmbboxFieldUnits->currentText().isEmpty());
    W->cmbboxFieldUnits->hidePopup();
    W->HideEditors();
    EXPECT_EQ(Editor(), TEditor::None);
    EXPECT_EQ(Speeds().GetField(0)->GetUnit(), "");
}

TEST_F(TreeEditors, TheCheckLists) {
    OpenSample(true);
    Speeds().SetCfg(0x05);
    W->Refresh(false);
    // The table's Cfg byte, bit 0 first.
    Edit(NodeTableCfg, 0, 0);
    ASSERT_EQ(Editor(), TEditor::CheckList);
    QListWidget* list = W->chklbEditTreeView;
    EXPECT_EQ(Entries(list), (Strings{"[x] Swap LB/HB", "[ ] Routing table", "[x] Table index", "[ ] F3", "[ ] F4",
                                      "[ ] F5", "[ ] F6", "[ ] F7"}));
    EXPECT_EQ(list->height(), 4 * W->edtEditTreeView->sizeHint().height());
    // A click on an entry's box and Enter.
    list->scrollToItem(list->item(7));
    const QRect r = list->visualItemRect(list->item(7));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 8, r.center().y()));
    ASSERT_EQ(list->item(7)->checkState(), Qt::Checked);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Speeds().GetCfg(), 0x85);
    EXPECT_EQ(Text(ItemOf(W, NodeTableCfg, 0, 0)), "Cfg: 133");
    // Esc keeps the byte.
    Edit(NodeTableCfg, 0, 0);
    list->item(0)->setCheckState(Qt::Unchecked);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(Speeds().GetCfg(), 0x85);
    // Delete opens it with nothing checked; accepted, it stores 0.
    ClickNode(W, NodeTableCfg, 0, 0);
    QTest::keyClick(W->TreeView, Qt::Key_Delete);
    ASSERT_EQ(Editor(), TEditor::CheckList);
    EXPECT_EQ(Entries(list)[0], "[ ] Swap LB/HB");
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Speeds().GetCfg(), 0);

    // A field's flags: "Signed" is bit 0.
    Edit(NodeFieldFlags, 1, 0, 1);
    ASSERT_EQ(Editor(), TEditor::CheckList);
    EXPECT_EQ(Entries(list), (Strings{"[x] Signed", "[ ] F1", "[ ] F2", "[ ] F3", "[ ] F4", "[ ] F5", "[ ] F6",
                                      "[ ] F7"}));
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Space);
    list->item(2)->setCheckState(Qt::Checked);
    // Leaving for the grid without Enter: what was clicked counts.
    ClickCell(W, 2, 1, 2);
    EXPECT_EQ(Speeds().GetField(1)->Flags, 0x04);
    // The grid shows the field unsigned now.
    EXPECT_EQ(W->DataGrid->model()->index(1, 2).data().toString().toStdString(), "65531");
}

// The keys that end an edit without the mouse: Tab, Shift+Tab and Ctrl+Enter
// store what was typed or chosen, Esc keeps what is stored; the tree has the
// focus again.
TEST_F(TreeEditors, EveryEditorEndsByTheKeyboard) {
    OpenSample(true);
    QLineEdit* units = W->cmbboxFieldUnits->lineEdit();
    QListWidget* list = W->chklbEditTreeView;
    struct EditorCase {
        const char* Name;
        // Opens the editor and changes it (the n-th time): the stored text
        // it would give; and the widget the keys go to.
        std::function<std::string(int)> Change;
        std::function<QWidget*()> Keys;
        std::function<std::string()> Stored;
    };
    const EditorCase editors[] = {
        {"edit box",
         [&](int n) {
             Edit(NodeTypeName, 0);
             W->edtEditTreeView->selectAll();
             const std::string typed = "PUMP " + std::to_string(n);
             QTest::keyClicks(W->edtEditTreeView, QString::fromStdString(typed));
             return typed;
         },
         [&] { return W->edtEditTreeView; }, [&] { return W->TypeData->GetTypeName(); }},
        {"size combo",
         [&](int n) {
             Edit(NodeFieldSize, 1, 0, 1);
             W->cmbboxFieldSize->hidePopup();
             W->cmbboxFieldSize->setCurrentIndex(n % 4);
             return std::to_string(IndexToFieldSize(n % 4));
         },
         [&] { return W->cmbboxFieldSize; }, [&] { return std::to_string(Speeds().GetField(1)->Size); }},
        {"units combo",
         [&](int n) {
             Edit(NodeFieldUnits, 1, 0, 1);
             W->cmbboxFieldUnits->hidePopup();
             units->selectAll();
             const std::string typed = "mV" + std::to_string(n);
             QTest::keyClicks(units, QString::fromStdString(typed));
             return typed;
         },
         [&] { return units; }, [&] { return Speeds().GetField(1)->GetUnit(); }},
        {"check list",
         [&](int n) {
             Edit(NodeTableCfg, 0, 0);
             for (int k = 0; k < list->count(); ++k) list->item(k)->setCheckState(k == n ? Qt::Checked : Qt::Unchecked);
             return std::to_string(1 << n);
         },
         [&] { return list; }, [&] { return std::to_string(Speeds().GetCfg()); }},
    };
    for (const EditorCase& e : editors) {
        std::string expected = e.Stored();
        int n = 0;
        for (const TEndKey& end : EndKeys()) {
            const std::string changed = e.Change(++n);
            ASSERT_NE(Editor(), TEditor::None) << e.Name << " " << end.Name;
            QTest::keyClick(e.Keys(), static_cast<Qt::Key>(end.Key), end.Mods);
            QApplication::processEvents();
            if (end.Stores) expected = changed;
            EXPECT_EQ(Editor(), TEditor::None) << e.Name << " " << end.Name;
            EXPECT_EQ(W->window()->focusWidget(), W->TreeView) << e.Name << " " << end.Name;
            EXPECT_EQ(e.Stored(), expected) << e.Name << " " << end.Name;
        }
    }
}

// The edit box and the units combo take no more characters than the field
// they store into keeps: one more typed leaves the text at that length.
TEST_F(TreeEditors, EditorsTakeNoMoreThanTheirFieldKeeps) {
    OpenSample(true);
    struct Case {
        const char* Name;
        int32_t Id, Sub, Table, Field;
        size_t Length;
        std::function<QLineEdit*()> Box;
        std::function<std::string()> Stored;
    };
    const Case cases[] = {
        {"type name", NodeTypeName, 0, -1, -1, TTypeData6::NameLength, [&] { return W->edtEditTreeView; },
         [&] { return W->TypeData->GetTypeName(); }},
        {"table name", NodeTableName, 0, 0, -1, TTableData::NameLength, [&] { return W->edtEditTreeView; },
         [&] { return Speeds().GetName(); }},
        {"field name", NodeFieldName, 1, 0, 1, _TableFieldInfo::NameLength, [&] { return W->edtEditTreeView; },
         [&] { return Speeds().GetField(1)->GetName(); }},
        {"field unit", NodeFieldUnits, 1, 0, 1, _TableFieldInfo::UnitLength,
         [&] { return W->cmbboxFieldUnits->lineEdit(); }, [&] { return Speeds().GetField(1)->GetUnit(); }},
    };
    for (const Case& c : cases) {
        Edit(c.Id, c.Sub, c.Table, c.Field);
        ASSERT_NE(Editor(), TEditor::None) << c.Name;
        W->cmbboxFieldUnits->hidePopup();
        QLineEdit* box = c.Box();
        box->selectAll();
        const std::string typed = std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ").substr(0, c.Length + 1);
        QTest::keyClicks(box, QString::fromStdString(typed));
        EXPECT_EQ(box->text().toStdString(), typed.substr(0, c.Length)) << c.Name;
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(c.Stored(), typed.substr(0, c.Length)) << c.Name;
    }
}
