// The type window driven through its actions inside the real main window:
// creating and opening, caption and status, tree and grid, menu and tool
// bar merging, saving, closing with the question, the expert gate and the
// focus keys.
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "../frame/FrameTest.h"
#include "../support/gui/LayoutCheck.h"
#include "Main.h"
#include "TypeSamples.h"
#include "TypeWindow.h"

namespace {

class TypeWindow : public FrameFixture {
protected:
    std::unique_ptr<TfrmQX318MainForm> Main;
    // What each save dialog was asked: its request and the name it proposed.
    struct SaveDialog {
        TOpenDialogRequest Request;
        std::string FileName;
    };
    std::vector<SaveDialog> SaveDialogs;
    std::string SaveAsFile;  // empty: the save dialog is cancelled
    QMessageBox::StandardButton CloseAnswer = QMessageBox::Yes;

    void SetUp() override {
        FrameFixture::SetUp();
        RegisterTypeEditor();
        TDialogAnswers::Set<TMessageBoxDialog>([this](const TMessageRequest& r) {
            Messages.push_back(r);
            return r.Buttons == TMsgButtons::Ok ? QMessageBox::Ok : CloseAnswer;
        });
        TDialogAnswers::Set<TSaveFileDialog>([this](const TOpenDialogRequest& r, const std::string& start, std::string& name) {
            SaveDialogs.push_back({r, start});
            if (SaveAsFile.empty()) return false;
            name = SaveAsFile;
            return true;
        });
    }
    void TearDown() override {
        // Nothing left to ask about: the main window closes without questions.
        if (Main)
            for (TMDICustomChild* w : Main->DocumentWindows())
                if (auto* t = qobject_cast<TfrmTypeObject*>(w)) t->Modified = false;
        Main.reset();
        TDialogAnswers::Clear<TSaveFileDialog>();
        FrameFixture::TearDown();
    }

    void StartMain(bool flexible = false, const std::string& commandLine = {}) {
        if (flexible) {
            _AppInterface app;
            app.FlexibleToolBarsSetting = 1;
            ASSERT_TRUE(SaveSettings(app, GetSettingsFilePath(CfgPath().string())));
        }
        Main = std::make_unique<TfrmQX318MainForm>(nullptr, commandLine);
        Main->show();
        QApplication::setActiveWindow(Main.get());
        QApplication::processEvents();
    }

    std::string WriteSampleFile(const char* name) {
        uint8_t formats[100] = {};
        TTypeObjectData type(formats);
        FillSampleType(type);
        const std::string path = (Root / name).string();
        EXPECT_TRUE(type.SaveToFile(path));
        return path;
    }

    TfrmTypeObject* Open(const std::string& name) {
        QPointer<TMDICustomChild> w = DocumentCreators().OpenTypeObject(&Main->App, name);
        QApplication::processEvents();
        return qobject_cast<TfrmTypeObject*>(OpenWindow(w));
    }

    std::vector<TfrmTypeObject*> TypeWindows() const {
        std::vector<TfrmTypeObject*> list;
        for (TMDICustomChild* w : Main->DocumentWindows())
            if (auto* t = qobject_cast<TfrmTypeObject*>(w)) list.push_back(t);
        return list;
    }

