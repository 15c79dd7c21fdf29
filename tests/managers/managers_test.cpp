// The three windows inside the main window: the frame's commands open them,
// one of each, their menus join the main menu while active, and they reopen
// at the next start when they were open at exit.
#include "ManagersTest.h"

#include "Convert.h"
#include "GamesManager.h"
#include "Images.h"
#include "Main.h"
#include "Managers.h"
#include "MemView.h"
#include "MemoryManager.h"
#include "ProgramManager.h"
#include "ShortcutEdit.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QMdiArea>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

class Registered : public ManagersFixture {
protected:
    void SetUp() override {
        ManagersFixture::SetUp();
        RegisterManagers();
    }
    static std::vector<uint32_t> Kinds(const TfrmQX318MainForm& w) {
        std::vector<uint32_t> kinds;
        for (TMDICustomChild* c : w.DocumentWindows()) kinds.push_back(c->Kind);
        return kinds;
    }
    static std::vector<QString> MenuTitles(const TfrmQX318MainForm& w) {
        std::vector<QString> titles;
        for (QAction* a : w.menuBar()->actions())
            if (a->isVisible()) titles.push_back(a->text());
        return titles;
    }
};

}  // namespace

TEST_F(Registered, CommandsOpenOneWindowEach) {
    TfrmQX318MainForm w;
    w.show();
    QApplication::processEvents();
    const struct {
        QAction* command;
        uint32_t kind;
        bool editMenu;
    } cases[] = {
        {w.actMemoryManager, KindMemoryManager, true},
        {w.actProgramManager, KindProgramManager, true},
        {w.actMemView, KindMemoryViewer, true},
        {w.actGamesManager, KindGamesManager, true},
        {w.actConvert, KindConvert, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.kind);
        EXPECT_TRUE(k.command->isEnabled());
        k.command->trigger();
        k.command->trigger();
        QApplication::processEvents();
        int count = 0;
        for (uint32_t kind : Kinds(w)) count += kind == k.kind;
        EXPECT_EQ(count, 1);
        auto* active = qobject_cast<TMDICustomChild*>(w.ClientArea->activeSubWindow());
        ASSERT_NE(active, nullptr);
        EXPECT_EQ(active->Kind, k.kind);
        const auto titles = MenuTitles(w);
        EXPECT_EQ(std::count(titles.begin(), titles.end(), "&Edit"), k.editMenu ? 1 : 0);
    }
    EXPECT_TRUE(Sent().empty());  // no window reads the unit when it opens
}

TEST_F(Registered, EveryActionShowsItsPicture) {
    SetUpIconTheme();
    TfrmQX318MainForm w;
    w.show();
    w.actMemView->trigger();
    w.actGamesManager->trigger();
    w.actMemoryManager->trigger();
    w.actProgramManager->trigger();
    QApplication::processEvents();
    auto* view = static_cast<TfrmMemView*>(w.FindDocumentWindow(KindMemoryViewer));
    auto* games = static_cast<TfrmGamesManager*>(w.FindDocumentWindow(KindGamesManager));
    auto* memory = static_cast<TfrmManager*>(w.FindDocumentWindow(KindMemoryManager));
    auto* programs = static_cast<TfrmProgramManager*>(w.FindDocumentWindow(KindProgramManager));
    ASSERT_TRUE(view && games && memory && programs);
    // The shortcut buttons show one picture while empty, another once set.
    const QImage empty = programs->actShortcut[0]->icon().pixmap(16, 16).toImage();
    w.App.Shortcuts.Items[0].Path = "/some/program.S";
    programs->UpdateShortcutButtons();
    EXPECT_NE(programs->actShortcut[0]->icon().pixmap(16, 16).toImage(), empty);
    for (QAction* a : {view->actRefreshPage, view->actGotoPage, view->actPageUp, view->actPageDown, view->actSavePage,
                       games->actRefresh, games->actDownloadGame, games->actDeleteGame, memory->actRefresh,
                       memory->actUpload, memory->actDelete, programs->actRefresh, programs->actDownload,
                       programs->actDelete, programs->actShortcut[0], programs->actShortcut[1],
                       programs->actShortcut[2], programs->actShortcut[3]}) {
        SCOPED_TRACE(a->objectName().toStdString());
        EXPECT_FALSE(a->icon().isNull());
        EXPECT_FALSE(a->icon().pixmap(16, 16).isNull());
    }
}

