#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "AppConfig.h"
#include "FrameTest.h"
#include "Main.h"
#include "Thdrobj.h"

namespace {

// A document window of any kind; tells whether the application record's
// objects were still there when it was destroyed.
class FakeWindow : public TMDICustomChild {
public:
    FakeWindow(_AppInterface* app, uint32_t kind, bool* recordAlive = nullptr)
        : TMDICustomChild(app), RecordAlive(recordAlive) {
        SetKind(kind);
        setWidget(new QWidget);
        setWindowTitle(QString::number(kind, 16));
        show();
    }
    ~FakeWindow() override {
        if (RecordAlive) *RecordAlive = App->Mls && App->RecentFiles && App->UnitsList;
    }

private:
    bool* RecordAlive;
};

class MainForm : public FrameFixture {
protected:
    std::vector<std::string> Created;  // kinds (hex) and file names, in order
    bool LoadFails = false;

    void SetUp() override {
        FrameFixture::SetUp();
        auto manager = [this](uint32_t kind) {
            return [this, kind](_AppInterface* app) -> TMDICustomChild* {
                Created.push_back(QString::number(kind, 16).toStdString());
                return new FakeWindow(app, kind);
            };
        };
        auto& c = DocumentCreators();
        c.OpenProgramManager = manager(KindProgramManager);
        c.OpenManager = manager(KindMemoryManager);
        c.OpenMemView = manager(KindMemoryViewer);
        c.OpenGamesManager = manager(KindGamesManager);
        c.OpenConvert = manager(KindConvert);
        auto document = [this](uint32_t kind) {
            return [this, kind](_AppInterface* app, const std::string& name) -> TMDICustomChild* {
                Created.push_back(QString::number(kind, 16).toStdString() + ":" + name);
                auto* w = new FakeWindow(app, kind);
                if (LoadFails && !name.empty()) w->close();  // the creator's own message, then closed
                return w;
            };
        };
        c.OpenTypeObject = document(KindTypeObject);
        c.OpenQXMenu = document(KindQXMenu);
    }

    // Writes a settings file from a record changed by the function.
    void WriteSettings(const std::function<void(_AppInterface&)>& change) {
        _AppInterface app;
        change(app);
        ASSERT_TRUE(SaveSettings(app, GetSettingsFilePath(CfgPath().string())));
    }

    static std::vector<uint32_t> Kinds(const TfrmQX318MainForm& w) {
        std::vector<uint32_t> kinds;
        for (TMDICustomChild* c : w.DocumentWindows()) kinds.push_back(c->Kind);
        return kinds;
    }
};

}  // namespace

TEST_F(MainForm, StartsWithDefaultsWithoutSettingsFile) {
    TfrmQX318MainForm w;
    EXPECT_EQ(w.windowTitle(), "QX318 Utility V2.7");
    EXPECT_EQ(ApplicationTitle(), "QX318 Utility V2.7");
    // Not Qt's display name: the window system would append it to the title
    // of every other window ("Configuration - QX318 Utility V2.7").
    EXPECT_FALSE(QApplication::applicationDisplayName().contains("V2.7"));
    EXPECT_EQ(w.minimumSize(), QSize(450, 350));
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w.App.ComPort, 1);
    EXPECT_EQ(w.App.BaudIndex, 1);
    EXPECT_EQ(w.App.LanguageIndex, -1);
    EXPECT_EQ(w.StartLanguage, -1);
    EXPECT_EQ(w.App.MainForm, &w);
    EXPECT_EQ(w.App.MainMenu, w.menuBar());
    EXPECT_EQ(w.App.FileMenu, w.mnuFile);
    EXPECT_EQ(w.App.ToolBars.DockSites[0].Window, &w);
    ASSERT_TRUE(w.App.ComModule);  // the link threads run; the port stays closed
    EXPECT_FALSE(w.App.ComModule->IsOpen());
    ASSERT_TRUE(w.App.CopyPaste);
    EXPECT_TRUE(w.App.ToolBars.DockSites[1].Empty());
    // Fixed tool bars: only General, directly under the menu.
    EXPECT_FALSE(w.toolbarGeneralDefault->isHidden());
    EXPECT_FALSE(w.toolbarGeneralDefault->isMovable());
    for (QToolBar* bar : w.DefaultToolBars()) {
        if (bar != w.toolbarGeneralDefault) {
            EXPECT_TRUE(bar->isHidden()) << bar->objectName().toStdString();
        }
    }
    EXPECT_FALSE(w.mnuToolBar->menuAction()->isVisible());
    EXPECT_EQ(w.createPopupMenu(), nullptr);
    EXPECT_TRUE(w.actToolBarGeneral->isChecked());
    EXPECT_FALSE(w.actToolBarTable->isChecked());
    EXPECT_FALSE(w.actToolBarMemoryManager->isChecked());
    // The splash, not waited for.
    ASSERT_TRUE(w.Splash());
    EXPECT_TRUE(w.Splash()->isVisible());
    EXPECT_EQ(w.Splash()->CloseTimer->interval(), 1500);
    EXPECT_TRUE(w.Splash()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.Splash()->lblText->text().left(20), "QX-318 Utility V2.7\n");
    // Expert mode off: no menu functions.
    EXPECT_EQ(w.App.ExpertMode, 0);
    EXPECT_FALSE(w.actMenuManager->isVisible());
    EXPECT_FALSE(w.actToolBarMenuManager->isVisible());
    EXPECT_EQ(w.OpenDialogFilter, "Type File (*.mtp)|*.mtp|All Files (*.*)|*.*");
    EXPECT_TRUE(w.FirstShow);
    EXPECT_TRUE(w.CommandLineFile.empty());
}

