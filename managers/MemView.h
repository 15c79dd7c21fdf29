// The Memory Viewer: one page of 4096 bytes of the unit's memory as a
// hexadecimal dump; the user pages up and down, jumps to an address and
// saves the raw page to a file.
#pragma once

#include <QSize>
#include <cstdint>
#include <vector>

#include "ManagerChild.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QToolBar;
class QToolButton;

class TfrmMemView : public TManagerChild {
    Q_OBJECT
public:
    static constexpr int PlacementIndex = 2;
    static constexpr int ToolBarSlot = 5;  // MemoryViewer
    static constexpr QSize MinimumSize{400, 300};

    explicit TfrmMemView(_AppInterface* app);

    QWidget* Client;
    QToolBar* ToolBar;
    QPlainTextEdit* out;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel[2];
    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Image1;
    QLabel* Panel1Caption;
    QFrame* Panel2;
    QLabel* Label2;
    QLineEdit* Edit1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QAction* actRefreshPage;
    QAction* actGotoPage;
    QAction* actPageUp;
    QAction* actPageDown;
    QAction* actSavePage;
    QMenu* PopupMenu;

    uint32_t PageAddress() const { return Address; }
    bool Valid() const { return IsValid; }
    const std::vector<uint8_t>& Page() const { return Buffer; }
    void FillDump();

public slots:
    void actRefreshPageExecute();
    void actPageUpExecute();
    void actPageDownExecute();
    void actGotoPageExecute();
    void actSavePageExecute();
    void SpeedButton1Click();
    void SpeedButton2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<uint8_t> Buffer;
    uint32_t Address = 0;
    bool IsValid = false;
    void UpdateActions();
    void FormResize();
};

// Creates the Memory Viewer, shows it and returns it; none when creating fails.
TMDICustomChild* OpenMemView(_AppInterface* app);
