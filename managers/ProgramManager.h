// The Program Manager: which of the unit's eight memory segments hold which
// program, a program file (S-record or Intel HEX) downloaded into the unit,
// a program deleted, and four file shortcuts for programs downloaded often.
#pragma once

#include "Commcmd.h"
#include "ManagerChild.h"
#include "ProgramSlots.h"

class QAction;
class QMenu;
class QPainter;
class QRect;
class QStatusBar;
class QTableWidget;
class QToolBar;
class QToolButton;

class TfrmProgramManager : public TManagerChild {
    Q_OBJECT
public:
    static constexpr int PlacementIndex = 1;
    static constexpr int ToolBarSlot = 3;  // ProgramManager

    explicit TfrmProgramManager(_AppInterface* app);

    QWidget* Client;
    QToolBar* toolbarProgramManager;
    QToolButton* toolbtnShortcut[4];
    QTableWidget* DataGrid;
    QStatusBar* StatusBar;
    QAction* actRefresh;
    QAction* actDownload;
    QAction* actDelete;
    QAction* actShortcuts;
    QAction* actShortcut[4];  // the tool-bar buttons' actions
    QMenu* PopupMenu;
    QMenu* mnuShortcuts;

    bool Connected() const { return IsConnected; }
    int SelectedSlot() const { return Selected; }
    const _ProgramSegmentRow& Row(int i) const { return Rows[i]; }

    void UpdateShortcutButtons();
    void RefreshStatus();
    void DownloadProgram(const std::string& path);
    void ShortcutClick(int index);
    // A right click on shortcut button index, at a point of the screen.
    void ShortcutContextPopup(int index, const QPoint& screen);
    void DataGridDrawCell(QPainter& painter, int row, const QRect& rect, bool selected);

public slots:
    void actRefreshExecute();
    void actDownloadExecute();
    void actDeleteExecute();
    void actShortcutsUpdate();
    void DataGridClick();
    void FormKeyPress(const QString& key);
    void FormResize();

protected:
    // Also hooks the right click of the shortcut buttons on the main
    // window's tool bar.
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    _ProgramSlotStatus Slots[ProgramSlotCount];
    _ProgramSegmentRow Rows[ProgramSegmentCount];
    bool IsConnected = false;
    int32_t Selected = -1;
    int DrawInset = 0;
    TTextLines ProgramLines;
    std::string NotConnectedText, PressRefreshText;

    void UpdateActions();
    // Every button that shows a shortcut, here or on the main window's tool
    // bar, edits it on a right click.
    void HookShortcutButtons();
    // The status reads of the eight slots appended to the list, each into a
    // buffer of the run; Run copies them into the slot records afterwards.
    void AddStatusCommands(TCommCmdList& list, uint8_t (*buffers)[ProgramStatusSize]);
    // Runs the list; true when it succeeded and no error was ignored.
    bool Run(TCommCmdList& list, uint8_t (*buffers)[ProgramStatusSize]);
    void AfterRun();
    void DrawSegment(QPainter& painter, int row, bool flag, QRect rect);
};

TMDICustomChild* OpenProgramManager(_AppInterface* app);
