// What the tests of all kinds of document windows together share: the real
// main window with every creator registered, in expert mode (so that the
// menu editor opens too), a small default menu in the program folder and
// the simulated unit on COM1.
#pragma once

#include "ManagersTest.h"

#include "Main.h"
#include "Managers.h"
#include "MenuTest.h"
#include "TypeWindow.h"

#include <functional>
#include <vector>

class DocumentWindowsFixture : public ManagersFixture {
protected:
    std::unique_ptr<TfrmQX318MainForm> Main;

    void SetUp() override {
        ManagersFixture::SetUp();
        RegisterTypeEditor();
        RegisterManagers();
        WriteFileBytes(ProgramDir / "DefaultMenu.mnu", TestDefaultMenu);
        WriteRegistry("[Software\\KVOZ]\nKVOZ=KVOZ\n");
    }
    void TearDown() override {
        // Nothing left to ask about: the main window goes without questions.
        if (Main)
            for (TMDICustomChild* w : Main->DocumentWindows()) {
                if (auto* t = qobject_cast<TfrmTypeObject*>(w)) t->Modified = false;
                if (auto* m = qobject_cast<TfrmQXMenu*>(w)) m->Modified = 0;
            }
        Main.reset();
        ManagersFixture::TearDown();
    }
    // The commands that open each kind of document window but the
    // converter: a type, a menu and the four unit windows.
    struct Opener {
        const char* name;
        std::function<void()> open;
    };
    std::vector<Opener> Openers() {
        return {
            {"type", [this] { Main->actNew->trigger(); }},
            {"menu", [this] { Main->actMenuManager->trigger(); }},
            {"Program Manager", [this] { Main->actProgramManager->trigger(); }},
            {"memory manager", [this] { Main->actMemoryManager->trigger(); }},
            {"Memory Viewer", [this] { Main->actMemView->trigger(); }},
            {"Applications", [this] { Main->actGamesManager->trigger(); }},
        };
    }
    void Process() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The main window shown and active, as the user meets it.
    void StartMain(const std::string& commandLine = {}) {
        Main = std::make_unique<TfrmQX318MainForm>(nullptr, commandLine);
        Main->App.ComPort = 1;
        Main->App.ComModule->GetMonitor()->SetTimeout(100);
        Main->show();
        QApplication::setActiveWindow(Main.get());
        QApplication::processEvents();
    }
};