    static std::string Caption(const QWidget* w) { return w->windowTitle().toStdString(); }
    static std::vector<std::string> Panels(TfrmTypeObject* w) {
        std::vector<std::string> texts;
        for (QLabel* l : w->StatusPanels) texts.push_back(l->text().toStdString());
        return texts;
    }
    static std::vector<std::string> Texts(const QList<QAction*>& actions) {
        std::vector<std::string> texts;
        for (QAction* a : actions)
            if (!a->isSeparator()) texts.push_back(a->text().toStdString());
        return texts;
    }
    // The grid's texts of one row, as the model gives them.
    static std::vector<std::string> GridRow(TfrmTypeObject* w, int row) {
        std::vector<std::string> cells;
        QAbstractItemModel* m = w->DataGrid->model();
        for (int c = 0; c < m->columnCount(); ++c) cells.push_back(m->index(row, c).data().toString().toStdString());
        return cells;
    }
    static QTreeWidgetItem* ItemOf(TfrmTypeObject* w, int32_t id, int32_t sub, int32_t table = -1) {
        TNodeExt* scope = table >= 0 ? w->TypeTree->Root()->Find(NodeTable, table, "") : w->TypeTree->Root();
        TNodeExt* node = scope ? scope->Find(id, sub, "") : nullptr;
        return node ? TQtTreeNodes::Item(node->TreeNode) : nullptr;
    }
    static void ClickItem(TfrmTypeObject* w, QTreeWidgetItem* item) {
        w->TreeView->scrollToItem(item);
        QApplication::processEvents();
        const QRect r = w->TreeView->visualItemRect(item);
        QTest::mouseClick(w->TreeView->viewport(), Qt::LeftButton, {}, r.center());
    }
};

std::vector<std::string> TabTexts(TfrmTypeObject* w) {
    std::vector<std::string> tabs;
    for (int i = 0; i < w->TabControl->count(); ++i) tabs.push_back(w->TabControl->tabText(i).toStdString());
    return tabs;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(TypeWindow, NewWindowsAreNumberedAndTheNumbersNeverComeBack) {
    StartMain();
    EXPECT_TRUE(Main->actNew->isEnabled());
    EXPECT_TRUE(Main->actOpen->isEnabled());
    for (int i = 0; i < 3; ++i) Main->actNew->trigger();
    QApplication::processEvents();
    auto windows = TypeWindows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(Caption(windows[0]), "Type  [untitled1]");
    EXPECT_EQ(Caption(windows[2]), "Type  [untitled3]");
    EXPECT_EQ(Panels(windows[0]), (Strings{"", "Language", "", ""}));
    windows[2]->close();
    QApplication::processEvents();
    Main->actNew->trigger();
    QApplication::processEvents();
    windows = TypeWindows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows.back()->GetDisplayName(), "untitled4");
    EXPECT_EQ(Main->App.UntitledCounter, 4);
    // A new type: the tree shows it, the grid shows its parameters.
    TfrmTypeObject* w = windows.back();
    EXPECT_EQ(w->TreeView->topLevelItem(0)->text(0), "Type");
    EXPECT_TRUE(w->TreeView->topLevelItem(0)->isExpanded());
    EXPECT_EQ(TabTexts(w), (Strings{"Parameters", "Configuration"}));
    EXPECT_EQ(GridRow(w, 1), (Strings{"-", "-", "-", "-", "-", "-", "-"}));
}

TEST_F(TypeWindow, OpensAFileWrittenByHand) {
    StartMain();
    const fs::path path = Root / "boiler.mtp";
    WriteFileBytes(path, HandWrittenTypeFile());
    ChosenFile = path.string();
    Main->actOpen->trigger();
    QApplication::processEvents();
    auto windows = TypeWindows();
    ASSERT_EQ(windows.size(), 1u);
    TfrmTypeObject* w = windows[0];
    EXPECT_EQ(Caption(w), "Type BOILER [" + path.string() + "]");
    EXPECT_EQ(Panels(w), (Strings{"", "English", "", ""}));
    EXPECT_EQ(Main->App.RecentFiles->Names()[0], path.string());
    EXPECT_EQ(Main->App.UnitsList->front(), "l/h");
    EXPECT_EQ(GridRow(w, 0), (Strings{"Nr", "Par", "Text", "Value", "Min", "Max", "Units"}));
    EXPECT_EQ(GridRow(w, 1), (Strings{"1", "P1", "Flow", "120", "0", "500", "l/h"}));
    EXPECT_EQ(GridRow(w, 2), (Strings{"2", "P2", "Mode", "3", "0", "0", ""}));
    EXPECT_EQ(w->DataGrid->model()->rowCount(), 3);
    EXPECT_EQ(w->TreeView->topLevelItem(0)->text(0), "Type (BOILER)");
    EXPECT_FALSE(w->Modified);
    // Saved again, the file comes back byte for byte.
    w->mnuSave->trigger();
    EXPECT_EQ(ReadFileBytes(path), HandWrittenTypeFile());
    EXPECT_TRUE(Messages.empty());
}

TEST_F(TypeWindow, ADamagedOrForeignFileLeavesNoWindowBehind) {
    StartMain();
    TfrmTypeObject* kept = Open(WriteSampleFile("kept.mtp"));
    ASSERT_NE(kept, nullptr);
    kept->UpdateStatus(true);
    const std::string good = HandWrittenTypeFile();
    // A file that the system could not open names the system's cause on
    // the last line; a damaged one has nothing to add.
    struct Case {
        const char* Name;
        std::string Bytes;
        const char* Cause;
    };
    const Case cases[] = {
        {"cut.mtp", good.substr(0, good.size() - 10), ""},
        {"foreign.mtp", "QX318 APP" + std::string(7, '\0'), ""},
        {"empty.mtp", "", ""},
        {"missing.mtp", "-", "\r\nNo such file or directory"},
    };
    for (const Case& c : cases) {
        const fs::path path = Root / c.Name;
        if (c.Bytes != "-") WriteFileBytes(path, c.Bytes);
        Messages.clear();
        EXPECT_EQ(Open(path.string()), nullptr) << c.Name;
        QApplication::processEvents();
        ASSERT_EQ(Messages.size(), 1u) << c.Name;
        EXPECT_EQ(Messages[0].Text, "Cannot open type file:\r\n" + path.string() + c.Cause);
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
        EXPECT_EQ(TypeWindows(), std::vector<TfrmTypeObject*>{kept}) << c.Name;
    }
    EXPECT_TRUE(kept->Modified);
    EXPECT_EQ(GridRow(kept, 1)[2], "Speed");
    // The window that was there keeps the frame's menus and tool bars.
    EXPECT_EQ(Main->ClientArea->activeSubWindow(), kept);
    EXPECT_EQ(Main->menuBar()->actions().value(1), kept->EditMenu->menuAction());
    EXPECT_EQ(Main->mnuFile->actions().value(3), kept->mnuSave);
    EXPECT_EQ(Main->App.ToolBars.Slots[0].GetButton(2)->toolTip(), "Save Type");
    // A recent file that is gone: the same message, the list stays.
    Main->App.RecentFiles->Add((Root / "gone.mtp").string());
    Messages.clear();
    Main->mnuOpenRecent->actions().first()->trigger();
    QApplication::processEvents();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Cannot open type file:\r\n" + (Root / "gone.mtp").string() + "\r\nNo such file or directory");
    EXPECT_EQ(TypeWindows().size(), 1u);
}

// A save into a "folder" that is a file: the message table's text first, the
// system's cause as the last line; nothing is written and the window keeps
// its state.
TEST_F(TypeWindow, AFailedSaveNamesTheSystemsCause) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("first.mtp"));
    ASSERT_NE(w, nullptr);
    w->TypeData->GetTypeData().SetValue(0, 0, 4321);
    w->Refresh(true);
    WriteFileBytes(Root / "plain", "not a folder");
    SaveAsFile = (Root / "plain" / "t.mtp").string();
    Messages.clear();
    w->mnuSaveAs->trigger();
    QApplication::processEvents();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Cannot save file:\r\n" + SaveAsFile + "\r\nNot a directory");
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
    EXPECT_TRUE(w->Modified);
    EXPECT_EQ(w->FileName, (Root / "first.mtp").string());
    // A save that works after it has nothing to add.
    SaveAsFile = (Root / "second.mtp").string();
    Messages.clear();
    w->mnuSaveAs->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(Messages.empty());
    EXPECT_FALSE(w->Modified);
}

