// The type window's structure commands through its actions, inside the
// real main window: the expert gate of every command, captions, keys and
// pictures, the table name checks, copy and paste between two windows, the
// languages and the Language submenu, and what each command leaves
// selected in the tree and in the grid.
#include <QMenu>
#include <QToolBar>

#include "StructureFixture.h"

namespace {

class TypeStructure : public StructureFixture {
protected:
    static std::vector<QAction*> StructureActions(TfrmTypeObject* w) {
        return {w->actAddTable,        w->actInsertTable,     w->actDeleteTable,    w->actCopyTable,
                w->actPasteTable,      w->actAddField,        w->actInsertField,    w->actDeleteField,
                w->actCopyField,       w->actPasteField,      w->actAddRow,         w->actInsertRow,
                w->actDeleteRow,       w->actAddParameter,    w->actInsertParameter, w->actDeleteParameter,
                w->actCopyParameter,   w->actPasteParameter,  w->actAddLanguage,    w->actInsertLanguage,
                w->actDeleteLanguage,  w->actRenameLanguage};
    }
    // The names of the enabled structure commands.
    static Strings Enabled(TfrmTypeObject* w) {
        w->UpdateActions();
        Strings names;
        for (QAction* a : StructureActions(w))
            if (a->isEnabled()) names.push_back(a->objectName().toStdString());
        return names;
    }
    static Strings Texts(const QList<QAction*>& actions) {
        Strings texts;
        for (QAction* a : actions) texts.push_back(a->isSeparator() ? "-" : a->text().toStdString());
        return texts;
    }
};

}  // namespace

TEST_F(TypeStructure, TheExpertGateOfEveryCommand) {
    // What each place offers in expert mode; without it no structure
    // command is offered anywhere, the language choice and View/Edit As are.
    struct Place {
        const char* Name;
        std::function<void(TfrmTypeObject*)> Go;
        Strings Expert;
    };
    const Place places[] = {
        {"parameter in the grid", [](TfrmTypeObject* w) { ClickCell(w, 0, 2, 3); },
         {"actAddTable", "actAddParameter", "actInsertParameter", "actDeleteParameter", "actCopyParameter",
          "actAddLanguage"}},
        {"configuration", [](TfrmTypeObject* w) { ClickNode(w, NodeConfiguration, 0); },
         {"actAddTable", "actAddLanguage"}},
        {"second language", [](TfrmTypeObject* w) { ClickNode(w, NodeLanguage, 1); },
         {"actAddTable", "actAddLanguage", "actInsertLanguage", "actDeleteLanguage", "actRenameLanguage"}},
        {"table in the tree", [](TfrmTypeObject* w) { ClickNode(w, NodeTable, 0); },
         {"actAddTable", "actInsertTable", "actDeleteTable", "actCopyTable", "actAddField", "actAddRow",
          "actAddLanguage"}},
        {"field in the tree", [](TfrmTypeObject* w) { ClickNode(w, NodeField, 1, 0); },
         {"actAddTable", "actInsertTable", "actDeleteTable", "actCopyTable", "actAddField", "actInsertField",
          "actDeleteField", "actCopyField", "actAddRow", "actAddLanguage"}},
        {"cell in the grid", [](TfrmTypeObject* w) { ClickCell(w, 2, 1, 2); },
         {"actAddTable", "actInsertTable", "actDeleteTable", "actCopyTable", "actAddField", "actInsertField",
          "actDeleteField", "actAddRow", "actInsertRow", "actDeleteRow", "actAddLanguage"}},
    };
    for (bool expert : {false, true}) {
        StartMain(expert);
        TfrmTypeObject* w = Open();
        ASSERT_NE(w, nullptr);
        for (const Place& p : places) {
            p.Go(w);
            EXPECT_EQ(Enabled(w), expert ? p.Expert : Strings{}) << p.Name << (expert ? " expert" : "");
            EXPECT_TRUE(w->actLanguage->isEnabled()) << p.Name;
            for (QAction* a : {w->actViewEditAsBin, w->actViewEditAsDec, w->actViewEditAsHex})
                EXPECT_TRUE(a->isEnabled()) << p.Name;
        }
        // A disabled command does nothing, also when triggered by key.
        ClickCell(w, 0, 1, 1);
        QTest::keyClick(w->DataGrid, Qt::Key_Insert, Qt::ControlModifier);
        EXPECT_EQ(w->TypeData->GetTypeData().GetParameterCount(), expert ? 4 : 3);
        Main.reset();
    }
}

