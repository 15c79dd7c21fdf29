#include "TypeWindow.h"

#include <QApplication>
#include <QTextDocument>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

#include "Actions.h"
#include "Appinterface.h"
#include "Images.h"
#include "MessageIds.h"
#include "Dialogs.h"
#include "FormTranslation.h"
#include "QXBlock.h"
#include "QtText.h"
#include "SafeFile.h"
#include "Tabledata.h"
#include "TextHelpers.h"
#include "TypeCSVCommands.h"
#include "TypeCommands.h"
#include "TypeGridEditing.h"
#include "TypeGridKeys.h"
#include "TypeObject.h"
#include "TypePrint.h"
#include "TypePwx.h"
#include "TypeTransfer.h"
#include "Typedata.h"
#include "SystemCause.h"

namespace {

constexpr const char* TypeFileFilter = "Type File (*.mtp)|*.mtp|Any File (*.*)|*.*";
constexpr const char* TypeFileExt = "*.mtp";

QMdiArea* AreaOf(const _AppInterface* app) {
    return app && app->MainForm ? qobject_cast<QMdiArea*>(app->MainForm->centralWidget()) : nullptr;
}

// Inserts the action into the menu at the position of its group index.
void InsertAtGroup(QMenu* menu, QAction* action, int groupIndex) {
    if (!menu || menu->actions().contains(action)) return;
    const QList<QAction*> actions = menu->actions();
    menu->insertAction(groupIndex < actions.size() ? actions[groupIndex] : nullptr, action);
}

}  // namespace

TfrmTypeObject::TfrmTypeObject(_AppInterface* app, const std::string& fileName) : TMDICustomChild(app) {
    // The window, its commands, menus, tool bars and views.
    SetKind(KindTypeObject);
    setObjectName("frmTypeObject");
    setMinimumSize(300, 200);
    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildViews();

    // Texts and hints.
    TranslateTexts();
    // The file name; an untitled window takes the next number.
    FileName = fileName;
    if (FileName.empty()) UntitledNumber = ++App->UntitledCounter;
    // An empty type in the program's display formats, language 1.
    TypeData = std::make_unique<TTypeObjectData>(App->DisplayFormats);
    CurrentLanguage = 0;
    for (int size = 1; size <= 4; ++size) cmbboxFieldSize->addItem(QStr(FieldSizeToStr(size)));
    // The tree and the grid.
    ConnectViews();
    // The Edit menus and the File items.
    EditMenu = TypeEditMenu;
    // The window starts in type mode.
    pnlToolBar->setMinimumHeight(24);
    toolbarTable->hide();
    // Nothing is selected yet.
    Selection = _TypeSelection();
    PreviousSelection = Selection;
    SizeNameEditors();

    setFocusProxy(TreeView);
    TreeView->setFocus();
    OnCloseQuery = [this] { return FormCloseQuery(); };
    qApp->installEventFilter(this);
    ConnectStructureCommands();
    UpdateActions();
    UpdateStatus(false);
}

