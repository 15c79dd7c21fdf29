// A picture with one text label over it: the start-up splash (no frame,
// closes itself after a time) and the About box (tool-window frame, modal).
// Typing the access code while it has the keyboard starts the expert tool.
#pragma once

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <array>
#include <string>

class TfrmLogo : public QDialog {
    Q_OBJECT
public:
    TfrmLogo(QWidget* owner, bool toolWindow, int closeAfterMs, const std::string& text, const std::string& caption,
             int labelTop, int labelLeft);

    QLabel* lblText;
    QTimer* CloseTimer;
    const QImage& Picture() const { return Image; }

    // The picture file beside the program; the expert tool beside it.
    static std::string PicturePath();
    static std::string ExpertToolPath();

public slots:
    void FormClick();
    void FormKeyPress(QChar character);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage Image;
    std::array<char32_t, 4> Typed{};  // the last four characters, oldest first
};

// Creates the window. Modal: shows it, waits and frees it (result null).
// Otherwise shows it and returns it; it frees itself when it closes.
TfrmLogo* ShowLogo(QWidget* owner, int labelLeft, int labelTop, const std::string& caption, const std::string& text,
                   int closeAfterMs, bool toolWindow, bool modal);