TEST_F(TypeStructure, CaptionsKeysPicturesAndPlaces) {
    StartMain(true);
    TfrmTypeObject* w = Open();
    ASSERT_NE(w, nullptr);
    for (QAction* a : StructureActions(w)) EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
    EXPECT_EQ(w->actDeleteLanguage->text().toStdString(), "Dlete Language");
    EXPECT_EQ(w->actDeleteLanguage->toolTip().toStdString(), "Delete Language");

    // The popup menus, in order.
    EXPECT_EQ(Texts(w->popupmnuType->actions()),
              (Strings{"Type PC -> QX", "Type QX -> PC", "-", "Add Table", "-", "Add Parameter", "Insert Parameter",
                       "Delete Parameter", "Copy Parameter", "Paste Parameter", "-", "Language", "-",
                       "View/Edit As"}));
    EXPECT_EQ(Texts(w->popupmnuTable->actions()),
              (Strings{"Type PC -> QX", "Type QX -> PC", "-", "Add Table", "Insert Table", "Delete Table",
                       "Copy Table", "Paste Table", "-", "Add Field", "Insert Field", "Delete Field", "Copy Field",
                       "Paste Field", "-", "Add Row", "Insert Row", "Delete Row", "-", "View/Edit As"}));
    EXPECT_EQ(Texts(w->toolbarType->actions()),
              (Strings{"Type PC -> QX", "Type QX -> PC", "-", "Add Table", "-", "Add Parameter", "Insert Parameter",
                       "Delete Parameter", "-", "Add Language", "Insert Language", "Dlete Language",
                       "Rename Language"}));
    EXPECT_EQ(Texts(w->toolbarTable->actions()),
              (Strings{"Type PC -> QX", "Type QX -> PC", "-", "Add Table", "Insert Table", "Delete Table", "-",
                       "Add Field", "Insert Field", "Delete Field", "-", "Add Row", "Insert Row", "Delete Row"}));

    // The keys the row and parameter commands share belong to the mode in
    // use: never two actions on one key.
    auto keys = [](QAction* a) {
        std::string text;
        for (const QKeySequence& k : a->shortcuts()) text += (text.empty() ? "" : " ") + k.toString().toStdString();
        return text;
    };
    for (bool table : {false, true}) {
        if (table) ClickNode(w, NodeTable, 0);
        else ClickNode(w, NodeParameters, 0);
        EXPECT_EQ(keys(w->actAddParameter), table ? "" : "Ctrl++ Ctrl+=");
        EXPECT_EQ(keys(w->actInsertParameter), table ? "" : "Ctrl+Ins");
        EXPECT_EQ(keys(w->actDeleteParameter), table ? "" : "Ctrl+Del");
        EXPECT_EQ(keys(w->actAddRow), table ? "Ctrl++ Ctrl+=" : "");
        EXPECT_EQ(keys(w->actInsertRow), table ? "Ctrl+Ins" : "");
        EXPECT_EQ(keys(w->actDeleteRow), table ? "Ctrl+Del" : "");
    }

    // The keys in the tree and in the grid: rows in a table, parameters on
    // the parameters.
    ClickNode(w, NodeTable, 0);
    QTest::keyClick(w->TreeView, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(w->TypeData->GetTable(0)->GetRowCount(), 3);
    EXPECT_EQ(w->TypeData->GetTypeData().GetParameterCount(), 3);
    QTest::keyClick(w->TreeView, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(w->TypeData->GetTable(0)->GetRowCount(), 3);  // the tree names no row
    w->TypeData->GetTable(0)->DeleteRow(2);
    w->Refresh(false);
    ClickCell(w, 2, 1, 1);
    QTest::keyClick(w->DataGrid, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(w->TypeData->GetTable(0)->GetRowCount(), 3);
    QTest::keyClick(w->DataGrid, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(w->TypeData->GetTable(0)->GetRowCount(), 4);
    QTest::keyClick(w->DataGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(w->TypeData->GetTable(0)->GetRowCount(), 3);
    ClickCell(w, 0, 1, 3);
    QTest::keyClick(w->DataGrid, Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(w->DataGrid, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(w->TypeData->GetTypeData().GetParameterCount(), 5);
    QTest::keyClick(w->DataGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(w->TypeData->GetTypeData().GetParameterCount(), 4);
    EXPECT_EQ(w->TypeData->GetTable(0)->GetRowCount(), 3);
}

TEST_F(TypeStructure, AddInsertAndDeleteTables) {
    StartMain(true);
    TfrmTypeObject* w = Open();
    ASSERT_NE(w, nullptr);
    TTypeObjectData& type = *w->TypeData;
    ClickNode(w, NodeParameters, 0);

    // The proposal counts the tables; blanks around the answer go.
    Answers = {"  Speed \t"};
    w->actAddTable->trigger();
    ASSERT_EQ(Inputs.size(), 1u);
    EXPECT_EQ(Inputs[0].Caption, "Table");
    EXPECT_EQ(Inputs[0].Prompt, "Input Table name:");
    EXPECT_EQ(Inputs[0].Value, "Table 3");
    EXPECT_EQ(Inputs[0].MaxLength, static_cast<int>(TTableData::NameLength));
    ASSERT_EQ(type.GetTableCount(), 3);
    EXPECT_EQ(type.GetTable(2)->GetName(), "Speed");
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 2));
    EXPECT_EQ(Text(w->TreeView->currentItem()), "Table3 (Speed)");
    EXPECT_EQ(w->EditMenu, w->popupmnuTable);
    EXPECT_TRUE(w->Modified);

    // Refused names leave the tables as they are. Two long names that are
    // the same in their first 16 characters are one name.
    struct Refused {
        const char* Typed;
        const char* Message;
    };
    const Refused refused[] = {
        {"   ", "Invalid table name."},
        {"Speeds", "Table 'Speeds' already exists.\r\nCannot create two tables with the same name."},
        {"Pressure limits of pump 2",
         "Table 'Pressure limits' already exists.\r\nCannot create two tables with the same name."},
    };
    Answers = {"Pressure limits of pump 1"};
    w->actAddTable->trigger();
    ASSERT_EQ(type.GetTableCount(), 4);
    EXPECT_EQ(type.GetTable(3)->GetName(), "Pressure limits");
    for (const Refused& r : refused) {
        Messages.clear();
        Answers = {r.Typed};
        w->actInsertTable->trigger();
        EXPECT_EQ(MessageTexts(), Strings{r.Message}) << r.Typed;
        EXPECT_EQ(Messages.back().Icon, TMsgIcon::Stop);
        EXPECT_EQ(type.GetTableCount(), 4) << r.Typed;
    }
    // Cancel: nothing.
    Messages.clear();
    Answers = {std::nullopt};
    w->actAddTable->trigger();
    EXPECT_EQ(type.GetTableCount(), 4);
    EXPECT_TRUE(Messages.empty());

    // Insert before the first table: the new one takes its index.
    ClickNode(w, NodeTable, 0);
    Answers = {"Front"};
    w->actInsertTable->trigger();
    ASSERT_EQ(type.GetTableCount(), 5);
    EXPECT_EQ(type.GetTable(0)->GetName(), "Front");
    EXPECT_EQ(type.GetTable(1)->GetName(), "Speeds");
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 0));
    EXPECT_EQ(Text(w->TreeView->currentItem()), "Table1 (Front)");

    // Delete asks, by name or by number.
    ClickNode(w, NodeTable, 2);
    Answer = QMessageBox::No;
    Messages.clear();
    w->actDeleteTable->trigger();
    EXPECT_EQ(MessageTexts(), Strings{"Delete: Table 3\r\nAre you sure?"});
    EXPECT_EQ(Messages.back().Icon, TMsgIcon::Warning);
    EXPECT_EQ(type.GetTableCount(), 5);
    Answer = QMessageBox::Yes;
    w->actDeleteTable->trigger();
    ASSERT_EQ(type.GetTableCount(), 4);
    EXPECT_EQ(type.GetTable(2)->GetName(), "Speed");
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 2));
    // The last one deleted: the one before it is selected; the only one
    // deleted: the parameters.
    ClickNode(w, NodeTable, 3);
    w->actDeleteTable->trigger();
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 2));
    while (type.GetTableCount() > 0) w->actDeleteTable->trigger();
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindParameters));
    EXPECT_EQ(Text(w->TreeView->currentItem()), "Parameters");
    EXPECT_EQ(w->EditMenu, w->popupmnuType);
    EXPECT_EQ(w->TabControl->count(), 2);
}

