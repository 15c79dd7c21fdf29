#include "QXMenuForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "Actions.h"
#include "AppFolders.h"
#include "Appinterface.h"
#include "UnitRun.h"
#include "Dialogs.h"
#include "EditKeys.h"
#include "FormTranslation.h"
#include "Images.h"
#include "MessageIds.h"
#include "QXMenuDialogs.h"
#include "QXMenuSync.h"
#include "QtText.h"
#include "TreeWidgetNodes.h"
#include "SystemCause.h"

namespace {

constexpr int32_t NodeImage = aiMenuItem;  // of the action images
constexpr int32_t VisibleState = msVisible;  // of the window's own state images; hidden is the next one (msHidden)
constexpr int ToolBarSlot = 6;         // the main window's menu tool bar
constexpr int PlacementIndex = 3;
constexpr int EditMenuGroup = 1;

// Help texts keep CR LF as the unit and the file carry them; the memo
// shows plain line breaks.
QString HelpForMemo(const std::string& help) {
    QString text = QStr(help);
    text.replace("\r\n", "\n");
    return text;
}
std::string HelpFromMemo(const QString& memo) {
    QString text = memo;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    text.replace("\n", "\r\n");
    return CpStr(text);
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    namespace fs = std::filesystem;
    std::error_code ea, eb;
    if (fs::exists(a, ea) && fs::exists(b, eb)) {
        std::error_code e;
        if (fs::equivalent(a, b, e)) return true;
    }
    const fs::path ca = fs::weakly_canonical(a, ea), cb = fs::weakly_canonical(b, eb);
    return !ea && !eb && ca == cb;
}

}  // namespace

// ---------------------------------------------------------------- window

TfrmQXMenu::TfrmQXMenu(_AppInterface* app, const std::string& fileName) : TMDICustomChild(app) {
    SetKind(KindQXMenu);
    BuildComponents();
    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    // Both page titles stay whole, in any language.
    PageControl->setMinimumWidth(PageControl->tabBar()->sizeHint().width() + 4);
    StructureConfirmed = 0;
    TextLanguage = App && App->Mls ? App->Mls->GetLanguageIndex() : -1;

    DefaultMenu = std::make_unique<TQXMenuData>(nullptr, nullptr, -1);
    DefaultMenuPath = ProgramFolderFile("DefaultMenu.mnu");
    ClearSystemCause();
    if (!DefaultMenu->LoadFromFile(DefaultMenuPath))
        ShowFailureMessage(this, App->Text(Msg::CannotOpenDefaultMenu, DefaultMenuPath));

    TImageList* images = App ? App->ActionImages : nullptr;
    TreeNodes = std::make_unique<TTreeWidgetNodes>(
        treeviewMenuItemsStructure, [images](int32_t i) { return images ? images->Icon(i) : QIcon(); },
        &TfrmQXMenu::StateImage);
    EditedMenu = std::make_unique<TQXMenuData>(TreeNodes.get(), DefaultMenu.get(), TextLanguage);

    FileName = fileName;
    if (FileName.empty()) {
        UntitledNumber = ++App->UntitledCounter;
        NewMenu();
    }
    Modified = 0;

    OnCloseQuery = [this] { return FormCloseQuery(); };
    RestoreWindowPlacement(this, App->WindowPlacements[PlacementIndex]);
    setMinimumSize(500, 200);
    StartEmptyCellEdit = 0;
    UpdateStatus(false);
    UpdateActions();
}

TfrmQXMenu::~TfrmQXMenu() {
    // The frame's window going away tells this part of it nothing more.
    EndActivation();
    ReleaseSaveButton();
    // The edited menu takes its tree items with it while the tree is there;
    // the tree tells nobody about it any more.
    treeviewMenuItemsStructure->blockSignals(true);
    EditedMenu.reset();
    DefaultMenu.reset();
}

QIcon TfrmQXMenu::StateImage(int32_t index) {
    static const TImageList states(TImageList::TKind::MenuStates);
    return states.Icon(index);
}

