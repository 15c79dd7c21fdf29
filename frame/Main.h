// The main window of the configuration program: one multiple-document
// frame with its menus, actions, the eight tool bars, the status bar and the
// application record. Its constructor is the start-up of the whole program,
// its close the shut-down.
#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <array>
#include <string>

#include "Appinterface.h"
#include "MDICustomChild.h"

#include "Logo.h"

class TfrmQX318MainForm : public QMainWindow {
    Q_OBJECT
public:
    // firstArgument: the program's first command-line argument (may be empty).
    explicit TfrmQX318MainForm(QWidget* owner = nullptr, const std::string& firstArgument = {});
    ~TfrmQX318MainForm() override;

    _AppInterface App;
    std::string CommandLineFile;
    bool FirstShow = false;
    int32_t StartLanguage = -1;

    // Components, by their names.
    QMdiArea* ClientArea;
    QStatusBar* StatusBar;
    QMenu *mnuFile, *mnuOpenRecent, *mnuView, *mnuToolBar, *mnuOptions, *mnuWindow, *mnuHelp;
    QMenu* PopupMenuToolBars;
    QAction *actNew, *actOpen, *actImport, *actWindowClose, *mnuCloseAll, *mnuExit;
    QAction *actMemoryManager, *actProgramManager, *actMemView, *actMenuManager, *actGamesManager;
    QAction *actConvert, *actFirmware, *actConfig;
    QAction *actWindowArrange, *actWindowCascade, *actWindowTileHorizontal, *actWindowTileVertical,
        *actWindowMinimizeAll;
    QAction *mnuQX318UtilityHelp, *mnuRZT, *mnuAbout;
    QAction *actToolBarGeneral, *actToolBarTable, *actToolBarType, *actToolBarMemoryManager,
        *actToolBarProgramManager, *actToolBarMemoryViewer, *actToolBarMenuManager, *actToolBarGamesManager;
    QAction *actDefaultSave, *actDefaultPrint, *actDefaultTable, *actDefaultType;  // ActionListDefault
    QToolBar *toolbarGeneralDefault, *toolbarTableDefault, *toolbarTypeDefault, *toolbarProgramManagerDefault,
        *toolbarMemoryManagerDefault, *toolbarMemoryViewerDefault, *toolbarQXMenuDefault, *toolbarGamesManagerDefault;
    TImageList Images16x16x16b_Actions{TImageList::TKind::Actions};
    TImageList Images16x16x256_Manager{TImageList::TKind::Manager};
    // The filter the open command offers (changes with the menu functions).
    std::string OpenDialogFilter;

    // The eight tool bars in slot order.
    std::array<QToolBar*, TAppToolBars::SlotCount> DefaultToolBars() const;
    // The settings file: "<program>.cfg" in the settings folder.
    static std::string SettingsFilePath();

    // Opens a file by its extension. handled (when given) tells whether the
    // extension had a creator; the result is the window when it is open.
    TMDICustomChild* OpenFileByExtension(const std::string& name, bool* handled = nullptr);
    void UpdateExpertUI();
    // The splash (closeAfter 1500, no frame, not modal) and the About box.
    TfrmLogo* ShowAboutBox(int closeAfterMs, bool toolWindow, bool modal);
    static std::string AboutText();

    // The document windows, in the frame's window order.
    QList<TMDICustomChild*> DocumentWindows() const;
    // The last document window of the kind, or null.
    TMDICustomChild* FindDocumentWindow(uint32_t kind) const;
    // Commands whose window kinds have no creator stay disabled.
    void UpdateCommandStates();
    // The splash while it is open (null once it closed).
    TfrmLogo* Splash() const { return SplashWindow; }
    // The pop-up menu of the tool-bar areas (flexible tool bars only).
    QMenu* createPopupMenu() override;

public slots:
    void actNewExecute();
    void actOpenExecute();
    void OpenRecentClick(QAction* item);
    void actImportExecute();
    void mnuCloseAllClick();
    void mnuExitClick();
    void actProgramManagerExecute();
    void actMemoryManagerExecute();
    void actMemViewExecute();
    void actGamesManagerExecute();
    void actMenuManagerExecute();
    void actConvertExecute();
    void actConfigExecute();
    void actFirmwareExecute();
    void mnuQX318UtilityHelpClick();
    void mnuRZTClick();
    void mnuAboutClick();
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TfrmLogo> SplashWindow;

    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void RebuildWindowMenu();
    // Window > Arrange: the shown windows in tiles side by side, each at
    // least as large as the windows' least size; what does not fit into the
    // area is reached by scrolling, the main window keeps its size.
    void ArrangeWindows();
    // The tool-bar actions' check marks follow their tool bars.
    void UpdateToolBarChecks();
    // The shut-down: tool-bar layout, placement, reopen flags, settings file.
    void FormClose();
    // Lets every document window agree to closing; false when one refuses.
    bool FormCloseQuery();
    void ShowManager(uint32_t kind, const TDocumentCreators::TCreator& creator);
};
