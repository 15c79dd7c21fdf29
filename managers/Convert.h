// The HEX/DEC converter: lines of numbers pasted on the left come back on
// the right with every number in decimal and the delimiters kept. Its
// placement and options live in <program>.ini, section "frmConvert".
#pragma once

#include "ManagerChild.h"

class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QAction;
class QKeyEvent;

class TfrmConvert : public TManagerChild {
    Q_OBJECT
public:
    static constexpr const char* Section = "frmConvert";

    explicit TfrmConvert(_AppInterface* app);

    QWidget* Client;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* NoPage;  // shown when the stored page index names no page
    QSplitter* Splitter1;
    QPlainTextEdit* Memo1;
    QPlainTextEdit* Memo2;
    QPushButton* btnHexDec;
    QLabel* lblDelimiter;
    QLineEdit* editDelimiter;
    QLabel* lblBytes;
    QComboBox* cmbBytes;
    QCheckBox* cbSigned;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel[2];
    QAction* actHexDec;
    QMenu* PopupMenu1;

    // The page shown: 0, 1, or -1 when none.
    int TabIndex() const;
    void SetTabIndex(int index);

public slots:
    void actHexDecExecute();
    bool FormCloseQuery() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    int PendingMemo1Width = -1;  // applied once the window is laid out
    void ApplyMemo1Width();
    void Memo1KeyUp(QPlainTextEdit* memo, QKeyEvent* event);
    void ReadSettings();
};

// Creates the converter, shows it and returns it; none when creating fails.
TMDICustomChild* OpenConvert(_AppInterface* app);