TEST_F(TypeWindow, ADoubleClickOnTheEmptyFrameOpensAType) {
    StartMain();
    ChosenFile = WriteSampleFile("click.mtp");
    QTest::mouseDClick(Main->ClientArea->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QApplication::processEvents();
    const auto windows = TypeWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]->FileName, ChosenFile);
}

TEST_F(TypeWindow, TheStatusBarShowsWhatTheClipboardStoreHolds) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    TCopyPaste& store = *Main->App.CopyPaste;
    struct Case {
        int32_t Kind;
        const void* Item;
        const char* Panel;
    };
    _ParamName name{};
    _TableFieldInfo field;
    const Case cases[] = {
        {TCopyPaste::KindParameter, &name, "P"},
        {TCopyPaste::KindTable, w->TypeData->GetTable(0), "T"},
        {TCopyPaste::KindField, &field, "F"},
    };
    EXPECT_EQ(Panels(w)[2], "");
    for (const Case& c : cases) {
        ASSERT_TRUE(store.Copy(c.Item, c.Kind));
        w->UpdateStatus(false);
        EXPECT_EQ(Panels(w)[2], c.Panel);
    }
    store.Clear();
    w->UpdateStatus(false);
    EXPECT_EQ(Panels(w)[2], "");
    EXPECT_FALSE(w->Modified);
}

TEST_F(TypeWindow, TheCommandLineFileOpensAtStart) {
    const std::string path = WriteSampleFile("start.mtp");
    StartMain(false, path);
    QApplication::processEvents();
    const auto windows = TypeWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]->FileName, path);
    EXPECT_EQ(windows[0]->geometry(), QRect(10, 10, 600, 400));
    EXPECT_EQ(Main->App.RecentFiles->Names()[0], "");
}

TEST_F(TypeWindow, ADamagedCommandLineFileOpensNothing) {
    const std::string good = HandWrittenTypeFile();
    const fs::path path = Root / "cut.mtp";
    WriteFileBytes(path, good.substr(0, good.size() / 2));
    StartMain(false, path.string());
    QApplication::processEvents();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Cannot open type file:\r\n" + path.string());
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
    EXPECT_TRUE(TypeWindows().empty());
    EXPECT_TRUE(Main->isVisible());
    EXPECT_EQ(Texts(Main->menuBar()->actions()), (Strings{"&File", "&QX", "&Options", "&Window", "&Help"}));
}

TEST_F(TypeWindow, TreeAndGridShowTheTypeAndFollowEachOther) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(TabTexts(w), (Strings{"Parameters", "Configuration", "Table 1 (Speeds)", "Table 2"}));
    // The tabs stand above the grid at their full height.
    EXPECT_EQ(w->TabControl->height(), w->TabControl->sizeHint().height());
    EXPECT_GE(w->DataGrid->y(), w->TabControl->height());
    QTreeWidgetItem* root = w->TreeView->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Type (PUMP)");
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(1)->text(0), "Table1 (Speeds)");
    EXPECT_EQ(root->child(1)->data(0, Qt::UserRole).toInt(), NodeTable);

    // The user picks a field in the tree: table mode, the grid on its tab.
    root->child(1)->setExpanded(true);
    w->TreeView->setFocus();
    QSignalSpy moves(w->TreeView, &QTreeWidget::currentItemChanged);
    ClickItem(w, ItemOf(w, NodeField, 1, 0));
    EXPECT_EQ(moves.count(), 1);
    EXPECT_EQ(w->Selection.Kind, _TypeSelection::KindField);
    EXPECT_EQ(w->Selection.Table, 0);
    EXPECT_EQ(w->Selection.Field, 1);
    EXPECT_EQ(w->TabControl->currentIndex(), 2);
    EXPECT_TRUE(w->toolbarTable->isVisibleTo(w));
    EXPECT_FALSE(w->toolbarType->isVisibleTo(w));
    EXPECT_EQ(w->EditMenu, w->popupmnuTable);
    EXPECT_EQ(GridRow(w, 0), (Strings{"Nr", "Step", "Temp", "Field 3"}));
    EXPECT_EQ(GridRow(w, 1), (Strings{"1", "7", "-5", "305419896"}));
    // Row 0 and column 0 stay in place: the headers show them at their sizes.
    EXPECT_TRUE(w->DataGrid->isRowHidden(0));
    EXPECT_TRUE(w->DataGrid->isColumnHidden(0));
    EXPECT_EQ(w->DataGrid->horizontalHeader()->height(), 20);
    EXPECT_EQ(w->DataGrid->verticalHeader()->width(), 35);
    EXPECT_EQ(w->DataGrid->columnWidth(1), 50);
    EXPECT_EQ(w->DataGrid->columnWidth(2), 60);
    EXPECT_EQ(w->DataGrid->rowHeight(1), 20);

    // Back on a parameter: type mode again.
    ClickItem(w, ItemOf(w, NodeParameters, 0));
    EXPECT_EQ(w->Selection.Kind, _TypeSelection::KindParameters);
    EXPECT_TRUE(w->toolbarType->isVisibleTo(w));
    EXPECT_EQ(w->EditMenu, w->popupmnuType);
    EXPECT_EQ(w->TabControl->currentIndex(), 0);

    // Choosing the configuration tab shows the switches, last first.
    w->TabControl->setFocus();
    QTest::mouseClick(w->TabControl, Qt::LeftButton, {}, w->TabControl->tabRect(1).center());
    EXPECT_EQ(w->Selection.Kind, _TypeSelection::KindConfiguration);
    EXPECT_EQ(GridRow(w, 1), (Strings{"16", "Heater on the left side of the unit", "1"}));
    EXPECT_EQ(w->DataGrid->model()->rowCount(), 17);
    EXPECT_EQ(w->DataGrid->rowHeight(1), 33);
    EXPECT_EQ(w->DataGrid->columnWidth(1), 180);
    // The column is 30 wide unless its title needs more in this font.
    const int flag = QFontMetrics(w->DataGrid->horizontalHeader()->font()).horizontalAdvance("Flag") + 12;
    EXPECT_EQ(w->DataGrid->columnWidth(2), std::max(30, flag));
}

