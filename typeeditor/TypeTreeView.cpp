#include "TypeTreeView.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "Appinterface.h"
#include "Images.h"
#include "QtText.h"

TTypeTreeWidget::TTypeTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    // Connected first, so that a click that moves the current item reports
    // once, as a change, and not once more as the focus arriving.
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { Enter.Moved(); });
}

void TTypeTreeWidget::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    Enter.FocusIn(event->reason());
}

void TTypeTreeWidget::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    Enter.AfterPress();
}

// ---------------------------------------------------------------- node collection

namespace {

class TQtTreeItem : public QTreeWidgetItem, public TTreeNode {
public:
    explicit TQtTreeItem(TNodeExt* node) : Node(node) {}
    TNodeExt* Node;
};

}  // namespace

// A node's id is the index of its picture.
static_assert(int{NodeRoot} == tiType && int{NodeParameters} == tiParameters && int{NodeTypeName} == tiTypeName &&
              int{NodeLanguage} == tiLanguage && int{NodeConfiguration} == tiConfiguration &&
              int{NodeTable} == tiTable && int{NodeTableName} == tiTableName && int{NodeFunction} == tiFunction &&
              int{NodeBlock} == tiBlock && int{NodeTableCfg} == tiTableCfg && int{NodeLevel} == tiLevel &&
              int{NodeRows} == tiRows && int{NodeFields} == tiFields && int{NodeField} == tiField &&
              int{NodeFieldName} == tiFieldName && int{NodeFieldUnits} == tiFieldUnits &&
              int{NodeFieldSize} == tiFieldSize && int{NodeCurrentLanguage} == tiCurrentLanguage &&
              int{NodeFieldFlags} == tiFieldFlags);

QTreeWidgetItem* TQtTreeNodes::NewItem(TNodeExt* node, const std::string& text, int32_t imageIndex) {
    auto* item = new TQtTreeItem(node);
    item->setText(0, QStr(text));
    if (Image) item->setIcon(0, Image(imageIndex));
    item->setData(0, Qt::UserRole, imageIndex);
    return item;
}

QTreeWidgetItem* TQtTreeNodes::Item(TTreeNode* node) { return dynamic_cast<TQtTreeItem*>(node); }

TNodeExt* TQtTreeNodes::NodeOf(const QTreeWidgetItem* item) {
    auto* own = dynamic_cast<const TQtTreeItem*>(item);
    return own ? own->Node : nullptr;
}

TTreeNode* TQtTreeNodes::AddTopLevel(TNodeExt* node, const std::string& text, int32_t imageIndex) {
    auto* item = NewItem(node, text, imageIndex);
    Tree->addTopLevelItem(item);
    return dynamic_cast<TQtTreeItem*>(item);
}

TTreeNode* TQtTreeNodes::AddChild(TTreeNode* parent, TNodeExt* node, const std::string& text, int32_t imageIndex) {
    auto* item = NewItem(node, text, imageIndex);
    if (QTreeWidgetItem* p = Item(parent)) p->addChild(item);
    else Tree->addTopLevelItem(item);
    return dynamic_cast<TQtTreeItem*>(item);
}

TTreeNode* TQtTreeNodes::InsertBefore(TTreeNode* sibling, TNodeExt* node, const std::string& text,
                                      int32_t imageIndex) {
    auto* item = NewItem(node, text, imageIndex);
    QTreeWidgetItem* s = Item(sibling);
    QTreeWidgetItem* parent = s ? s->parent() : nullptr;
    if (parent) parent->insertChild(parent->indexOfChild(s), item);
    else Tree->insertTopLevelItem(s ? Tree->indexOfTopLevelItem(s) : Tree->topLevelItemCount(), item);
    return dynamic_cast<TQtTreeItem*>(item);
}

void TQtTreeNodes::Update(TTreeNode* node, const std::string& text, int32_t imageIndex) {
    QTreeWidgetItem* item = Item(node);
    if (!item) return;
    const QString t = QStr(text);
    if (item->text(0) != t) item->setText(0, t);
    if (item->data(0, Qt::UserRole).toInt() != imageIndex) {
        item->setData(0, Qt::UserRole, imageIndex);
        if (Image) item->setIcon(0, Image(imageIndex));
    }
}

void TQtTreeNodes::Delete(TTreeNode* node) { delete Item(node); }

// ---------------------------------------------------------------- tree object

TTypeObjectTreeView::TTypeObjectTreeView(_TypeTreeContext* context) : Context(context), Texts(*context->App->Mls) {
    Nodes = std::make_unique<TQtTreeNodes>(Context->TreeView, Context->Image);
    TTypeTreeWidget* tree = Context->TreeView;
    ChangeConnection = QObject::connect(tree, &QTreeWidget::currentItemChanged, tree, [this] { TreeViewChange(); });
    tree->Enter.OnEnter = [this] {
        if (Context->OnSelectionChanged) Context->OnSelectionChanged();
    };
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(tree, &QWidget::customContextMenuRequested, tree, [this](const QPoint& pos) {
        if (Context->OnContextPopup) Context->OnContextPopup(pos);
    });
    AttachEditors();
}

TTypeObjectTreeView::~TTypeObjectTreeView() {
    DetachEditors();
    QObject::disconnect(ChangeConnection);
    Context->TreeView->Enter.OnEnter = nullptr;
    Context->TreeView->disconnect(Context->TreeView, &QWidget::customContextMenuRequested, nullptr, nullptr);
    const QSignalBlocker block(Context->TreeView);
    delete RootNode;
    RootNode = nullptr;
}

void TTypeObjectTreeView::Rebuild() {
    // Intermediate states report nothing.
    const QSignalBlocker block(Context->TreeView);
    Texts.Refetch(*Context->App->Mls);
    const int32_t language = Context->CurrentLanguage ? *Context->CurrentLanguage : 0;
    RebuildTypeTree(RootNode, Nodes.get(), *Context->TypeObject, language, Texts);
    // A deleted current item moves the tree's current item elsewhere.
    ReadCurrent();
}

void TTypeObjectTreeView::ReadCurrent() {
    Selection = SelectionOfNode(TQtTreeNodes::NodeOf(Context->TreeView->currentItem()));
}

void TTypeObjectTreeView::TreeViewChange() {
    ReadCurrent();
    if (Context->OnSelectionChanged) Context->OnSelectionChanged();
}

void TTypeObjectTreeView::Select(const _TypeSelection& selection) {
    const QSignalBlocker block(Context->TreeView);
    TNodeExt* node = NodeOfSelection(RootNode, selection);
    QTreeWidgetItem* item = node ? TQtTreeNodes::Item(node->TreeNode) : nullptr;
    if (item) Context->TreeView->setCurrentItem(item);
    else {
        Context->TreeView->setCurrentItem(nullptr);
        Context->TreeView->clearSelection();
    }
    ReadCurrent();
}

void TTypeObjectTreeView::ExpandRoot() {
    if (RootNode && RootNode->TreeNode)
        if (QTreeWidgetItem* item = TQtTreeNodes::Item(RootNode->TreeNode)) item->setExpanded(true);
}

void TTypeObjectTreeView::HideEditors() {
    // The open editor commits (what was accepted) and hides itself; the
    // others are hidden already.
    RunExit();
    for (QWidget* w : {static_cast<QWidget*>(Context->EditBox), static_cast<QWidget*>(Context->SizeCombo),
                       static_cast<QWidget*>(Context->UnitsCombo), static_cast<QWidget*>(Context->CheckList)})
        if (w) w->hide();
}