// The client: the tool-bar panel, the splitter with the tree and the grid
// panes, the status bar.
void TfrmTypeObject::BuildViews() {
    auto* form = new QWidget;
    form->setObjectName("frmTypeObjectClient");
    auto* formLayout = new QVBoxLayout(form);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->setSpacing(0);
    pnlToolBar = new QWidget(form);
    pnlToolBar->setObjectName("pnlToolBar");
    auto* barLayout = new QHBoxLayout(pnlToolBar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(0);
    barLayout->addWidget(toolbarType);
    barLayout->addWidget(toolbarTable);
    barLayout->addStretch(1);
    formLayout->addWidget(pnlToolBar);

    Splitter = new QSplitter(Qt::Horizontal, form);
    Splitter->setObjectName("Splitter");
    Splitter->setChildrenCollapsible(false);
    BuildTreePane();
    BuildMainPane();
    Splitter->addWidget(pnlTreeView);
    Splitter->addWidget(pnlMain);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({200, 400});
    formLayout->addWidget(Splitter, 1);
    formLayout->addWidget(BuildStatusBar(form));
    setWidget(form);
    resize(640, 420);
}

// The tree pane with the tree's in-place editors.
void TfrmTypeObject::BuildTreePane() {
    pnlTreeView = new QWidget(Splitter);
    pnlTreeView->setObjectName("pnlTreeView");
    auto* treeLayout = new QVBoxLayout(pnlTreeView);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    TreeView = new TTypeTreeWidget(pnlTreeView);
    TreeView->setObjectName("TreeView");
    TreeView->setHeaderHidden(true);
    TreeView->setColumnCount(1);
    TreeView->setMinimumWidth(120);
    // An item wider than the pane is shown whole: the tree scrolls sideways.
    TreeView->header()->setStretchLastSection(false);
    TreeView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    treeLayout->addWidget(TreeView);
    // The in-place editors lie over the tree's items; hidden until used.
    edtEditTreeView = new QLineEdit(TreeView->viewport());
    edtEditTreeView->setObjectName("edtEditTreeView");
    cmbboxFieldSize = new QComboBox(TreeView->viewport());
    cmbboxFieldSize->setObjectName("cmbboxFieldSize");
    cmbboxFieldUnits = new QComboBox(TreeView->viewport());
    cmbboxFieldUnits->setObjectName("cmbboxFieldUnits");
    cmbboxFieldUnits->setEditable(true);
    cmbboxLanguages = new QComboBox(TreeView->viewport());
    cmbboxLanguages->setObjectName("cmbboxLanguages");
    chklbEditTreeView = new QListWidget(TreeView->viewport());
    chklbEditTreeView->setObjectName("chklbEditTreeView");
    for (QWidget* w : {static_cast<QWidget*>(edtEditTreeView), static_cast<QWidget*>(cmbboxFieldSize),
                       static_cast<QWidget*>(cmbboxFieldUnits), static_cast<QWidget*>(cmbboxLanguages),
                       static_cast<QWidget*>(chklbEditTreeView)})
        w->hide();
}

// The grid pane: the tabs, the grid, the units box and the name editors.
void TfrmTypeObject::BuildMainPane() {
    pnlMain = new QWidget(Splitter);
    pnlMain->setObjectName("pnlMain");
    auto* mainLayout = new QVBoxLayout(pnlMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    TabControl = new TTypeTabBar(pnlMain);
    TabControl->setObjectName("TabControl");
    DataGrid = new TTypeGridView(pnlMain);
    DataGrid->setObjectName("DataGrid");
    mainLayout->addWidget(TabControl);
    mainLayout->addWidget(DataGrid, 1);
    cmbboxUnits = new QComboBox(pnlMain);
    cmbboxUnits->setObjectName("cmbboxUnits");
    cmbboxUnits->setEditable(true);
    cmbboxUnits->hide();
    ParamNamePanel = new QFrame(DataGrid->viewport());
    ParamNamePanel->setObjectName("ParamNamePanel");
    memoParamName = new QPlainTextEdit(ParamNamePanel);
    memoParamName->setObjectName("memoParamName");
    SwitchNamePanel = new QFrame(DataGrid->viewport());
    SwitchNamePanel->setObjectName("SwitchNamePanel");
    memoSwitchName = new QPlainTextEdit(SwitchNamePanel);
    memoSwitchName->setObjectName("memoSwitchName");
    for (QFrame* panel : {ParamNamePanel, SwitchNamePanel}) {
        (new QVBoxLayout(panel))->setContentsMargins(0, 0, 0, 0);
        panel->layout()->addWidget(panel == ParamNamePanel ? memoParamName : memoSwitchName);
        panel->hide();
    }
}

// The status bar with its four panels.
QStatusBar* TfrmTypeObject::BuildStatusBar(QWidget* form) {
    StatusBar = new QStatusBar(form);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    static constexpr int panelWidths[4] = {80, 100, 50, 50};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(StatusBar);
        StatusPanels[i]->setObjectName(QString("StatusPanel%1").arg(i));
        StatusPanels[i]->setMinimumWidth(panelWidths[i]);
        StatusPanels[i]->setFrameShape(QFrame::StyledPanel);
        StatusBar->addWidget(StatusPanels[i], i == 3 ? 1 : 0);
    }
    return StatusBar;
}

// The texts of the selected language, and the tool buttons' hints.
void TfrmTypeObject::TranslateTexts() {
    TranslateWidget(*App->Mls, this);
    for (QToolBar* bar : {toolbarTable, toolbarType})
        for (QAction* a : bar->actions())
            if (a->toolTip() == a->text() || a->toolTip().isEmpty())
                a->setToolTip(QStr(ButtonHintFromCaption(CpStr(a->text()))));
    actDeleteLanguage->setToolTip("Delete Language");
}

// The tree and the grid views over the type.
void TfrmTypeObject::ConnectViews() {
    TreeContext = {this,
                   TypeData.get(),
                   TreeView,
                   edtEditTreeView,
                   chklbEditTreeView,
                   cmbboxFieldSize,
                   cmbboxFieldUnits,
                   cmbboxLanguages,
                   App,
                   [this] { TreeModified(); },
                   [this] { TreeSelectionChanged(); },
                   [this](const QPoint& pos) { TreeContextPopup(pos); },
                   &CurrentLanguage,
                   [this](int32_t id) { return TreeImages.Icon(id); }};
    TypeTree = std::make_unique<TTypeObjectTreeView>(&TreeContext);
    GridContext = {this,
                   TypeData.get(),
                   TabControl,
                   DataGrid,
                   cmbboxUnits,
                   App,
                   [this] { GridModified(); },
                   [this] { GridSelectionChanged(); },
                   [this](const QPoint& pos) { GridContextPopup(pos); },
                   &CurrentLanguage,
                   memoParamName,
                   ParamNamePanel,
                   memoSwitchName,
                   SwitchNamePanel};
    TypeGrid = std::make_unique<TTypeObjectDataGrid>(&GridContext);
}

// The multi-line editors: 21 and 18 characters of their font. The lines of
// text inside them are that wide, so that an editor breaks its text where the
// grid's cell does: frame and document margins come on top.
void TfrmTypeObject::SizeNameEditors() {
    const QFont fixed = TypeGrid->EditorFont();
    const QFontMetricsF fm(fixed);
    memoParamName->setFont(fixed);
    memoSwitchName->setFont(fixed);
    auto editorWidth = [&](QPlainTextEdit* memo, int columns) {
        return static_cast<int>(std::ceil(fm.horizontalAdvance(QString(columns, QChar('X'))))) +
               2 * memo->frameWidth() + static_cast<int>(std::ceil(2 * memo->document()->documentMargin()));
    };
    ParamNamePanel->setFixedWidth(editorWidth(memoParamName, TTypeObjectDataGrid::TextColumns));
    SwitchNamePanel->setFixedWidth(editorWidth(memoSwitchName, TTypeObjectDataGrid::SwitchColumns));
}

TfrmTypeObject::~TfrmTypeObject() {
    qApp->removeEventFilter(this);
    EndActivation();
    // Without its area the frame is going too: nothing of it is touched.
    if (mdiArea()) {
        if (Merged) {
            UnmergeMenus();
            RestoreMainToolBars();
        }
    }
    // The sub-window still moves the focus while it is destroyed, when this
    // window's own parts are gone.
    disconnect(FocusWatch);
    // What is still there goes before the widgets it works on.
    TypeGrid.reset();
    TypeTree.reset();
    TypeData.reset();
}

// ---------------------------------------------------------------- actions and menus

void TfrmTypeObject::BuildActions() {
    actDownloadType = NewAction(this, "actDownloadType",
                                ActionOptions("Type PC -> QX", aiPcToQx, QKeySequence("Ctrl+D")).AddToOwner());
    actUploadType = NewAction(this, "actUploadType",
                              ActionOptions("Type QX -> PC", aiQxToPc, QKeySequence("Ctrl+U")).AddToOwner());
    actAddTable = NewAction(this, "actAddTable", ActionOptions("Add Table", aiAddTable).AddToOwner());
    actInsertTable = NewAction(this, "actInsertTable", ActionOptions("Insert Table", aiInsertTable).AddToOwner());
    actDeleteTable = NewAction(this, "actDeleteTable", ActionOptions("Delete Table", aiDeleteTable).AddToOwner());
    actCopyTable = NewAction(this, "actCopyTable", ActionOptions("Copy Table", aiCopy).AddToOwner());
    actPasteTable = NewAction(this, "actPasteTable", ActionOptions("Paste Table", aiPaste).AddToOwner());
    actAddField = NewAction(this, "actAddField", ActionOptions("Add Field", aiAddField).AddToOwner());
    actInsertField = NewAction(this, "actInsertField", ActionOptions("Insert Field", aiInsertField).AddToOwner());
    actDeleteField = NewAction(this, "actDeleteField", ActionOptions("Delete Field", aiDeleteField).AddToOwner());
    actCopyField = NewAction(this, "actCopyField", ActionOptions("Copy Field", aiCopy).AddToOwner());
    actPasteField = NewAction(this, "actPasteField", ActionOptions("Paste Field", aiPaste).AddToOwner());
    actAddRow = NewAction(this, "actAddRow", ActionOptions("Add Row", aiAddRow, QKeySequence("Ctrl++")).AddToOwner());
    actInsertRow = NewAction(this, "actInsertRow",
                             ActionOptions("Insert Row", aiInsertRow, QKeySequence("Ctrl+Insert")).AddToOwner());
    actDeleteRow = NewAction(this, "actDeleteRow",
                             ActionOptions("Delete Row", aiDeleteRow, QKeySequence("Ctrl+Delete")).AddToOwner());
    actAddParameter = NewAction(this, "actAddParameter",
                                ActionOptions("Add Parameter", aiAddParameter, QKeySequence("Ctrl++")).AddToOwner());
    actInsertParameter = NewAction(this, "actInsertParameter",
                                   ActionOptions("Insert Parameter", aiInsertParameter, QKeySequence("Ctrl+Insert"))
                                       .AddToOwner());
    actDeleteParameter = NewAction(this, "actDeleteParameter",
                                   ActionOptions("Delete Parameter", aiDeleteParameter, QKeySequence("Ctrl+Delete"))
                                       .AddToOwner());
    actCopyParameter = NewAction(this, "actCopyParameter", ActionOptions("Copy Parameter", aiCopy).AddToOwner());
    actPasteParameter = NewAction(this, "actPasteParameter", ActionOptions("Paste Parameter", aiPaste).AddToOwner());
    actLanguage = NewAction(this, "actLanguage", ActionOptions("Language", aiLanguage).AddToOwner());
    actAddLanguage = NewAction(this, "actAddLanguage", ActionOptions("Add Language", aiAddLanguage).AddToOwner());
    actInsertLanguage = NewAction(this, "actInsertLanguage",
                                  ActionOptions("Insert Language", aiInsertLanguage).AddToOwner());
    actDeleteLanguage = NewAction(this, "actDeleteLanguage",
                                  ActionOptions("Dlete Language", aiDeleteLanguage).AddToOwner());
    actRenameLanguage = NewAction(this, "actRenameLanguage", ActionOptions("Rename Language", aiLanguage).AddToOwner());
    actViewEditAs = NewAction(this, "actViewEditAs", ActionOptions("View/Edit As", -1).AddToOwner());
    actViewEditAsBin = NewAction(this, "actViewEditAsBin", ActionOptions("View/Edit As Bin", -1).AddToOwner());
    actViewEditAsDec = NewAction(this, "actViewEditAsDec", ActionOptions("View/Edit As Dec", -1).AddToOwner());
    actViewEditAsHex = NewAction(this, "actViewEditAsHex", ActionOptions("View/Edit As Hex", -1).AddToOwner());

    connect(actDownloadType, &QAction::triggered, this, &TfrmTypeObject::actDownloadTypeExecute);
    connect(actUploadType, &QAction::triggered, this, &TfrmTypeObject::actUploadTypeExecute);
    connect(actViewEditAsBin, &QAction::triggered, this, [this] { ViewEditAs(TDisplayFormat::Binary); });
    connect(actViewEditAsDec, &QAction::triggered, this, [this] { ViewEditAs(TDisplayFormat::Decimal); });
    connect(actViewEditAsHex, &QAction::triggered, this, [this] { ViewEditAs(TDisplayFormat::Hexadecimal); });

    // The window's own File items.
    mnuSave = new QAction(this);
    mnuSave->setObjectName("mnuSave");
    mnuSave->setShortcut(QKeySequence("Ctrl+S"));
    mnuSave->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(mnuSave);
    mnuSaveAs = new QAction(this);
    mnuSaveAs->setObjectName("mnuSaveAs");
    mnuPrint = new QAction(this);
    mnuPrint->setObjectName("mnuPrint");
    mnuPrint->setShortcut(QKeySequence("Ctrl+P"));
    mnuPrint->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(mnuPrint);
    mnuExportMenu = new QMenu(this);
    mnuExportMenu->setObjectName("mnuExport");
    mnuExport = mnuExportMenu->menuAction();
    mnuExportPWX = mnuExportMenu->addAction("PWX");
    mnuExportPWX->setObjectName("mnuExportPWX");
    mnuExportCSV = mnuExportMenu->addAction("CSV");
    mnuExportCSV->setObjectName("mnuExportCSV");
    connect(mnuSave, &QAction::triggered, this, &TfrmTypeObject::mnuSaveClick);
    connect(mnuSaveAs, &QAction::triggered, this, &TfrmTypeObject::mnuSaveAsClick);
    connect(mnuPrint, &QAction::triggered, this, &TfrmTypeObject::mnuPrintClick);
    connect(mnuExportPWX, &QAction::triggered, this, &TfrmTypeObject::mnuExportPWXClick);
    connect(mnuExportCSV, &QAction::triggered, this, &TfrmTypeObject::mnuExportCSVClick);
}

void TfrmTypeObject::BuildMenus() {
    // The language submenu shows its commands under short names.
    mnuLanguage = new QMenu(this);
    mnuLanguage->setObjectName("mnuLanguage");
    mnuLanguage->menuAction()->setText(actLanguage->text());
    mnuLanguage->menuAction()->setIcon(actLanguage->icon());
    auto proxy = [this](QAction* command, const char* name, const char* caption) {
        QAction* item = mnuLanguage->addAction(command->icon(), QString::fromLatin1(caption));
        item->setObjectName(name);
        item->setEnabled(command->isEnabled());
        connect(command, &QAction::changed, item, [item, command] { item->setEnabled(command->isEnabled()); });
        connect(item, &QAction::triggered, command, &QAction::trigger);
    };
    proxy(actAddLanguage, "mnuAddLanguage", "Add");
    proxy(actInsertLanguage, "mnuInsertLanguage", "Insert");
    proxy(actDeleteLanguage, "mnuDeleteLanguage", "Delete Language");
    proxy(actRenameLanguage, "mnuRenameLanguage", "Rename");
    mnuLanguage->addSeparator();
    connect(mnuLanguage, &QMenu::aboutToShow, this, &TfrmTypeObject::RebuildLanguageMenu);

    auto viewEditAs = [this](const char* name) {
        auto* menu = new QMenu(this);
        menu->setObjectName(name);
        menu->menuAction()->setText(actViewEditAs->text());
        menu->addAction(actViewEditAsBin);
        menu->addAction(actViewEditAsDec);
        menu->addAction(actViewEditAsHex);
        return menu;
    };
    mnuViewEditAs = viewEditAs("mnuViewEditAs");

    const QString edit = QStr(App->Text(Msg::MenuEdit));
    popupmnuType = new QMenu(edit, this);
    popupmnuType->setObjectName("popupmnuType");
    popupmnuType->addActions({actDownloadType, actUploadType});
    popupmnuType->addSeparator();
    popupmnuType->addAction(actAddTable);
    popupmnuType->addSeparator();
    popupmnuType->addActions({actAddParameter, actInsertParameter, actDeleteParameter, actCopyParameter,
                              actPasteParameter});
    popupmnuType->addSeparator();
    popupmnuType->addMenu(mnuLanguage);
    popupmnuType->addSeparator()->setObjectName("N6");
    popupmnuType->addMenu(mnuViewEditAs);

    popupmnuTable = new QMenu(edit, this);
    popupmnuTable->setObjectName("popupmnuTable");
    popupmnuTable->addActions({actDownloadType, actUploadType});
    popupmnuTable->addSeparator();
    popupmnuTable->addActions({actAddTable, actInsertTable, actDeleteTable, actCopyTable, actPasteTable});
    popupmnuTable->addSeparator();
    popupmnuTable->addActions({actAddField, actInsertField, actDeleteField, actCopyField, actPasteField});
    popupmnuTable->addSeparator();
    popupmnuTable->addActions({actAddRow, actInsertRow, actDeleteRow});
    popupmnuTable->addSeparator()->setObjectName("N7");
    mnuViewEditAsTable = viewEditAs("mnuViewEditAsTable");
    popupmnuTable->addMenu(mnuViewEditAsTable);
    TypeEditMenu = popupmnuType;
    TableEditMenu = popupmnuTable;
    SetMenuGroupIndex(popupmnuType, 1);
    SetMenuGroupIndex(popupmnuTable, 1);
    for (QMenu* m : {popupmnuType, popupmnuTable})
        connect(m, &QMenu::aboutToShow, this, &TfrmTypeObject::UpdateActions);

    mnuSave->setText(QStr(App->Text(Msg::MenuSave)));
    mnuSaveAs->setText(QStr(App->Text(Msg::MenuSaveAs)));
    mnuPrint->setText(QStr(App->Text(Msg::MenuPrint)));
    mnuExport->setText(QStr(App->Text(Msg::MenuExport)));
    if (App->ActionImages) {
        mnuSave->setIcon(App->ActionImages->Icon(aiSave));
        mnuPrint->setIcon(App->ActionImages->Icon(aiPrint));
    }
}

void TfrmTypeObject::BuildToolBars() {
    toolbarType = new QToolBar(this);
    toolbarType->setObjectName("toolbarType");
    toolbarType->setIconSize(QSize(16, 16));
    toolbarType->addActions({actDownloadType, actUploadType});
    toolbarType->addSeparator();
    toolbarType->addAction(actAddTable);
    toolbarType->addSeparator();
    toolbarType->addActions({actAddParameter, actInsertParameter, actDeleteParameter});
    toolbarType->addSeparator();
    toolbarType->addActions({actAddLanguage, actInsertLanguage, actDeleteLanguage, actRenameLanguage});
    toolbarTable = new QToolBar(this);
    toolbarTable->setObjectName("toolbarTable");
    toolbarTable->setIconSize(QSize(16, 16));
    toolbarTable->addActions({actDownloadType, actUploadType});
    toolbarTable->addSeparator();
    toolbarTable->addActions({actAddTable, actInsertTable, actDeleteTable});
    toolbarTable->addSeparator();
    toolbarTable->addActions({actAddField, actInsertField, actDeleteField});
    toolbarTable->addSeparator();
    toolbarTable->addActions({actAddRow, actInsertRow, actDeleteRow});
    for (QToolBar* bar : {toolbarType, toolbarTable}) bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TfrmTypeObject::RebuildLanguageMenu() {
    const QList<QAction*> items = mnuLanguage->actions();
    for (int i = 5; i < items.size(); ++i) {
        mnuLanguage->removeAction(items[i]);
        delete items[i];
    }
    if (!TypeData) return;
    const TTypeData6& def = TypeData->GetTypeData();
    for (int32_t i = 0; i < def.GetLanguageCount(); ++i) {
        const std::string caption = LanguageMenuCaption(i, def.GetLanguage(i)->GetName(), i == CurrentLanguage);
        QAction* item = mnuLanguage->addAction(actLanguage->icon(), QStr(caption));
        item->setData(i);
        connect(item, &QAction::triggered, this, [this, i] { LanguageItemClick(i); });
    }
}

void TfrmTypeObject::LanguageItemClick(int32_t language) {
    HideEditors();
    CurrentLanguage = language;
    TypeTree->Rebuild();
    TypeGrid->Refresh();
    if (TreeView->hasFocus()) {
        Selection = _TypeSelection();
        Selection.Kind = _TypeSelection::KindLanguage;
        Selection.Language = CurrentLanguage;
        SelectInView(Selection);
    }
    UpdateStatus(false);
}

void TfrmTypeObject::ViewEditAs(TDisplayFormat format) {
    ViewSlot = GetViewSlot();
    if (ViewSlot < 0 || ViewSlot >= SlotCount) return;
    App->DisplayFormats[ViewSlot] = StoredDisplayFormat(format);
    TypeTree->Rebuild();
    TypeGrid->Refresh();
}

void TfrmTypeObject::UpdateActions() {
    if (!TypeData) return;
    const TTypeCommandState state = CommandState();
    const std::pair<QAction*, TTypeCommand> commands[] = {
        {actAddTable, TTypeCommand::AddTable},         {actInsertTable, TTypeCommand::InsertTable},
        {actDeleteTable, TTypeCommand::DeleteTable},   {actCopyTable, TTypeCommand::CopyTable},
        {actPasteTable, TTypeCommand::PasteTable},     {actAddField, TTypeCommand::AddField},
        {actInsertField, TTypeCommand::InsertField},   {actDeleteField, TTypeCommand::DeleteField},
        {actCopyField, TTypeCommand::CopyField},       {actPasteField, TTypeCommand::PasteField},
        {actAddRow, TTypeCommand::AddRow},             {actInsertRow, TTypeCommand::InsertRow},
        {actDeleteRow, TTypeCommand::DeleteRow},       {actAddParameter, TTypeCommand::AddParameter},
        {actInsertParameter, TTypeCommand::InsertParameter},
        {actDeleteParameter, TTypeCommand::DeleteParameter},
        {actCopyParameter, TTypeCommand::CopyParameter},
        {actPasteParameter, TTypeCommand::PasteParameter},
        {actAddLanguage, TTypeCommand::AddLanguage},   {actInsertLanguage, TTypeCommand::InsertLanguage},
        {actDeleteLanguage, TTypeCommand::DeleteLanguage},
        {actRenameLanguage, TTypeCommand::RenameLanguage},
        {actLanguage, TTypeCommand::Language},         {actViewEditAs, TTypeCommand::ViewEditAs},
        {actViewEditAsBin, TTypeCommand::ViewEditAsFormat},
        {actViewEditAsDec, TTypeCommand::ViewEditAsFormat},
        {actViewEditAsHex, TTypeCommand::ViewEditAsFormat},
        {actDownloadType, TTypeCommand::DownloadType}, {actUploadType, TTypeCommand::UploadType},
    };
    for (const auto& [action, command] : commands)
        action->setEnabled(TypeCommandEnabled(command, state));
    const bool viewAs = TypeCommandEnabled(TTypeCommand::ViewEditAs, state);
    for (QMenu* m : {mnuViewEditAs, mnuViewEditAsTable}) {
        m->menuAction()->setVisible(viewAs);
        m->menuAction()->setEnabled(viewAs);
    }
    for (QMenu* popup : {popupmnuType, popupmnuTable})
        for (QAction* a : popup->actions())
            if (a->objectName() == "N6" || a->objectName() == "N7") a->setVisible(viewAs);
    mnuLanguage->menuAction()->setEnabled(actLanguage->isEnabled());
    // The report and the exports need no unit and no expert mode.
    mnuPrint->setEnabled(true);
    mnuExportPWX->setEnabled(true);
    mnuExportCSV->setEnabled(true);
    mnuExport->setEnabled(true);
}

// ---------------------------------------------------------------- status

std::string TfrmTypeObject::GetDisplayName() const {
    if (!FileName.empty()) return FileName;
    return App->Text(Msg::Untitled) + std::to_string(UntitledNumber);
}

void TfrmTypeObject::UpdateStatus(bool modified) {
    Modified = Modified || modified;
    if (!TypeData) return;
    StatusPanels[0]->setText(Modified ? QStr(App->Text(Msg::Modified)) : QString());
    const _LangItem* lang = TypeData->GetTypeData().GetLanguage(CurrentLanguage);
    StatusPanels[1]->setText(lang ? QStr(lang->GetName()) : QString());
    setWindowTitle(QStr(TypeWindowCaption(App->Text(Msg::CaptionType), TypeData->GetTypeName(), GetDisplayName())));
    const int32_t kind = App->CopyPaste ? App->CopyPaste->GetKind() : TCopyPaste::KindNone;
    StatusPanels[2]->setText(QStr(ClipboardKindText(kind)));
}

void TfrmTypeObject::Refresh(bool modified) {
    if (!TypeData) return;
    TypeTree->Rebuild();
    TypeGrid->Refresh();
    UpdateStatus(modified);
    UpdateActions();
}

void TfrmTypeObject::ExpandTree() { TypeTree->ExpandRoot(); }

void TfrmTypeObject::HideEditors() {
    if (TypeTree) TypeTree->HideEditors();
    if (TypeGrid) TypeGrid->HideEditors();
}

// ---------------------------------------------------------------- selection

_TypeSelection TfrmTypeObject::ReadSelection() {
    QWidget* focus = FocusedView();
    if (focus == TreeView) return TypeTree->GetSelection();
    if (focus == DataGrid || focus == TabControl) return TypeGrid->GetSelection();
    // No view has the focus: what was selected last stays.
    return Selection;
}

void TfrmTypeObject::SelectInView(const _TypeSelection& selection) {
    QWidget* focus = FocusedView();
    if (focus == TreeView) {
        // The tree takes the selection quietly; the grid, the menus and the
        // tool bars follow it as they follow the user's choice.
        TypeTree->Select(selection);
        TreeSelectionChanged();
    } else if (focus == DataGrid || focus == TabControl) TypeGrid->Select(selection);
}

int32_t TfrmTypeObject::GetViewSlot() const {
    QWidget* focus = FocusedView();
    if (focus == DataGrid && TypeGrid) return TypeGrid->GetViewSlot();
    return -1;
}

void TfrmTypeObject::TreeSelectionChanged() {
    if (!TypeGrid || !TypeTree) return;  // closed
    TypeGrid->Select(TypeTree->GetSelection());
    Selection = ReadSelection();
    ApplySelectionKind();
    UpdateStatus(false);
    UpdateActions();
}

void TfrmTypeObject::GridSelectionChanged() {
    if (!TypeGrid || !TypeTree) return;  // closed
    Selection = ReadSelection();
    ApplySelectionKind();
    UpdateActions();
}

void TfrmTypeObject::ApplySelectionKind() {
    if (Selection.Kind == PreviousSelection.Kind) return;
    PreviousSelection = Selection;
    const bool merged = Merged;
    if (merged) UnmergeMenus();
    const bool table = Selection.TableMode();
    toolbarType->setVisible(!table);
    toolbarTable->setVisible(table);
    EditMenu = table ? TableEditMenu : TypeEditMenu;
    SetModeShortcuts();
    // Only the active window's menus stand in the main menu.
    if (merged) MergeMenus();
}

void TfrmTypeObject::TreeContextPopup(const QPoint& pos) {
    UpdateActions();
    QMenu* popup = EditMenu == TypeEditMenu ? popupmnuType : EditMenu == TableEditMenu ? popupmnuTable : nullptr;
    if (popup) popup->popup(TreeView->viewport()->mapToGlobal(pos));
}

void TfrmTypeObject::GridContextPopup(const QPoint& pos) {
    // The click made the cell under the pointer current: the commands
    // offered are those of that cell.
    Selection = ReadSelection();
    ApplySelectionKind();
    UpdateActions();
    QMenu* popup = EditMenu == TypeEditMenu ? popupmnuType : EditMenu == TableEditMenu ? popupmnuTable : nullptr;
    if (popup) popup->popup(DataGrid->viewport()->mapToGlobal(pos));
}

// ---------------------------------------------------------------- activation

void TfrmTypeObject::MergeMenus() {
    if (!App) return;
    Merged = true;
    MergeMenu(App->MainMenu, EditMenu, 1);
    InsertAtGroup(App->FileMenu, mnuSave, 3);
    InsertAtGroup(App->FileMenu, mnuSaveAs, 4);
    InsertAtGroup(App->FileMenu, mnuPrint, 5);
    InsertAtGroup(App->FileMenu, mnuExport, 6);
    if (App->FlexibleToolBars) {
        pnlToolBar->hide();
        if (Selection.TableMode()) {
            App->ToolBars.Slots[1].CopyButtonsFrom(toolbarTable);
            App->ToolBars.Slots[2].RestoreDefaultButtons();
        } else {
            App->ToolBars.Slots[2].CopyButtonsFrom(toolbarType);
            App->ToolBars.Slots[1].RestoreDefaultButtons();
        }
    }
    BindGeneralButtons();
}

void TfrmTypeObject::UnmergeMenus() {
    if (!App) return;
    Merged = false;
    for (QMenu* m : {TypeEditMenu, TableEditMenu}) UnmergeMenu(App->MainMenu, m);
    if (App->FileMenu)
        for (QAction* a : {mnuSave, mnuSaveAs, mnuPrint, mnuExport})
            if (App->FileMenu->actions().contains(a)) App->FileMenu->removeAction(a);
}

void TfrmTypeObject::FormActivate() {
    MergeMenus();
    // Another window may have changed the clipboard store meanwhile.
    UpdateStatus(false);
    UpdateActions();
    if (widget()) widget()->updateGeometry();
}

void TfrmTypeObject::FormDeactivate() {
    UnmergeMenus();
    QMdiArea* area = mdiArea();
    if (!area || area->activeSubWindow() != this) RestoreMainToolBars();
    if (widget()) widget()->updateGeometry();
}

void TfrmTypeObject::RestoreMainToolBars() {
    ReleaseGeneralButtons();
    if (!App) return;
    App->ToolBars.Slots[2].RestoreDefaultButtons();
    App->ToolBars.Slots[1].RestoreDefaultButtons();
    App->ToolBars.Slots[0].RestoreDefaultButtons();
}

void TfrmTypeObject::BindGeneralButtons() {
    ReleaseGeneralButtons();
    TAppToolBar& general = App->ToolBars.Slots[0];
    general.RestoreDefaultButtons();
    if (QAction* save = general.GetButton(2)) {
        GeneralSave = connect(save, &QAction::triggered, this, &TfrmTypeObject::mnuSaveClick);
        save->setEnabled(true);
        save->setToolTip(QStr(App->Text(Msg::SaveType)));
    }
    if (QAction* print = general.GetButton(3)) {
        GeneralPrint = connect(print, &QAction::triggered, this, &TfrmTypeObject::mnuPrintClick);
        print->setEnabled(true);
        print->setToolTip(QStr(App->Text(Msg::PrintType)));
    }
}

void TfrmTypeObject::ReleaseGeneralButtons() {
    if (!GeneralSave && !GeneralPrint) return;
    TAppToolBar& general = App->ToolBars.Slots[0];
    QToolBar* backup = general.GetBackup();
    const QList<QAction*> defaults = backup ? backup->actions() : QList<QAction*>();
    for (QMetaObject::Connection* c : {&GeneralSave, &GeneralPrint})
        if (*c) {
            disconnect(*c);
            *c = QMetaObject::Connection();
        }
    // The buttons go back to what they are without a document window.
    for (int i : {2, 3})
        if (i < defaults.size()) {
            defaults[i]->setEnabled(false);
            defaults[i]->setToolTip(QStr(ButtonHintFromCaption(CpStr(defaults[i]->text()))));
        }
}

// ---------------------------------------------------------------- keys

bool TfrmTypeObject::InsideThisWindow(const QWidget* w) const { return w && (w == this || isAncestorOf(w)); }

QWidget* TfrmTypeObject::FocusedView() const {
    // While a dialog or a drop-down list is in front, the view that had the
    // focus last counts.
    QWidget* focus = QApplication::focusWidget();
    return InsideThisWindow(focus) ? focus : focusWidget();
}

bool TfrmTypeObject::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier) &&
            InsideThisWindow(QApplication::focusWidget())) {
            if (event->type() == QEvent::ShortcutOverride) {
                // Taken here, not by a shortcut of the frame.
                event->accept();
                return true;
            }
            return ApplicationEventsMessage(key);
        }
        if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) RowMoveKey(key);
    }
    return TMDICustomChild::eventFilter(watched, event);
}

