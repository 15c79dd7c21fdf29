// The modal "Configuration" dialog: COM port and baud rate, tool-bar mode,
// language, the Program Manager's shortcuts, the reset at the next start and
// the recently used units. It works on copies; only "&Ok" gives them to the
// record. Its result tells the caller what changed: the change mask below
// with bit 0 set after "&Ok", 1 otherwise.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "Appinterface.h"

enum : int32_t {
    ChangedPort = 0x10,
    ChangedShortcuts = 0x20,
    ChangedToolBarMode = 0x40,
    ChangedLanguage = 0x80,
    ChangedReset = 0x100,
};

class TfrmAppConfig : public QDialog {
    Q_OBJECT
public:
    static int32_t Execute(_AppInterface* app);
    explicit TfrmAppConfig(_AppInterface* app);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QTabWidget* PageControl;
    QWidget* tabsheetGeneral;
    QGroupBox* grpboxCommunication;
    QLabel* lblComPort;
    QComboBox* cmbboxComPort;
    QLabel* lblBaudRate;
    QComboBox* cmbboxBaudRate;
    QGroupBox* grpboxToolBar;
    QCheckBox* chkboxFloatToolBar;
    QGroupBox* grpboxLanguage;
    QListWidget* listboxLanguages;
    QWidget* tabsheetShortcuts;
    QLabel* lblShortcut[4];
    QLineEdit* edtShortcut[4];
    QPushButton* btnShortcutBrowse[4];
    QLabel* lblInfo1;
    QLabel* lblInfo2;
    QWidget* tabsheetResetDefaults;
    QLabel* lblResetDefaultsInfo0;
    QLabel* lblResetDefaultsInfo2;
    QCheckBox* chkboxResetDefaults;
    QLabel* lblUnits;
    QComboBox* cmbUnits;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    static constexpr const char* ProgramFilter =
        "S Record File (*.S)|*.S|Intel Hex File (*.hex,*.h86)|*.hex;*.h86|S Record/Intel Hex "
        "(*.S,*.hex,*.h86)|*.S;*.hex;*.h86|All files (*.*)|*.*";

    int32_t GetChangeMask() const { return ChangeMask; }

public slots:
    void cmbboxComPortChange();
    void cmbboxBaudRateChange();
    void chkboxFloatToolBarClick();
    void listboxLanguagesClick();
    void edtShortcut1Change(QObject* sender);
    void btnShortcutBrowse1Click(QObject* sender);
    void chkboxResetDefaultsClick();
    void cmbUnitsKeyUp(int key);
    void btnOkClick();
    void btnCancelClick();

protected:
    void done(int result) override;  // FormClose

private:
    _AppInterface* App;
    int32_t ComPort = 1;
    int32_t BaudIndex = 1;
    uint8_t DisplayFormats[100] = {};
    _Shortcuts Shortcuts;
    uint8_t FlexibleToolBars = 0;
    int32_t LanguageIndex = -1;
    int32_t ChangeMask = 0;
    uint8_t Accepted = 0;
};