TEST_F(MainForm, MenusActionsAndToolBars) {
    TfrmQX318MainForm w;
    struct Menu {
        QMenu* menu;
        const char* name;
        const char* title;
        int group;
    } menus[] = {{w.mnuFile, "mnuFile", "&File", 0},      {w.mnuView, "mnuView", "&QX", 2},
                 {w.mnuOptions, "mnuOptions", "&Options", 6}, {w.mnuWindow, "mnuWindow", "&Window", 6},
                 {w.mnuHelp, "mnuHelp", "&Help", 6}};
    ASSERT_EQ(w.menuBar()->actions().size(), 5);
    for (size_t i = 0; i < std::size(menus); ++i) {
        EXPECT_EQ(w.menuBar()->actions()[static_cast<int>(i)], menus[i].menu->menuAction());
        EXPECT_EQ(menus[i].menu->objectName(), menus[i].name);
        EXPECT_EQ(menus[i].menu->title(), menus[i].title);
        EXPECT_EQ(MenuGroupIndex(menus[i].menu->menuAction()), menus[i].group);
    }
    struct Action {
        const char* name;
        const char* text;
        const char* shortcut;
    } actions[] = {{"actNew", "&New", "Ctrl+N"},
                   {"actOpen", "&Open", "Ctrl+O"},
                   {"actImport", "Import", ""},
                   {"actWindowClose", "C&lose", "Ctrl+W"},
                   {"mnuCloseAll", "Close A&ll", ""},
                   {"mnuExit", "E&xit", ""},
                   {"actMemoryManager", "QX318", ""},
                   {"actProgramManager", "Program Manager", ""},
                   {"actMemView", "Memory Viewer", ""},
                   {"actMenuManager", "Menu Manager", ""},
                   {"actGamesManager", "Applications", ""},
                   {"actConvert", "&HEX converter", ""},
                   {"actFirmware", "Firmware update", ""},
                   {"actConfig", "&Configuration", ""},
                   {"mnuQX318UtilityHelp", "QX318 Utility Help", "F1"},
                   {"mnuRZT", "Visit RztSoftware Web Site", ""},
                   {"mnuAbout", "About...", ""},
                   {"actToolBarGeneral", "General", ""},
                   {"actToolBarTable", "Table", ""},
                   {"actToolBarType", "Type", ""},
                   {"actToolBarMemoryManager", "QX318", ""},
                   {"actToolBarProgramManager", "Program Manager", ""},
                   {"actToolBarMemoryViewer", "Memory Viewer", ""},
                   {"actToolBarMenuManager", "Menu Manager", ""},
                   {"actToolBarGamesManager", "Applications", ""}};
    for (const auto& a : actions) {
        auto* action = w.findChild<QAction*>(a.name);
        ASSERT_TRUE(action) << a.name;
        EXPECT_EQ(action->text(), a.text) << a.name;
        EXPECT_EQ(action->shortcut().toString(), a.shortcut) << a.name;
    }
    EXPECT_EQ(w.mnuOpenRecent->title(), "Open Recent");
    EXPECT_FALSE(w.mnuOpenRecent->isEnabled());
    EXPECT_EQ(w.mnuToolBar->actions().size(), 8);
    EXPECT_EQ(w.PopupMenuToolBars->actions(), w.mnuToolBar->actions());
    // The eight tool bars in their slots, General with Save and Print at 2 and 3.
    const char* bars[] = {"toolbarGeneralDefault",        "toolbarTableDefault",        "toolbarTypeDefault",
                          "toolbarProgramManagerDefault", "toolbarMemoryManagerDefault", "toolbarMemoryViewerDefault",
                          "toolbarQXMenuDefault",         "toolbarGamesManagerDefault"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(w.App.ToolBars.Slots[i].GetToolBar()->objectName(), bars[i]);
    EXPECT_EQ(w.App.ToolBars.Slots[0].GetButton(2), w.actDefaultSave);
    EXPECT_EQ(w.App.ToolBars.Slots[0].GetButton(3), w.actDefaultPrint);
    EXPECT_EQ(w.actNew->toolTip(), "New");  // the hint: the caption without its '&'
    // Tool-bar actions follow and set their bar's visibility.
    EXPECT_TRUE(w.actToolBarGeneral->isChecked());
    w.actToolBarGeneral->trigger();
    EXPECT_TRUE(w.toolbarGeneralDefault->isHidden());
    EXPECT_FALSE(w.actToolBarGeneral->isChecked());
}

TEST_F(MainForm, CommandsWithoutTheirWindowsStayDisabled) {
    DocumentCreators() = TDocumentCreators();
    TfrmQX318MainForm w;
    for (QAction* a : {w.actNew, w.actOpen, w.actImport, w.actProgramManager, w.actMemoryManager, w.actMemView,
                       w.actGamesManager, w.actMenuManager, w.actConvert})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QAction* a : {w.actConfig, w.actFirmware, w.mnuQX318UtilityHelp, w.mnuRZT, w.mnuAbout, w.mnuExit})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    // A type file on the command line has nowhere to go.
    WriteFileBytes(Root / "t.mtp", "x");
    EXPECT_EQ(w.OpenFileByExtension((Root / "t.mtp").string()), nullptr);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Cannot open file!\r\n" + (Root / "t.mtp").string()});
}

