#include "AppIcon.h"

#include <QGuiApplication>

const QIcon& ProgramIcon() {
    static const QIcon icon = [] {
        Q_INIT_RESOURCE(appicon);
        // The drawing scales to any size; the pictures of the usual sizes
        // serve where they fit (and where no SVG support is installed).
        QIcon made(QStringLiteral(":/qx318/qx318.svg"));
        for (int size : {16, 24, 32, 48, 256})
            made.addFile(QStringLiteral(":/qx318/qx318-%1.png").arg(size), QSize(size, size));
        return made;
    }();
    return icon;
}

void SetUpProgramIcon() { QGuiApplication::setWindowIcon(ProgramIcon()); }
