// The configuration program: one main window, then the message loop.
#include <QApplication>
#include <exception>

#include "AppIcon.h"
#include "Dialogs.h"
#include "Images.h"
#include "Main.h"
#include "Managers.h"
#include "TypeWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("QX318Utility");
    SetUpIconTheme();
    SetUpProgramIcon();
    RegisterManagers();
    RegisterTypeEditor();
    try {
        TfrmQX318MainForm window(nullptr, argc > 1 ? argv[1] : std::string());
        window.show();
        application.exec();
    } catch (const std::exception& e) {
        ShowMessageBox(nullptr, e.what(), TMsgIcon::Stop);
    } catch (...) {
        ShowMessageBox(nullptr, "Unknown failure.", TMsgIcon::Stop);
    }
    return 0;
}