TEST_F(MainForm, StartsWithSavedSettings) {
    WriteSettings([](_AppInterface& app) {
        app.FlexibleToolBarsSetting = 1;
        app.MainPlacement = {20, 30, 700, 500, _WindowPlacement::Normal};
        app.ToolBars.Slots[3].State.Visible = 0;
        app.ComPort = 7;
        app.RecentFiles->Add("/x/one.mtp");
    });
    TfrmQX318MainForm w;
    EXPECT_EQ(w.App.FlexibleToolBars, 1);
    EXPECT_EQ(w.App.ComPort, 7);
    EXPECT_FALSE(w.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w.pos(), QPoint(30, 20));
    EXPECT_EQ(w.size(), QSize(700, 500));
    EXPECT_TRUE(w.mnuToolBar->menuAction()->isVisible());
    EXPECT_TRUE(w.toolbarTableDefault->isMovable());
    EXPECT_FALSE(w.toolbarTableDefault->isHidden());
    EXPECT_TRUE(w.toolbarProgramManagerDefault->isHidden());
    EXPECT_FALSE(w.actToolBarProgramManager->isChecked());
    EXPECT_TRUE(w.actToolBarMemoryManager->isChecked());
    EXPECT_TRUE(w.toolbarQXMenuDefault->isHidden());  // no menu functions
    EXPECT_TRUE(w.toolBarBreak(w.toolbarGamesManagerDefault));  // the second band
    ASSERT_EQ(w.mnuOpenRecent->actions().size(), 1);
    EXPECT_TRUE(w.mnuOpenRecent->isEnabled());
    std::unique_ptr<QMenu> popup(w.createPopupMenu());
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->actions().size(), 8);
}

