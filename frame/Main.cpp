#include "Main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "Actions.h"
#include "AppConfig.h"
#include "AppFolders.h"
#include "AppIcon.h"
#include "Dialogs.h"
#include "FormTranslation.h"
#include "Images.h"
#include "Logo.h"
#include "QtText.h"
#include "ScreenFit.h"
#include "ScreenPlacement.h"
#include "Shell.h"
#include "TextHelpers.h"

namespace {

constexpr const char* MakerName = "RztSoftware";
constexpr const char* MakerWebAddress = "www.rztsoftware.com";

std::string UpperExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return std::string();
    std::string ext = name.substr(dot);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

}  // namespace

TfrmQX318MainForm::TfrmQX318MainForm(QWidget* owner, const std::string& firstArgument) : QMainWindow(owner) {
    // The form.
    setObjectName("frmQX318MainForm");
    setMinimumSize(450, 350);
    ClientArea = new QMdiArea(this);
    ClientArea->setObjectName("ClientArea");
    ClientArea->viewport()->installEventFilter(this);
    // Document windows that do not fit into the area are reached by
    // scrolling: the area's least size does not follow theirs, so the main
    // window never grows beyond its screen for them.
    ClientArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ClientArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(ClientArea);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    setStatusBar(StatusBar);
    BuildActions();
    BuildMenus();
    BuildToolBars();
    connect(ClientArea, &QMdiArea::subWindowActivated, this, [this] { UpdateCommandStates(); });

    // The record was built with the window. Expert mode.
    CommandLineFile.clear();
    App.ExpertMode = 0;
    std::string marker;
    if (ReadExpertMarker(marker) && marker == AccessCode) App.ExpertMode = 1;
    // The settings.
    LoadSettings(App, SettingsFilePath());
    // The menu editor follows expert mode; the second reserved byte
    // follows the first; the language the program started in.
    App.MenuUI = App.ExpertMode;
    if (App.Reserved[0] != App.Reserved[1]) App.Reserved[1] = App.Reserved[0];
    StartLanguage = App.LanguageIndex;
    // Texts and button hints.
    TranslateWidget(*App.Mls, this);
    for (QToolBar* bar : DefaultToolBars())
        for (QAction* a : bar->actions()) a->setToolTip(QStr(ButtonHintFromCaption(CpStr(a->text()))));
    // The record learns the main window, its menus and pictures.
    App.MainForm = this;
    App.MainMenu = menuBar();
    App.FileMenu = mnuFile;
    App.RecentFiles->SetMenu(mnuOpenRecent, [this](QAction* item) { OpenRecentClick(item); });
    App.ActionImages = &Images16x16x16b_Actions;
    App.ManagerImages = &Images16x16x256_Manager;
    App.ToolBars.DockSites[0] = {this, Qt::TopToolBarArea};
    // Binding after the texts, so the backups hold the translated buttons.
    const auto bars = DefaultToolBars();
    for (int i = 0; i < TAppToolBars::SlotCount; ++i) App.ToolBars.Slots[i].Bind(bars[i]);
    // Flexible tool bars move, float and come back where they were;
    // otherwise only the general bar shows, fixed.
    if (App.FlexibleToolBars) {
        for (QToolBar* bar : bars) {
            bar->setMovable(true);
            bar->setFloatable(true);
            bar->setAllowedAreas(Qt::TopToolBarArea | Qt::LeftToolBarArea);
            connect(bar, &QToolBar::topLevelChanged, this, [this, bar](bool floating) {
                if (floating) App.ToolBars.UnDock(bar);
                else App.ToolBars.DockDrop(bar, toolBarArea(bar));
            });
        }
        App.ToolBars.RestoreAll();
    } else {
        toolbarGeneralDefault->setMovable(false);
        toolbarGeneralDefault->setFloatable(false);
        toolbarGeneralDefault->setVisible(true);
        for (QToolBar* bar : bars)
            if (bar != toolbarGeneralDefault) bar->setVisible(false);
        mnuToolBar->menuAction()->setVisible(false);
    }
    // Icon, placement, caption and command states.
    setWindowIcon(ProgramIcon());
    RestoreWindowPlacement(this, App.MainPlacement);
    UpdateExpertUI();
    const QString caption = QString("QX318 Utility ") + VersionText;
    setWindowTitle(caption);
    SetApplicationTitle(CpStr(caption));
    UpdateCommandStates();
    UpdateToolBarChecks();
    // The splash is not waited for.
    SplashWindow = ShowAboutBox(1500, false, false);
    // A file named on the command line opens once the window shows.
    FirstShow = true;
    CommandLineFile = FileExists(firstArgument) ? firstArgument : std::string();
}

