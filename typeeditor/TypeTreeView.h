// The left pane of a type window: the type's structure as a tree. The
// tree object owns the nodes (TNodeExt) and mirrors them into the window's
// tree widget; a rebuild keeps the user's place.
#pragma once

#include <QTreeWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "NodeExt.h"
#include "EnterReport.h"
#include "TypeSelection.h"
#include "TypeTreeNodes.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPoint;
class TTypeObjectData;
class TfrmTypeObject;
struct _AppInterface;

// The tree widget of a type window. It tells the tree object when it gets
// the focus and when the user moves the current item.
class TTypeTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit TTypeTreeWidget(QWidget* parent = nullptr);
    TEnterReport Enter;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// What the window hands its tree object.
struct _TypeTreeContext {
    TfrmTypeObject* Window = nullptr;
    TTypeObjectData* TypeObject = nullptr;
    TTypeTreeWidget* TreeView = nullptr;
    QLineEdit* EditBox = nullptr;
    QListWidget* CheckList = nullptr;
    QComboBox* SizeCombo = nullptr;
    QComboBox* UnitsCombo = nullptr;
    QComboBox* LanguagesCombo = nullptr;
    _AppInterface* App = nullptr;
    std::function<void()> OnModified;
    std::function<void()> OnSelectionChanged;
    std::function<void(const QPoint&)> OnContextPopup;
    const int32_t* CurrentLanguage = nullptr;
    // The pictures of the items by node id; none: no pictures.
    std::function<QIcon(int32_t)> Image;
};

// The node collection of a tree widget: every node's item carries its node.
class TQtTreeNodes : public TTreeNodes {
public:
    explicit TQtTreeNodes(QTreeWidget* tree, std::function<QIcon(int32_t)> image) : Tree(tree), Image(std::move(image)) {}
    TTreeNode* AddTopLevel(TNodeExt* node, const std::string& text, int32_t imageIndex) override;
    TTreeNode* AddChild(TTreeNode* parent, TNodeExt* node, const std::string& text, int32_t imageIndex) override;
    TTreeNode* InsertBefore(TTreeNode* sibling, TNodeExt* node, const std::string& text, int32_t imageIndex) override;
    void Update(TTreeNode* item, const std::string& text, int32_t imageIndex) override;
    void Delete(TTreeNode* item) override;

    static QTreeWidgetItem* Item(TTreeNode* node);
    static TNodeExt* NodeOf(const QTreeWidgetItem* item);

private:
    QTreeWidget* Tree;
    std::function<QIcon(int32_t)> Image;
    QTreeWidgetItem* NewItem(TNodeExt* node, const std::string& text, int32_t imageIndex);
};

class TTypeObjectTreeView {
public:
    explicit TTypeObjectTreeView(_TypeTreeContext* context);
    ~TTypeObjectTreeView();
    TTypeObjectTreeView(const TTypeObjectTreeView&) = delete;
    TTypeObjectTreeView& operator=(const TTypeObjectTreeView&) = delete;

    void Rebuild();
    _TypeSelection GetSelection() const { return Selection; }
    // Selects the item the record names (none: no item is selected). Reports
    // nothing: the caller knows what it selected.
    void Select(const _TypeSelection& selection);
    int32_t GetViewSlot() const { return -1; }
    void ExpandRoot();
    void HideEditors();

    TNodeExt* Root() const { return RootNode; }
    TNodeExt* CurrentNode() const { return Current; }

private:
    _TypeTreeContext* Context;
    std::unique_ptr<TQtTreeNodes> Nodes;
    TNodeExt* RootNode = nullptr;
    TTypeTreeTexts Texts;
    TNodeExt* Current = nullptr;
    _TypeSelection Selection;
    QMetaObject::Connection ChangeConnection;

    // The current item moved: the selection follows it.
    void TreeViewChange();
    void ReadCurrent();
};