TEST_F(TypeStructure, FieldsRowsAndParametersAndWhatStaysSelected) {
    StartMain(true);
    TfrmTypeObject* w = Open();
    ASSERT_NE(w, nullptr);
    TTypeObjectData& type = *w->TypeData;
    TTableData& speeds = *type.GetTable(0);

    // Fields in the tree: the new field's item is selected.
    ClickNode(w, NodeTable, 0);
    w->actAddField->trigger();
    ASSERT_EQ(speeds.GetFieldCount(), 4);
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindField, 0, 3));
    EXPECT_EQ(Text(w->TreeView->currentItem()), "Field 4");
    ClickNode(w, NodeField, 1, 0);
    w->actInsertField->trigger();
    ASSERT_EQ(speeds.GetFieldCount(), 5);
    EXPECT_EQ(speeds.GetField(2)->GetName(), "Temp");
    EXPECT_EQ(speeds.GetValue(0, 0, 2), 0xFFFFFFFBu);
    EXPECT_EQ(speeds.GetValue(0, 0, 1), 0u);
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindField, 0, 1));
    EXPECT_EQ(Text(w->TreeView->currentItem()), "Field 2");
    ClickNode(w, NodeField, 4, 0);
    w->actDeleteField->trigger();
    EXPECT_EQ(speeds.GetFieldCount(), 4);
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindField, 0, 3));
    while (speeds.GetFieldCount() > 0) w->actDeleteField->trigger();
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 0));
    EXPECT_EQ(Text(w->TreeView->currentItem()), "Table1 (Speeds)");
    EXPECT_TRUE(Messages.empty());

    // Rows in the grid: the cursor goes where the selection says.
    speeds.SetFieldCount(2);
    w->Refresh(false);
    ClickCell(w, 2, 1, 2);
    w->actAddRow->trigger();
    EXPECT_EQ(speeds.GetRowCount(), 3);
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 0, 1, 2));
    EXPECT_EQ(w->DataGrid->currentIndex(), w->DataGrid->model()->index(3, 2));
    ClickCell(w, 2, 2, 1);
    speeds.SetValue(0, 1, 0, 99);
    w->actInsertRow->trigger();
    EXPECT_EQ(speeds.GetRowCount(), 4);
    EXPECT_EQ(speeds.GetValue(0, 2, 0), 99u);
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 0, 0, 1));
    ClickCell(w, 2, 4, 1);
    w->actDeleteRow->trigger();
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 0, 0, 2));
    EXPECT_EQ(w->DataGrid->currentIndex(), w->DataGrid->model()->index(3, 1));
    while (speeds.GetRowCount() > 0) w->actDeleteRow->trigger();
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindTable, 0, 0, -1));
    EXPECT_FALSE(w->actDeleteRow->isEnabled());

    // Parameters in the grid.
    TTypeData6& def = type.GetTypeData();
    ClickCell(w, 0, 2, 3);
    w->actAddParameter->trigger();
    EXPECT_EQ(def.GetParameterCount(), 4);
    EXPECT_EQ(w->Selection.Parameter, 3);
    EXPECT_EQ(w->DataGrid->currentIndex(), w->DataGrid->model()->index(4, 3));
    ClickCell(w, 0, 1, 3);
    w->actInsertParameter->trigger();
    EXPECT_EQ(def.GetParamName(1, 0), "P1 Speed");
    EXPECT_EQ(def.GetValue(1, 0), 100);
    EXPECT_EQ(w->Selection.Parameter, 0);
    ClickCell(w, 0, 5, 3);
    w->actDeleteParameter->trigger();
    EXPECT_EQ(def.GetParameterCount(), 4);
    EXPECT_EQ(w->Selection.Parameter, 3);
    EXPECT_EQ(w->DataGrid->currentIndex(), w->DataGrid->model()->index(4, 3));
    EXPECT_TRUE(w->Modified);
}