TEST_F(Registered, FlexibleToolBarsCarryTheActiveWindowsButtons) {
    {
        _AppInterface settings;
        settings.FlexibleToolBarsSetting = 1;
        ASSERT_TRUE(SaveSettings(settings, CfgPath().string()));
    }
    TfrmQX318MainForm w;
    ASSERT_TRUE(w.App.FlexibleToolBars);
    w.show();
    const struct {
        QAction* command;
        uint32_t kind;
        int slot;
        std::vector<QString> buttons;
    } cases[] = {
        {w.actMemView, KindMemoryViewer, 5, {"Refresh Page", "Go To Page", "Page Down", "Page Up", "", "Save Page"}},
        {w.actGamesManager, KindGamesManager, 7, {"Refresh", "PC -> QX", "Delete"}},
        {w.actProgramManager, KindProgramManager, 3,
         {"Refresh", "PC -> QX", "Delete", "", "Shortcut 1", "Shortcut 2", "Shortcut 3", "Shortcut 4"}},
        {w.actMemoryManager, KindMemoryManager, 4, {"Refresh", "QX -> PC", "Delete"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.kind);
        k.command->trigger();
        QApplication::processEvents();
        std::vector<QString> shown;
        for (QAction* a : w.App.ToolBars.Slots[k.slot].GetToolBar()->actions()) shown.push_back(a->text());
        EXPECT_EQ(shown, k.buttons);
    }
    // The shortcut buttons lent to the main window still edit on a right click.
    auto* programs = static_cast<TfrmProgramManager*>(w.FindDocumentWindow(KindProgramManager));
    ASSERT_NE(programs, nullptr);
    w.ClientArea->setActiveSubWindow(programs);
    QApplication::processEvents();
    QWidget* lent = w.App.ToolBars.Slots[3].GetToolBar()->widgetForAction(programs->actShortcut[2]);
    ASSERT_NE(lent, nullptr);
    int edits = 0;
    {
        const TDialogAnswerGuard<TfrmShortcutEdit> answer([&](TfrmShortcutEdit& d) {
            ++edits;
            EXPECT_EQ(d.windowTitle(), "Shortcut 3 edit.");
            d.edtShortcutFile->setText("/programs/lent.S");
            d.btnOk->click();
            return d.result();
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), lent->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(lent, &click);
    }
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(w.App.Shortcuts.Items[2].Path, "/programs/lent.S");

    // Closed: the slot gets its default button back.
    w.FindDocumentWindow(KindMemoryViewer)->close();
    QApplication::processEvents();
    ASSERT_EQ(w.App.ToolBars.Slots[5].GetToolBar()->actions().size(), 1);
    EXPECT_EQ(w.App.ToolBars.Slots[5].GetToolBar()->actions()[0]->text(), "Memory Viewer");
}

TEST_F(Registered, OpenWindowsReopenAtTheNextStart) {
    {
        TfrmQX318MainForm w;
        w.show();
        QApplication::processEvents();
        w.actConvert->trigger();
        w.actProgramManager->trigger();
        w.actMemView->trigger();
        w.actMemoryManager->trigger();
        w.actGamesManager->trigger();
        QApplication::processEvents();
        w.close();
    }
    // The converter wrote its section when the main window closed.
    const std::string ini = ReadFileBytes(SettingsDir() / "QX318Utility.ini");
    EXPECT_EQ(ini.substr(0, 14), "[frmConvert]\r\n");
    TfrmQX318MainForm next;
    EXPECT_EQ(next.App.ReopenMemoryViewer, 1);
    EXPECT_EQ(next.App.ReopenApplications, 1);
    EXPECT_EQ(next.App.ReopenConverter, 1);
    EXPECT_EQ(next.App.ReopenMemoryManager, 1);
    EXPECT_EQ(next.App.ReopenProgramManager, 1);
    next.show();
    QApplication::processEvents();
    EXPECT_EQ(Kinds(next), (std::vector<uint32_t>{KindMemoryManager, KindProgramManager, KindMemoryViewer,
                                                  KindGamesManager, KindConvert}));
    // Reopened windows wait for Refresh: nothing is read at start.
    EXPECT_TRUE(Sent().empty());
}

TEST_F(Registered, ShortcutsWorkAsSoonAsAWindowOpens) {
    // A freshly opened window, or one whose tool button was clicked last, has
    // no focus inside its dump, grid or memos; its keys still reach it.
    TfrmQX318MainForm w;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto press = [&](QKeySequence key) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
        QTest::keySequence(target, key);
        QApplication::processEvents();
    };
    auto open = [&](QAction* command, uint32_t kind) {
        command->trigger();
        QApplication::processEvents();
        return w.FindDocumentWindow(kind);
    };
    // Back from the communication dialog.
    auto reactivate = [&] {
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    };
    auto closeAndReturn = [&](QWidget* window) {
        window->close();
        QApplication::processEvents();
        return reactivate();
    };

    auto* view = static_cast<TfrmMemView*>(open(w.actMemView, KindMemoryViewer));
    ASSERT_NE(view, nullptr);
    press(QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(view->Valid());
    EXPECT_EQ(DataRequests(0xB2, false).size(), 59u);
    ASSERT_TRUE(closeAndReturn(view));

    auto* games = static_cast<TfrmGamesManager*>(open(w.actGamesManager, KindGamesManager));
    ASSERT_NE(games, nullptr);
    sim.ClearRecords();
    press(QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(games->Connected());
    ASSERT_TRUE(closeAndReturn(games));

    // The memory manager's tree cannot take the focus before it connects.
    auto* memory = static_cast<TfrmManager*>(open(w.actMemoryManager, KindMemoryManager));
    ASSERT_NE(memory, nullptr);
    press(QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(memory->Connected());
    ASSERT_TRUE(closeAndReturn(memory));

    unit.PutProgram(4, "KEYS", std::vector<uint8_t>(10, 1));
    auto* programs = static_cast<TfrmProgramManager*>(open(w.actProgramManager, KindProgramManager));
    ASSERT_NE(programs, nullptr);
    press(QKeySequence(Qt::CTRL | Qt::Key_3));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Shortcut 3 is not assigned.");
    press(QKeySequence(Qt::Key_F5));
    ASSERT_TRUE(programs->Connected());
    ASSERT_TRUE(reactivate());
    press(QKeySequence(Qt::Key_1));
    EXPECT_EQ(programs->DataGrid->currentRow(), 0);
    EXPECT_EQ(programs->SelectedSlot(), 4);
    EXPECT_TRUE(programs->actDelete->isEnabled());
}

TEST_F(Registered, TheConverterTakesTypingAsSoonAsItOpens) {
    TfrmQX318MainForm w;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.actConvert->trigger();
    QApplication::processEvents();
    auto* convert = static_cast<TfrmConvert*>(w.FindDocumentWindow(KindConvert));
    ASSERT_NE(convert, nullptr);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, "0x10 0xFFFF");
    QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_H));
    EXPECT_EQ(convert->Memo1->toPlainText(), "0x10 0xFFFF");
    EXPECT_EQ(convert->Memo2->toPlainText(), "16 -1");
    // From the options page the key converts too.
    convert->PageControl1->setCurrentIndex(1);
    convert->cbSigned->setFocus();
    convert->cbSigned->setChecked(false);
    QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_H));
    EXPECT_EQ(convert->Memo2->toPlainText(), "16 65535");
}