TEST_F(TypeWindow, TheTextColumnTakesWhatTheGridLeaves) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    for (int width : {900, 1100}) {
        w->resize(width, 500);
        QApplication::processEvents();
        ASSERT_EQ(w->TabControl->currentIndex(), 0);
        // Nr, Par, Value, Min, Max and Units, and 25 for the border and a
        // scroll bar: the rest of the grid's width is the text's.
        int others = 0;
        for (int c : {ColPar, ColValue, ColMin, ColMax, ColUnits}) others += w->DataGrid->columnWidth(c);
        others += w->DataGrid->verticalHeader()->width();
        EXPECT_EQ(w->DataGrid->columnWidth(ColText), w->DataGrid->width() - others - 25) << width;
        // So every column is in sight.
        EXPECT_EQ(w->DataGrid->horizontalScrollBar()->maximum(), 0) << width;
    }
}

TEST_F(TypeWindow, OneUserActionGivesOneSelectionReport) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    int reports = 0;
    const auto previous = w->GridContext.OnSelectionChanged;
    w->GridContext.OnSelectionChanged = [&] {
        ++reports;
        previous();
    };
    w->TreeView->setFocus();
    // A click into the grid from the tree: the focus arrives and the current
    // cell moves, one report.
    const QRect cell = w->DataGrid->visualRect(w->DataGrid->model()->index(2, 3));
    QTest::mouseClick(w->DataGrid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(w->Selection.Parameter, 1);
    // A key that moves the cell: one report.
    QTest::keyClick(w->DataGrid, Qt::Key_Down);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(w->Selection.Parameter, 2);
    // A rebuild reports nothing.
    w->Refresh(false);
    EXPECT_EQ(reports, 2);
}

TEST_F(TypeWindow, ARebuildKeepsExpansionAndSelection) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    QTreeWidgetItem* table = ItemOf(w, NodeTable, 0);
    table->setExpanded(true);
    ItemOf(w, NodeField, 0, 0)->setExpanded(true);
    w->TreeView->setFocus();
    ClickItem(w, ItemOf(w, NodeFieldName, 2, 0));
    ASSERT_EQ(w->Selection.Field, 2);
    QTreeWidgetItem* selected = w->TreeView->currentItem();

    w->TypeData->GetTable(0)->GetField(2)->SetName("Volt");
    w->TypeData->DeleteTable(1);
    w->Refresh(true);
    EXPECT_EQ(ItemOf(w, NodeTable, 0), table);
    EXPECT_TRUE(table->isExpanded());
    EXPECT_TRUE(ItemOf(w, NodeField, 0, 0)->isExpanded());
    EXPECT_EQ(w->TreeView->currentItem(), selected);
    EXPECT_EQ(selected->text(0), "Name: Volt");
    EXPECT_EQ(ItemOf(w, NodeField, 2, 0)->text(0), "Field 3 (Volt)");
    EXPECT_EQ(ItemOf(w, NodeTable, 1), nullptr);
    EXPECT_EQ(Panels(w)[0], "Modified");
    EXPECT_EQ(TabTexts(w), (Strings{"Parameters", "Configuration", "Table 1 (Speeds)"}));
}

TEST_F(TypeWindow, ViewEditAsShowsDecimalHexadecimalAndBinary) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    w->DataGrid->setFocus();
    w->DataGrid->setCurrentIndex(w->DataGrid->model()->index(2, ColValue));
    w->UpdateActions();
    EXPECT_TRUE(w->actViewEditAs->isEnabled());
    EXPECT_TRUE(w->mnuViewEditAs->menuAction()->isVisible());
    w->actViewEditAsHex->trigger();
    EXPECT_EQ(Main->App.DisplayFormats[9], 1);
    EXPECT_EQ(GridRow(w, 2)[ColValue], "0xABCD");
    w->actViewEditAsBin->trigger();
    EXPECT_EQ(GridRow(w, 2)[ColValue], "1010101111001101b");
    // At least the designed width, and wide enough for every digit.
    EXPECT_GE(w->DataGrid->columnWidth(ColValue), 115);
    EXPECT_GE(w->DataGrid->columnWidth(ColValue),
              QFontMetrics(w->DataGrid->font()).horizontalAdvance("1010101111001101b") + 10);
    w->actViewEditAsDec->trigger();
    EXPECT_EQ(GridRow(w, 2)[ColValue], "43981");
    EXPECT_EQ(w->DataGrid->columnWidth(ColValue), 60);
    EXPECT_FALSE(w->Modified);
    // In the tree there is nothing to view otherwise.
    w->TreeView->setFocus();
    w->UpdateActions();
    EXPECT_FALSE(w->actViewEditAs->isEnabled());
    EXPECT_FALSE(w->mnuViewEditAs->menuAction()->isVisible());
    EXPECT_FALSE(w->mnuViewEditAsTable->menuAction()->isVisible());
}

