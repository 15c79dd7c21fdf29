// The left pane of a type window: the type's structure as a tree. The
// tree object owns the nodes (TNodeExt) and mirrors them into the window's
// tree widget; a rebuild keeps the user's place.
#pragma once

#include <QTreeWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "NodeExt.h"
#include "EnterReport.h"
#include "TypeSelection.h"
#include "TypeTreeNodes.h"

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class QPoint;
class TTypeObjectData;
struct _TableFieldInfo;
class TfrmTypeObject;
struct _AppInterface;

// The tree widget of a type window. It tells the tree object when it gets
// the focus and when the user moves the current item.
class TTypeTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit TTypeTreeWidget(QWidget* parent = nullptr);
    TEnterReport Enter;
    // Where the item's text stands in the viewport: from the left end of its
    // text to the right end of its text.
    QRect ItemTextRect(QTreeWidgetItem* item) const;

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
    int32_t* CurrentLanguage = nullptr;
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
    // Closes the open in-place editor: the edit box commits its text, a
    // combo box or the check list only what was accepted.
    void HideEditors();

    TNodeExt* Root() const { return RootNode; }

    // The in-place editors (TypeTreeEditors.cpp).
    enum class TEditor { None, EditBox, SizeCombo, UnitsCombo, CheckList };
    // Opens the editor of the current node, with its value or empty.
    void BeginEdit(bool withValue);
    TEditor OpenEditor() const { return Open; }

private:
    _TypeTreeContext* Context;
    std::unique_ptr<TQtTreeNodes> Nodes;
    TNodeExt* RootNode = nullptr;
    TTypeTreeTexts Texts;
    _TypeSelection Selection;
    QMetaObject::Connection ChangeConnection;

    // The current item moved: the selection follows it.
    void TreeViewChange();
    void ReadCurrent();

    // In-place editing: the accept flag of the combos and the check list,
    // the units text typed so far, the node being edited (by its id, its
    // sub-id and the sub-id of its table), and the editor open now.
    struct TEditedNode {
        int32_t Id = -1, Sub = -1, Table = -1;
    };
    uint8_t Accept = 0;
    std::string UnitsText;
    TEditedNode Edited;
    TEditor Open = TEditor::None;
    std::unique_ptr<QObject> EditorEvents;
    std::vector<QMetaObject::Connection> EditorConnections;

    void AttachEditors();
    void DetachEditors();
    bool TreeViewKeyPress(QKeyEvent* key);
    bool EditorKey(QWidget* editor, QKeyEvent* key);
    void EditorFocusLeft(QWidget* now);
    // Places the editors over the node's value; a pane too narrow for the
    // node's editor grows.
    void PlaceEditors(QTreeWidgetItem* item, const TNodeExt& node, QRect& box);
    int EditorWidth(int32_t id) const;
    // Shows a combo over the value, dropped down and focused.
    void OpenCombo(QComboBox* combo, TEditor editor, const QRect& box, const TEditedNode& edited);
    TEditedNode EditedNodeOf(const TNodeExt& node) const;
    _TableFieldInfo* EditedField() const;
    void edtEditTreeViewExit();
    void cmbboxFieldSizeExit();
    void cmbboxFieldUnitsExit();
    void chklbEditTreeViewExit();
    void RunExit();
    // What every exit ends with: the tree focused, the editor hidden, the
    // tree rebuilt and the change reported.
    void EndEdit(QWidget* editor);
};