void TfrmQXMenu::BuildComponents() {
    using F = TfrmQXMenu;
    // The window's actions show their hint, or else their caption, as tip.
    auto action = [this](const char* name, const char* caption, const char* hint, TActionImage image,
                         void (TfrmQXMenu::*handler)()) {
        return NewAction(this, name,
                         ActionOptions(caption, image)
                             .Hint(hint ? hint : caption)
                             .Handler([this, handler] { (this->*handler)(); }));
    };
    actQXSynchronization =
        action("actQXSynchronization", "QX Synchronization", nullptr, aiRefreshUnit, &F::actQXSynchronizationExecute);
    actDefaultMenu = action("actDefaultMenu", "New Menu", nullptr, aiNewMenu, &F::actDefaultMenuExecute);
    actAddLanguage = action("actAddLanguage", "Add Language", nullptr, aiAddLanguage, &F::actAddLanguageExecute);
    actInsertLanguage =
        action("actInsertLanguage", "Insert Language", nullptr, aiInsertLanguage, &F::actInsertLanguageExecute);
    actDeleteLanguage =
        action("actDeleteLanguage", "Delete Language", nullptr, aiDeleteLanguage, &F::actDeleteLanguageExecute);
    actRenameLanguage = action("actRenameLanguage", "Rename Language", nullptr, aiLanguage, &F::actRenameLanguageExecute);
    actAddMenuItem = action("actAddMenuItem", "Add Menu Item", nullptr, aiAddMenuItem, &F::actAddMenuItemExecute);
    actAddChildMenuItem = action("actAddChildMenuItem", "Add Child Menu Item", nullptr, aiAddChildMenuItem,
                                 &F::actAddChildMenuItemExecute);
    actInsertMenuItem =
        action("actInsertMenuItem", "Insert Menu Item", nullptr, aiInsertMenuItem, &F::actInsertMenuItemExecute);
    actDeleteMenuItem =
        action("actDeleteMenuItem", "Delete Menu Item", nullptr, aiDeleteMenuItem, &F::actDeleteMenuItemExecute);
    actToggleVisible = action("actToggleVisible", "Toggle Visible", nullptr, aiToggleVisible, &F::actToggleVisibleExecute);
    actAddInfNotItem = action("actAddInfNotItem", "Add Inf-Not Item", "Add Information Notification Item",
                              aiAddParameter, &F::actAddInfNotItemExecute);
    actInsertInfNotItem = action("actInsertInfNotItem", "Insert Inf-Not Item", "Insert Information Notification Item",
                                 aiInsertParameter, &F::actInsertInfNotItemExecute);
    actDeleteInfNotItem = action("actDeleteInfNotItem", "Delete Inf-Not Item", "Delete Information Notification Item",
                                 aiDeleteParameter, &F::actDeleteInfNotItemExecute);
    actShowOrgName =
        action("actShowOrgName", "Show Original Name", nullptr, aiShowOriginalName, &F::actShowOrgNameExecute);
    actShowOrgName->setCheckable(true);
    actMenuConfig = action("actMenuConfig", "Send Menu Configuration", nullptr, aiPcToQx, &F::actMenuConfigExecute);

    pnlContent = new QWidget(this);
    pnlContent->setObjectName("pnlContent");
    auto* outer = new QVBoxLayout(pnlContent);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    toolbarQXMenu = new QToolBar(pnlContent);
    toolbarQXMenu->setObjectName("toolbarQXMenu");
    toolbarQXMenu->setIconSize(QSize(16, 16));
    // The tool bar and the pop-up menu offer the same groups; the pop-up
    // menu starts with New Menu.
    const QList<QAction*> groups[] = {
        {actQXSynchronization, actDefaultMenu},
        {actAddLanguage, actInsertLanguage, actDeleteLanguage, actRenameLanguage},
        {actAddMenuItem, actAddChildMenuItem, actInsertMenuItem, actDeleteMenuItem, actToggleVisible},
        {actAddInfNotItem, actInsertInfNotItem, actDeleteInfNotItem},
        {actShowOrgName},
        {actMenuConfig}};
    popupmnuEdit = new QMenu(QStr(App ? App->Text(Msg::MenuEdit) : std::string("&Edit")), this);
    popupmnuEdit->setObjectName("popupmnuEdit");
    for (const auto& g : groups) {
        if (&g != &groups[0]) {
            toolbarQXMenu->addSeparator();
            popupmnuEdit->addSeparator();
        }
        toolbarQXMenu->addActions(g);
        popupmnuEdit->addActions(&g == &groups[0] ? QList<QAction*>{g[1], g[0]} : g);
    }
    outer->addWidget(toolbarQXMenu);

    auto popupAt = [this](QWidget* w) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint& at) {
            if (w == treeviewMenuItemsStructure) {
                // A right click selects the node under the mouse first.
                if (QTreeWidgetItem* item = treeviewMenuItemsStructure->itemAt(at))
                    treeviewMenuItemsStructure->setCurrentItem(item);
            } else if (w == strgrdInfNotData) {
                const QModelIndex index = strgrdInfNotData->indexAt(at);
                if (index.isValid() && index.column() > 0) strgrdInfNotData->setCurrentIndex(index);
                strgrdInfNotDataClick();
            }
            EndEdits();
            UpdateActions();
            QWidget* area = w;
            if (auto* view = qobject_cast<QAbstractScrollArea*>(w)) area = view->viewport();
            popupmnuEdit->popup(area->mapToGlobal(at));
        });
    };

    SplitterLanguages = new QSplitter(Qt::Horizontal, pnlContent);
    SplitterLanguages->setObjectName("SplitterLanguages");
    SplitterLanguages->setChildrenCollapsible(false);
    grpboxLanguages = new QGroupBox("&Languages", SplitterLanguages);
    grpboxLanguages->setObjectName("grpboxLanguages");
    listboxLanguages = new QListWidget(grpboxLanguages);
    listboxLanguages->setObjectName("listboxLanguages");
    listboxLanguages->setMinimumWidth(110);
    auto* langLayout = new QVBoxLayout(grpboxLanguages);
    langLayout->setContentsMargins(4, 4, 4, 4);
    langLayout->addWidget(listboxLanguages);
    connect(listboxLanguages, &QListWidget::currentRowChanged, this, [this] { listboxLanguagesClick(); });
    connect(listboxLanguages, &QListWidget::itemDoubleClicked, this, [this] { listboxLanguagesDblClick(); });
    popupAt(listboxLanguages);

    PageControl = new QTabWidget(SplitterLanguages);
    PageControl->setObjectName("PageControl");
    tabsheetMenuItems = new QWidget;
    tabsheetMenuItems->setObjectName("tabsheetMenuItems");
    tabsheetInfNotItems = new QWidget;
    tabsheetInfNotItems->setObjectName("tabsheetInfNotItems");
    PageControl->tabBar()->setUsesScrollButtons(false);
    PageControl->tabBar()->setElideMode(Qt::ElideNone);
    PageControl->addTab(tabsheetMenuItems, "&Menu Items");
    PageControl->addTab(tabsheetInfNotItems, "&Information Notification Items");
    connect(PageControl, &QTabWidget::currentChanged, this, [this] {
        EndEdits();
        UpdateActions();
    });

    SplitterMenuItemsHelp = new QSplitter(Qt::Vertical, tabsheetMenuItems);
    SplitterMenuItemsHelp->setObjectName("SplitterMenuItemsHelp");
    SplitterMenuItemsHelp->setChildrenCollapsible(false);
    auto* page0 = new QVBoxLayout(tabsheetMenuItems);
    page0->setContentsMargins(2, 2, 2, 2);
    page0->addWidget(SplitterMenuItemsHelp);
    pnlTreeView = new QWidget(SplitterMenuItemsHelp);
    pnlTreeView->setObjectName("pnlTreeView");
    auto* treeLayout = new QVBoxLayout(pnlTreeView);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeviewMenuItemsStructure = new QTreeWidget(pnlTreeView);
    treeviewMenuItemsStructure->setObjectName("treeviewMenuItemsStructure");
    treeviewMenuItemsStructure->setHeaderHidden(true);
    treeviewMenuItemsStructure->setColumnCount(1);
    treeviewMenuItemsStructure->setIndentation(19);
    treeviewMenuItemsStructure->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeviewMenuItemsStructure->setSelectionMode(QAbstractItemView::SingleSelection);
    treeviewMenuItemsStructure->setSelectionBehavior(QAbstractItemView::SelectRows);
    treeviewMenuItemsStructure->setExpandsOnDoubleClick(false);
    treeviewMenuItemsStructure->setUniformRowHeights(true);  // large menus lay out at once
    treeviewMenuItemsStructure->setMinimumHeight(80);
    treeLayout->addWidget(treeviewMenuItemsStructure);
    connect(treeviewMenuItemsStructure, &QTreeWidget::currentItemChanged, this,
            [this] { treeviewMenuItemsStructureChange(); });
    connect(treeviewMenuItemsStructure, &QTreeWidget::itemDoubleClicked, this,
            [this] { treeviewMenuItemsStructureDblClick(); });
    for (QScrollBar* bar :
         {treeviewMenuItemsStructure->horizontalScrollBar(), treeviewMenuItemsStructure->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] { EndNameEdit(false); });
    popupAt(treeviewMenuItemsStructure);

    edtMenuItemName = new QLineEdit(treeviewMenuItemsStructure->viewport());
    edtMenuItemName->setObjectName("edtMenuItemName");
    edtMenuItemName->setMaxLength(static_cast<int>(TQXMenuData::ItemNameLength));
    edtMenuItemName->hide();

    grpboxMenuItemsHelp = new QGroupBox("Help", SplitterMenuItemsHelp);
    grpboxMenuItemsHelp->setObjectName("grpboxMenuItemsHelp");
    memoMenuItemsHelp = new QPlainTextEdit(grpboxMenuItemsHelp);
    memoMenuItemsHelp->setObjectName("memoMenuItemsHelp");
    memoMenuItemsHelp->setMinimumHeight(40);
    auto* helpLayout = new QVBoxLayout(grpboxMenuItemsHelp);
    helpLayout->setContentsMargins(4, 4, 4, 4);
    helpLayout->addWidget(memoMenuItemsHelp);
    connect(memoMenuItemsHelp, &QPlainTextEdit::textChanged, this, [this] { memoMenuItemsHelpChange(); });
    SplitterMenuItemsHelp->setStretchFactor(0, 3);
    SplitterMenuItemsHelp->setStretchFactor(1, 1);

    strgrdInfNotData = new QTableWidget(tabsheetInfNotItems);
    strgrdInfNotData->setObjectName("strgrdInfNotData");
    strgrdInfNotData->verticalHeader()->hide();
    strgrdInfNotData->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    strgrdInfNotData->verticalHeader()->setDefaultSectionSize(20);
    strgrdInfNotData->horizontalHeader()->setHighlightSections(false);
    strgrdInfNotData->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double click, F2 or a typed character opens the cell's editor.
    strgrdInfNotData->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                      QAbstractItemView::AnyKeyPressed);
    CellDelegate = new TInfNotCellDelegate(this);
    strgrdInfNotData->setItemDelegate(CellDelegate);
    auto* page1 = new QVBoxLayout(tabsheetInfNotItems);
    page1->setContentsMargins(2, 2, 2, 2);
    page1->addWidget(strgrdInfNotData);
    connect(strgrdInfNotData, &QTableWidget::currentCellChanged, this, [this] { strgrdInfNotDataClick(); });
    popupAt(strgrdInfNotData);

    SplitterLanguages->addWidget(grpboxLanguages);
    SplitterLanguages->addWidget(PageControl);
    SplitterLanguages->setStretchFactor(0, 0);
    SplitterLanguages->setStretchFactor(1, 1);
    SplitterLanguages->setSizes({150, 500});
    outer->addWidget(SplitterLanguages, 1);

    StatusBar = new QStatusBar(pnlContent);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar);
    StatusPanel0->setObjectName("StatusPanel0");
    StatusPanel0->setMinimumWidth(80);
    StatusPanel1 = new QLabel(StatusBar);
    StatusPanel1->setObjectName("StatusPanel1");
    StatusPanel1->setMinimumWidth(50);
    StatusBar->addWidget(StatusPanel0);
    StatusBar->addWidget(StatusPanel1);
    outer->addWidget(StatusBar);

    SaveMenuItem = new QAction(QStr(App ? App->Text(Msg::MenuSave) : std::string("&Save")), this);
    SaveMenuItem->setObjectName("SaveMenuItem");
    SaveMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    if (App && App->ActionImages) SaveMenuItem->setIcon(App->ActionImages->Icon(aiSave));
    connect(SaveMenuItem, &QAction::triggered, this, [this] { SaveMenu(); });
    SaveAsMenuItem = new QAction(QStr(App ? App->Text(Msg::MenuSaveAs) : std::string("Save &As...")), this);
    SaveAsMenuItem->setObjectName("SaveAsMenuItem");
    connect(SaveAsMenuItem, &QAction::triggered, this, [this] { SaveMenuAs(); });

    // The keys and mouse clicks the window handles itself, once all is built.
    listboxLanguages->installEventFilter(this);
    treeviewMenuItemsStructure->installEventFilter(this);
    treeviewMenuItemsStructure->viewport()->installEventFilter(this);
    edtMenuItemName->installEventFilter(this);
    memoMenuItemsHelp->installEventFilter(this);
    strgrdInfNotData->installEventFilter(this);
    setWidget(pnlContent);
    setObjectName("frmQXMenu");
    setWindowTitle("QX318 Menu");
    resize(650, 481);
}

