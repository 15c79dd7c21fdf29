#include "Logo.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "AppFolders.h"
#include "AppIcon.h"
#include "Appinterface.h"
#include "QtText.h"
#include "ScreenFit.h"
#include "Shell.h"

std::string TfrmLogo::PicturePath() { return ProgramFolderFile("logo.bmp"); }
std::string TfrmLogo::ExpertToolPath() { return ProgramFolderFile("exppss.pss"); }

TfrmLogo::TfrmLogo(QWidget* owner, bool toolWindow, int closeAfterMs, const std::string& text,
                   const std::string& caption, int labelTop, int labelLeft)
    : QDialog(owner) {
    setObjectName("frmLogo");
    setWindowTitle("About");
    Qt::WindowFlags flags = Qt::WindowStaysOnTopHint;
    flags |= toolWindow ? Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                        : Qt::SplashScreen | Qt::FramelessWindowHint;
    setWindowFlags(flags);
    if (!caption.empty()) setWindowTitle(QStr(caption));
    setAutoFillBackground(true);
    setPalette(QPalette(palette().color(QPalette::Button)));
    setFocusPolicy(Qt::StrongFocus);

    // A picture that is missing or cannot be read leaves a blank one.
    const std::string path = PicturePath();
    if (FileExists(path)) Image.load(QFileName(path));
    if (Image.isNull()) {
        Image = QImage(300, 200, QImage::Format_RGB32);
        Image.fill(palette().color(QPalette::Button));
        // The program's mark in the corner, above where the text begins.
        QPainter painter(&Image);
        ProgramIcon().paint(&painter, QRect(10, 8, 48, 48));
    }

    lblText = new QLabel(this);
    lblText->setObjectName("lblText");
    QFont font("Arial");
    font.setPixelSize(12);
    lblText->setFont(font);
    lblText->setAttribute(Qt::WA_TranslucentBackground);
    lblText->setAutoFillBackground(false);
    lblText->setText(QStr(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    lblText->move(labelLeft, labelTop);
    lblText->adjustSize();

    // The window is the picture; a text that reaches past it widens or
    // lengthens the window as far as the text needs, keeping the margin it
    // has on the left.
    const int margin = std::max(labelLeft, 0);
    const QRect shown = lblText->geometry();
    setFixedSize(Image.size().expandedTo(QSize(shown.right() + 1 + margin, shown.bottom() + 1 + margin)));
    CentreOnOwnerScreen(this, owner);

    CloseTimer = new QTimer(this);
    CloseTimer->setObjectName("CloseTimer");
    CloseTimer->setInterval(closeAfterMs);
    connect(CloseTimer, &QTimer::timeout, this, &QDialog::close);
    if (closeAfterMs >= 1) CloseTimer->start();
}

void TfrmLogo::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, Image);
}

void TfrmLogo::FormClick() { close(); }

void TfrmLogo::mousePressEvent(QMouseEvent*) { FormClick(); }

void TfrmLogo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        FormKeyPress(QChar(27));
        return;
    }
    for (QChar c : event->text()) FormKeyPress(c);
}

void TfrmLogo::FormKeyPress(QChar character) {
    if (character.unicode() == 27) {
        close();
        return;
    }
    for (size_t i = 0; i + 1 < Typed.size(); ++i) Typed[i] = Typed[i + 1];
    Typed.back() = character.unicode();
    const std::string code = AccessCode;
    for (size_t i = 0; i < Typed.size(); ++i)
        if (Typed[i] != static_cast<char32_t>(code[i])) return;
    // Whatever the tool does, nothing comes back from it.
    StartProgram({ExpertToolPath(), {}, GetProgramFolder()});
}

TfrmLogo* ShowLogo(QWidget* owner, int labelLeft, int labelTop, const std::string& caption, const std::string& text,
                   int closeAfterMs, bool toolWindow, bool modal) {
    auto* logo = new TfrmLogo(owner, toolWindow, closeAfterMs, text, caption, labelTop, labelLeft);
    if (modal) {
        logo->exec();
        delete logo;
        return nullptr;
    }
    logo->setAttribute(Qt::WA_DeleteOnClose);
    logo->show();
    return logo;
}