TEST_F(TypeWindow, MenusAndToolBarsFollowTheActiveTypeWindow) {
    StartMain(true);
    ASSERT_TRUE(Main->App.FlexibleToolBars);
    const Strings fileBefore = Texts(Main->mnuFile->actions());
    TfrmTypeObject* a = Open(WriteSampleFile("a.mtp"));
    TfrmTypeObject* b = Open(WriteSampleFile("b.mtp"));
    ASSERT_TRUE(a && b);
    auto check = [&](TfrmTypeObject* active, TfrmTypeObject* other) {
        Main->ClientArea->setActiveSubWindow(active);
        QApplication::processEvents();
        const QList<QAction*> bar = Main->menuBar()->actions();
        EXPECT_EQ(Texts(bar), (Strings{"&File", "&Edit", "&QX", "&Options", "&Window", "&Help"}));
        EXPECT_EQ(bar[1], active->EditMenu->menuAction());
        EXPECT_FALSE(bar.contains(other->popupmnuType->menuAction()));
        const QList<QAction*> file = Main->mnuFile->actions();
        EXPECT_EQ(file[3], active->mnuSave);
        EXPECT_EQ(file[4], active->mnuSaveAs);
        EXPECT_EQ(file[5], active->mnuPrint);
        EXPECT_EQ(file[6], active->mnuExport);
        EXPECT_EQ(Texts(file).size(), fileBefore.size() + 4);
        EXPECT_FALSE(file.contains(other->mnuSave));
        // The Type tool bar shows the active window's buttons; General's Save
        // saves it.
        EXPECT_EQ(Main->toolbarTypeDefault->actions(), active->toolbarType->actions());
        EXPECT_TRUE(active->pnlToolBar->isHidden());
        QAction* save = Main->App.ToolBars.Slots[0].GetButton(2);
        ASSERT_NE(save, nullptr);
        EXPECT_TRUE(save->isEnabled());
        EXPECT_EQ(save->toolTip(), "Save Type");
        EXPECT_EQ(Main->App.ToolBars.Slots[0].GetButton(3)->toolTip(), "Print Type");
    };
    check(a, b);
    check(b, a);
    check(a, b);

    // A table chosen: the Table tool bar shows the table buttons, the Type
    // tool bar has its own back, and the Edit menu is the table's.
    a->TreeView->setFocus();
    a->TreeView->setCurrentItem(ItemOf(a, NodeTable, 0));
    ASSERT_EQ(a->Selection.Kind, _TypeSelection::KindTable);
    EXPECT_EQ(Main->toolbarTableDefault->actions(), a->toolbarTable->actions());
    EXPECT_EQ(Main->toolbarTypeDefault->actions(), QList<QAction*>{Main->actDefaultType});
    EXPECT_EQ(Main->menuBar()->actions()[1], a->popupmnuTable->menuAction());
    EXPECT_FALSE(Main->menuBar()->actions().contains(a->popupmnuType->menuAction()));
    a->TreeView->setCurrentItem(ItemOf(a, NodeParameters, 0));
    ASSERT_EQ(a->Selection.Kind, _TypeSelection::KindParameters);
    EXPECT_EQ(Main->toolbarTypeDefault->actions(), a->toolbarType->actions());
    EXPECT_EQ(Main->toolbarTableDefault->actions(), QList<QAction*>{Main->actDefaultTable});

    // General's Save writes the active window's type.
    a->UpdateStatus(true);
    fs::remove(a->FileName);
    Main->App.ToolBars.Slots[0].GetButton(2)->trigger();
    EXPECT_TRUE(fs::exists(a->FileName));
    EXPECT_FALSE(a->Modified);

    // With both closed everything is as before.
    a->close();
    b->close();
    QApplication::processEvents();
    EXPECT_EQ(Texts(Main->menuBar()->actions()), (Strings{"&File", "&QX", "&Options", "&Window", "&Help"}));
    EXPECT_EQ(Texts(Main->mnuFile->actions()), fileBefore);
    EXPECT_EQ(Main->toolbarTypeDefault->actions(), QList<QAction*>{Main->actDefaultType});
    EXPECT_FALSE(Main->actDefaultSave->isEnabled());
    EXPECT_EQ(Main->actDefaultSave->toolTip(), "Save");
    // The old handler is gone: the default button saves nothing.
    QSignalSpy spy(Main->actDefaultSave, &QAction::triggered);
    Main->actDefaultSave->setEnabled(true);
    Main->actDefaultSave->trigger();
    Main->actDefaultSave->setEnabled(false);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(TypeWindow, ClosingAWindowInTheBackgroundLeavesTheActiveOneItsToolBars) {
    StartMain(true);
    TfrmTypeObject* a = Open(WriteSampleFile("a.mtp"));
    TfrmTypeObject* b = Open(WriteSampleFile("b.mtp"));
    ASSERT_TRUE(a && b);
    for (TfrmTypeObject* w : {a, b}) {
        Main->ClientArea->setActiveSubWindow(w);
        QApplication::processEvents();
    }
    ASSERT_EQ(Main->toolbarTypeDefault->actions(), b->toolbarType->actions());
    a->close();
    QApplication::processEvents();
    ASSERT_EQ(TypeWindows(), std::vector<TfrmTypeObject*>{b});
    ASSERT_EQ(Main->ClientArea->activeSubWindow(), b);
    EXPECT_EQ(Main->toolbarTypeDefault->actions(), b->toolbarType->actions());
    EXPECT_EQ(Main->menuBar()->actions().value(1), b->EditMenu->menuAction());
    QAction* save = Main->App.ToolBars.Slots[0].GetButton(2);
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(save->toolTip(), "Save Type");
    b->UpdateStatus(true);
    save->trigger();
    EXPECT_FALSE(b->Modified);
}

TEST_F(TypeWindow, SaveAsOnAnUntitledWindowAndSaveAgain) {
    StartMain();
    Main->actNew->trigger();
    QApplication::processEvents();
    TfrmTypeObject* w = TypeWindows().at(0);
    w->TypeData->SetTypeName("NEWTYPE");
    w->Refresh(true);
    // Cancelled: still untitled and modified.
    w->mnuSave->trigger();
    ASSERT_EQ(SaveDialogs.size(), 1u);
    EXPECT_EQ(SaveDialogs[0].FileName, "untitled1");
    EXPECT_EQ(SaveDialogs[0].Request.DefaultExt, "*.mtp");
    EXPECT_EQ(SaveDialogs[0].Request.Filter, "Type File (*.mtp)|*.mtp|Any File (*.*)|*.*");
    EXPECT_TRUE(w->FileName.empty());
    EXPECT_TRUE(w->Modified);
    // Chosen: saved under that name, listed in the recent files.
    SaveAsFile = (Root / "new.mtp").string();
    w->mnuSave->trigger();
    EXPECT_EQ(w->FileName, SaveAsFile);
    EXPECT_FALSE(w->Modified);
    EXPECT_EQ(Caption(w), "Type NEWTYPE [" + SaveAsFile + "]");
    EXPECT_EQ(Main->App.RecentFiles->Names()[0], SaveAsFile);
    const std::string first = ReadFileBytes(SaveAsFile);
    // Opened again and saved, byte for byte the same.
    TfrmTypeObject* again = Open(SaveAsFile);
    ASSERT_NE(again, nullptr);
    again->mnuSave->trigger();
    EXPECT_EQ(ReadFileBytes(SaveAsFile), first);
    EXPECT_EQ(SaveDialogs.size(), 2u);
}

TEST_F(TypeWindow, EveryAnswerWhenClosingAModifiedType) {
    StartMain();
    struct Case {
        const char* What;
        QMessageBox::StandardButton Answer;
        bool Untitled;
        bool Writable;
        const char* SaveAs;  // the save dialog's choice, "" cancels it
        bool Closes;
        bool Saved;
        size_t Messages;
    };
    const Case cases[] = {
        {"no discards", QMessageBox::No, false, true, "", true, false, 1},
        {"cancel keeps the window", QMessageBox::Cancel, false, true, "", false, false, 1},
        {"yes saves and closes", QMessageBox::Yes, false, true, "", true, true, 1},
        {"yes with a failed write stays open", QMessageBox::Yes, false, false, "", false, false, 2},
        {"yes with save as cancelled stays open", QMessageBox::Yes, true, true, "", false, false, 1},
        {"yes with save as chosen closes", QMessageBox::Yes, true, true, "chosen.mtp", true, true, 1},
    };
    for (const Case& c : cases) {
        const fs::path dir = Root / (std::string("case") + std::to_string(&c - cases));
        fs::create_directories(dir);
        const std::string path = (dir / "t.mtp").string();
        {
            uint8_t formats[100] = {};
            TTypeObjectData type(formats);
            FillSampleType(type);
            ASSERT_TRUE(type.SaveToFile(path));
        }
        TfrmTypeObject* w = c.Untitled ? nullptr : Open(path);
        if (c.Untitled) {
            Main->actNew->trigger();
            QApplication::processEvents();
            w = TypeWindows().back();
        }
        ASSERT_NE(w, nullptr) << c.What;
        QPointer<TfrmTypeObject> guard(w);
        if (c.Untitled) w->TypeData->GetTypeData().SetParameterCount(1);
        w->TypeData->GetTypeData().SetValue(0, 0, 4321);
        w->Refresh(true);
        const std::string caption = Caption(w);
        const std::string before = ReadFileBytes(path);
        // A folder where the file was: no write can replace it, not even root's.
        if (!c.Writable) {
            fs::remove(path);
            fs::create_directory(path);
        }
        SaveAsFile = *c.SaveAs ? (dir / c.SaveAs).string() : std::string();
        CloseAnswer = c.Answer;
        Messages.clear();
        w->close();
        QApplication::processEvents();
        ASSERT_GE(Messages.size(), 1u) << c.What;
        EXPECT_EQ(Messages[0].Text, caption + "\r\nSave changes?") << c.What;
        EXPECT_EQ(Messages[0].Buttons, TMsgButtons::YesNoCancel);
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Warning);
        EXPECT_EQ(Messages.size(), c.Messages) << c.What;
        if (c.Messages == 2) {
            // The message table's text, then the cause the system gave.
            EXPECT_EQ(Messages[1].Text, "Cannot save file:\r\n" + path + "\r\nIs a directory");
        }
        EXPECT_EQ(guard.isNull() || guard->isHidden(), c.Closes) << c.What;
        const std::string target = c.Untitled ? SaveAsFile : path;
        if (c.Saved) {
            uint8_t formats[100] = {};
            TTypeObjectData saved(formats);
            ASSERT_TRUE(saved.LoadFromFile(target)) << c.What;
            EXPECT_EQ(saved.GetTypeData().GetValue(0, 0), 4321) << c.What;
        } else if (!c.Untitled && c.Writable) {
            EXPECT_EQ(ReadFileBytes(path), before) << c.What;
        }
        if (!c.Closes) {
            EXPECT_TRUE(guard->Modified) << c.What;
            guard->Modified = false;
            guard->close();
            QApplication::processEvents();
        }
    }
}