// ---------------------------------------------------------------- creator

TfrmQXMenu* OpenQXMenu(_AppInterface* app, const std::string& fileName) {
    auto* window = new TfrmQXMenu(app, fileName);
    if (!fileName.empty() && !window->LoadMenu(fileName)) {
        window->close();
        return window;
    }
    window->show();
    window->GrowToTexts();
    window->RefreshAll();
    return window;
}

void RegisterQXMenuEditor() {
    DocumentCreators().OpenQXMenu = [](_AppInterface* app, const std::string& name) -> TMDICustomChild* {
        return OpenQXMenu(app, name);
    };
}

void TfrmQXMenu::GrowToTexts() {
    // At least 500 x 200, and never smaller than the texts need.
    if (layout()) {
        layout()->invalidate();
        layout()->activate();
    }
    setMinimumSize(minimumSizeHint().expandedTo(QSize(500, 200)));
    resize(size().expandedTo(minimumSize()));
}

// ---------------------------------------------------------------- load, title, status

void TfrmQXMenu::NewMenu() {
    LoadMenu(DefaultMenuPath);
    while (EditedMenu->GetLanguageCount() > 0) EditedMenu->DeleteLanguage(0);
    EditedMenu->AddLanguage();
    RefreshLanguageList();
    listboxLanguages->setCurrentRow(0);
}

