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

#include <QCheckBox>
#include <QMdiArea>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
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
    QApplication::processEvents();
    auto* view = static_cast<TfrmMemView*>(w.FindDocumentWindow(KindMemoryViewer));
    auto* games = static_cast<TfrmGamesManager*>(w.FindDocumentWindow(KindGamesManager));
    ASSERT_TRUE(view && games);
    for (QAction* a : {view->actRefreshPage, view->actGotoPage, view->actPageUp, view->actPageDown, view->actSavePage,
                       games->actRefresh, games->actDownloadGame, games->actDeleteGame}) {
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
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.kind);
        k.command->trigger();
        QApplication::processEvents();
        std::vector<QString> shown;
        for (QAction* a : w.App.ToolBars.Slots[k.slot].GetToolBar()->actions()) shown.push_back(a->text());
        EXPECT_EQ(shown, k.buttons);
    }
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
        w.actMemView->trigger();
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
    next.show();
    QApplication::processEvents();
    EXPECT_EQ(Kinds(next), (std::vector<uint32_t>{KindMemoryViewer, KindGamesManager, KindConvert}));
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
    w.actMemView->trigger();
    QApplication::processEvents();
    auto* view = static_cast<TfrmMemView*>(w.FindDocumentWindow(KindMemoryViewer));
    ASSERT_NE(view, nullptr);

    press(QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(view->Valid());
    EXPECT_EQ(DataRequests(0xB2, false).size(), 59u);
    view->close();
    QApplication::processEvents();
    w.activateWindow();  // back from the communication dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    w.actGamesManager->trigger();
    QApplication::processEvents();
    auto* games = static_cast<TfrmGamesManager*>(w.FindDocumentWindow(KindGamesManager));
    ASSERT_NE(games, nullptr);
    sim.ClearRecords();
    press(QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(games->Connected());
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