bool TfrmTypeObject::ApplicationEventsMessage(QKeyEvent*) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == TreeView) TabControl->setFocus(Qt::TabFocusReason);
    else if (focus == TabControl) DataGrid->setFocus(Qt::TabFocusReason);
    else if (focus == DataGrid) TreeView->setFocus(Qt::TabFocusReason);
    return true;
}

void TfrmTypeObject::RowMoveKey(QKeyEvent* key) {
    // A key other than Up and Down ends the grid's row move; with Ctrl held
    // the status bar names the key.
    if (!TypeGrid || !TypeGrid->RowMove().Active || !InsideThisWindow(QApplication::focusWidget())) return;
    const int k = key->key();
    if (!(key->modifiers() & Qt::ControlModifier) && k != Qt::Key_Control) TypeGrid->EndRowMove();
    else if (k != Qt::Key_Up && k != Qt::Key_Down && k != Qt::Key_Control) {
        TypeGrid->EndRowMove();
        StatusPanels[3]->setText(QString::number(VirtualKeyCode(k)));
    }
}

// ---------------------------------------------------------------- closing

bool TfrmTypeObject::FormCloseQuery() {
    HideEditors();
    if (!Modified) return true;
    const auto answer = ShowMessageBox(this, App->Text(Msg::SaveChanges, CpStr(windowTitle())), TMsgIcon::Warning,
                                       TMsgButtons::YesNoCancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::No) return true;
    // Closes only when the changes are on disk.
    return Save();
}