TEST_F(MainForm, DamagedSettingsFileLeavesDefaults) {
    fs::create_directories(SettingsDir());
    std::string bytes = DefaultSettingsFile();
    bytes[bytes.size() - 5 - 176 - 5 - 8] = 9;  // port 9 ...
    WriteFileBytes(CfgPath(), bytes + "!");     // ... but a trailing byte
    {
        TfrmQX318MainForm w;
        EXPECT_EQ(w.App.ComPort, 1);
    }
    WriteFileBytes(CfgPath(), bytes);
    TfrmQX318MainForm w;
    EXPECT_EQ(w.App.ComPort, 9);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(MainForm, ShutDownWritesTheSettingsFileOnce) {
    ASSERT_TRUE(ScreenIs800x800());
    {
        TfrmQX318MainForm w;
        EXPECT_FALSE(fs::exists(CfgPath()));
        EXPECT_TRUE(w.close());
        EXPECT_EQ(ReadFileBytes(CfgPath()), DefaultSettingsFile());
        fs::remove(CfgPath());
    }
    EXPECT_FALSE(fs::exists(CfgPath()));  // destruction writes nothing
    EXPECT_EQ(fs::directory_iterator(SettingsDir()) == fs::directory_iterator(), true);
}

TEST_F(MainForm, ResetAtNextStartDeletesTheSettingsFile) {
    WriteSettings([](_AppInterface& app) { app.ComPort = 3; });
    {
        TfrmQX318MainForm w;
        EXPECT_EQ(w.App.ComPort, 3);
        w.App.ResetAtNextStart = 1;
        w.close();
    }
    EXPECT_FALSE(fs::exists(CfgPath()));
    TfrmQX318MainForm next;
    EXPECT_EQ(next.App.ComPort, 1);
}

TEST_F(MainForm, ManagersReopenAndTheCommandLineFileOpensLast) {
    WriteSettings([](_AppInterface& app) {
        app.ReopenConverter = 1;
        app.ReopenMemoryManager = 1;
        app.ReopenApplications = 1;
    });
    const std::string file = (Root / "t.mtp").string();
    WriteFileBytes(file, "x");
    TfrmQX318MainForm w(nullptr, file);
    EXPECT_EQ(w.CommandLineFile, file);
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(Created, (std::vector<std::string>{"5000", "8000", "9000", "3000:" + file}));
    EXPECT_TRUE(w.CommandLineFile.empty());
    ASSERT_EQ(Kinds(w).back(), KindTypeObject);
    EXPECT_EQ(w.DocumentWindows().back()->geometry(), QRect(10, 10, 600, 400));
    EXPECT_TRUE(w.App.RecentFiles->Names()[0].empty());  // not listed

    // Closing with a memory manager and two type windows: only the manager reopens.
    w.DocumentWindows()[1]->close();
    w.DocumentWindows()[1]->close();
    w.actNew->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Kinds(w), (std::vector<uint32_t>{KindMemoryManager, KindTypeObject, KindTypeObject}));
    w.close();
    _AppInterface next;
    ASSERT_TRUE(LoadSettings(next, CfgPath().string()));
    EXPECT_EQ(next.ReopenMemoryManager, 1);
    EXPECT_EQ(next.ReopenApplications + next.ReopenConverter + next.ReopenProgramManager + next.ReopenMemoryViewer +
                  next.ReopenMenuEditor,
              0);
}

TEST_F(MainForm, CommandLineArguments) {
    // A menu file without expert mode, once the window is shown.
    const std::string menu = (Root / "m.mnu").string();
    WriteFileBytes(menu, "x");
    {
        TfrmQX318MainForm w(nullptr, menu);
        EXPECT_TRUE(Messages.empty());
        w.show();
        QApplication::processEvents();
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Cannot open file!\r\n" + menu});
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
        EXPECT_EQ(Messages[0].Caption, "QX318 Utility V2.7");
    }
    TfrmQX318MainForm none(nullptr, (Root / "missing.mtp").string());
    EXPECT_TRUE(none.CommandLineFile.empty());
}