TfrmQX318MainForm::~TfrmQX318MainForm() {
    // Document windows go first: they may still use the record's objects.
    const auto windows = ClientArea->subWindowList();
    for (QMdiSubWindow* w : windows) delete w;
    CommandLineFile.clear();
    // The record is destroyed next (its members), then the components.
}

std::string TfrmQX318MainForm::SettingsFilePath() { return GetSettingsFilePath(ProgramFileWithExt(".cfg")); }

std::array<QToolBar*, TAppToolBars::SlotCount> TfrmQX318MainForm::DefaultToolBars() const {
    return {toolbarGeneralDefault,       toolbarTableDefault,        toolbarTypeDefault,
            toolbarProgramManagerDefault, toolbarMemoryManagerDefault, toolbarMemoryViewerDefault,
            toolbarQXMenuDefault,        toolbarGamesManagerDefault};
}

void TfrmQX318MainForm::BuildActions() {
    actNew = NewAction(this, "actNew",
                       TActionOptions("&New").Icon(MainActionIcon("actNew")).Shortcut(QKeySequence("Ctrl+N"))
                           .Handler([this] { actNewExecute(); }));
    actOpen = NewAction(this, "actOpen",
                        TActionOptions("&Open").Icon(MainActionIcon("actOpen")).Shortcut(QKeySequence("Ctrl+O"))
                            .Handler([this] { actOpenExecute(); }));
    actImport = NewAction(this, "actImport",
                          TActionOptions("Import").Icon(MainActionIcon("actImport"))
                              .Handler([this] { actImportExecute(); }));
    actWindowClose = NewAction(this, "actWindowClose",
                               TActionOptions("C&lose").Icon(MainActionIcon("actWindowClose"))
                                   .Shortcut(QKeySequence("Ctrl+W")));
    // The current window: the active one, or the one that was active while
    // another program is in front.
    connect(actWindowClose, &QAction::triggered, this, [this] {
        if (QMdiSubWindow* w = ClientArea->currentSubWindow()) w->close();
    });
    mnuCloseAll = NewAction(this, "mnuCloseAll",
                            TActionOptions("Close A&ll").Icon(MainActionIcon("mnuCloseAll"))
                                .Handler([this] { mnuCloseAllClick(); }));
    mnuExit = NewAction(this, "mnuExit",
                        TActionOptions("E&xit").Icon(MainActionIcon("mnuExit")).Handler([this] { mnuExitClick(); }));
    actMemoryManager = NewAction(this, "actMemoryManager",
                                 TActionOptions("QX318").Icon(MainActionIcon("actMemoryManager"))
                                     .Handler([this] { actMemoryManagerExecute(); }));
    actProgramManager = NewAction(this, "actProgramManager",
                                  TActionOptions("Program Manager").Icon(MainActionIcon("actProgramManager"))
                                      .Handler([this] { actProgramManagerExecute(); }));
    actMemView = NewAction(this, "actMemView",
                           TActionOptions("Memory Viewer").Icon(MainActionIcon("actMemView"))
                               .Handler([this] { actMemViewExecute(); }));
    actMenuManager = NewAction(this, "actMenuManager",
                               TActionOptions("Menu Manager").Icon(MainActionIcon("actMenuManager"))
                                   .Handler([this] { actMenuManagerExecute(); }));
    actGamesManager = NewAction(this, "actGamesManager",
                                TActionOptions("Applications").Icon(MainActionIcon("actGamesManager"))
                                    .Handler([this] { actGamesManagerExecute(); }));
    actConvert = NewAction(this, "actConvert",
                           TActionOptions("&HEX converter").Icon(MainActionIcon("actConvert"))
                               .Handler([this] { actConvertExecute(); }));
    actFirmware = NewAction(this, "actFirmware",
                            TActionOptions("Firmware update").Icon(MainActionIcon("actFirmware"))
                                .Handler([this] { actFirmwareExecute(); }));
    actConfig = NewAction(this, "actConfig",
                          TActionOptions("&Configuration").Icon(MainActionIcon("actConfig"))
                              .Handler([this] { actConfigExecute(); }));
    actWindowArrange = NewAction(this, "actWindowArrange",
                                 TActionOptions("&Arrange").Icon(MainActionIcon("actWindowArrange")));
    connect(actWindowArrange, &QAction::triggered, this, &TfrmQX318MainForm::ArrangeWindows);
    actWindowCascade = NewAction(this, "actWindowCascade",
                                 TActionOptions("&Cascade").Icon(MainActionIcon("actWindowCascade")));
    connect(actWindowCascade, &QAction::triggered, ClientArea, &QMdiArea::cascadeSubWindows);
    actWindowTileHorizontal = NewAction(this, "actWindowTileHorizontal",
                                        TActionOptions("Tile &Horizontally")
                                            .Icon(MainActionIcon("actWindowTileHorizontal")));
    actWindowTileVertical = NewAction(this, "actWindowTileVertical",
                                      TActionOptions("&Tile Vertically")
                                          .Icon(MainActionIcon("actWindowTileVertical")));
    // Tiling in one direction: the windows side by side or one below another.
    auto tile = [this](bool horizontal) {
        const auto windows = ClientArea->subWindowList();
        QList<QMdiSubWindow*> shown;
        for (QMdiSubWindow* w : windows)
            if (!w->isHidden() && !w->isMinimized()) shown << w;
        if (shown.isEmpty()) return;
        const QSize area = ClientArea->viewport()->size();
        const int n = static_cast<int>(shown.size());
        for (int i = 0; i < n; ++i) {
            shown[i]->showNormal();
            if (horizontal)
                shown[i]->setGeometry(0, i * area.height() / n, area.width(), area.height() / n);
            else
                shown[i]->setGeometry(i * area.width() / n, 0, area.width() / n, area.height());
        }
    };
    connect(actWindowTileHorizontal, &QAction::triggered, this, [tile] { tile(true); });
    connect(actWindowTileVertical, &QAction::triggered, this, [tile] { tile(false); });
    actWindowMinimizeAll = NewAction(this, "actWindowMinimizeAll",
                                     TActionOptions("&Minimize All").Icon(MainActionIcon("actWindowMinimizeAll")));
    connect(actWindowMinimizeAll, &QAction::triggered, this, [this] {
        for (QMdiSubWindow* w : ClientArea->subWindowList()) w->showMinimized();
    });
    mnuQX318UtilityHelp = NewAction(this, "mnuQX318UtilityHelp",
                                    TActionOptions("QX318 Utility Help").Icon(MainActionIcon("mnuQX318UtilityHelp"))
                                        .Shortcut(QKeySequence(Qt::Key_F1))
                                        .Handler([this] { mnuQX318UtilityHelpClick(); }));
    mnuRZT = NewAction(this, "mnuRZT",
                       TActionOptions("Visit RztSoftware Web Site").Icon(MainActionIcon("mnuRZT"))
                           .Handler([this] { mnuRZTClick(); }));
    mnuAbout = NewAction(this, "mnuAbout",
                         TActionOptions("About...").Icon(MainActionIcon("mnuAbout"))
                             .Handler([this] { mnuAboutClick(); }));

    actToolBarGeneral = NewAction(this, "actToolBarGeneral",
                                  TActionOptions("General").Icon(MainActionIcon("actToolBarGeneral")));
    actToolBarTable = NewAction(this, "actToolBarTable",
                                TActionOptions("Table").Icon(MainActionIcon("actToolBarTable")));
    actToolBarType = NewAction(this, "actToolBarType", TActionOptions("Type").Icon(MainActionIcon("actToolBarType")));
    actToolBarMemoryManager = NewAction(this, "actToolBarMemoryManager",
                                        TActionOptions("QX318").Icon(MainActionIcon("actToolBarMemoryManager")));
    actToolBarProgramManager = NewAction(this, "actToolBarProgramManager",
                                         TActionOptions("Program Manager")
                                             .Icon(MainActionIcon("actToolBarProgramManager")));
    actToolBarMemoryViewer = NewAction(this, "actToolBarMemoryViewer",
                                       TActionOptions("Memory Viewer").Icon(MainActionIcon("actToolBarMemoryViewer")));
    actToolBarMenuManager = NewAction(this, "actToolBarMenuManager",
                                      TActionOptions("Menu Manager").Icon(MainActionIcon("actToolBarMenuManager")));
    actToolBarGamesManager = NewAction(this, "actToolBarGamesManager",
                                       TActionOptions("Applications").Icon(MainActionIcon("actToolBarGamesManager")));

    // The default buttons that only document windows give a meaning.
    actDefaultSave = NewAction(this, "actDefaultSave", TActionOptions("&Save").Icon(MainActionIcon("actDefaultSave")));
    actDefaultPrint = NewAction(this, "actDefaultPrint",
                                TActionOptions("&Print").Icon(MainActionIcon("actDefaultPrint")));
    actDefaultTable = NewAction(this, "actDefaultTable",
                                TActionOptions("Table").Icon(MainActionIcon("actDefaultTable")));
    actDefaultType = NewAction(this, "actDefaultType", TActionOptions("Type").Icon(MainActionIcon("actDefaultType")));
    for (QAction* a : {actDefaultSave, actDefaultPrint, actDefaultTable, actDefaultType}) a->setEnabled(false);
}