void TfrmTypeObject::closeEvent(QCloseEvent* event) {
    TMDICustomChild::closeEvent(event);
    if (event->isAccepted()) FormClose();
}

void TfrmTypeObject::FormClose() {
    // The frame's menus and tool bars hold this window's parts only while it
    // is the active one; a window closed in the background leaves them to the
    // active window.
    if (Merged) {
        UnmergeMenus();
        RestoreMainToolBars();
    } else {
        ReleaseGeneralButtons();
    }
    TypeGrid.reset();
    TypeTree.reset();
    TypeData.reset();
}

// ---------------------------------------------------------------- saving and loading

bool TfrmTypeObject::Save() {
    HideEditors();
    const bool saved = FileName.empty() ? SaveAs() : SaveToFile(FileName);
    UpdateStatus(false);
    return saved;
}

bool TfrmTypeObject::SaveAs() {
    HideEditors();
    TOpenDialogRequest request;
    request.Owner = this;
    request.Filter = TypeFileFilter;
    request.DefaultExt = TypeFileExt;
    std::string chosen;
    bool saved = false;
    if (RunSaveDialog(request, GetDisplayName(), chosen)) {
        saved = SaveToFile(chosen);
        if (saved) {
            FileName = chosen;
            App->RecentFiles->Add(chosen);
        }
    }
    UpdateStatus(false);
    return saved;
}

