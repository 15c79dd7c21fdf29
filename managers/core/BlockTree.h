// The unit's memory blocks as a tree: one folder per type with its
// Parameters Text block and its tables, one folder per table that names no
// type. The tree is plain C++; a view shows it through TTreeSink.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QXBlock.h"

class TNode;

// The view a node tree is mirrored into. Items are the view's own handles.
class TTreeSink {
public:
    virtual ~TTreeSink() = default;
    // A new item under parent (null: top level) showing text with the image
    // and selected image `image`; node is the tree node behind it.
    virtual void* AddItem(void* parent, const std::string& text, uint32_t image, TNode* node) = 0;
    virtual void RemoveItem(void* item) = 0;
    virtual void Expand(void* item) = 0;
};

// Node kinds, also the image index of a node.
enum : uint32_t {
    nkRoot = 0,
    nkParameters = 1,
    nkTable = 2,
    nkTypeFolder = 10,
    nkTableFolder = 11,
};

class TNode {
public:
    // A root: kind 0, data 0, with an item at the sink's top level.
    TNode(TTreeSink* sink, const std::string& text);
    // Appended as the parent's last child, with an item under the parent's.
    TNode(TNode* parent, uint32_t kind, const std::string& text, uint32_t data);
    // Children first, then the node's own item.
    ~TNode();
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;

    static constexpr uint32_t Any = 0xFFFFFFFF;
    // This node, else its subtree in pre-order: the first node whose kind and
    // data match (Any matches every value) and whose text is equal (an empty
    // text matches every text).
    TNode* Find(uint32_t kind, uint32_t data, const std::string& text);

    uint32_t Kind = 0;
    uint32_t Data = 0;  // block nodes: index into the block-info list
    std::string Text;
    TNode* Parent = nullptr;
    std::vector<std::unique_ptr<TNode>> Children;
    TTreeSink* Sink = nullptr;
    void* Item = nullptr;
};

class TBlockTree {
public:
    using TTextFn = std::function<std::string(uint32_t id)>;
    TBlockTree(TTextFn text, const TQXBlockInfoList* blocks, TTreeSink* sink);
    ~TBlockTree();

    // Rebuilds the tree from the block-info list; with show false only
    // clears it.
    void Build(bool show);
    TNode* Root() const { return RootNode.get(); }

    // The Parameters node of the type the node belongs to, or none.
    TNode* FindParametersNode(TNode* node) const;
    // Appends the entries of every block of the type of the Parameters node
    // (or type folder): the Parameters Text block, then in list order its
    // Parameters Data blocks and its Table Text blocks, each of these
    // followed by its Table Data blocks.
    void CollectUploadBlocks(TQXBlockInfoList& result, TNode* node) const;
    // The padded name of the type the node belongs to, or "".
    std::string GetSelectedTypeName(TNode* node) const;

private:
    TTextFn Text;
    std::unique_ptr<TNode> RootNode;
    const TQXBlockInfoList* Blocks;
    TTreeSink* Sink;

    TNode* Folder(uint32_t kind, const std::string& text);
};