bool TfrmQXMenu::LoadMenu(const std::string& fileName) {
    bool loaded = false;
    {
        const QSignalBlocker quiet(treeviewMenuItemsStructure);
        ClearSystemCause();
        loaded = EditedMenu->LoadFromFile(fileName);
    }
    treeviewMenuItemsStructureChange();
    if (!loaded) ShowFailureMessage(this, App->Text(Msg::CannotOpenFile, fileName));
    else Modified = 0;
    RefreshAll();
    if (QTreeWidgetItem* root = treeviewMenuItemsStructure->topLevelItem(0)) root->setExpanded(true);
    if (listboxLanguages->count() > 0) listboxLanguages->setCurrentRow(0);
    return loaded;
}

std::string TfrmQXMenu::GetTitle() const {
    return FileName.empty() ? App->Text(Msg::Untitled) + std::to_string(UntitledNumber) : FileName;
}

void TfrmQXMenu::UpdateStatus(bool setModified) {
    if (setModified) Modified = 1;
    StatusPanel0->setText(Modified ? QStr(App->Text(Msg::Modified)) : QString());
    setWindowTitle(QStr(App->Text(Msg::MenuEditorCaption) + " [" + GetTitle() + "]"));
}

void TfrmQXMenu::RefreshAll() {
    RefreshLanguageList();
    UpdateStatus(false);
}