void TfrmTypeObject::mnuSaveClick() { Save(); }

void TfrmTypeObject::mnuSaveAsClick() { SaveAs(); }

void TfrmTypeObject::mnuPrintClick() {
    HideEditors();
    if (TypeData) TfrmTypeObjectPrint::Execute(App, *TypeData, GetDisplayName(), CurrentLanguage);
}

void TfrmTypeObject::mnuExportPWXClick() {
    HideEditors();
    if (!TypeData) return;
    TOpenDialogRequest request;
    request.Owner = this;
    request.Filter = "PWX text files(*.txd)|*.txd|PWX data files(*.tab)|*.tab|All (*.*)|*.*";
    request.DefaultExt = "*.txd";
    std::string chosen;
    if (!RunSaveDialog(request, "00_01_00.txd", chosen)) return;
    // The text file first; when it cannot be written the data file is not.
    const TPwxFileNames names = PwxFileNames(chosen);
    const TTypeData6& def = TypeData->GetTypeData();
    const std::string stamp = PwxBuildStamp();
    const std::pair<std::string, std::vector<std::string>> files[] = {
        {names.Text, PwxTextLines(def, CurrentLanguage, App->Text(Msg::CaptionConfiguration), stamp)},
        {names.Data, PwxDataLines(def, stamp)},
    };
    for (const auto& [name, lines] : files) {
        ClearSystemCause();
        if (!ReplaceFileContents(name, JoinCrLfLines(lines))) {
            ShowFailureMessage(this, App->Text(Msg::CannotSaveFile, name));
            return;
        }
    }
}