void TfrmQX318MainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu");
    auto menu = [&](const char* name, const char* title, int group) {
        QMenu* m = bar->addMenu(QString::fromLatin1(title));
        m->setObjectName(name);
        SetMenuGroupIndex(m, group);
        return m;
    };
    mnuFile = menu("mnuFile", "&File", 0);
    mnuFile->addAction(actNew);
    mnuFile->addAction(actOpen);
    mnuOpenRecent = mnuFile->addMenu("Open Recent");
    mnuOpenRecent->setObjectName("mnuOpenRecent");
    mnuOpenRecent->setIcon(MainActionIcon(mnuOpenRecent->objectName()));
    mnuFile->addAction(actImport);
    mnuFile->addSeparator();
    mnuFile->addAction(actWindowClose);
    mnuFile->addAction(mnuCloseAll);
    mnuFile->addAction(mnuExit);

    mnuView = menu("mnuView", "&QX", 2);
    mnuToolBar = mnuView->addMenu("Toolbars");
    mnuToolBar->setObjectName("mnuToolBar");
    PopupMenuToolBars = new QMenu(this);
    PopupMenuToolBars->setObjectName("PopupMenuToolBars");
    for (QAction* a : {actToolBarGeneral, actToolBarTable, actToolBarType, actToolBarMemoryManager,
                       actToolBarProgramManager, actToolBarMemoryViewer, actToolBarMenuManager,
                       actToolBarGamesManager}) {
        mnuToolBar->addAction(a);
        PopupMenuToolBars->addAction(a);
    }
    connect(mnuToolBar, &QMenu::aboutToShow, this, &TfrmQX318MainForm::UpdateToolBarChecks);
    connect(PopupMenuToolBars, &QMenu::aboutToShow, this, &TfrmQX318MainForm::UpdateToolBarChecks);
    mnuView->addSeparator();
    mnuView->addAction(actMemoryManager);
    mnuView->addAction(actProgramManager);
    mnuView->addAction(actMemView);
    mnuView->addAction(actMenuManager);
    mnuView->addAction(actGamesManager);

    mnuOptions = menu("mnuOptions", "&Options", 6);
    mnuOptions->addAction(actConvert);
    mnuOptions->addAction(actFirmware);
    mnuOptions->addSeparator();
    mnuOptions->addAction(actConfig);

    mnuWindow = menu("mnuWindow", "&Window", 6);
    connect(mnuWindow, &QMenu::aboutToShow, this, &TfrmQX318MainForm::RebuildWindowMenu);
    RebuildWindowMenu();

    mnuHelp = menu("mnuHelp", "&Help", 6);
    mnuHelp->addAction(mnuQX318UtilityHelp);
    mnuHelp->addAction(mnuRZT);
    mnuHelp->addSeparator();
    mnuHelp->addAction(mnuAbout);
}

