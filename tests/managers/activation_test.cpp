// Which document window's parts stand in the main window's menus and tool
// bars, however the window came to the front: made by each creator (New,
// Open, Open Recent, the command line, the memory manager's upload, the
// managers' commands and their reopening at start-up), the active window
// closed so that another one follows, a window closed in the background.
#include "DocumentWindowsTest.h"

#include "../typeeditor/TypeSamples.h"
#include "MemoryManager.h"

#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>
#include <functional>

namespace {

class Activation : public DocumentWindowsFixture {
protected:
    uint8_t Formats[100] = {};

    void WriteSettings(const std::function<void(_AppInterface&)>& change) {
        _AppInterface app;
        change(app);
        ASSERT_TRUE(SaveSettings(app, GetSettingsFilePath(CfgPath().string())));
    }
    std::string WriteType(const char* name) {
        TTypeObjectData type(Formats);
        FillSampleType(type);
        const std::string path = (Root / name).string();
        EXPECT_TRUE(type.SaveToFile(path));
        return path;
    }
    std::string WriteMenu(const char* name) {
        const std::string path = (Root / name).string();
        WriteFileBytes(path, TestDefaultMenu);
        return path;
    }
    // Puts a type into the simulated unit as a type download leaves it.
    void StoreType() {
        TTypeObjectData type(Formats);
        FillSampleType(type);
        TQXBlockMemList blocks;
        _BlockContext context;
        context.ModelVersion.SetText("V2.7");
        ASSERT_TRUE(type.SaveToBlocks(blocks, context, 0, 1));
        std::map<uint8_t, uint8_t> next;
        for (int32_t i = 0; i < blocks.Count(); ++i) {
            const TQXBlockMem* b = blocks.Get(i);
            std::vector<uint8_t> stream(b->GetStreamSize());
            b->CopyStream(0, stream.data(), stream.size());
            unit.PutBlock(b->MemType, next[b->MemType]++, stream);
        }
    }
    // Another program comes to the front, as the window system reports it:
    // none of our windows is active any more, the application is not.
    bool Away = false;
    void LeaveApplication() {
        QApplication::setActiveWindow(nullptr);
        QEvent deactivate(QEvent::ApplicationDeactivate);
        QApplication::sendEvent(qApp, &deactivate);
        Process();
        Away = true;
    }
    void ReturnToApplication() {
        QApplication::setActiveWindow(Main.get());
        QEvent activate(QEvent::ApplicationActivate);
        QApplication::sendEvent(qApp, &activate);
        Process();
        Away = false;
    }

    TMDICustomChild* Active() const { return qobject_cast<TMDICustomChild*>(Main->ClientArea->activeSubWindow()); }
    TMDICustomChild* Last(uint32_t kind) const {
        TMDICustomChild* found = nullptr;
        for (TMDICustomChild* w : Main->DocumentWindows())
            if (w->Kind == kind) found = w;
        return found;
    }
    static bool PartOf(const QObject* object, const QObject* window) {
        for (; object; object = object->parent())
            if (object == window) return true;
        return false;
    }
    QStringList MenuBarTexts() const {
        QStringList texts;
        for (QAction* a : Main->menuBar()->actions()) texts << a->text();
        return texts;
    }
    QAction* GeneralButton(int i) const { return Main->App.ToolBars.Slots[0].GetButton(i); }

