// The communication error dialog: an information text, up to three answer
// buttons of one of six button sets, and a details view with the run's
// communication log. Its answer is the pressed button's tag (Esc gives 1).
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

#include "DialogAnswers.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TMLSUnit;

class TfrmDebugForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 394;
    static constexpr int CollapsedHeight = 100;
    static constexpr int ExpandedHeight = 360;

    TfrmDebugForm(QWidget* owner, const std::string& details, const std::string& info, const std::string& title,
                  int32_t buttons, const TMLSUnit& texts);

    // Disables the owner, shows the dialog modally and gives its answer.
    static int32_t Show(QWidget* owner, const TMLSUnit& texts, int32_t buttons, const std::string& title,
                        const std::string& info, const std::string& details);

    QLabel* Image;
    QLabel* lblInfo;
    QPushButton* btnButton1;
    QPushButton* btnButton2;
    QPushButton* btnButton3;
    QPushButton* btnDetails;
    QPlainTextEdit* memoDebug;

public slots:
    void btnButtonClick();
    void btnDetailsClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;  // FormKeyPress

private:
    int32_t ButtonSet;
    void FitHeight(int designedHeight);
    void WidenForDetails();
    const TMLSUnit& Texts;
};