void TfrmTypeObject::mnuExportCSVClick() { ExportTypeCSV(*this); }

bool TfrmTypeObject::ImportFromCSV(TMDICustomChild* window, const std::string& fileName, bool ask) {
    auto* type = qobject_cast<TfrmTypeObject*>(window);
    return type && ImportTypeCSV(*type, fileName, ask);
}

bool TfrmTypeObject::SaveToFile(const std::string& name) {
    if (!TypeData) return false;
    ClearSystemCause();
    const bool saved = TypeData->SaveToFile(name);
    if (!saved) ShowFailureMessage(this, App->Text(Msg::CannotSaveFile, name));
    else Modified = false;
    UpdateStatus(false);
    return saved;
}

bool TfrmTypeObject::LoadFromFile(const std::string& name) {
    if (!TypeData) return false;
    const bool loaded = TypeData->LoadFromFile(name);
    if (loaded) {
        Modified = false;
        const TTypeData6& def = TypeData->GetTypeData();
        for (int32_t p = 0; p < def.GetParameterCount(); ++p)
            if (const _ParamFormatItem* format = def.GetParamFormat(p)) App->AddRecentUnit(format->GetUnits());
    }
    Refresh(false);
    return loaded;
}

void TfrmTypeObject::actDownloadTypeExecute() {
    if (actDownloadType->isEnabled()) DownloadType(*this);
}

