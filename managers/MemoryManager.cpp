#include "MemoryManager.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Appinterface.h"
#include "Images.h"
#include "UnitRun.h"
#include "Dialogs.h"
#include "FormTranslation.h"
#include "MessageIds.h"
#include "QtText.h"
#include "TableBlocks.h"
#include "TextHelpers.h"
#include "TypeBlocks.h"
#include "TypeWindow.h"

namespace {
constexpr int NodeRole = Qt::UserRole + 1;
}

// A node's kind is the index of its picture.
static_assert(int{nkRoot} == miUnit && int{nkParameters} == miParametersText && int{nkTable} == miTableText &&
              int{nkTypeFolder} == miTypeFolder && int{nkTableFolder} == miTableFolder);

void* TTreeWidgetSink::AddItem(void* parent, const std::string& text, uint32_t image, TNode* node) {
    auto* item = parent ? new QTreeWidgetItem(static_cast<QTreeWidgetItem*>(parent)) : new QTreeWidgetItem(View);
    item->setText(0, QStr(text));
    if (App && App->ManagerImages) item->setIcon(0, App->ManagerImages->Icon(static_cast<int>(image)));
    item->setData(0, NodeRole, QVariant::fromValue(static_cast<void*>(node)));
    return item;
}

void TTreeWidgetSink::RemoveItem(void* item) { delete static_cast<QTreeWidgetItem*>(item); }

void TTreeWidgetSink::Expand(void* item) { static_cast<QTreeWidgetItem*>(item)->setExpanded(true); }

TNode* TTreeWidgetSink::NodeOf(QTreeWidgetItem* item) {
    return item ? static_cast<TNode*>(item->data(0, NodeRole).value<void*>()) : nullptr;
}

TfrmManager::TfrmManager(_AppInterface* app) : TManagerChild(app, KindMemoryManager, PlacementIndex, ToolBarSlot) {
    setObjectName("frmManager");
    setWindowTitle("QX318");

    actRefresh = NewAction(this, "actRefresh",
                           ActionOptions("Refresh", aiRefreshUnit, QKeySequence(Qt::Key_F5))
                               .Handler([this] { actRefreshExecute(); }));
    actUpload = NewAction(this, "actUpload",
                          ActionOptions("QX -> PC", aiQxToPc, QKeySequence(Qt::Key_F3))
                              .Handler([this] { actUploadExecute(); }));
    actDelete = NewAction(this, "actDelete",
                          ActionOptions("Delete", aiDelete, QKeySequence(Qt::Key_Delete))
                              .Handler([this] { actDeleteExecute(); }));

    Client = new QWidget;
    // The keys work wherever the focus is in the window, also before the
    // tree can take it.
    for (QAction* a : {actRefresh, actUpload, actDelete}) addAction(a);
    auto* layout = new QVBoxLayout(Client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolbarMemoryManager = Named(new QToolBar("Memory Manager"), "toolbarMemoryManager");
    toolbarMemoryManager->setIconSize(QSize(16, 16));
    toolbarMemoryManager->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (QAction* a : {actRefresh, actUpload, actDelete}) toolbarMemoryManager->addAction(a);
    layout->addWidget(toolbarMemoryManager);

    DataTree = Named(new QTreeWidget, "DataTree");
    DataTree->setHeaderHidden(true);
    DataTree->setIndentation(19);
    DataTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DataTree, &QWidget::customContextMenuRequested, this, &TfrmManager::DataTreeContextPopup);
    connect(DataTree, &QTreeWidget::currentItemChanged, this, [this] { UpdateActions(); });
    layout->addWidget(DataTree, 1);

    StatusBar = Named(new QStatusBar, "StatusBar");
    StatusConnection = new QLabel;
    StatusConnection->setMinimumWidth(80);
    StatusBar->addWidget(StatusConnection);
    auto* second = new QLabel;
    second->setMinimumWidth(50);
    StatusBar->addWidget(second);
    layout->addWidget(StatusBar);

    // The panel floats over the tree, centred, while not connected.
    pnlConnectInfo = Named(new QFrame(Client), "pnlConnectInfo");
    pnlConnectInfo->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlConnectInfo->setLineWidth(2);
    pnlConnectInfo->setAutoFillBackground(true);
    pnlConnectInfo->setToolTip("Press \"Refrsh\" (F5) to connect");
    auto* panelLayout = new QVBoxLayout(pnlConnectInfo);
    panelLayout->setContentsMargins(12, 10, 12, 10);
    lblConnectInfo = Named(new QLabel("QX is not connected."), "lblConnectInfo");
    lblConnectInfo->setAlignment(Qt::AlignCenter);
    panelLayout->addWidget(lblConnectInfo);
    btnConnect = Named(new QPushButton("&Refresh"), "btnConnect");
    connect(btnConnect, &QPushButton::clicked, actRefresh, &QAction::trigger);
    panelLayout->addWidget(btnConnect, 0, Qt::AlignHCenter);

    PopupMenu = Named(new QMenu("&Edit", this), "PopupMenu");
    for (QAction* a : {actRefresh, actUpload, actDelete}) PopupMenu->addAction(a);
    setWidget(Client);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    for (QAction* a : toolbarMemoryManager->actions())
        a->setToolTip(QStr(ButtonHintFromCaption(CpStr(a->text()))));
    BlockTree = std::make_unique<TBlockTree>(
        [this](uint32_t id) { return App ? App->Text(id) : std::string(); }, &Infos,
        (Adapter = std::make_unique<TTreeWidgetSink>(DataTree, App)).get());
    SetConnected(false);
    if (App) PopupMenu->setTitle(QStr(App->Text(Msg::MenuEdit)));
    OwnMenu = PopupMenu;
    OwnToolBar = toolbarMemoryManager;
    if (App) App->OnBlocksChanged = [this](QWidget*) { actRefreshExecute(); };
    // The connect panel floats over the tree and stays whole inside it.
    const int frameWidth = 2 * style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    GrowToContent(QSize(std::max(300, pnlConnectInfo->sizeHint().width() + frameWidth + 8), 200));
    resize(407, 498);
    FormResize();
    RestorePlacement();
}