TEST_F(TypeWindow, TheMainWindowStaysWhenAModifiedTypeCannotBeSaved) {
    StartMain();
    const fs::path dir = Root / "locked";
    fs::create_directories(dir);
    const std::string path = (dir / "t.mtp").string();
    WriteFileBytes(path, HandWrittenTypeFile());
    TfrmTypeObject* w = Open(path);
    ASSERT_NE(w, nullptr);
    w->UpdateStatus(true);
    fs::remove(path);
    fs::create_directory(path);
    CloseAnswer = QMessageBox::Yes;
    EXPECT_FALSE(Main->close());
    EXPECT_TRUE(Main->isVisible());
    EXPECT_EQ(TypeWindows(), std::vector<TfrmTypeObject*>{w});
    EXPECT_TRUE(w->Modified);
    // No closes it, the changes gone by the user's word.
    CloseAnswer = QMessageBox::No;
    EXPECT_TRUE(Main->close());
}

TEST_F(TypeWindow, TheExpertGate) {
    for (bool expert : {false, true}) {
        if (expert) WriteRegistry("[Software\\KVOZ]\nKVOZ=KVOZ\n");
        StartMain();
        ASSERT_EQ(Main->App.ExpertMode, expert ? 1 : 0);
        TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
        ASSERT_NE(w, nullptr);
        w->UpdateActions();
        // Not gated: saving, the language choice and the display formats.
        EXPECT_TRUE(w->mnuSave->isEnabled());
        EXPECT_TRUE(w->mnuSaveAs->isEnabled());
        EXPECT_TRUE(w->actLanguage->isEnabled());
        EXPECT_TRUE(w->actViewEditAsHex->isEnabled());
        EXPECT_TRUE(w->actDownloadType->isEnabled());
        // The structure commands need expert mode; print and the exports are
        // not gated.
        for (QAction* a : {w->actAddTable, w->actAddParameter, w->actAddLanguage})
            EXPECT_EQ(a->isEnabled(), expert) << a->objectName().toStdString();
        EXPECT_TRUE(w->mnuPrint->isEnabled());
        EXPECT_TRUE(w->mnuExportPWX->isEnabled());
        EXPECT_TRUE(w->mnuExportCSV->isEnabled());
        EXPECT_TRUE(w->mnuExport->isEnabled());
        EXPECT_EQ(Texts(w->popupmnuType->actions()),
                  (Strings{"Type PC -> QX", "Type QX -> PC", "Add Table", "Add Parameter", "Insert Parameter",
                           "Delete Parameter", "Copy Parameter", "Paste Parameter", "Language", "View/Edit As"}));
        Main.reset();
    }
}