TEST_F(MainForm, ExpertModeFromTheRegistryMarker) {
    struct Case {
        const char* registry;
        bool expert;
    } cases[] = {
        {"[Software\\KVOZ]\nKVOZ=KVOZ\n", true},
        {"[Software\\KVOZ]\nKVOZ=kvoz\n", false},
        {"[Software\\KVOZ]\nKVOZ=KVOZ2\n", false},
        {"[Software\\KVOZ]\nKVOZ=hex:4B,56,4F,5A\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        WriteRegistry(c.registry);
        TfrmQX318MainForm w;
        EXPECT_EQ(w.App.ExpertMode, c.expert) << c.registry;
        EXPECT_EQ(w.App.MenuUI, c.expert) << c.registry;
        EXPECT_EQ(w.actMenuManager->isVisible(), c.expert) << c.registry;
        EXPECT_EQ(w.OpenDialogFilter.find("*.mnu") != std::string::npos, c.expert) << c.registry;
        if (c.expert) {
            const std::string menu = (Root / "m.MNU").string();
            EXPECT_NE(w.OpenFileByExtension(menu), nullptr);
            EXPECT_EQ(Created.back(), "7000:" + menu);
        }
    }
}

TEST_F(MainForm, OpenCommandAndRecentFiles) {
    TfrmQX318MainForm w;
    ChosenFile = (Root / "notes.txt").string();
    w.actOpen->trigger();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Cannot open file!\r\n" + ChosenFile});
    EXPECT_TRUE(w.App.RecentFiles->Names()[0].empty());
    ASSERT_EQ(OpenDialogs.size(), 1u);
    EXPECT_EQ(OpenDialogs[0].DefaultExt, "*.mtp");

    // A type file that cannot be loaded: its window closes, the file is listed.
    LoadFails = true;
    ChosenFile = (Root / "bad.MTP").string();
    w.actOpen->trigger();
    EXPECT_EQ(w.App.RecentFiles->Names()[0], ChosenFile);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.DocumentWindows().isEmpty());
    EXPECT_EQ(w.OpenFileByExtension(ChosenFile), nullptr);

    LoadFails = false;
    ChosenFile = (Root / "good.mtp").string();
    w.actOpen->trigger();
    ASSERT_EQ(w.mnuOpenRecent->actions().size(), 2);
    Created.clear();
    w.mnuOpenRecent->actions()[1]->trigger();  // the older one; the list keeps its order
    EXPECT_EQ(Created, std::vector<std::string>{"3000:" + (Root / "bad.MTP").string()});
    EXPECT_EQ(w.App.RecentFiles->Names()[0], ChosenFile);
}

TEST_F(MainForm, ManagerCommandsShowOneWindow) {
    TfrmQX318MainForm w;
    w.show();
    w.actProgramManager->trigger();
    w.actProgramManager->trigger();
    EXPECT_EQ(Kinds(w), std::vector<uint32_t>{KindProgramManager});
    w.actMenuManager->trigger();
    w.actMemoryManager->trigger();
    w.actMenuManager->trigger();  // a menu window is open: shown, not created
    EXPECT_EQ(Created, (std::vector<std::string>{"4000", "7000:", "5000"}));
    w.OpenFileByExtension("/none.mtp");
    DocumentCreators().OpenQXMenu(&w.App, "");
    TMDICustomChild* later = w.DocumentWindows().back();
    w.actMemoryManager->trigger();
    w.actMenuManager->trigger();
    EXPECT_EQ(w.ClientArea->activeSubWindow(), later);

    // Close All leaves the managers.
    w.mnuCloseAllClick();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Kinds(w), (std::vector<uint32_t>{KindProgramManager, KindMemoryManager}));
}

TEST_F(MainForm, DocumentWindowsGoBeforeTheRecord) {
    bool recordAlive = false;
    {
        TfrmQX318MainForm w;
        new FakeWindow(&w.App, KindTypeObject, &recordAlive);
    }
    EXPECT_TRUE(recordAlive);
}

TEST_F(MainForm, DocumentWindowMayRefuseTheClose) {
    TfrmQX318MainForm w;
    auto* doc = new FakeWindow(&w.App, KindTypeObject);
    int asked = 0;
    doc->OnCloseQuery = [&] { return ++asked > 1; };
    EXPECT_FALSE(w.close());
    EXPECT_FALSE(fs::exists(CfgPath()));
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(fs::exists(CfgPath()));
}