void TfrmQX318MainForm::ArrangeWindows() {
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* w : ClientArea->subWindowList())
        if (!w->isHidden() && !w->isMinimized()) shown << w;
    QSize least(0, 0);
    for (QMdiSubWindow* w : shown) {
        if (w->isMaximized()) w->showNormal();
        least = least.expandedTo(w->minimumSize().expandedTo(w->minimumSizeHint()));
    }
    ClientArea->horizontalScrollBar()->setValue(0);
    ClientArea->verticalScrollBar()->setValue(0);
    const QSize view = ClientArea->maximumViewportSize();
    const int bar = ClientArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ClientArea);
    const std::vector<TScreenRect> tiles = ArrangeTiles(static_cast<int>(shown.size()), view.width(), view.height(),
                                                        least.width(), least.height(), bar);
    for (size_t i = 0; i < tiles.size(); ++i)
        shown[static_cast<qsizetype>(i)]->setGeometry(tiles[i].Left, tiles[i].Top, tiles[i].Width, tiles[i].Height);
}

void TfrmQX318MainForm::RebuildWindowMenu() {
    mnuWindow->clear();
    for (QAction* a : {actWindowArrange, actWindowCascade, actWindowTileHorizontal, actWindowTileVertical,
                       actWindowMinimizeAll, actWindowClose})
        mnuWindow->addAction(a);
    const auto windows = ClientArea->subWindowList();
    if (!windows.isEmpty()) mnuWindow->addSeparator();
    for (QMdiSubWindow* w : windows) {
        if (w->isHidden()) continue;
        QAction* item = mnuWindow->addAction(w->windowTitle());
        item->setCheckable(true);
        item->setChecked(w == ClientArea->activeSubWindow());
        QPointer<QMdiSubWindow> guard(w);
        connect(item, &QAction::triggered, this, [this, guard] {
            if (guard) ClientArea->setActiveSubWindow(guard);
        });
    }
}