TfrmManager::~TfrmManager() {
    if (App) App->OnBlocksChanged = nullptr;
    // The tree's items go before the view that holds them.
    BlockTree.reset();
}

void TfrmManager::SetConnected(bool connected) {
    IsConnected = connected;
    pnlConnectInfo->setVisible(!connected);
    if (!connected) pnlConnectInfo->raise();
    DataTree->setEnabled(connected);
    // A window being activated hands the focus to its first child that
    // takes it: the disabled tree must not be that child, or no part of the
    // window has the focus and its keys go nowhere.
    DataTree->setFocusPolicy(connected ? Qt::StrongFocus : Qt::NoFocus);
    StatusConnection->setText(connected && App ? QStr(App->Text(Msg::Connected)) : QString());
    UpdateActions();
}

void TfrmManager::UpdateActions() {
    actUploadUpdate();
    actDeleteUpdate();
}

// Upload and Delete act on a Parameters node, a table node or a type folder.
bool TfrmManager::TypeNodeSelected() const {
    const TNode* node = TTreeWidgetSink::NodeOf(DataTree->currentItem());
    return IsConnected && node && (node->Kind == nkParameters || node->Kind == nkTable || node->Kind == nkTypeFolder);
}

void TfrmManager::actUploadUpdate() { actUpload->setEnabled(TypeNodeSelected()); }

void TfrmManager::actDeleteUpdate() { actDelete->setEnabled(TypeNodeSelected()); }

bool TfrmManager::Run(TCommCmdList& list) {
    // With an error ignored the blocks read are not whole.
    return App && RunOnUnit(this, *App, list);
}