TEST_F(MainForm, ImportIntoTheActiveOrANewTypeWindow) {
    std::vector<std::pair<TMDICustomChild*, bool>> imports;
    bool succeeds = false;
    DocumentCreators().ImportFromCSV = [&](TMDICustomChild* w, const std::string&, bool ask) {
        imports.push_back({w, ask});
        return succeeds;
    };
    TfrmQX318MainForm w;
    w.show();
    w.UpdateCommandStates();
    ASSERT_TRUE(w.actImport->isEnabled());
    w.actImport->trigger();  // cancelled
    EXPECT_TRUE(imports.empty());
    ChosenFile = (Root / "a.csv").string();
    w.actMemView->trigger();
    w.actImport->trigger();
    ASSERT_EQ(imports.size(), 1u);
    EXPECT_FALSE(imports[0].second);
    EXPECT_EQ(Kinds(w), std::vector<uint32_t>{KindMemoryViewer});  // the failed import's window is gone
    succeeds = true;
    w.actImport->trigger();
    EXPECT_EQ(Kinds(w), (std::vector<uint32_t>{KindMemoryViewer, KindTypeObject}));
    w.ClientArea->setActiveSubWindow(w.DocumentWindows().back());
    w.actImport->trigger();
    EXPECT_EQ(imports.back(), std::make_pair(w.DocumentWindows().back(), true));
    EXPECT_EQ(OpenDialogs.back().Filter, "*.csv|*.csv|All (*.*)|*.*");
}

TEST_F(MainForm, FirmwareCommandStartsTheLoader) {
    TfrmQX318MainForm w;
    w.App.ComPort = 12;
    ChosenFile = "/tmp/my firmware \"v2\".hex";
    w.actFirmware->trigger();
    const std::string loader = (ProgramDir / "loader").string();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Cannot open file!\r\n" + loader});
    EXPECT_TRUE(Starts.empty());
    EXPECT_TRUE(OpenDialogs.empty());

    WriteFileBytes(loader, "");
    ChosenFile.clear();
    w.actFirmware->trigger();  // cancelled
    EXPECT_TRUE(Starts.empty());
    ChosenFile = "/tmp/my firmware \"v2\".hex";
    w.actFirmware->trigger();
    ASSERT_EQ(Starts.size(), 1u);
    EXPECT_EQ(Starts[0].Program, loader);
    EXPECT_EQ(Starts[0].Arguments,
              (std::vector<std::string>{"COM12", "57600", "MAIN", "/tmp/my firmware \"v2\".hex", "CONTROL"}));
    EXPECT_EQ(Starts[0].WorkingFolder, ProgramDir.string());
    EXPECT_EQ(OpenDialogs.back().Filter, "QX firmware (*.hex)|*.hex|All (*.*)|*.*");
}

TEST_F(MainForm, HelpAndWebShortcut) {
    TfrmQX318MainForm w;
    w.mnuQX318UtilityHelp->trigger();
    w.StartLanguage = 2;
    w.mnuQX318UtilityHelp->trigger();
    fs::create_directories(ProgramDir / "Help");
    WriteFileBytes(ProgramDir / "Help" / "RztSoftware.url", "[InternetShortcut]\r\nURL=http://example.invalid/\r\n");
    w.mnuRZT->trigger();
    ASSERT_EQ(Starts.size(), 3u);
    EXPECT_EQ(Starts[0].Arguments, std::vector<std::string>{"QX318 Help.pdf"});
    EXPECT_EQ(Starts[0].WorkingFolder, (ProgramDir / "Help").string() + "/");
    EXPECT_EQ(Starts[1].Arguments, std::vector<std::string>{"QX318 Help3.pdf"});
    EXPECT_EQ(Starts[2].Arguments, std::vector<std::string>{"http://example.invalid/"});
    EXPECT_TRUE(Messages.empty());
}