void TfrmQX318MainForm::BuildToolBars() {
    auto bar = [&](const char* name, const char* title, std::initializer_list<QAction*> buttons, QAction* toggle) {
        auto* t = new QToolBar(QString::fromLatin1(title), this);
        t->setObjectName(name);
        t->setMovable(false);
        t->setFloatable(false);
        t->addActions(QList<QAction*>(buttons));
        addToolBar(Qt::TopToolBarArea, t);
        toggle->setCheckable(true);
        toggle->setChecked(true);
        connect(toggle, &QAction::triggered, t, &QToolBar::setVisible);
        connect(t, &QToolBar::visibilityChanged, toggle, [t, toggle] { toggle->setChecked(!t->isHidden()); });
        return t;
    };
    toolbarGeneralDefault =
        bar("toolbarGeneralDefault", "General", {actNew, actOpen, actDefaultSave, actDefaultPrint}, actToolBarGeneral);
    toolbarTableDefault = bar("toolbarTableDefault", "Table", {actDefaultTable}, actToolBarTable);
    toolbarTypeDefault = bar("toolbarTypeDefault", "Type", {actDefaultType}, actToolBarType);
    toolbarProgramManagerDefault =
        bar("toolbarProgramManagerDefault", "Program Manager", {actProgramManager}, actToolBarProgramManager);
    toolbarMemoryManagerDefault = bar("toolbarMemoryManagerDefault", "QX318", {actMemoryManager}, actToolBarMemoryManager);
    toolbarMemoryViewerDefault = bar("toolbarMemoryViewerDefault", "Memory Viewer", {actMemView}, actToolBarMemoryViewer);
    toolbarQXMenuDefault = bar("toolbarQXMenuDefault", "Menu Manager", {actMenuManager}, actToolBarMenuManager);
    toolbarGamesManagerDefault =
        bar("toolbarGamesManagerDefault", "Applications", {actGamesManager}, actToolBarGamesManager);
}

