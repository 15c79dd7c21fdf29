// A node of an own tree (first child, next sibling, back link) that can mirror
// itself into a tree view through the view's node collection.
#pragma once

#include <cstdint>
#include <string>

class TNodeExt;

// One item of a tree view; the view's side defines what it is.
class TTreeNode {
public:
    virtual ~TTreeNode() = default;
};

// The node collection of a tree view, as the tree nodes drive it. Each item
// made here carries the node it belongs to (the item's data).
class TTreeNodes {
public:
    virtual ~TTreeNodes() = default;
    virtual TTreeNode* AddTopLevel(TNodeExt* node, const std::string& text, int32_t imageIndex) = 0;
    // A new last child of parent.
    virtual TTreeNode* AddChild(TTreeNode* parent, TNodeExt* node, const std::string& text, int32_t imageIndex) = 0;
    // A new item in front of sibling, under sibling's parent.
    virtual TTreeNode* InsertBefore(TTreeNode* sibling, TNodeExt* node, const std::string& text,
                                    int32_t imageIndex) = 0;
    // New text, and image and selected index.
    virtual void Update(TTreeNode* item, const std::string& text, int32_t imageIndex) = 0;
    // New image and selected index, and state image index, of an item whose
    // owner draws its own images (the menu shows visibility as a state
    // image). A view without state images may ignore it.
    virtual void SetImages(TTreeNode* /*item*/, int32_t /*imageIndex*/, int32_t /*stateImageIndex*/) {}
    virtual void Delete(TTreeNode* item) = 0;
};

class TNodeExt {
public:
    int32_t Id = 0;
    int32_t SubId = 0;
    std::string Name;
    std::string Text;
    TNodeExt* Back = nullptr;        // previous sibling; for a first child its parent; null for a root
    TNodeExt* Next = nullptr;        // next sibling
    TNodeExt* FirstChild = nullptr;
    TTreeNodes* Nodes = nullptr;     // not owned; null = not mirrored
    TTreeNode* TreeNode = nullptr;   // this node's item when mirrored

    // A root; with a node collection it gets a new top-level item.
    TNodeExt(TTreeNodes* nodes, const std::string& name);
    // A child appended after the parent's last child.
    TNodeExt(TNodeExt* parent, int32_t id, const std::string& name, int32_t subId);
    TNodeExt(TNodeExt* parent, int32_t id, const std::string& name, const std::string& text, int32_t subId);
    // Deletes the children; a root deletes its following siblings, any other
    // node unlinks itself; then the node's item goes.
    ~TNodeExt();

    TNodeExt(const TNodeExt&) = delete;
    TNodeExt& operator=(const TNodeExt&) = delete;

    // This node or the first match in its subtree (pre-order); -1 and an empty
    // name match anything.
    TNodeExt* Find(int32_t id, int32_t subId, const std::string& name);
    // The same over this node, its subtree, then its following siblings.
    TNodeExt* FindFrom(int32_t id, int32_t subId, const std::string& name);

    void Update(int32_t id, int32_t subId, const std::string& name);
    void Update(int32_t id, int32_t subId, const std::string& name, const std::string& text);

    // A new node linked as this node's previous sibling; never for a root.
    TNodeExt* InsertBefore(int32_t id, int32_t subId, const std::string& name, const std::string& text);

    TNodeExt* Parent() const;  // null for a root and its following siblings

private:
    TNodeExt() = default;
    bool Matches(int32_t id, int32_t subId, const std::string& name) const;
    void LinkUnder(TNodeExt* parent);
    std::string ItemText(bool withText) const;
};