#ifdef QX_PROGRAM_DIR
// F1 in a program folder as the build leaves it: the shell gets the manual
// the build made. A language without a manual of its own gets its own
// file's name all the same, and nothing else is opened in its place.
TEST_F(MainForm, HelpKeyOpensTheBuiltManual) {
    SetProgramPathForTests(QX_PROGRAM_DIR "/QX318Utility");
    TfrmQX318MainForm w;
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_EQ(w.mnuQX318UtilityHelp->shortcut(), QKeySequence(Qt::Key_F1));
    QTest::keyClick(&w, Qt::Key_F1);
    ASSERT_EQ(Starts.size(), 1u);
    ASSERT_EQ(Starts[0].Arguments.size(), 1u);
    EXPECT_EQ(Starts[0].WorkingFolder, std::string(QX_PROGRAM_DIR "/Help/"));
    const fs::path manual = fs::path(Starts[0].WorkingFolder) / Starts[0].Arguments[0];
    EXPECT_EQ(manual.filename(), "QX318 Help.pdf");
    EXPECT_EQ(ReadFileBytes(manual).substr(0, 5), "%PDF-");
    // The one-page placeholder it replaces held 1292 bytes.
    EXPECT_GT(fs::file_size(manual), 20000u);

    w.StartLanguage = 0;
    QTest::keyClick(&w, Qt::Key_F1);
    ASSERT_EQ(Starts.size(), 2u);
    EXPECT_EQ(Starts[1].Arguments, std::vector<std::string>{"QX318 Help1.pdf"});
    EXPECT_FALSE(fs::exists(fs::path(Starts[1].WorkingFolder) / Starts[1].Arguments[0]));
    EXPECT_TRUE(Messages.empty());
}
#endif

TEST_F(MainForm, LanguageFileTranslatesByObjectName) {
    WriteFileBytes(ProgramDir / "QX318Utility.mls",
                   "[MLS-INTERFACE]\r\nProgram=QX318\r\n[GENERAL]\r\nLanguages=1\r\n[LANGUAGES]\r\n1=Deutsch\r\n"
                   "[Deutsch]\r\nfrmQX318MainForm::mnuFile=&Datei\r\nfrmQX318MainForm::actNew=&Neu\r\n"
                   "frmQX318MainForm::toolbarTableDefault=Tabelle\r\nfrmQX318MainForm::mnuAbout=\xDC" "ber...\r\n"
                   "const::1012=Datei kann nicht ge\xF6" "ffnet werden: %s\r\n");
    WriteSettings([](_AppInterface& app) { app.LanguageIndex = 0; });
    TfrmQX318MainForm w;
    EXPECT_EQ(w.StartLanguage, 0);
    EXPECT_EQ(w.mnuFile->title(), "&Datei");
    EXPECT_EQ(w.actNew->text(), "&Neu");
    EXPECT_EQ(w.actNew->toolTip(), "Neu");
    EXPECT_EQ(w.toolbarTableDefault->windowTitle(), "Tabelle");
    EXPECT_EQ(w.mnuOptions->title(), "&Options");
    EXPECT_EQ(w.Splash()->windowTitle(), QString::fromUtf8("\xC3\x9C" "ber..."));
    EXPECT_EQ(w.windowTitle(), "QX318 Utility V2.7");
    w.OpenFileByExtension("a.txt");
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Datei kann nicht ge\xF6" "ffnet werden: a.txt"});
}

TEST_F(MainForm, ConfigurationRefreshesProgramManagersOnShortcutChange) {
    std::vector<TMDICustomChild*> refreshed;
    DocumentCreators().UpdateShortcutButtons = [&](TMDICustomChild* w) { refreshed.push_back(w); };
    TfrmQX318MainForm w;
    w.actProgramManager->trigger();
    w.actMemView->trigger();
    auto runDialog = [&](const std::function<void(TfrmAppConfig&)>& act) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TfrmAppConfig*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            act(*dialog);
            dialog->btnOk->click();
        });
        w.actConfig->trigger();
    };
    runDialog([](TfrmAppConfig& d) {
        d.cmbboxComPort->setCurrentIndex(4);
        d.cmbboxComPortChange();
    });
    EXPECT_EQ(w.App.ComPort, 5);
    EXPECT_TRUE(refreshed.empty());
    runDialog([](TfrmAppConfig& d) { QTest::keyClicks(d.edtShortcut[0], "/x.S"); });
    ASSERT_EQ(refreshed.size(), 1u);
    EXPECT_EQ(refreshed[0]->Kind, KindProgramManager);
}