void TfrmQX318MainForm::UpdateToolBarChecks() {
    const auto bars = DefaultToolBars();
    const QList<QAction*> toggles = PopupMenuToolBars->actions();
    static constexpr int slotOfToggle[8] = {0, 1, 2, 4, 3, 5, 6, 7};  // in the menu's order
    for (int i = 0; i < toggles.size() && i < 8; ++i) toggles[i]->setChecked(!bars[slotOfToggle[i]]->isHidden());
}

QMenu* TfrmQX318MainForm::createPopupMenu() {
    if (!App.FlexibleToolBars) return nullptr;
    UpdateToolBarChecks();
    auto* menu = new QMenu(this);
    menu->addActions(PopupMenuToolBars->actions());
    return menu;
}

bool TfrmQX318MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ClientArea->viewport() && event->type() == QEvent::MouseButtonDblClick && actOpen->isEnabled()) {
        actOpen->trigger();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmQX318MainForm::UpdateCommandStates() {
    const TDocumentCreators& c = DocumentCreators();
    actNew->setEnabled(bool(c.OpenTypeObject));
    actOpen->setEnabled(c.OpenTypeObject || (App.MenuUI && c.OpenQXMenu));
    actImport->setEnabled(c.OpenTypeObject && c.ImportFromCSV);
    actProgramManager->setEnabled(bool(c.OpenProgramManager));
    actMemoryManager->setEnabled(bool(c.OpenManager));
    actMemView->setEnabled(bool(c.OpenMemView));
    actGamesManager->setEnabled(bool(c.OpenGamesManager));
    actMenuManager->setEnabled(bool(c.OpenQXMenu));
    actConvert->setEnabled(bool(c.OpenConvert));
    const bool any = !ClientArea->subWindowList().isEmpty();
    actWindowClose->setEnabled(ClientArea->currentSubWindow() != nullptr);
    for (QAction* a : {actWindowArrange, actWindowCascade, actWindowTileHorizontal, actWindowTileVertical,
                       actWindowMinimizeAll})
        a->setEnabled(any);
}

void TfrmQX318MainForm::UpdateExpertUI() {
    const bool menus = App.MenuUI != 0;
    toolbarQXMenuDefault->setVisible(menus && App.FlexibleToolBars);
    actToolBarMenuManager->setVisible(menus);
    actMenuManager->setVisible(menus);
    OpenDialogFilter = menus ? "Type File (*.mtp)|*.mtp|Menu File (*.mnu)|*.mnu|All Files (*.*)|*.*"
                             : "Type File (*.mtp)|*.mtp|All Files (*.*)|*.*";
    UpdateCommandStates();
}

std::string TfrmQX318MainForm::AboutText() {
    return std::string("QX-318 Utility ") + VersionText + "\r\n" + MakerName + "\r\nBuilt: " + __DATE__ + " " +
           __TIME__ + "\r\n" + MakerWebAddress;
}

TfrmLogo* TfrmQX318MainForm::ShowAboutBox(int closeAfterMs, bool toolWindow, bool modal) {
    const std::string caption = RemoveAmpersands(CpStr(mnuAbout->text()));
    return ShowLogo(this, 10, 66, caption, AboutText(), closeAfterMs, toolWindow, modal);
}

// ---------------------------------------------------------------- start-up and shut-down

void TfrmQX318MainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (FirstShow) {
        FirstShow = false;
        QTimer::singleShot(0, this, &TfrmQX318MainForm::FormShow);
    }
}

void TfrmQX318MainForm::FormShow() {
    const TDocumentCreators& c = DocumentCreators();
    if (App.ReopenMemoryManager && c.OpenManager) actMemoryManager->trigger();
    if (App.ReopenProgramManager && c.OpenProgramManager) actProgramManager->trigger();
    if (App.ReopenMemoryViewer && c.OpenMemView) actMemView->trigger();
    if (App.ReopenApplications && c.OpenGamesManager) actGamesManager->trigger();
    if (App.ReopenConverter && c.OpenConvert) actConvert->trigger();
    if (!CommandLineFile.empty()) {
        const std::string name = CommandLineFile;
        CommandLineFile.clear();
        if (TMDICustomChild* w = OpenFileByExtension(name)) {
            w->setGeometry(10, 10, 600, 400);
            KeepInView(w);
        }
    }
}

