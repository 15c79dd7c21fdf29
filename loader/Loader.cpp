// The firmware loader: downloads one S-record, Intel HEX or binary file to a
// board's boot loader, as its command line says:
//   loader COM<n> <baud> <type> <file> [CONTROL|VERIFY]
// Every failure is reported in a box. The exit code is 0 after a complete
// download (and after the ABOUT box), 1 after any failure, refusal, No or Esc.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <exception>

#include "AppIcon.h"
#include "Loaderunit.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(kLoaderTitle);
    SetUpProgramIcon();
    try {
        TForm1 form;
        std::vector<std::string> args(argv + 1, argv + argc);
        form.FormCreate(args);
        QTimer::singleShot(0, &form, &TForm1::FormActivate);
        app.exec();
        return form.ExitCode();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, kLoaderTitle, QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