TEST_F(TypeWindow, TheLanguageMenuChoosesTheLanguageShown) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    emit w->mnuLanguage->aboutToShow();
    const QList<QAction*> items = w->mnuLanguage->actions();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(Texts(items), (Strings{"Add", "Insert", "Delete Language", "Rename", "1>  English", "2. Deutsch"}));
    items[6]->trigger();
    EXPECT_EQ(w->CurrentLanguage, 1);
    EXPECT_EQ(Panels(w)[1], "Deutsch");
    EXPECT_EQ(GridRow(w, 1)[ColText], "Tempo");
    EXPECT_EQ(ItemOf(w, NodeCurrentLanguage, 0)->text(0), "Language (2. Deutsch)");
    EXPECT_FALSE(w->Modified);
}

TEST_F(TypeWindow, ALanguageChosenInTheTreeIsWhatTheWindowShows) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    // A table chosen in the tree: table mode.
    w->TreeView->setFocus();
    ClickItem(w, ItemOf(w, NodeTable, 0));
    ASSERT_EQ(w->Selection.Kind, _TypeSelection::KindTable);
    ASSERT_EQ(w->EditMenu, w->popupmnuTable);
    // The second language chosen: the tree moves to it, and the window, its
    // grid, tool bar and Edit menu with it.
    emit w->mnuLanguage->aboutToShow();
    w->mnuLanguage->actions().at(6)->trigger();
    EXPECT_EQ(w->TreeView->currentItem(), ItemOf(w, NodeLanguage, 1));
    EXPECT_EQ(w->Selection.Kind, _TypeSelection::KindLanguage);
    EXPECT_EQ(w->Selection.Language, 1);
    EXPECT_EQ(w->EditMenu, w->popupmnuType);
    EXPECT_TRUE(w->toolbarType->isVisibleTo(w));
    EXPECT_FALSE(w->toolbarTable->isVisibleTo(w));
    EXPECT_EQ(w->TabControl->currentIndex(), 0);
    EXPECT_EQ(GridRow(w, 1)[ColText], "Tempo");
}

// Counts the Ctrl+Tab presses that reach the application after the type
// windows' own filters (installed first, so it runs last).
class CtrlTabCounter : public QObject {
public:
    int Count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier)) ++Count;
        }
        return false;
    }
};

TEST_F(TypeWindow, CtrlTabCyclesInsideTheTypeWindowOnly) {
    StartMain();
    CtrlTabCounter counter;
    qApp->installEventFilter(&counter);
    TfrmTypeObject* a = Open(WriteSampleFile("a.mtp"));
    TfrmTypeObject* b = Open(WriteSampleFile("b.mtp"));
    ASSERT_TRUE(a && b);
    Main->ClientArea->setActiveSubWindow(b);
    b->TreeView->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), b->TreeView);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), b->TabControl);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), b->DataGrid);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), b->TreeView);
    EXPECT_EQ(Main->ClientArea->activeSubWindow(), b);
    // With the focus outside every type window the key is the frame's.
    Main->ClientArea->setFocus();
    QApplication::processEvents();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_FALSE(a->isAncestorOf(focus) || b->isAncestorOf(focus));
    EXPECT_EQ(counter.Count, 0);
    QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_GE(counter.Count, 1);
    EXPECT_FALSE(a->isAncestorOf(QApplication::focusWidget()) && QApplication::focusWidget() != focus &&
                 QApplication::focusWidget() == a->TabControl);
    qApp->removeEventFilter(&counter);
}

