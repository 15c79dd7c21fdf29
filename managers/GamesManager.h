// The Applications window: the unit's seven application slots, an
// application downloaded from an Intel HEX file into a slot, an application
// deleted.
#pragma once

#include "AppSlots.h"
#include "ManagerChild.h"

class QAction;
class TCommCmdList;
class QMenu;
class QPainter;
class QRect;
class QStatusBar;
class QTableWidget;
class QToolBar;

class TfrmGamesManager : public TManagerChild {
    Q_OBJECT
public:
    static constexpr int PlacementIndex = 4;
    static constexpr int ToolBarSlot = 7;  // GamesManager

    explicit TfrmGamesManager(_AppInterface* app);

    QWidget* Client;
    QToolBar* toolbarGamesManager;
    QTableWidget* DataGrid;
    QStatusBar* StatusBar;
    QAction* actRefresh;
    QAction* actDownloadGame;
    QAction* actDeleteGame;
    QMenu* PopupMenu;

    bool Connected() const { return IsConnected; }
    const _AppSlot& Slot(int i) const { return Slots[i]; }
    int Inset() const { return DrawInset; }

    void RefreshSlots();
    void DownloadApplication();
    void DeleteApplication();
    // Paints grid row `row` into rect.
    void DataGridDrawCell(QPainter& painter, int row, const QRect& rect, bool selected);

public slots:
    void actRefreshExecute();
    void actDownloadGameExecute();
    void actDeleteGameExecute();
    void FormKeyPress(const QString& key);
    void FormResize();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    _AppSlot Slots[AppSlotCount];
    bool IsConnected = false;
    int DrawInset = 0;
    std::string NotConnectedText, PressRefreshText;

    void UpdateActions();
    void DrawSlot(QPainter& painter, int row, QRect rect, bool selected);
    // One run of the commands; true when it succeeded and no error was ignored.
    bool Run(TCommCmdList& list);
};

// Creates the Applications window, shows it and returns it; none when
// creating fails. It does not read the unit.
TMDICustomChild* OpenGamesManager(_AppInterface* app);