// ---------------------------------------------------------------- saving

bool TfrmQXMenu::SaveMenu() {
    EndEdits();
    const bool saved = FileName.empty() ? SaveMenuAs() : SaveMenuTo(FileName);
    UpdateStatus(false);
    return saved;
}

bool TfrmQXMenu::SaveMenuAs() {
    EndEdits();
    std::string name;
    bool saved = false;
    if (RunMenuSaveDialog({this, "Menu File (*.mnu)|*.mnu", "mnu", GetTitle()}, name)) {
        const bool exists = std::filesystem::exists(QFileName(name).toStdString());
        if (!exists || ShowMessageBox(this, App->Text(Msg::FileExistsReplace, name), TMsgIcon::Warning,
                                      TMsgButtons::YesNo) == QMessageBox::Yes) {
            saved = SaveMenuTo(name);
            if (saved) {
                FileName = name;
                if (App->RecentFiles) App->RecentFiles->Add(name);
            }
        }
    }
    UpdateStatus(false);
    return saved;
}

bool TfrmQXMenu::SaveMenuTo(const std::string& fileName) {
    // Also another spelling of the same path, or a link to it, is the
    // default menu.
    if (SameFile(fileName, DefaultMenuPath) &&
        ShowMessageBox(this, App->Text(Msg::ReplaceOriginalMenuConfirm), TMsgIcon::Warning, TMsgButtons::YesNo) !=
            QMessageBox::Yes)
        return false;
    ClearSystemCause();
    const bool saved = EditedMenu->SaveToFile(fileName);
    if (!saved) {
        ShowFailureMessage(this, App->Text(Msg::CannotSaveFile, fileName));
    } else {
        Modified = 0;
    }
    UpdateStatus(false);
    return saved;
}

// ---------------------------------------------------------------- activation and closing

void TfrmQXMenu::FormActivate() {
    if (!App) return;
    ActivateFrameParts(popupmnuEdit, EditMenuGroup, toolbarQXMenu, ToolBarSlot);
    if (QMenu* file = App->FileMenu) {
        file->removeAction(SaveMenuItem);
        file->removeAction(SaveAsMenuItem);
        const QList<QAction*> items = file->actions();
        QAction* before = items.value(3);
        file->insertAction(before, SaveMenuItem);
        file->insertAction(before, SaveAsMenuItem);
    }
    // The General tool bar's Save button saves this menu while it is active.
    ReleaseSaveButton();
    if (QAction* save = App->ToolBars.Slots[0].GetButton(2)) {
        SaveButtonBinding = connect(save, &QAction::triggered, this, [this] { SaveMenu(); });
        save->setProperty("QXMenuOwner", QVariant::fromValue<QObject*>(this));
        save->setEnabled(true);
    }
}

void TfrmQXMenu::ReleaseSaveButton() {
    if (!SaveButtonBinding) return;
    disconnect(SaveButtonBinding);
    SaveButtonBinding = {};
    if (!App) return;
    if (QAction* save = App->ToolBars.Slots[0].GetButton(2))
        if (save->property("QXMenuOwner").value<QObject*>() == this) {
            save->setProperty("QXMenuOwner", QVariant());
            save->setEnabled(false);
        }
}

void TfrmQXMenu::FormDeactivate() {
    if (!App) return;
    EndEdits();
    if (App->FileMenu) {
        App->FileMenu->removeAction(SaveMenuItem);
        App->FileMenu->removeAction(SaveAsMenuItem);
    }
    ReleaseSaveButton();
    DeactivateFrameParts(popupmnuEdit, ToolBarSlot);
}

