// The node collection of a QTreeWidget as TNodeExt trees drive it: each
// TNodeExt item is a QTreeWidgetItem that knows its node. Image indexes
// become icons through a provider the window gives. A tree with state
// images takes its images from SetImages only (the node ids that come with
// the texts are no image indexes there), and draws the state image left of
// the image in the same icon.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <utility>

#include "NodeExt.h"

class TTreeWidgetItem : public QTreeWidgetItem, public TTreeNode {
public:
    explicit TTreeWidgetItem(TNodeExt* node) : Node(node) {}
    TNodeExt* Node;
    int32_t ImageIndex = -1;
    int32_t StateImageIndex = -1;
};

class TTreeWidgetNodes : public TTreeNodes {
public:
    using TIconProvider = std::function<QIcon(int32_t index)>;
    // stateImages may be empty when the tree shows no state images.
    TTreeWidgetNodes(QTreeWidget* tree, TIconProvider images, TIconProvider stateImages = {});

    TTreeNode* AddTopLevel(TNodeExt* node, const std::string& text, int32_t imageIndex) override;
    TTreeNode* AddChild(TTreeNode* parent, TNodeExt* node, const std::string& text, int32_t imageIndex) override;
    TTreeNode* InsertBefore(TTreeNode* sibling, TNodeExt* node, const std::string& text, int32_t imageIndex) override;
    void Update(TTreeNode* item, const std::string& text, int32_t imageIndex) override;
    void SetImages(TTreeNode* item, int32_t imageIndex, int32_t stateImageIndex) override;
    void Delete(TTreeNode* item) override;

    // The tree item of a QTreeWidgetItem of this tree (null for none).
    static TTreeWidgetItem* ItemOf(QTreeWidgetItem* item) { return dynamic_cast<TTreeWidgetItem*>(item); }
    static TNodeExt* NodeOf(QTreeWidgetItem* item) {
        TTreeWidgetItem* own = ItemOf(item);
        return own ? own->Node : nullptr;
    }
    // The width of the state image at the left of an item's icon; 0 when
    // the tree shows none.
    int StateImageWidth() const { return StateImages ? StateWidth : 0; }
    QTreeWidget* Tree() const { return TreeWidget; }

private:
    static constexpr int StateWidth = 16;
    static constexpr int Gap = 2;
    QTreeWidget* TreeWidget;
    TIconProvider Images;
    TIconProvider StateImages;
    std::map<std::pair<int32_t, int32_t>, QIcon> Composed;  // (image, state) -> icon

    TTreeWidgetItem* Make(TNodeExt* node, const std::string& text, int32_t imageIndex);
    void ShowIcon(TTreeWidgetItem* item);
};