TEST_F(MainForm, DocumentMenusMergeByGroupIndex) {
    TfrmQX318MainForm w;
    QMenu edit("&Edit");
    MergeMenu(w.App.MainMenu, &edit, 1);
    EXPECT_EQ(w.menuBar()->actions().indexOf(edit.menuAction()), 1);
    MergeMenu(w.App.MainMenu, &edit, 1);  // once only
    EXPECT_EQ(w.menuBar()->actions().size(), 6);
    QMenu late("&Late");
    MergeMenu(w.App.MainMenu, &late, 7);
    EXPECT_EQ(w.menuBar()->actions().back(), late.menuAction());
    UnmergeMenu(w.App.MainMenu, &edit);
    UnmergeMenu(w.App.MainMenu, &edit);
    EXPECT_EQ(w.menuBar()->actions().size(), 6);
    EXPECT_EQ(w.menuBar()->actions()[1], w.mnuView->menuAction());
}

// A memory-manager window in flexible mode lends its buttons to the
// main-window tool bar of its kind while it is active.
TEST_F(MainForm, ActiveWindowLendsItsButtonsInFlexibleMode) {
    WriteSettings([](_AppInterface& app) { app.FlexibleToolBarsSetting = 1; });
    TfrmQX318MainForm w;
    w.show();
    auto* manager = new FakeWindow(&w.App, KindMemoryManager);
    QMenu edit("&Edit");
    QToolBar own;
    QAction refresh("Refresh");
    own.addAction(&refresh);
    const QList<QAction*> defaults = w.toolbarMemoryManagerDefault->actions();
    manager->ActivateFrameParts(&edit, 1, &own, 4);
    EXPECT_EQ(w.toolbarMemoryManagerDefault->actions(), QList<QAction*>{&refresh});
    EXPECT_TRUE(own.isHidden());
    EXPECT_EQ(w.menuBar()->actions()[1], edit.menuAction());
    w.ClientArea->setActiveSubWindow(nullptr);
    manager->DeactivateFrameParts(&edit, 4);
    EXPECT_EQ(w.toolbarMemoryManagerDefault->actions(), defaults);
    EXPECT_FALSE(w.menuBar()->actions().contains(edit.menuAction()));
    manager->ActivateFrameParts(&edit, 1, &own, 4);
    manager->RestoreFrameToolBars(4);  // closing
    EXPECT_EQ(w.toolbarMemoryManagerDefault->actions(), defaults);
    EXPECT_EQ(w.App.ToolBars.Slots[0].GetButton(2), w.actDefaultSave);

    // Fixed mode: the window keeps its own tool bar.
    TfrmQX318MainForm fixedFrame;
    auto* fixed = new FakeWindow(&fixedFrame.App, KindMemoryManager);
    fixedFrame.App.FlexibleToolBars = 0;
    QToolBar kept;
    kept.addAction(&refresh);
    kept.show();
    fixed->ActivateFrameParts(&edit, 1, &kept, 4);
    EXPECT_FALSE(kept.isHidden());
    EXPECT_NE(fixedFrame.toolbarMemoryManagerDefault->actions(), QList<QAction*>{&refresh});
}

TEST_F(MainForm, AboutBoxAndDoubleClickOnTheClientArea) {
    TfrmQX318MainForm w;
    w.show();
    QString caption;
    bool toolWindow = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<TfrmLogo*>(QApplication::activeModalWidget());
        ASSERT_TRUE(about);
        caption = about->windowTitle();
        toolWindow = (about->windowFlags() & Qt::Tool) == Qt::Tool;
        EXPECT_FALSE(about->CloseTimer->isActive());
        about->FormClick();
    });
    w.mnuAbout->trigger();
    EXPECT_EQ(caption, "About...");
    EXPECT_TRUE(toolWindow);
    const std::string text = TfrmQX318MainForm::AboutText();
    EXPECT_EQ(text.rfind("QX-318 Utility V2.7\r\nRztSoftware\r\nBuilt: ", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 21), "\r\nwww.rztsoftware.com");

    QTest::mouseDClick(w.ClientArea->viewport(), Qt::LeftButton);
    ASSERT_EQ(OpenDialogs.size(), 1u);  // the open command
    EXPECT_EQ(OpenDialogs[0].Filter, w.OpenDialogFilter);
}