TEST_F(TypeWindow, AWindowFromUnitBlocksStartsModified) {
    StartMain();
    uint8_t formats[100] = {};
    TTypeObjectData source(formats);
    FillSampleType(source);
    TQXBlockMemList blocks;
    _BlockContext context;
    context.ModelVersion.SetText("V2.7");
    ASSERT_TRUE(source.SaveToBlocks(blocks, context, 0, 1));
    Main->App.ModelVersion.SetText("V2.7");
    QPointer<TfrmTypeObject> w = OpenTypeObjectFromBlocks(&Main->App, &blocks);
    QApplication::processEvents();
    ASSERT_TRUE(w && !w->isHidden());
    EXPECT_TRUE(w->Modified);
    EXPECT_EQ(Panels(w)[0], "Modified");
    EXPECT_EQ(w->TypeData->GetTypeName(), "PUMP");
    // A version without block formats: message 5031, no window.
    Main->App.ModelVersion.SetText("V9.0");
    TQXBlockMemList more;
    ASSERT_TRUE(source.SaveToBlocks(more, context, 0, 1));
    Messages.clear();
    QPointer<TfrmTypeObject> refused = OpenTypeObjectFromBlocks(&Main->App, &more);
    QApplication::processEvents();
    EXPECT_TRUE(refused.isNull() || refused->isHidden());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Cannot import type.\r\nUnknown QX Version or Type has an invalid format.");
    // No list: an empty untitled window.
    QPointer<TfrmTypeObject> empty = OpenTypeObjectFromBlocks(&Main->App, nullptr);
    ASSERT_TRUE(empty && !empty->isHidden());
    EXPECT_FALSE(empty->Modified);
}

TEST_F(TypeWindow, EveryItemAndCommandShowsItsPicture) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    std::vector<QTreeWidgetItem*> items{w->TreeView->topLevelItem(0)};
    for (size_t i = 0; i < items.size(); ++i)
        for (int c = 0; c < items[i]->childCount(); ++c) items.push_back(items[i]->child(c));
    ASSERT_EQ(items.size(), 38u);
    for (QTreeWidgetItem* item : items)
        EXPECT_FALSE(item->icon(0).isNull()) << item->text(0).toStdString();
    for (QAction* a : w->toolbarType->actions() + w->toolbarTable->actions() + QList<QAction*>{w->mnuSave, w->mnuPrint})
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
        }
}

TEST_F(TypeWindow, EveryTextFitsAlsoInALongerLanguage) {
    StartMain();
    TfrmTypeObject* english = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(english, nullptr);
    english->UpdateStatus(true);
    EXPECT_EQ(LayoutProblems(english), std::vector<std::string>{});
    const std::string longTexts = LongTextsLanguageFile({english});
    Main.reset();
    WriteFileBytes(ProgramDir / "QX318Utility.mls", longTexts);
    StartMain();
    Main->App.Mls->SetLanguage(0);
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    w->UpdateStatus(true);
    ASSERT_EQ(w->StatusPanels[0]->text(), "ModifiedModified");
    ASSERT_EQ(w->TabControl->tabText(0), "ParametersParameters");
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{});
}

TEST_F(TypeWindow, TheTextEditorsHoldALineAsTheGridDrawsIt) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    struct Case {
        QFrame* Panel;
        QPlainTextEdit* Editor;
        int Columns;
    };
    const Case cases[] = {{w->ParamNamePanel, w->memoParamName, TTypeObjectDataGrid::TextColumns},
                          {w->SwitchNamePanel, w->memoSwitchName, TTypeObjectDataGrid::SwitchColumns}};
    for (const Case& c : cases) {
        c.Panel->resize(c.Panel->width(), 80);
        c.Panel->show();
        // As many characters a line as the cell shows, not one fewer.
        c.Editor->setPlainText(QString(2 * c.Columns + 3, QChar('X')));
        QApplication::processEvents();
        QTextLayout* lines = c.Editor->document()->firstBlock().layout();
        ASSERT_GE(lines->lineCount(), 2) << c.Columns;
        EXPECT_EQ(lines->lineAt(0).textLength(), c.Columns);
        EXPECT_EQ(WrapFixedPitch(std::string(2 * c.Columns + 3, 'X'), c.Columns).front().size(),
                  static_cast<size_t>(c.Columns));
        c.Panel->hide();
    }
    // However narrow the grid, the text editor fits in the text column.
    w->resize(w->minimumSize());
    QApplication::processEvents();
    EXPECT_GE(w->DataGrid->columnWidth(ColText), w->ParamNamePanel->width());
}

TEST_F(TypeWindow, ALongTreeItemScrollsInsteadOfBeingCut) {
    StartMain();
    TfrmTypeObject* w = Open(WriteSampleFile("pump.mtp"));
    ASSERT_NE(w, nullptr);
    w->resize(w->minimumSize());
    w->TreeView->expandAll();
    QApplication::processEvents();
    // One of the deepest items: the name of a field.
    QTreeWidgetItem* item = ItemOf(w, NodeFieldName, 1, 0);
    ASSERT_EQ(item->text(0), "Name: Temp");
    const int needed = w->TreeView->visualItemRect(item).left() + w->TreeView->iconSize().width() +
                       w->TreeView->fontMetrics().horizontalAdvance(item->text(0));
    ASSERT_LT(w->TreeView->viewport()->width(), needed);
    // Every item shows its whole text; the tree scrolls to reach it.
    EXPECT_GE(w->TreeView->columnWidth(0), needed);
    EXPECT_GT(w->TreeView->horizontalScrollBar()->maximum(), 0);
}