bool TfrmQXMenu::FormCloseQuery() {
    EndEdits();
    if (isVisible()) SaveWindowPlacement(App->WindowPlacements[PlacementIndex], this);
    if (!Modified) return true;
    switch (ShowMessageBox(this, App->Text(Msg::SaveChanges, GetTitle()), TMsgIcon::Warning,
                           TMsgButtons::YesNoCancel)) {
    case QMessageBox::Yes:
        // The window goes only when its menu was written.
        return SaveMenu();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void TfrmQXMenu::FormClose() {
    if (App && App->FileMenu) {
        App->FileMenu->removeAction(SaveMenuItem);
        App->FileMenu->removeAction(SaveAsMenuItem);
    }
    if (App) UnmergeMenu(App->MainMenu, popupmnuEdit);
    ReleaseSaveButton();
    // Only the active window's parts stand on the frame. Closing hands the
    // activation on first: the window that took it keeps its parts, and
    // closing a window that is not active (or was never shown) leaves the
    // active window's parts alone.
    ReleaseFrameToolBars(ToolBarSlot);
}

void TfrmQXMenu::closeEvent(QCloseEvent* event) {
    TMDICustomChild::closeEvent(event);
    if (event->isAccepted()) FormClose();
}

// ---------------------------------------------------------------- actions' states

void TfrmQXMenu::UpdateActions() {
    const int page = PageControl->currentIndex();
    const bool node = treeviewMenuItemsStructure->currentItem() != nullptr;
    actAddLanguage->setEnabled(EditedMenu && EditedMenu->CanAddLanguage());
    actInsertLanguage->setEnabled(EditedMenu && EditedMenu->CanInsertLanguage(SelectedLanguage));
    actDeleteLanguage->setEnabled(EditedMenu && EditedMenu->CanDeleteLanguage(SelectedLanguage));
    actRenameLanguage->setEnabled(SelectedLanguage >= 0);
    for (QAction* a : {actAddMenuItem, actAddChildMenuItem, actInsertMenuItem, actDeleteMenuItem})
        a->setEnabled(page == 0 && node);
    actToggleVisible->setEnabled(node);
    actAddInfNotItem->setEnabled(EditedMenu && EditedMenu->CanAddInfNotItem() && page == 1);
    actInsertInfNotItem->setEnabled(EditedMenu && EditedMenu->CanInsertInfNotItem(SelectedInfNot) && page == 1);
    actDeleteInfNotItem->setEnabled(EditedMenu && EditedMenu->CanDeleteInfNotItem(SelectedInfNot) && page == 1);
    actShowOrgName->setChecked(EditedMenu && EditedMenu->ShowLinked);
    memoMenuItemsHelp->setReadOnly(SelectedLanguage < 0 || SelectedItem < 0);
}

// ---------------------------------------------------------------- selections

void TfrmQXMenu::listboxLanguagesClick() {
    SelectedLanguage = listboxLanguages->currentRow();
    if (SelectedLanguage >= listboxLanguages->count()) SelectedLanguage = -1;
    RefreshTreeView();
    RefreshInfNotGrid();
    UpdateActions();
}

void TfrmQXMenu::RefreshLanguageList() {
    const int remembered = listboxLanguages->currentRow();
    {
        const QSignalBlocker quiet(listboxLanguages);
        listboxLanguages->clear();
        for (int32_t l = 0; l < EditedMenu->GetLanguageCount(); ++l) {
            const std::string name = EditedMenu->GetLanguageName(l);
            const std::string shown =
                name.empty() ? "<" + App->Text(Msg::CaptionLanguageColumn) + std::to_string(l + 1) + ">" : name;
            listboxLanguages->addItem(QStr(std::to_string(l + 1) + ". " + shown));
        }
        const int count = listboxLanguages->count();
        if (remembered >= 0 && remembered < count) listboxLanguages->setCurrentRow(remembered);
        else if (remembered >= count && count > 0) listboxLanguages->setCurrentRow(count - 1);
        else listboxLanguages->setCurrentRow(-1);
    }
    listboxLanguagesClick();
}

void TfrmQXMenu::RefreshTreeView() {
    EditedMenu->DisplayLanguage = SelectedLanguage;
    EditedMenu->ImageIndex = NodeImage;
    EditedMenu->StateImageIndex = VisibleState;
    EditedMenu->RefreshTree();
    actShowOrgName->setChecked(EditedMenu->ShowLinked);
    ShowItemHelp();
}

void TfrmQXMenu::treeviewMenuItemsStructureChange() {
    SelectedItem = EditedMenu->GetMenuItemIndex(TTreeWidgetNodes::ItemOf(treeviewMenuItemsStructure->currentItem()));
    ShowItemHelp();
    UpdateActions();
}

void TfrmQXMenu::ShowItemHelp() {
    ShowingHelp = true;
    memoMenuItemsHelp->setPlainText(HelpForMemo(EditedMenu->GetMenuItemHelp(SelectedLanguage, SelectedItem)));
    HelpShown = memoMenuItemsHelp->toPlainText();
    ShowingHelp = false;
    memoMenuItemsHelp->setReadOnly(SelectedLanguage < 0 || SelectedItem < 0);
}

void TfrmQXMenu::memoMenuItemsHelpChange() {
    if (ShowingHelp || SelectedLanguage < 0 || SelectedItem < 0) return;
    // The memo takes no more than the item keeps: 127 characters, a line
    // break counting as the two it is stored as.
    RefuseBeyondLength(memoMenuItemsHelp, HelpShown, static_cast<int>(TQXMenuData::ItemHelpLength),
                       [](const QString& text) { return static_cast<int>(HelpFromMemo(text).size()); });
    EditedMenu->SetMenuItemHelp(SelectedLanguage, SelectedItem, HelpFromMemo(memoMenuItemsHelp->toPlainText()));
    UpdateStatus(true);
}

bool TfrmQXMenu::memoMenuItemsHelpKeyDown(QKeyEvent* key) {
    // The help is stored as it is typed: Tab, Shift+Tab and Ctrl+Enter leave
    // the memo (for the item tree), Esc puts back the help the item had when
    // the memo took the focus. Enter starts a new line.
    const TEditEnd end = EditorEndKey(*key, true);
    if (end == TEditEnd::None) return false;
    if (end == TEditEnd::Discard && !memoMenuItemsHelp->isReadOnly() && HelpItem == SelectedItem &&
        HelpLanguage == SelectedLanguage && EditedMenu->GetMenuItemHelp(HelpLanguage, HelpItem) != HelpAtFocus) {
        EditedMenu->SetMenuItemHelp(HelpLanguage, HelpItem, HelpAtFocus);
        ShowItemHelp();
        UpdateStatus(true);
    }
    if (key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier)) focusPreviousChild();
    else if (key->key() == Qt::Key_Tab) focusNextChild();
    else treeviewMenuItemsStructure->setFocus(Qt::OtherFocusReason);
    return true;
}

void TfrmQXMenu::SelectTreeItem(int32_t item) {
    if (auto* node = dynamic_cast<TTreeWidgetItem*>(EditedMenu->GetTreeNode(item)))
        treeviewMenuItemsStructure->setCurrentItem(node);
}

// ---------------------------------------------------------------- item commands

bool TfrmQXMenu::ConfirmStructureChange() {
    if (!StructureConfirmed)
        StructureConfirmed = ShowMessageBox(this, App->Text(Msg::MenuStructureWarning), TMsgIcon::Warning,
                                            TMsgButtons::YesNo) == QMessageBox::Yes;
    return StructureConfirmed;
}

// The item commands: on the selected node, after the structure warning;
// a refused change shows its message and changes nothing. selectAfter
// gives the item whose node is selected afterwards (-1 none).
void TfrmQXMenu::RunItemCommand(const std::function<bool(int32_t)>& can, uint32_t refusal,
                                const std::function<void(int32_t)>& change,
                                const std::function<int32_t()>& selectAfter, int32_t argument) {
    if (!ConfirmStructureChange()) return;
    if (!can(argument)) {
        ShowMessageBox(this, App->Text(refusal), TMsgIcon::Stop);
        return;
    }
    {
        // Nodes come and go: the tree's own selection signals wait.
        const QSignalBlocker quiet(treeviewMenuItemsStructure);
        change(argument);
    }
    RefreshTreeView();
    const int32_t select = selectAfter();
    if (select >= 0) SelectTreeItem(select);
    treeviewMenuItemsStructureChange();
    UpdateStatus(true);
    UpdateActions();
}

void TfrmQXMenu::actAddMenuItemExecute() {
    EndEdits();
    QTreeWidgetItem* node = treeviewMenuItemsStructure->currentItem();
    if (!node) return;
    // Beside the selected node: under its parent (the root has none).
    const int32_t parent =
        node->parent() ? EditedMenu->GetMenuItemIndex(TTreeWidgetNodes::ItemOf(node->parent())) : -1;
    TQXMenuData* m = EditedMenu.get();
    RunItemCommand([m](int32_t p) { return m->CanAddMenuItem(p); }, Msg::CannotAddNode,
                   [m](int32_t p) { m->AddMenuItem(p); }, [m] { return m->GetMenuItemCount() - 1; }, parent);
}

void TfrmQXMenu::actAddChildMenuItemExecute() {
    EndEdits();
    if (!treeviewMenuItemsStructure->currentItem()) return;
    TQXMenuData* m = EditedMenu.get();
    RunItemCommand([m](int32_t p) { return m->CanAddMenuItem(p); }, Msg::CannotAddChildNode,
                   [m](int32_t p) { m->AddMenuItem(p); }, [m] { return m->GetMenuItemCount() - 1; }, SelectedItem);
}

void TfrmQXMenu::actInsertMenuItemExecute() {
    EndEdits();
    if (!treeviewMenuItemsStructure->currentItem()) return;
    TQXMenuData* m = EditedMenu.get();
    const int32_t item = SelectedItem;
    RunItemCommand([m](int32_t i) { return m->CanInsertMenuItem(i); }, Msg::CannotInsertNode,
                   [m](int32_t i) { m->InsertMenuItem(i); }, [item] { return item; }, item);
}

void TfrmQXMenu::actDeleteMenuItemExecute() {
    EndEdits();
    if (!treeviewMenuItemsStructure->currentItem()) return;
    TQXMenuData* m = EditedMenu.get();
    // The whole subtree goes without a further question.
    RunItemCommand([m](int32_t i) { return m->CanDeleteMenuItem(i); }, Msg::CannotDeleteNode,
                   [m](int32_t i) { m->DeleteMenuItem(i); }, [] { return -1; }, SelectedItem);
}

void TfrmQXMenu::actToggleVisibleExecute() {
    EndEdits();
    if (SelectedItem < 0) return;
    EditedMenu->SetMenuItemStateRecursive(SelectedItem,
                                          static_cast<uint8_t>(EditedMenu->GetMenuItemState(SelectedItem) ^ 1));
    EditedMenu->RefreshTree();
    UpdateStatus(true);
    UpdateActions();
}

void TfrmQXMenu::actShowOrgNameExecute() {
    EndEdits();
    EditedMenu->ShowLinked = EditedMenu->ShowLinked ? 0 : 1;
    actShowOrgName->setChecked(EditedMenu->ShowLinked);
    RefreshTreeView();
    RefreshInfNotGrid();
    UpdateActions();
}

// ---------------------------------------------------------------- edits in progress

void TfrmQXMenu::EndEdits() {
    EndNameEdit(false);
    if (QWidget* editor = CellDelegate->OpenEditor()) {
        emit CellDelegate->commitData(editor);
        emit CellDelegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

// ---------------------------------------------------------------- the unit

void TfrmQXMenu::actMenuConfigExecute() {
    EndEdits();
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> image = EditedMenu->BuildStatesImage(size);
    TCommCmdList list;
    _CommCmd* command = list.Add();
    command->SuperService = cssWriteMenuConfig;
    command->Service = 0;
    command->Caption = App->Text(Msg::WritingMenuConfig);
    command->Data = image.get();
    command->Length = static_cast<int32_t>(size);
    if (RunOnUnit(this, *App, list))
        ShowMessageBox(this, App->Text(Msg::MenuConfigDownloaded), TMsgIcon::Information);
}

void TfrmQXMenu::actQXSynchronizationExecute() {
    EndEdits();
    bool named = false;
    RunMenuSync(App, EditedMenu.get(), &named);
    RefreshAll();
    if (named) UpdateStatus(true);
}

void TfrmQXMenu::actDefaultMenuExecute() {
    EndEdits();
    if (Modified) {
        switch (ShowMessageBox(this, App->Text(Msg::SaveChanges, GetTitle()), TMsgIcon::Warning,
                               TMsgButtons::YesNoCancel)) {
        case QMessageBox::Yes:
            if (!SaveMenu()) return;  // the changes stay when they could not be written
            break;
        case QMessageBox::No:
            break;
        default:
            return;
        }
    }
    ClearSystemCause();
    if (!DefaultMenu->LoadFromFile(DefaultMenuPath))
        ShowFailureMessage(this, App->Text(Msg::CannotOpenDefaultMenu, DefaultMenuPath));
    NewMenu();
    UpdateStatus(false);
    UpdateActions();
}

// ---------------------------------------------------------------- events

bool TfrmQXMenu::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == treeviewMenuItemsStructure && type == QEvent::KeyPress)
        return treeviewMenuItemsStructureKeyDown(static_cast<QKeyEvent*>(event));
    if (watched == treeviewMenuItemsStructure->viewport()) {
        if (type == QEvent::MouseButtonPress) treeviewMenuItemsStructureMouseDown(static_cast<QMouseEvent*>(event));
        if (type == QEvent::Resize) EndNameEdit(false);
        return false;
    }
    if (watched == edtMenuItemName) {
        if (type == QEvent::KeyPress) {
            // Enter, Tab, Shift+Tab, Ctrl+Enter, Up and Down store the
            // name; Esc puts the stored one back.
            auto* key = static_cast<QKeyEvent*>(event);
            const TEditEnd end = EditorEndKey(*key, false);
            if (end != TEditEnd::None || key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                EndNameEdit(end == TEditEnd::Discard);
                return true;
            }
        } else if (type == QEvent::ShortcutOverride && EditorOwnsKey(*static_cast<QKeyEvent*>(event), false)) {
            event->accept();
            return true;
        } else if (type == QEvent::FocusOut) {
            edtMenuItemNameExit();
        }
        return false;
    }
    if (watched == listboxLanguages && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            listboxLanguagesDblClick();
            return true;
        }
        if (key == Qt::Key_Delete) {
            UpdateActions();
            if (actDeleteLanguage->isEnabled()) actDeleteLanguageExecute();
            return true;
        }
        return false;
    }
    if (watched == memoMenuItemsHelp) {
        if (type == QEvent::KeyPress) return memoMenuItemsHelpKeyDown(static_cast<QKeyEvent*>(event));
        if (type == QEvent::ShortcutOverride && EditorOwnsKey(*static_cast<QKeyEvent*>(event), true)) {
            event->accept();
            return true;
        }
        if (type == QEvent::FocusIn) {
            HelpItem = SelectedItem;
            HelpLanguage = SelectedLanguage;
            HelpAtFocus = EditedMenu->GetMenuItemHelp(SelectedLanguage, SelectedItem);
        }
        return false;
    }
    if (watched == strgrdInfNotData && type == QEvent::KeyPress)
        return strgrdInfNotDataKeyDown(static_cast<QKeyEvent*>(event));
    return TMDICustomChild::eventFilter(watched, event);
}