bool TfrmQX318MainForm::FormCloseQuery() {
    for (TMDICustomChild* w : DocumentWindows())
        if (!w->CloseQuery()) return false;
    return true;
}

void TfrmQX318MainForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TfrmQX318MainForm::FormClose() {
    if (App.FlexibleToolBars) App.ToolBars.SaveAll();
    SaveWindowPlacement(App.MainPlacement, this);
    App.ReopenProgramManager = App.ReopenMemoryManager = App.ReopenMemoryViewer = 0;
    App.ReopenMenuEditor = App.ReopenApplications = App.ReopenConverter = 0;
    for (TMDICustomChild* w : DocumentWindows()) {
        switch (w->Kind) {
        case KindMemoryManager: App.ReopenMemoryManager = 1; break;
        case KindProgramManager: App.ReopenProgramManager = 1; break;
        case KindMemoryViewer: App.ReopenMemoryViewer = 1; break;
        case KindGamesManager: App.ReopenApplications = 1; break;
        case KindConvert: App.ReopenConverter = 1; break;
        default: break;
        }
    }
    const std::string path = SettingsFilePath();
    if (App.ResetAtNextStart) DeleteSettingsFile(path);
    else SaveSettings(App, path);
}

// ---------------------------------------------------------------- documents

QList<TMDICustomChild*> TfrmQX318MainForm::DocumentWindows() const {
    QList<TMDICustomChild*> list;
    for (QMdiSubWindow* w : ClientArea->subWindowList())
        if (auto* child = qobject_cast<TMDICustomChild*>(w); child && !child->isHidden()) list << child;
    return list;
}

TMDICustomChild* TfrmQX318MainForm::FindDocumentWindow(uint32_t kind) const {
    TMDICustomChild* found = nullptr;
    for (TMDICustomChild* w : DocumentWindows())
        if (w->Kind == kind) found = w;
    return found;
}

TMDICustomChild* TfrmQX318MainForm::OpenFileByExtension(const std::string& name, bool* handled) {
    const std::string ext = UpperExtension(name);
    const TDocumentCreators& c = DocumentCreators();
    TDocumentCreators::TFileCreator creator;
    if (ext == ".MTP") creator = c.OpenTypeObject;
    else if (ext == ".MNU" && App.MenuUI) creator = c.OpenQXMenu;
    if (handled) *handled = bool(creator);
    if (!creator) {
        ShowMessageBox(this, App.Text(Msg::CannotOpenFile, name), TMsgIcon::Stop);
        return nullptr;
    }
    // A window whose file could not be loaded closes itself at once.
    QPointer<TMDICustomChild> window = creator(&App, name);
    UpdateCommandStates();
    return OpenWindow(window);
}

void TfrmQX318MainForm::actNewExecute() {
    if (DocumentCreators().OpenTypeObject) DocumentCreators().OpenTypeObject(&App, std::string());
    UpdateCommandStates();
}

void TfrmQX318MainForm::actOpenExecute() {
    std::string name;
    int filterIndex = 1;
    if (!RunOpenDialog({this, "", OpenDialogFilter, 1, "*.mtp"}, name, filterIndex)) return;
    bool handled = false;
    OpenFileByExtension(name, &handled);
    // A file that failed to load is listed too; an unsupported one is not.
    if (handled) App.RecentFiles->Add(name);
}

void TfrmQX318MainForm::OpenRecentClick(QAction* item) { OpenFileByExtension(TRecentFiles::ItemFileName(item)); }