void TfrmManager::actRefreshExecute() {
    // Nothing may point into the block list while it is emptied.
    BlockTree->Build(false);
    Infos.Clear();
    Blocks.Clear();
    SetConnected(false);
    // The scheduler thread fills a list of this run only.
    TQXBlockMemList read;
    TCommCmdList list;
    _CommCmd* c = list.Add();
    c->SuperService = cssReadBlockDescrList;
    c->Service = 0;
    c->Caption = App ? App->Text(Msg::ReadingBlockDescriptions) : std::string();
    c->Data = &read;
    const bool connected = Run(list);
    if (connected) Blocks = read;
    SetConnected(connected);

    _BlockContext context;
    if (App) context.ModelVersion = App->ModelVersion;
    for (int32_t i = 0; i < Blocks.Count(); ++i) {
        TQXBlockMem* block = Blocks.Get(i);
        std::string first, second;
        if (!GetTableBlockNames(block, context, first, second)) {
            first.clear();
            second.clear();
            if (!GetTypeBlockNames(block, context, first, second)) {
                first.clear();
                second.clear();
            }
        }
        _QXBlockInfo* info = Infos.Add();
        info->Kind = block->Header[0];
        info->Name = first;
        info->OwnerName = second;
        info->Block = block;
    }
    BlockTree->Build(connected);
    UpdateActions();
    if (mdiArea() && mdiArea()->activeSubWindow() == this) {
        if (connected) DataTree->setFocus();
        else if (pnlConnectInfo->isVisible()) btnConnect->setFocus();
    }
}

void TfrmManager::actUploadExecute() {
    if (!actUpload->isEnabled()) return;
    TQXBlockInfoList entries;
    BlockTree->CollectUploadBlocks(entries, BlockTree->FindParametersNode(TTreeWidgetSink::NodeOf(DataTree->currentItem())));
    if (entries.Count() > 0) Upload(entries);
}

void TfrmManager::Upload(const TQXBlockInfoList& entries) {
    std::unique_ptr<TQXBlockMemList> copies = CreateBlockMemList(entries);
    if (!copies || copies->Count() == 0) return;
    TCommCmdList list;
    for (int32_t i = 0; i < copies->Count(); ++i) {
        _CommCmd* c = list.Add();
        c->SuperService = 0;
        c->Service = csReadBlock;
        c->Caption = App->Text(Msg::UploadingBlock) + " " + entries.Get(i)->Name;
        c->Data = copies->Get(i);
    }
    // A type from an incomplete read would look whole in its window.
    if (Run(list)) OpenTypeObjectFromBlocks(App, copies.get());
}

void TfrmManager::actDeleteExecute() {
    if (!actDelete->isEnabled() || !App) return;
    const std::string name = BlockTree->GetSelectedTypeName(TTreeWidgetSink::NodeOf(DataTree->currentItem()));
    if (name.empty()) return;
    if (ShowMessageBox(this, App->Text(Msg::DeleteConfirm, name), TMsgIcon::Warning, TMsgButtons::YesNo) !=
        QMessageBox::Yes)
        return;
    DeleteType(name);
    actRefreshExecute();
}

void TfrmManager::DeleteType(const std::string& name) {
    TCommCmdList list;
    _CommCmd* c = list.Add();
    c->SuperService = 0;
    c->Service = csDeleteType;
    c->Caption = App->Text(Msg::DeletingType) + " " + name;
    c->Name = name.size() < 16 ? name + std::string(16 - name.size(), ' ') : name;
    if (Run(list)) ShowMessageBox(this, App->Text(Msg::TypeDeleted), TMsgIcon::Information);
}

void TfrmManager::DataTreeContextPopup(const QPoint& at) {
    if (QTreeWidgetItem* item = DataTree->itemAt(at)) DataTree->setCurrentItem(item);
    UpdateActions();
    PopupMenu->popup(DataTree->viewport()->mapToGlobal(at));
}

void TfrmManager::FormResize() {
    pnlConnectInfo->adjustSize();
    const QSize outer = Client->size();
    pnlConnectInfo->move((outer.width() - pnlConnectInfo->width()) / 2,
                         (outer.height() - pnlConnectInfo->height()) / 2);
}

// A closed window reads nothing more, also before it is destroyed.
void TfrmManager::closeEvent(QCloseEvent* event) {
    TManagerChild::closeEvent(event);
    if (event->isAccepted() && App) App->OnBlocksChanged = nullptr;
}

void TfrmManager::resizeEvent(QResizeEvent* event) {
    TManagerChild::resizeEvent(event);
    FormResize();
}

TMDICustomChild* OpenManager(_AppInterface* app) { return OpenManagerWindow<TfrmManager>(app); }