    // The active window is w (while another program is in front: the
    // current one, none being active), and the main window holds its parts
    // and no other window's: its Edit menu right after File, and for a type
    // window its four File items with General's Save and Print enabled for it.
    void ExpectPartsOf(TMDICustomChild* w) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(Main->ClientArea->currentSubWindow(), w);
        EXPECT_EQ(Active(), Away ? nullptr : w);
        EXPECT_TRUE(Main->actWindowClose->isEnabled());
        EXPECT_TRUE(w->FramePartsActive());
        for (TMDICustomChild* other : Main->DocumentWindows())
            if (other != w) {
                EXPECT_FALSE(other->FramePartsActive()) << other->windowTitle().toStdString();
            }
        const QList<QAction*> bar = Main->menuBar()->actions();
        EXPECT_EQ(MenuBarTexts().count("&Edit"), 1) << MenuBarTexts().join(' ').toStdString();
        ASSERT_GE(bar.size(), 2);
        EXPECT_EQ(bar[1]->text(), "&Edit");
        EXPECT_TRUE(bar[1]->menu() && PartOf(bar[1]->menu(), w)) << "the Edit menu is another window's";
        const QList<QAction*> file = Main->mnuFile->actions();
        if (auto* t = qobject_cast<TfrmTypeObject*>(w)) {
            EXPECT_EQ(bar[1], t->EditMenu->menuAction());
            EXPECT_EQ(file.mid(3, 4), (QList<QAction*>{t->mnuSave, t->mnuSaveAs, t->mnuPrint, t->mnuExport}));
            ASSERT_TRUE(GeneralButton(2) && GeneralButton(3));
            EXPECT_TRUE(GeneralButton(2)->isEnabled());
            EXPECT_TRUE(GeneralButton(3)->isEnabled());
            EXPECT_EQ(GeneralButton(2)->toolTip(), "Save Type");
            EXPECT_EQ(GeneralButton(3)->toolTip(), "Print Type");
        } else if (auto* m = qobject_cast<TfrmQXMenu*>(w)) {
            EXPECT_EQ(bar[1], m->popupmnuEdit->menuAction());
            EXPECT_EQ(file.mid(3, 2), (QList<QAction*>{m->SaveMenuItem, m->SaveAsMenuItem}));
            ASSERT_TRUE(GeneralButton(2));
            EXPECT_TRUE(GeneralButton(2)->isEnabled());
        } else {
            // A manager: the File menu and General are the main window's own.
            EXPECT_EQ(Main->mnuFile->actions().size(), 8);
            ASSERT_TRUE(GeneralButton(2));
            EXPECT_FALSE(GeneralButton(2)->isEnabled());
        }
    }
    // No document window's parts: the main window's own menus and buttons.
    void ExpectNoParts() {
        EXPECT_EQ(MenuBarTexts(), (QStringList{"&File", "&QX", "&Options", "&Window", "&Help"}));
        EXPECT_EQ(Main->mnuFile->actions().size(), 8);
        ASSERT_TRUE(GeneralButton(2) && GeneralButton(3));
        EXPECT_FALSE(GeneralButton(2)->isEnabled());
        EXPECT_FALSE(GeneralButton(3)->isEnabled());
        for (TMDICustomChild* w : Main->DocumentWindows()) EXPECT_FALSE(w->FramePartsActive());
    }
};

// How a window comes to be: a main window started for it (with settings
// and a command line), then what the user does; the window made last.
struct Creator {
    const char* name;
    uint32_t kind;
    std::function<void()> settings;  // before the start; may be empty
    std::function<std::string()> commandLine;
    std::function<void()> open;
    bool startUp = false;  // made while the main window starts
};

}  // namespace