void TfrmTypeObject::actUploadTypeExecute() {
    if (actUploadType->isEnabled()) UploadType(*this);
}

bool TfrmTypeObject::LoadFromBlocks(TQXBlockMemList& list, bool reset) {
    if (!TypeData) return false;
    _BlockContext context;
    context.ModelVersion = App->ModelVersion;
    context.AskOverwrite = [this](std::string_view set, std::string_view owner) {
        return ShowMessageBox(this, App->Text(Msg::DataSetExistsOverwrite, set, owner), TMsgIcon::Warning, TMsgButtons::YesNo) ==
               QMessageBox::Yes;
    };
    const bool loaded = TypeData->LoadFromBlocks(list, context, reset);
    Refresh(loaded);
    return loaded;
}

// ---------------------------------------------------------------- creators

namespace {

template <typename Load>
TfrmTypeObject* CreateTypeWindow(_AppInterface* app, const std::string& name, Load load) {
    TfrmTypeObject* window = nullptr;
    try {
        window = new TfrmTypeObject(app, name);
        if (!load(*window)) return window;
        // A new window never starts larger than the frame's area.
        if (QMdiArea* area = AreaOf(app))
            window->resize(window->size().boundedTo(area->viewport()->size()).expandedTo(window->minimumSize()));
        window->show();
        window->Refresh(false);
        window->ExpandTree();
        if (QMdiArea* area = AreaOf(app)) area->setActiveSubWindow(window);
        return window;
    } catch (...) {
        delete window;
        return nullptr;
    }
}

}  // namespace

TfrmTypeObject* OpenTypeObject(_AppInterface* app, const std::string& fileName) {
    return CreateTypeWindow(app, fileName, [&](TfrmTypeObject& w) {
        ClearSystemCause();
        if (fileName.empty() || w.LoadFromFile(fileName)) return true;
        const std::string cause = SystemCause();
        w.close();
        NoteSystemCause(cause);
        ShowFailureMessage(app->MainForm, app->Text(Msg::CannotOpenTypeFile, fileName));
        return false;
    });
}

TfrmTypeObject* OpenTypeObjectFromBlocks(_AppInterface* app, TQXBlockMemList* list) {
    return CreateTypeWindow(app, std::string(), [&](TfrmTypeObject& w) {
        if (!list || w.LoadFromBlocks(*list, true)) return true;
        w.close();
        ShowMessageBox(app->MainForm, app->Text(Msg::CannotImportType), TMsgIcon::Stop);
        return false;
    });
}

void RegisterTypeEditor() {
    DocumentCreators().OpenTypeObject = [](_AppInterface* app, const std::string& name) -> TMDICustomChild* {
        return OpenTypeObject(app, name);
    };
    DocumentCreators().ImportFromCSV = &TfrmTypeObject::ImportFromCSV;
}
