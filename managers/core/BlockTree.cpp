#include "BlockTree.h"

#include "MessageIds.h"

TNode::TNode(TTreeSink* sink, const std::string& text) : Text(text), Sink(sink) {
    if (Sink) Item = Sink->AddItem(nullptr, Text, nkRoot, this);
}

TNode::TNode(TNode* parent, uint32_t kind, const std::string& text, uint32_t data)
    : Kind(kind), Data(data), Text(text), Parent(parent), Sink(parent ? parent->Sink : nullptr) {
    if (Sink) Item = Sink->AddItem(parent->Item, Text, Kind, this);
}

TNode::~TNode() {
    // Children go before the item that holds theirs.
    while (!Children.empty()) Children.pop_back();
    if (Sink && Item) Sink->RemoveItem(Item);
}

TNode* TNode::Find(uint32_t kind, uint32_t data, const std::string& text) {
    if ((kind == Any || kind == Kind) && (data == Any || data == Data) && (text.empty() || text == Text)) return this;
    for (auto& child : Children)
        if (TNode* found = child->Find(kind, data, text)) return found;
    return nullptr;
}

TBlockTree::TBlockTree(TTextFn text, const TQXBlockInfoList* blocks, TTreeSink* sink)
    : Text(std::move(text)), Blocks(blocks), Sink(sink) {}

TBlockTree::~TBlockTree() = default;

TNode* TBlockTree::Folder(uint32_t kind, const std::string& text) {
    if (TNode* found = RootNode->Find(kind, 0, text)) return found;
    auto* folder = new TNode(RootNode.get(), kind, text, 0);
    RootNode->Children.emplace_back(folder);
    return folder;
}

void TBlockTree::Build(bool show) {
    RootNode.reset();
    if (!show) return;
    RootNode = std::make_unique<TNode>(Sink, Text(Msg::BlockTreeRoot));
    const std::string typeText = Text(Msg::BlockTreeType) + ": ";
    const std::string tableText = Text(Msg::BlockTreeTable) + ": ";
    const int32_t count = Blocks ? Blocks->Count() : 0;
    for (int32_t i = 0; i < count; ++i) {
        const _QXBlockInfo* info = Blocks->Get(i);
        TNode* folder = nullptr;
        uint32_t kind = 0;
        std::string text;
        if (info->Kind == BlockParametersText) {
            folder = Folder(nkTypeFolder, typeText + info->Name);
            kind = nkParameters;
            text = Text(Msg::BlockTreeParameters);
        } else if (info->Kind == BlockTableText) {
            folder = info->OwnerName.empty() ? Folder(nkTableFolder, tableText + info->Name)
                                             : Folder(nkTypeFolder, typeText + info->OwnerName);
            kind = nkTable;
            text = tableText + info->Name;
        } else {
            continue;
        }
        folder->Children.emplace_back(new TNode(folder, kind, text, static_cast<uint32_t>(i)));
    }
    if (Sink) {
        Sink->Expand(RootNode->Item);
        for (auto& child : RootNode->Children) Sink->Expand(child->Item);
    }
}

TNode* TBlockTree::FindParametersNode(TNode* node) const {
    if (!node) return nullptr;
    if (node->Kind == nkParameters) return node;
    if (node->Kind == nkTable) node = node->Parent;
    if (!node || node->Kind != nkTypeFolder) return nullptr;
    for (auto& child : node->Children)
        if (child->Kind == nkParameters) return child.get();
    return nullptr;
}

void TBlockTree::CollectUploadBlocks(TQXBlockInfoList& result, TNode* node) const {
    if (!node || !Blocks) return;
    if (node->Kind == nkTypeFolder) {
        TNode* last = nullptr;
        for (auto& child : node->Children)
            if (child->Kind == nkParameters) last = child.get();
        node = last;
    }
    if (!node || node->Kind != nkParameters) return;
    const _QXBlockInfo* type = Blocks->Get(static_cast<int32_t>(node->Data));
    if (!type) return;
    *result.Add() = *type;
    for (int32_t i = 0; i < Blocks->Count(); ++i) {
        const _QXBlockInfo* info = Blocks->Get(i);
        if (info->OwnerName != type->Name) continue;
        if (info->Kind == BlockParametersData) {
            *result.Add() = *info;
        } else if (info->Kind == BlockTableText) {
            *result.Add() = *info;
            for (int32_t k = 0; k < Blocks->Count(); ++k) {
                const _QXBlockInfo* data = Blocks->Get(k);
                if (data->Kind == BlockTableData && data->Name == info->Name && data->OwnerName == info->OwnerName)
                    *result.Add() = *data;
            }
        }
    }
}

std::string TBlockTree::GetSelectedTypeName(TNode* node) const {
    TNode* parameters = FindParametersNode(node);
    if (!parameters || !Blocks) return "";
    const _QXBlockInfo* type = Blocks->Get(static_cast<int32_t>(parameters->Data));
    return type ? type->Name : "";
}