void TfrmQX318MainForm::actImportExecute() {
    const TDocumentCreators& c = DocumentCreators();
    if (!c.OpenTypeObject || !c.ImportFromCSV) return;
    std::string name;
    int filterIndex = 1;
    if (!RunOpenDialog({this, "", "*.csv|*.csv|All (*.*)|*.*", 1, ""}, name, filterIndex)) return;
    auto* active = qobject_cast<TMDICustomChild*>(ClientArea->activeSubWindow());
    if (active && active->Kind == KindTypeObject) {
        c.ImportFromCSV(active, name, true);
        return;
    }
    QPointer<TMDICustomChild> window = c.OpenTypeObject(&App, std::string());
    if (!OpenWindow(window)) return;
    if (!c.ImportFromCSV(window, name, false) && window) delete window.data();
    UpdateCommandStates();
}

void TfrmQX318MainForm::mnuCloseAllClick() {
    QList<QPointer<TMDICustomChild>> windows;
    for (TMDICustomChild* w : DocumentWindows()) windows << w;
    for (const auto& w : windows)
        if (w && (w->Kind == KindTypeObject || w->Kind == KindQXMenu)) w->close();
}

void TfrmQX318MainForm::mnuExitClick() { close(); }

// ---------------------------------------------------------------- commands

void TfrmQX318MainForm::ShowManager(uint32_t kind, const TDocumentCreators::TCreator& creator) {
    if (TMDICustomChild* w = FindDocumentWindow(kind)) {
        w->show();
        ClientArea->setActiveSubWindow(w);
        w->raise();
        return;
    }
    if (creator) creator(&App);
    UpdateCommandStates();
}

void TfrmQX318MainForm::actProgramManagerExecute() {
    ShowManager(KindProgramManager, DocumentCreators().OpenProgramManager);
}
void TfrmQX318MainForm::actMemoryManagerExecute() { ShowManager(KindMemoryManager, DocumentCreators().OpenManager); }
void TfrmQX318MainForm::actMemViewExecute() { ShowManager(KindMemoryViewer, DocumentCreators().OpenMemView); }
void TfrmQX318MainForm::actGamesManagerExecute() {
    ShowManager(KindGamesManager, DocumentCreators().OpenGamesManager);
}
void TfrmQX318MainForm::actConvertExecute() { ShowManager(KindConvert, DocumentCreators().OpenConvert); }

void TfrmQX318MainForm::actMenuManagerExecute() {
    const auto& open = DocumentCreators().OpenQXMenu;
    ShowManager(KindQXMenu, open ? TDocumentCreators::TCreator([open](_AppInterface* app) {
        return open(app, std::string());
    })
                                 : TDocumentCreators::TCreator());
}

void TfrmQX318MainForm::actConfigExecute() {
    const int32_t mask = TfrmAppConfig::Execute(&App);
    if (mask > 1 && (mask & ChangedShortcuts) && DocumentCreators().UpdateShortcutButtons)
        for (TMDICustomChild* w : DocumentWindows())
            if (w->Kind == KindProgramManager) DocumentCreators().UpdateShortcutButtons(w);
}

void TfrmQX318MainForm::actFirmwareExecute() {
    const std::string loader = ProgramFolderFile("loader");
    if (!FileExists(loader)) {
        ShowMessageBox(this, App.Text(Msg::CannotOpenFile, loader), TMsgIcon::Stop);
        return;
    }
    std::string file;
    int filterIndex = 1;
    if (!RunOpenDialog({this, "", "QX firmware (*.hex)|*.hex|All (*.*)|*.*", 1, ""}, file, filterIndex)) return;
    // The boot loader always runs at 57600 baud. The loader reports
    // everything itself; nothing is waited for.
    StartProgram({loader, {"COM" + std::to_string(App.ComPort), "57600", "MAIN", file, "CONTROL"}, GetProgramFolder()});
}

void TfrmQX318MainForm::mnuQX318UtilityHelpClick() {
    const std::string name =
        StartLanguage < 0 ? std::string("QX318 Help.pdf") : "QX318 Help" + std::to_string(StartLanguage + 1) + ".pdf";
    OpenDocument(name, ProgramFolderFile("Help") + "/");
}

void TfrmQX318MainForm::mnuRZTClick() { OpenWebShortcut(ProgramFolderFile("Help/RztSoftware.url")); }

void TfrmQX318MainForm::mnuAboutClick() { ShowAboutBox(0, true, true); }