// Every creator of a type window or a menu window and every way a manager
// opens leaves the new window active with its parts in the main window,
// on an empty frame and over another window that was active before.
TEST_F(Activation, EveryCreatorGivesTheNewWindowItsParts) {
    auto none = [] {};
    auto noFile = [] { return std::string(); };
    auto reopen = [this](uint8_t _AppInterface::* flag) {
        return [this, flag] { WriteSettings([flag](_AppInterface& app) { app.*flag = 1; }); };
    };
    const Creator creators[] = {
        {"New", KindTypeObject, nullptr, noFile, [this] { Main->actNew->trigger(); }},
        {"Open", KindTypeObject, nullptr, noFile,
         [this] {
             ChosenFile = WriteType("open.mtp");
             Main->actOpen->trigger();
         }},
        {"Open Recent", KindTypeObject, nullptr, noFile,
         [this] {
             Main->App.RecentFiles->Add(WriteType("recent.mtp"));
             ASSERT_FALSE(Main->mnuOpenRecent->actions().isEmpty());
             Main->mnuOpenRecent->actions()[0]->trigger();
         }},
        {"command line", KindTypeObject, nullptr, [this] { return WriteType("argument.mtp"); }, none, true},
        {"double click on the frame", KindTypeObject, nullptr, noFile,
         [this] {
             ChosenFile = WriteType("click.mtp");
             QTest::mouseDClick(Main->ClientArea->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
         }},
        {"memory manager's upload", KindTypeObject, nullptr, noFile,
         [this] {
             StoreType();
             Main->actMemoryManager->trigger();
             auto* manager = qobject_cast<TfrmManager*>(Last(KindMemoryManager));
             ASSERT_NE(manager, nullptr);
             manager->actRefresh->trigger();
             const auto found = manager->DataTree->findItems("Parameters", Qt::MatchExactly | Qt::MatchRecursive);
             ASSERT_FALSE(found.isEmpty());
             manager->DataTree->setCurrentItem(found.first());
             manager->actUpload->trigger();
         }},
        {"menu editor command", KindQXMenu, nullptr, noFile, [this] { Main->actMenuManager->trigger(); }},
        {"menu file opened", KindQXMenu, nullptr, noFile,
         [this] {
             ChosenFile = WriteMenu("open.mnu");
             Main->actOpen->trigger();
         }},
        {"menu file from Open Recent", KindQXMenu, nullptr, noFile,
         [this] {
             Main->App.RecentFiles->Add(WriteMenu("recent.mnu"));
             Main->mnuOpenRecent->actions()[0]->trigger();
         }},
        {"menu file on the command line", KindQXMenu, nullptr,
         [this] { return WriteMenu("argument.mnu"); }, none, true},
        {"Program Manager command", KindProgramManager, nullptr, noFile,
         [this] { Main->actProgramManager->trigger(); }},
        {"memory manager command", KindMemoryManager, nullptr, noFile,
         [this] { Main->actMemoryManager->trigger(); }},
        {"Memory Viewer command", KindMemoryViewer, nullptr, noFile,
         [this] { Main->actMemView->trigger(); }},
        {"Applications command", KindGamesManager, nullptr, noFile,
         [this] { Main->actGamesManager->trigger(); }},
        {"Program Manager reopened", KindProgramManager, reopen(&_AppInterface::ReopenProgramManager), noFile, none, true},
        {"memory manager reopened", KindMemoryManager, reopen(&_AppInterface::ReopenMemoryManager), noFile, none, true},
        {"Memory Viewer reopened", KindMemoryViewer, reopen(&_AppInterface::ReopenMemoryViewer), noFile, none, true},
        {"Applications reopened", KindGamesManager, reopen(&_AppInterface::ReopenApplications), noFile, none, true},
        {"managers reopened, then the command line", KindTypeObject,
         [this] {
             WriteSettings([](_AppInterface& app) {
                 app.ReopenProgramManager = app.ReopenMemoryManager = app.ReopenMemoryViewer = 1;
                 app.ReopenApplications = app.ReopenConverter = 1;
             });
         },
         [this] { return WriteType("last.mtp"); }, none, true},
    };
    for (const bool overAnother : {false, true}) {
        for (const Creator& c : creators) {
            // What the main window makes while it starts comes before any other.
            if (overAnother && c.startUp) continue;
            SCOPED_TRACE(std::string(c.name) + (overAnother ? ", over a type window" : ", on an empty frame"));
            Main.reset();
            fs::remove(CfgPath());
            if (c.settings) c.settings();
            StartMain(c.commandLine());
            if (overAnother) {
                // A type window with its parts: they leave for the new window's.
                TMDICustomChild* before = DocumentCreators().OpenTypeObject(&Main->App, WriteType("before.mtp"));
                Process();
                ExpectPartsOf(before);
            }
            c.open();
            Process();
            ExpectPartsOf(Last(c.kind));
            EXPECT_EQ(MessageTexts(), std::vector<std::string>());
            ASSERT_FALSE(HasFatalFailure());
        }
    }
}

// The active window closed: the window that becomes active has its parts
// back; the last one closed leaves the main window's own. A window closed
// in the background leaves the active window's parts where they are.
TEST_F(Activation, ClosingPassesThePartsToTheNextWindowOnly) {
    const auto windows = Openers();
    for (const auto& first : windows)
        for (const auto& second : windows) {
            SCOPED_TRACE(std::string(first.name) + " below " + second.name);
            Main.reset();
            StartMain();
            QPointer<TMDICustomChild> a, b;
            first.open();
            Process();
            a = Active();
            second.open();
            Process();
            b = Active();
            if (a == b) {
                // The second command of one manager shows the first window.
                ExpectPartsOf(a);
                continue;
            }
            ExpectPartsOf(b);
            // In the background: b keeps its parts.
            a->close();
            Process();
            ASSERT_TRUE(b);
            ExpectPartsOf(b);
            // Again with a third window: the active one closes, the one below
            // follows.
            first.open();
            Process();
            a = Active();
            ExpectPartsOf(a);
            a->close();
            Process();
            ExpectPartsOf(b);
            b->close();
            Process();
            EXPECT_TRUE(Main->DocumentWindows().isEmpty());
            ExpectNoParts();
            ASSERT_FALSE(HasFatalFailure());
        }
}

// Activated again through the Window menu, and with the main window's
// commands: only the window in front holds the parts, each time.
TEST_F(Activation, TheWindowMenuAndTheManagerCommandsMoveThePartsAlong) {
    StartMain();
    Main->actNew->trigger();
    Process();
    TMDICustomChild* type = Active();
    Main->actProgramManager->trigger();
    Process();
    TMDICustomChild* programs = Active();
    Main->actMenuManager->trigger();
    Process();
    TMDICustomChild* menu = Active();
    ExpectPartsOf(menu);
    // The Window menu's list: the windows' entries after the separator.
    for (TMDICustomChild* w : {type, programs, menu, type}) {
        emit Main->mnuWindow->aboutToShow();
        QAction* entry = nullptr;
        for (QAction* a : Main->mnuWindow->actions())
            if (a->text() == w->windowTitle()) entry = a;
        ASSERT_NE(entry, nullptr) << w->windowTitle().toStdString();
        entry->trigger();
        Process();
        ExpectPartsOf(w);
    }
    Main->actProgramManager->trigger();
    Process();
    ExpectPartsOf(programs);
}

// Another program in front (the loader, the manual's viewer, a terminal):
// the document area has no active window then, yet the window in front
// keeps its menus, File items and tool-bar buttons, also when the person
// comes back; they move only to another of our windows made active, and
// closing the window still takes them out. A window whose only focusable
// widgets are hidden (the Memory Viewer unconnected) keeps the focus on
// itself, so that coming back does not make the window below active.
TEST_F(Activation, AnotherProgramInFrontLeavesThePartsWhereTheyAre) {
    for (const auto& c : Openers()) {
        SCOPED_TRACE(c.name);
        Main.reset();
        StartMain();
        Main->actProgramManager->trigger();
        Process();
        QPointer<TMDICustomChild> below = Active();
        c.open();
        Process();
        QPointer<TMDICustomChild> front = Active();
        if (front == below) continue;
        ExpectPartsOf(front);
        // The keys go to a shown part of it (coming back, the focus decides
        // which window is active).
        const QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(focus->isVisible()) << focus->objectName().toStdString();
        EXPECT_TRUE(focus == front || front->isAncestorOf(focus));
        for (int round = 0; round < 2; ++round) {
            LeaveApplication();
            ExpectPartsOf(front);
            ReturnToApplication();
            ExpectPartsOf(front);
        }
        // Away again, then back to the window below: its parts come in.
        LeaveApplication();
        ReturnToApplication();
        Main->ClientArea->setActiveSubWindow(below);
        Process();
        ExpectPartsOf(below);
        // Closed while another program is in front: its parts go, and the
        // window below, which the area makes the current one, has its own.
        Main->ClientArea->setActiveSubWindow(front);
        Process();
        ExpectPartsOf(front);
        LeaveApplication();
        front->close();
        Process();
        ReturnToApplication();
        ExpectPartsOf(below);
        below->close();
        Process();
        EXPECT_TRUE(Main->DocumentWindows().isEmpty());
        ExpectNoParts();
        ASSERT_FALSE(HasFatalFailure());
    }
}
