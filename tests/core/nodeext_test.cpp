#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "NodeExt.h"

namespace {

// A tree view's node collection that records its items.
struct FakeItem : TTreeNode {
    FakeItem* Parent = nullptr;
    TNodeExt* Node = nullptr;
    std::string Text;
    int32_t Image = -1;
    std::vector<FakeItem*> Children;
};

class FakeTree : public TTreeNodes {
public:
    std::vector<std::unique_ptr<FakeItem>> Items;
    std::vector<FakeItem*> TopLevel;
    int Deleted = 0;

    TTreeNode* AddTopLevel(TNodeExt* node, const std::string& text, int32_t image) override {
        auto* item = Make(nullptr, node, text, image);
        TopLevel.push_back(item);
        return item;
    }
    TTreeNode* AddChild(TTreeNode* parent, TNodeExt* node, const std::string& text, int32_t image) override {
        auto* p = static_cast<FakeItem*>(parent);
        auto* item = Make(p, node, text, image);
        p->Children.push_back(item);
        return item;
    }
    TTreeNode* InsertBefore(TTreeNode* sibling, TNodeExt* node, const std::string& text, int32_t image) override {
        auto* s = static_cast<FakeItem*>(sibling);
        auto* item = Make(s->Parent, node, text, image);
        auto& list = s->Parent ? s->Parent->Children : TopLevel;
        list.insert(std::find(list.begin(), list.end(), s), item);
        return item;
    }
    void Update(TTreeNode* item, const std::string& text, int32_t image) override {
        auto* i = static_cast<FakeItem*>(item);
        i->Text = text;
        i->Image = image;
    }
    void Delete(TTreeNode* item) override {
        auto* i = static_cast<FakeItem*>(item);
        auto& list = i->Parent ? i->Parent->Children : TopLevel;
        list.erase(std::find(list.begin(), list.end(), i));
        ++Deleted;
    }

private:
    FakeItem* Make(FakeItem* parent, TNodeExt* node, const std::string& text, int32_t image) {
        Items.push_back(std::make_unique<FakeItem>());
        auto* item = Items.back().get();
        item->Parent = parent;
        item->Node = node;
        item->Text = text;
        item->Image = image;
        return item;
    }
};

FakeItem* ItemOf(TNodeExt* n) { return static_cast<FakeItem*>(n->TreeNode); }

}  // namespace

TEST(TNodeExt, MirrorsItsTreeIntoTheView) {
    FakeTree view;
    auto* root = new TNodeExt(&view, "Type");
    auto* a = new TNodeExt(root, 3, "A", 0);
    auto* b = new TNodeExt(root, 4, "", "abc", 1);
    auto* c = new TNodeExt(root, 5, "C", "x", 2);
    ASSERT_EQ(view.TopLevel.size(), 1u);
    EXPECT_EQ(ItemOf(root)->Image, 0);
    EXPECT_EQ(ItemOf(a)->Text, "A");
    EXPECT_EQ(ItemOf(a)->Image, 3);
    EXPECT_EQ(ItemOf(b)->Text, "abc");  // no name: the text alone
    EXPECT_EQ(ItemOf(c)->Text, "C: x");
    EXPECT_EQ(ItemOf(c)->Node, c);
    EXPECT_EQ(ItemOf(root)->Children, (std::vector<FakeItem*>{ItemOf(a), ItemOf(b), ItemOf(c)}));

    b->Update(9, 1, "B");
    EXPECT_EQ(ItemOf(b)->Text, "B");
    EXPECT_EQ(ItemOf(b)->Image, 9);
    EXPECT_TRUE(b->Text.empty());
    b->Update(9, 1, "B", "t");
    EXPECT_EQ(ItemOf(b)->Text, "B: t");

    auto* before = b->InsertBefore(7, 0, "New", "shown only in the node");
    EXPECT_EQ(ItemOf(before)->Text, "New");
    EXPECT_EQ(a->Next, before);
    EXPECT_EQ(before->Next, b);
    EXPECT_EQ(b->Back, before);
    EXPECT_EQ(ItemOf(root)->Children[1], ItemOf(before));

    auto* first = a->InsertBefore(8, 0, "First", "");
    EXPECT_EQ(root->FirstChild, first);
    EXPECT_EQ(first->Back, root);
    EXPECT_EQ(a->Parent(), root);
    EXPECT_EQ(root->InsertBefore(1, 1, "no", ""), nullptr);  // a root has no place to give

    delete root;
    EXPECT_EQ(view.Deleted, 6);
    EXPECT_TRUE(view.TopLevel.empty());
}

TEST(TNodeExt, DeletingRelinksSiblingsAndChildren) {
    FakeTree view;
    TNodeExt root(&view, "root");
    auto* a = new TNodeExt(&root, 1, "a", 0);
    auto* b = new TNodeExt(&root, 2, "b", 0);
    auto* c = new TNodeExt(&root, 3, "c", 0);
    for (int i = 0; i < 3; ++i) new TNodeExt(b, 10 + i, "child", 0);
    delete b;
    EXPECT_EQ(view.Deleted, 4);
    EXPECT_EQ(a->Next, c);
    EXPECT_EQ(c->Back, a);
    delete a;
    EXPECT_EQ(root.FirstChild, c);
    EXPECT_EQ(c->Back, &root);
}

TEST(TNodeExt, FindSearchesTheSubtreeAndFindFromTheFollowingSiblings) {
    TNodeExt root(nullptr, "root");  // no view at all
    auto* a = new TNodeExt(&root, 1, "a", 0);
    auto* a1 = new TNodeExt(a, 2, "x", 5);
    auto* b = new TNodeExt(&root, 2, "x", 6);
    new TNodeExt(b, 3, "deep", 7);

    EXPECT_EQ(root.Find(-1, -1, ""), &root);
    EXPECT_EQ(root.Find(2, -1, ""), a1);  // children before the children's siblings
    EXPECT_EQ(root.Find(-1, 6, "x"), b);
    EXPECT_EQ(root.Find(2, 6, "X"), nullptr);  // names match with case
    EXPECT_EQ(a->Find(-1, 6, ""), nullptr);    // the next sibling is not searched
    EXPECT_EQ(a->FindFrom(-1, 6, ""), b);
    EXPECT_EQ(a->FindFrom(3, -1, ""), b->FirstChild);
    EXPECT_EQ(a1->Parent(), a);
    EXPECT_EQ(root.Parent(), nullptr);
}
