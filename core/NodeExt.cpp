#include "NodeExt.h"

TNodeExt::TNodeExt(TTreeNodes* nodes, const std::string& name) : Name(name), Nodes(nodes) {
    if (Nodes) TreeNode = Nodes->AddTopLevel(this, Name, 0);
}

TNodeExt::TNodeExt(TNodeExt* parent, int32_t id, const std::string& name, int32_t subId)
    : Id(id), SubId(subId), Name(name) {
    LinkUnder(parent);
    if (Nodes) TreeNode = Nodes->AddChild(parent->TreeNode, this, ItemText(false), Id);
}

TNodeExt::TNodeExt(TNodeExt* parent, int32_t id, const std::string& name, const std::string& text, int32_t subId)
    : Id(id), SubId(subId), Name(name), Text(text) {
    LinkUnder(parent);
    if (Nodes) TreeNode = Nodes->AddChild(parent->TreeNode, this, ItemText(true), Id);
}

void TNodeExt::LinkUnder(TNodeExt* parent) {
    if (!parent) return;
    Nodes = parent->Nodes;
    if (!parent->FirstChild) {
        parent->FirstChild = this;
        Back = parent;
        return;
    }
    TNodeExt* last = parent->FirstChild;
    while (last->Next) last = last->Next;
    last->Next = this;
    Back = last;
}

TNodeExt::~TNodeExt() {
    while (FirstChild) delete FirstChild;  // each child unlinks itself
    if (!Back) {
        while (Next) delete Next;  // a root owns its following siblings
    } else {
        if (Back->FirstChild == this) Back->FirstChild = Next;
        else Back->Next = Next;
        if (Next) Next->Back = Back;
    }
    if (Nodes && TreeNode) Nodes->Delete(TreeNode);
}

TNodeExt* TNodeExt::Parent() const {
    const TNodeExt* n = this;
    while (n->Back && n->Back->FirstChild != n) n = n->Back;
    return n->Back;
}

bool TNodeExt::Matches(int32_t id, int32_t subId, const std::string& name) const {
    return (id == -1 || id == Id) && (subId == -1 || subId == SubId) && (name.empty() || name == Name);
}

TNodeExt* TNodeExt::Find(int32_t id, int32_t subId, const std::string& name) {
    if (Matches(id, subId, name)) return this;
    return FirstChild ? FirstChild->FindFrom(id, subId, name) : nullptr;
}

TNodeExt* TNodeExt::FindFrom(int32_t id, int32_t subId, const std::string& name) {
    for (TNodeExt* n = this; n; n = n->Next)
        if (TNodeExt* found = n->Find(id, subId, name)) return found;
    return nullptr;
}

std::string TNodeExt::ItemText(bool withText) const {
    if (!withText) return Name;
    if (Name.empty()) return Text;
    return Name + ": " + Text;
}

void TNodeExt::Update(int32_t id, int32_t subId, const std::string& name) {
    Id = id;
    SubId = subId;
    Name = name;
    Text.clear();
    if (Nodes && TreeNode) Nodes->Update(TreeNode, ItemText(false), Id);
}

void TNodeExt::Update(int32_t id, int32_t subId, const std::string& name, const std::string& text) {
    Id = id;
    SubId = subId;
    Name = name;
    Text = text;
    if (Nodes && TreeNode) Nodes->Update(TreeNode, ItemText(true), Id);
}

TNodeExt* TNodeExt::InsertBefore(int32_t id, int32_t subId, const std::string& name, const std::string& text) {
    if (!Back) return nullptr;  // a root has no place to take
    auto* node = new TNodeExt();
    node->Id = id;
    node->SubId = subId;
    node->Name = name;
    node->Text = text;
    node->Nodes = Nodes;
    node->Back = Back;
    node->Next = this;
    if (Back->FirstChild == this) Back->FirstChild = node;
    else Back->Next = node;
    Back = node;
    if (Nodes && TreeNode) node->TreeNode = Nodes->InsertBefore(TreeNode, node, node->Name, node->Id);
    return node;
}