TEST_F(TypeStructure, CopyAndPasteBetweenTwoWindows) {
    StartMain(true);
    TfrmTypeObject* a = Open("a.mtp");
    TfrmTypeObject* b = Open("b.mtp");
    ASSERT_TRUE(a && b);
    // Window b: its own names, texts and values to keep apart.
    TTypeObjectData& tb = *b->TypeData;
    tb.GetTable(0)->SetName("Mine");
    tb.GetTable(1)->SetName("Other");
    tb.GetTypeData().SetParamNameRaw(2, 0, "P3 Own");
    tb.GetTypeData().SetParamNameRaw(2, 1, "P3 Eigen");
    tb.GetTypeData().SetValue(2, 0, 77);
    b->Refresh(false);
    TTypeObjectData& ta = *a->TypeData;

    // A table: the copy keeps the target's name and nothing of the source
    // changed after the copy.
    Main->ClientArea->setActiveSubWindow(a);
    ClickNode(a, NodeTable, 0);
    a->actCopyTable->trigger();
    EXPECT_EQ(a->StatusPanels[2]->text().toStdString(), "T");
    EXPECT_EQ(b->StatusPanels[2]->text().toStdString(), "T");
    ta.GetTable(0)->SetValue(0, 0, 0, 123);
    Main->ClientArea->setActiveSubWindow(b);
    ClickNode(b, NodeTable, 1);
    b->UpdateActions();
    ASSERT_TRUE(b->actPasteTable->isEnabled());
    b->actPasteTable->trigger();
    const TTableData* pasted = tb.GetTable(1);
    EXPECT_EQ(pasted->GetName(), "Other");
    EXPECT_EQ(pasted->GetFieldCount(), 3);
    EXPECT_EQ(pasted->GetRowCount(), 2);
    EXPECT_EQ(pasted->GetValue(0, 0, 0), 7u);
    EXPECT_EQ(pasted->GetDisplayFormats(), tb.GetDisplayFormats());
    EXPECT_EQ(b->Selection, Selected(_TypeSelection::KindTable, 1));
    EXPECT_EQ(b->TabControl->tabText(3), "Table 2 (Other)");
    EXPECT_TRUE(b->Modified);
    // With a field selected there is no table to paste over.
    ClickNode(b, NodeField, 0, 1);
    b->UpdateActions();
    EXPECT_FALSE(b->actPasteTable->isEnabled());

    // A field: the record goes, the cells stay.
    Main->ClientArea->setActiveSubWindow(a);
    ClickNode(a, NodeField, 1, 0);
    a->actCopyField->trigger();
    EXPECT_EQ(b->StatusPanels[2]->text().toStdString(), "F");
    Main->ClientArea->setActiveSubWindow(b);
    ClickNode(b, NodeField, 0, 0);
    tb.GetTable(0)->SetValue(0, 1, 0, 200);
    b->actPasteField->trigger();
    const _TableFieldInfo* field = tb.GetTable(0)->GetField(0);
    EXPECT_EQ(field->GetName(), "Temp");
    EXPECT_EQ(field->Size, 2);
    EXPECT_EQ(field->Flags, 1);
    EXPECT_EQ(tb.GetTable(0)->GetValue(0, 1, 0), 200u);
    EXPECT_EQ(Text(ItemOf(b, NodeField, 0, 0)), "Field 1 (Temp)");

    // A parameter: its text in the current language and its format record.
    Main->ClientArea->setActiveSubWindow(a);
    ClickCell(a, 0, 1, 3);
    a->actCopyParameter->trigger();
    EXPECT_EQ(b->StatusPanels[2]->text().toStdString(), "P");
    Main->ClientArea->setActiveSubWindow(b);
    ClickCell(b, 0, 3, 3);
    b->UpdateActions();
    ASSERT_TRUE(b->actPasteParameter->isEnabled());
    b->actPasteParameter->trigger();
    const TTypeData6& def = tb.GetTypeData();
    EXPECT_EQ(def.GetParamName(2, 0), "P1 Speed");
    EXPECT_EQ(def.GetParamName(2, 1), "P3 Eigen");
    EXPECT_EQ(def.GetParamFormat(2)->GetUnits(), "rpm");
    EXPECT_EQ(def.GetParamFormat(2)->Min, 10);
    EXPECT_EQ(def.GetParamFormat(2)->Max, 3000);
    EXPECT_EQ(def.GetValue(2, 0), 77);
    EXPECT_EQ(b->Selection.Parameter, 2);

    // Copying a field empties the parameter: nothing of it is pasted again,
    // and its paste is not offered.
    a->actCopyField->trigger();  // a's selection is a parameter: not offered
    EXPECT_EQ(Main->App.CopyPaste->GetKind(), TCopyPaste::KindParameter);
    Main->ClientArea->setActiveSubWindow(a);
    ClickNode(a, NodeField, 2, 0);
    a->actCopyField->trigger();
    EXPECT_EQ(Main->App.CopyPaste->GetKind(), TCopyPaste::KindField);
    EXPECT_EQ(Main->App.CopyPaste->GetFormat(), nullptr);
    Main->ClientArea->setActiveSubWindow(b);
    ClickCell(b, 0, 1, 3);
    b->UpdateActions();
    EXPECT_FALSE(b->actPasteParameter->isEnabled());
    b->actPasteParameter->trigger();
    EXPECT_EQ(def.GetParamName(0, 0), "P1 Speed");
}

