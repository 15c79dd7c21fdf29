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