TEST_F(TypeStructure, PasteParameterTakesTheCurrentLanguagesTextOnly) {
    // The store takes a parameter's text and its format record together;
    // the text copied is that of the current language.
    StartMain(true);
    TfrmTypeObject* w = Open();
    ASSERT_NE(w, nullptr);
    emit w->mnuLanguage->aboutToShow();
    w->mnuLanguage->actions().at(6)->trigger();
    ASSERT_EQ(w->CurrentLanguage, 1);
    const TTypeData6& def = w->TypeData->GetTypeData();
    // Parameter 2 has no German text of its own.
    const std::string german = def.GetParamName(1, 1);
    ASSERT_EQ(german.find("Limit"), std::string::npos);
    ClickCell(w, 0, 2, 3);
    w->actCopyParameter->trigger();
    ASSERT_EQ(Main->App.CopyPaste->GetKind(), TCopyPaste::KindParameter);
    ASSERT_NE(Main->App.CopyPaste->GetParamName(), nullptr);
    ASSERT_NE(Main->App.CopyPaste->GetFormat(), nullptr);
    EXPECT_EQ(Main->App.CopyPaste->GetParamName()->Text, german);
    ClickCell(w, 0, 1, 3);
    w->actPasteParameter->trigger();
    EXPECT_EQ(def.GetParamName(0, 1), german);
    EXPECT_EQ(def.GetParamName(0, 0), "P1 Speed");
    EXPECT_EQ(def.GetParamFormat(0)->GetUnits(), "");
    EXPECT_EQ(def.GetParamFormat(0)->Max, 0);
}

TEST_F(TypeStructure, LanguagesAndTheLanguageSubmenu) {
    StartMain(true);
    TfrmTypeObject* w = Open();
    ASSERT_NE(w, nullptr);
    TTypeData6& def = w->TypeData->GetTypeData();
    auto submenu = [&] {
        emit w->mnuLanguage->aboutToShow();
        Strings texts;
        for (QAction* a : w->mnuLanguage->actions()) texts.push_back(a->isSeparator() ? "-" : a->text().toStdString());
        return texts;
    };

    // Added and named: the new language is current and selected.
    ClickNode(w, NodeConfiguration, 0);
    Answers = {"Fran\xE7" "ais"};
    w->actAddLanguage->trigger();
    ASSERT_EQ(Inputs.size(), 1u);
    EXPECT_EQ(Inputs[0].Caption, "Language");
    EXPECT_EQ(Inputs[0].Prompt, "Input Language 3 name:");
    EXPECT_EQ(Inputs[0].Value, "Language");
    EXPECT_EQ(Inputs[0].MaxLength, static_cast<int>(_LangItem::NameLength));
    ASSERT_EQ(def.GetLanguageCount(), 3);
    EXPECT_EQ(w->CurrentLanguage, 2);
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindLanguage, -1, -1, -1, -1, 2));
    EXPECT_EQ(Text(w->TreeView->currentItem()), "3. Fran\xC3\xA7" "ais");
    EXPECT_EQ(w->StatusPanels[1]->text().toStdString(), "Fran\xC3\xA7" "ais");
    EXPECT_EQ(submenu(), (Strings{"Add", "Insert", "Delete Language", "Rename", "-", "1. English", "2. Deutsch",
                                  "3>  Fran\xC3\xA7" "ais"}));
    // Cancelled: the language goes again.
    Answers = {std::nullopt};
    w->actAddLanguage->trigger();
    EXPECT_EQ(def.GetLanguageCount(), 3);
    EXPECT_EQ(w->CurrentLanguage, 2);

    // Inserted before the first.
    ClickNode(w, NodeLanguage, 0);
    Answers = {"Italiano"};
    w->actInsertLanguage->trigger();
    ASSERT_EQ(def.GetLanguageCount(), 4);
    EXPECT_EQ(Inputs.back().Prompt, "Input Language 1 name:");
    EXPECT_EQ(def.GetLanguage(0)->GetName(), "Italiano");
    EXPECT_EQ(def.GetLanguage(1)->GetName(), "English");
    EXPECT_EQ(def.GetParamName(0, 1), "P1 Speed");
    EXPECT_EQ(w->CurrentLanguage, 0);
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindLanguage, -1, -1, -1, -1, 0));
    Answers = {std::nullopt};
    w->actInsertLanguage->trigger();
    EXPECT_EQ(def.GetLanguageCount(), 4);

    // Renamed, also cancelled.
    ClickNode(w, NodeLanguage, 2);
    Answers = {"German"};
    w->actRenameLanguage->trigger();
    EXPECT_EQ(Inputs.back().Value, "Deutsch");
    EXPECT_EQ(def.GetLanguage(2)->GetName(), "German");
    Answers = {std::nullopt};
    w->actRenameLanguage->trigger();
    EXPECT_EQ(def.GetLanguage(2)->GetName(), "German");

    // Deleting a language before the current one keeps the current one.
    w->CurrentLanguage = 3;
    ClickNode(w, NodeLanguage, 1);
    Answer = QMessageBox::No;
    Messages.clear();
    w->actDeleteLanguage->trigger();
    EXPECT_EQ(MessageTexts(), Strings{"Delete English language.\r\nAre you sure?"});
    EXPECT_EQ(def.GetLanguageCount(), 4);
    Answer = QMessageBox::Yes;
    w->actDeleteLanguage->trigger();
    ASSERT_EQ(def.GetLanguageCount(), 3);
    EXPECT_EQ(w->CurrentLanguage, 2);
    EXPECT_EQ(def.GetLanguage(w->CurrentLanguage)->GetName(), "Fran\xE7" "ais");
    EXPECT_EQ(w->Selection, Selected(_TypeSelection::KindLanguage, -1, -1, -1, -1, 2));
    EXPECT_EQ(submenu(), (Strings{"Add", "Insert", "Delete Language", "Rename", "-", "1. Italiano", "2. German",
                                  "3>  Fran\xC3\xA7" "ais"}));
    // The last one cannot go.
    while (def.GetLanguageCount() > 1) {
        ClickNode(w, NodeLanguage, 0);
        w->actDeleteLanguage->trigger();
    }
    ClickNode(w, NodeLanguage, 0);
    w->UpdateActions();
    EXPECT_FALSE(w->actDeleteLanguage->isEnabled());
    EXPECT_EQ(w->CurrentLanguage, 0);
    EXPECT_EQ(submenu(), (Strings{"Add", "Insert", "Delete Language", "Rename", "-", "1>  Fran\xC3\xA7" "ais"}));
}
