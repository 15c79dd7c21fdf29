#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "IniFile.h"
#include "QXMenu.h"

namespace {

// A tree view that keeps its items as a list of rows with parent links, so a
// test can print the tree it shows.
struct Row : TTreeNode {
    Row* Up = nullptr;
    TNodeExt* Node = nullptr;
    std::string Caption;
    int32_t Image = -1;
    int32_t State = -1;
    bool Alive = true;
};

class MenuView : public TTreeNodes {
public:
    std::vector<std::unique_ptr<Row>> Rows;  // in display order among siblings

    TTreeNode* AddTopLevel(TNodeExt* node, const std::string& text, int32_t image) override {
        return Place(Rows.size(), nullptr, node, text, image);
    }
    TTreeNode* AddChild(TTreeNode* parent, TNodeExt* node, const std::string& text, int32_t image) override {
        return Place(Rows.size(), static_cast<Row*>(parent), node, text, image);
    }
    TTreeNode* InsertBefore(TTreeNode* sibling, TNodeExt* node, const std::string& text, int32_t image) override {
        auto* s = static_cast<Row*>(sibling);
        return Place(IndexOf(s), s->Up, node, text, image);
    }
    void Update(TTreeNode* item, const std::string& text, int32_t image) override {
        auto* r = static_cast<Row*>(item);
        r->Caption = text;
        r->Image = image;
    }
    void SetImages(TTreeNode* item, int32_t image, int32_t state) override {
        auto* r = static_cast<Row*>(item);
        r->Image = image;
        r->State = state;
    }
    void Delete(TTreeNode* item) override { static_cast<Row*>(item)->Alive = false; }

    int Live() const {
        return static_cast<int>(std::count_if(Rows.begin(), Rows.end(), [](const auto& r) { return r->Alive; }));
    }
    // The shown tree as "caption(child,child)" from the top-level items.
    std::string Show() const {
        return Print(nullptr, [](const Row& r) { return r.Caption; });
    }
    // The same with the node ids in place of the captions.
    std::string Ids() const {
        return Print(nullptr, [](const Row& r) { return std::to_string(r.Node->Id); });
    }

private:
    template <typename Label>
    std::string Print(const Row* up, Label label) const {
        std::string out;
        bool first = true;
        for (const auto& r : Rows) {
            if (!r->Alive || r->Up != up) continue;
            if (!first) out += ',';
            first = false;
            out += label(*r);
            if (std::any_of(Rows.begin(), Rows.end(), [&](const auto& c) { return c->Alive && c->Up == r.get(); }))
                out += "(" + Print(r.get(), label) + ")";
        }
        return out;
    }
    size_t IndexOf(const Row* r) const {
        for (size_t i = 0; i < Rows.size(); ++i)
            if (Rows[i].get() == r) return i;
        return Rows.size();
    }
    Row* Place(size_t at, Row* up, TNodeExt* node, const std::string& text, int32_t image) {
        auto row = std::make_unique<Row>();
        row->Up = up;
        row->Node = node;
        row->Caption = text;
        row->Image = image;
        Row* raw = row.get();
        Rows.insert(Rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
        return raw;
    }
};

std::vector<int32_t> Parents(const TQXMenuData& m) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < m.GetMenuItemCount(); ++i) out.push_back(m.GetMenuItemParent(i));
    return out;
}

std::vector<std::string> Names(const TQXMenuData& m, int32_t language = 0) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < m.GetMenuItemCount(); ++i) out.push_back(m.GetMenuItemName(language, i));
    return out;
}

// Every item below the root has one node, under its parent's node, and the
// tree item of item i leads back to i.
void ExpectTreeFollowsItems(const TQXMenuData& m) {
    for (int32_t i = 0; i < m.GetMenuItemCount(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        auto* row = static_cast<Row*>(m.GetTreeNode(i));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(m.GetMenuItemIndex(row), i);
        if (i > 0) {
            ASSERT_NE(row->Up, nullptr);
            EXPECT_EQ(m.GetMenuItemIndex(row->Up), m.GetMenuItemParent(i));
        }
    }
}

// The menu of the examples: 0 root, 1 under 0, 2 under 1, 3 under 0; one
// language whose names are r, a, b, c.
class MenuTest : public ::testing::Test {
protected:
    MenuView view;
    TQXMenuData linked{nullptr, nullptr, -1};
    TQXMenuData menu{&view, &linked, -1};

    void SetUp() override {
        for (TQXMenuData* m : {&linked, &menu}) {
            m->AddLanguage();
            m->AddMenuItem(0);
        }
        menu.AddMenuItem(0);  // each of these is repeated on the linked menu
        menu.AddMenuItem(1);
        menu.AddMenuItem(0);
        const char* names[] = {"r", "a", "b", "c"};
        for (int32_t i = 0; i < 4; ++i) {
            menu.SetMenuItemName(0, i, names[i]);
            linked.SetMenuItemName(0, i, std::string("L") + names[i]);
        }
        menu.DisplayLanguage = 0;
        menu.RefreshTree();
    }
};

}  // namespace

TEST(TQXMenuData, StartsWithoutItemsAndAddsTheRootWithoutANode) {
    MenuView view;
    TQXMenuData linked(nullptr, nullptr, -1);
    TQXMenuData menu(&view, &linked, -1);
    EXPECT_EQ(menu.GetMenuItemCount(), 0);
    EXPECT_EQ(view.Live(), 1);  // the root node's tree item
    EXPECT_EQ(menu.DisplayLanguage, -1);
    EXPECT_EQ(menu.ImageIndex, -1);
    EXPECT_EQ(menu.StateImageIndex, -1);
    EXPECT_EQ(menu.ShowLinked, 0);
    EXPECT_EQ(menu.GetTreeNode(0), view.Rows[0].get());

    EXPECT_TRUE(menu.CanAddMenuItem(0));
    EXPECT_FALSE(menu.CanAddMenuItem(1));
    menu.AddMenuItem(0);
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_EQ(menu.GetMenuItemParent(0), 0);
    EXPECT_EQ(view.Live(), 1);
    EXPECT_EQ(linked.GetMenuItemCount(), 0);  // the root is not repeated

    menu.AddMenuItem(0);  // repeated: the linked menu's own check lets it make its root
    EXPECT_EQ(linked.GetMenuItemCount(), 1);
    EXPECT_EQ(view.Ids(), "0(1)");
}

TEST(TQXMenuData, ChecksTheLimitsOfItemsLanguagesAndInfNotItems) {
    TQXMenuData menu(nullptr, nullptr, -1);
    for (int i = 0; i < 3; ++i) menu.AddMenuItem(0);
    EXPECT_FALSE(menu.CanAddMenuItem(3));
    EXPECT_FALSE(menu.CanAddMenuItem(-1));
    EXPECT_TRUE(menu.CanAddMenuItem(2));
    EXPECT_TRUE(menu.CanAddMenuItem(0));
    EXPECT_FALSE(menu.CanInsertMenuItem(0));
    EXPECT_TRUE(menu.CanInsertMenuItem(2));
    EXPECT_FALSE(menu.CanInsertMenuItem(3));
    EXPECT_FALSE(menu.CanDeleteMenuItem(0));
    EXPECT_TRUE(menu.CanDeleteMenuItem(2));
    EXPECT_FALSE(menu.CanDeleteMenuItem(3));
    menu.InsertMenuItem(0);
    menu.DeleteMenuItem(0);
    EXPECT_EQ(menu.GetMenuItemCount(), 3);

    while (menu.GetMenuItemCount() < 1000) menu.AddMenuItem(0);
    EXPECT_FALSE(menu.CanAddMenuItem(0));
    EXPECT_FALSE(menu.CanInsertMenuItem(1));
    menu.AddMenuItem(0);
    menu.InsertMenuItem(1);
    EXPECT_EQ(menu.GetMenuItemCount(), 1000);

    EXPECT_FALSE(menu.CanInsertLanguage(0));
    EXPECT_FALSE(menu.CanDeleteLanguage(0));
    for (int i = 0; i < 10; ++i) EXPECT_NE(menu.AddLanguage(), nullptr);
    EXPECT_FALSE(menu.CanAddLanguage());
    EXPECT_FALSE(menu.CanInsertLanguage(0));
    EXPECT_EQ(menu.AddLanguage(), nullptr);
    EXPECT_EQ(menu.InsertLanguage(0), nullptr);
    EXPECT_TRUE(menu.CanDeleteLanguage(9));
    EXPECT_FALSE(menu.CanDeleteLanguage(10));
    EXPECT_EQ(menu.GetLanguageCount(), 10);

    EXPECT_FALSE(menu.CanInsertInfNotItem(0));
    while (menu.GetInfNotCount() < 1000) menu.AddInfNotItem();
    EXPECT_FALSE(menu.CanAddInfNotItem());
    EXPECT_FALSE(menu.CanInsertInfNotItem(0));
    EXPECT_TRUE(menu.CanDeleteInfNotItem(999));
    menu.AddInfNotItem();
    menu.InsertInfNotItem(0);
    EXPECT_EQ(menu.GetInfNotCount(), 1000);
}

TEST_F(MenuTest, BuildsTheTreeAndRepeatsItsChangesOnTheLinkedMenu) {
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 1, 0}));
    EXPECT_EQ(Parents(linked), Parents(menu));
    EXPECT_EQ(view.Show(), "r(a(b),c)");
    EXPECT_EQ(view.Ids(), "0(1(2),3)");
    ExpectTreeFollowsItems(menu);
}

TEST_F(MenuTest, InsertedItemBecomesThePreviousSiblingAndRenumbersTheRest) {
    menu.InsertMenuItem(1);
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 0, 2, 0}));
    EXPECT_EQ(Names(menu), (std::vector<std::string>{"r", "", "a", "b", "c"}));
    EXPECT_EQ(view.Show(), "r(,a(b),c)");
    EXPECT_EQ(view.Ids(), "0(1,2(3),4)");
    ExpectTreeFollowsItems(menu);
    EXPECT_EQ(Parents(linked), Parents(menu));
    EXPECT_EQ(Names(linked), (std::vector<std::string>{"Lr", "", "La", "Lb", "Lc"}));

    menu.InsertMenuItem(3);  // before a first child: the new node is the parent's first child
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 0, 2, 2, 0}));
    EXPECT_EQ(view.Ids(), "0(1,2(3,4),5)");
    ExpectTreeFollowsItems(menu);
    menu.InsertMenuItem(5);  // count - 1 is allowed
    EXPECT_EQ(view.Ids(), "0(1,2(3,4),5,6)");
    EXPECT_EQ(Parents(linked), Parents(menu));
}

TEST_F(MenuTest, DeletedItemTakesItsSubtreeWithIt) {
    menu.DeleteMenuItem(1);
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(Names(menu), (std::vector<std::string>{"r", "c"}));
    EXPECT_EQ(view.Show(), "r(c)");
    EXPECT_EQ(view.Ids(), "0(1)");
    EXPECT_EQ(view.Live(), 2);
    ExpectTreeFollowsItems(menu);
    EXPECT_EQ(Names(linked), (std::vector<std::string>{"Lr", "Lc"}));
    EXPECT_EQ(Parents(linked), Parents(menu));
}

TEST_F(MenuTest, DeepTreeRenumbersParentsAcrossInsertAndDelete) {
    // 4 under 3, 5 under 4, 6 under 2: r(a(b(f)),c(d(e)))
    menu.AddMenuItem(3);
    menu.AddMenuItem(4);
    menu.AddMenuItem(2);
    EXPECT_EQ(view.Ids(), "0(1(2(6)),3(4(5)))");
    menu.InsertMenuItem(2);
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 1, 1, 0, 4, 5, 3}));
    EXPECT_EQ(view.Ids(), "0(1(2,3(7)),4(5(6)))");
    ExpectTreeFollowsItems(menu);
    menu.DeleteMenuItem(4);
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 1, 1, 3}));
    EXPECT_EQ(view.Ids(), "0(1(2,3(4)))");
    ExpectTreeFollowsItems(menu);
    EXPECT_EQ(Parents(linked), Parents(menu));
}

TEST_F(MenuTest, StructuralChangesKeepEveryLanguageAligned) {
    menu.AddLanguage();
    menu.SetMenuItemName(1, 3, "c1");
    menu.SetMenuItemHelp(0, 3, "help c");
    menu.InsertMenuItem(3);
    EXPECT_EQ(menu.GetMenuItemName(1, 4), "c1");
    EXPECT_EQ(menu.GetMenuItemHelp(0, 4), "help c");
    EXPECT_EQ(menu.GetMenuItemHelp(0, 3), "");
    menu.DeleteMenuItem(1);
    EXPECT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_EQ(menu.GetMenuItemName(1, 2), "c1");
    EXPECT_EQ(menu.GetMenuItemHelp(0, 2), "help c");
}

TEST(TQXMenuData, NewLanguagesHoldAnEmptyTextForEveryItem) {
    TQXMenuData menu(nullptr, nullptr, -1);
    for (int i = 0; i < 12; ++i) menu.AddMenuItem(0);
    for (int i = 0; i < 3; ++i) menu.AddInfNotItem();
    _QXMenuLanguage* l = menu.AddLanguage();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->ItemNames.Count(), 12);
    EXPECT_EQ(l->ItemHelps.Count(), 12);
    EXPECT_EQ(l->InfNotTexts.Count(), 3);
    EXPECT_EQ(std::string(l->Name), "");
    for (int32_t i = 0; i < 12; ++i) EXPECT_EQ(menu.GetMenuItemName(0, i), "");

    menu.SetLanguageName(0, "first");
    menu.AddLanguage();
    menu.SetLanguageName(1, "second");
    _QXMenuLanguage* inserted = menu.InsertLanguage(1);
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(inserted->ItemNames.Count(), 12);
    EXPECT_EQ(inserted->InfNotTexts.Count(), 3);
    EXPECT_EQ(menu.GetLanguageName(2), "second");
    menu.DeleteLanguage(0);
    EXPECT_EQ(menu.GetLanguageName(0), "");
    EXPECT_EQ(menu.GetLanguageName(1), "second");
    menu.DeleteLanguage(2);
    EXPECT_EQ(menu.GetLanguageCount(), 2);
}

TEST(TQXMenuData, TextsAreCutToTheirFieldsAndBadIndexesChangeNothing) {
    TQXMenuData menu(nullptr, nullptr, -1);
    menu.AddMenuItem(0);
    menu.AddMenuItem(0);
    menu.AddInfNotItem();
    _QXMenuLanguage* language = menu.AddLanguage();
    const std::string long200(200, 'x');
    struct Case {
        const char* what;
        void (TQXMenuData::*set)(int32_t, int32_t, std::string_view);
        std::string (TQXMenuData::*get)(int32_t, int32_t) const;
        size_t keep;
    };
    const Case cases[] = {
        {"name", &TQXMenuData::SetMenuItemName, &TQXMenuData::GetMenuItemName, 17},
        {"help", &TQXMenuData::SetMenuItemHelp, &TQXMenuData::GetMenuItemHelp, 127},
        {"infnot", &TQXMenuData::SetInfNotText, &TQXMenuData::GetInfNotText, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz" + long200;
        (menu.*c.set)(0, 0, text);
        EXPECT_EQ((menu.*c.get)(0, 0), text.substr(0, c.keep));
        (menu.*c.set)(0, 0, "short");
        EXPECT_EQ((menu.*c.get)(0, 0), "short");  // a shorter text leaves nothing of the longer one
        (menu.*c.set)(-1, 0, "bad");
        (menu.*c.set)(1, 0, "bad");
        (menu.*c.set)(0, 5, "bad");
        (menu.*c.set)(0, -1, "bad");
        EXPECT_EQ((menu.*c.get)(0, 0), "short");
        EXPECT_EQ((menu.*c.get)(-1, 0), "");
        EXPECT_EQ((menu.*c.get)(1, 0), "");
        EXPECT_EQ((menu.*c.get)(0, 5), "");
    }
    menu.SetLanguageName(0, "Languages12");
    EXPECT_EQ(menu.GetLanguageName(0), "Languages1");
    EXPECT_EQ(menu.GetLanguageName(-1), "");
    menu.SetMenuItemHelp(0, 1, "line one\r\nline two");
    EXPECT_EQ(menu.GetMenuItemHelp(0, 1), "line one\r\nline two");
    // Nothing of a former, longer text stays behind the terminator.
    const char* name = language->ItemNames.Get(0)->Text;
    EXPECT_EQ(std::string(name, 18), std::string("short") + std::string(13, '\0'));
    EXPECT_EQ(std::string(language->Name, 11), std::string("Languages1") + '\0');
    menu.SetMenuItemName(0, 0, std::string("ab\0cd", 5));  // a text ends at its first NUL
    EXPECT_EQ(std::string(name, 18), std::string("ab") + std::string(16, '\0'));
}

TEST_F(MenuTest, InfNotItemsKeepTheirTextsInEveryLanguageAndFollowTheLinkedMenu) {
    menu.AddLanguage();
    for (int k = 0; k < 3; ++k) menu.AddInfNotItem();
    EXPECT_EQ(linked.GetInfNotCount(), 3);
    for (int32_t k = 0; k < 3; ++k) {
        menu.SetInfNotText(0, k, "t" + std::to_string(k));
        menu.SetInfNotText(1, k, "u" + std::to_string(k));
        menu.SetInfNotRange(k, 10 + k);
    }
    menu.InsertInfNotItem(1);
    EXPECT_EQ(menu.GetInfNotCount(), 4);
    EXPECT_EQ(linked.GetInfNotCount(), 4);
    EXPECT_EQ(menu.GetInfNotText(0, 1), "");
    EXPECT_EQ(menu.GetInfNotRange(1), 0);
    EXPECT_EQ(menu.GetInfNotText(1, 2), "u1");
    EXPECT_EQ(menu.GetInfNotRange(2), 11);
    menu.DeleteInfNotItem(0);
    EXPECT_EQ(linked.GetInfNotCount(), 3);
    EXPECT_EQ(menu.GetInfNotText(0, 1), "t1");
    EXPECT_EQ(menu.GetInfNotText(1, 2), "u2");
    EXPECT_EQ(menu.GetInfNotRange(2), 12);
    menu.InsertInfNotItem(3);  // only before an existing item
    menu.DeleteInfNotItem(3);
    EXPECT_EQ(menu.GetInfNotCount(), 3);
    // Language operations stay with the menu.
    EXPECT_EQ(linked.GetLanguageCount(), 1);
}

TEST(TQXMenuData, RangesKeepTheirLowByteAndCutTheTexts) {
    TQXMenuData menu(nullptr, nullptr, -1);
    menu.AddInfNotItem();
    menu.AddLanguage();
    menu.AddLanguage();
    EXPECT_EQ(menu.GetInfNotRange(0), 0);
    EXPECT_EQ(menu.GetInfNotRange(1), 0);
    menu.SetInfNotRange(0, 0x105);
    EXPECT_EQ(menu.GetInfNotRange(0), 5);
    menu.SetInfNotRange(0, -1);
    EXPECT_EQ(menu.GetInfNotRange(0), 255);
    menu.SetInfNotRange(3, 7);  // no such item

    struct Case {
        int32_t range;
        const char* left0;
        const char* left1;
    };
    for (const Case c : {Case{5, "abcd", "ABCD"}, Case{2, "a", "A"}, Case{1, "", ""}, Case{0, "", ""},
                         Case{20, "abcdefghijklmnopqrs", "ABCDEFG"}}) {
        SCOPED_TRACE(c.range);
        menu.SetInfNotText(0, 0, "abcdefghijklmnopqrs");
        menu.SetInfNotText(1, 0, "ABCDEFG");
        menu.SetInfNotRange(0, c.range);
        menu.TruncateInfNotText(0);
        EXPECT_EQ(menu.GetInfNotText(0, 0), c.left0);
        EXPECT_EQ(menu.GetInfNotText(1, 0), c.left1);
    }
    menu.TruncateInfNotText(-1);
}

TEST_F(MenuTest, StatesReachTheWholeSubtreeAndOnlyIt) {
    menu.AddMenuItem(2);  // 4 under b: depth 3 below the root
    menu.SetMenuItemState(3, 0x40);
    menu.SetMenuItemStateRecursive(1, 0x81);
    for (int32_t i : {1, 2, 4}) EXPECT_EQ(menu.GetMenuItemState(i), 0x81) << i;
    EXPECT_EQ(menu.GetMenuItemState(0), 0);
    EXPECT_EQ(menu.GetMenuItemState(3), 0x40);  // other bits are kept as they are
    EXPECT_EQ(menu.GetMenuItemState(9), 0);
    menu.SetMenuItemState(9, 1);
    menu.SetMenuItemStateRecursive(0, 1);
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(menu.GetMenuItemState(i), 1) << i;
    EXPECT_EQ(linked.GetMenuItemState(1), 0);  // states stay with the menu
}

TEST_F(MenuTest, RefreshTreeLabelsTheNodesAndShowsVisibility) {
    menu.ImageIndex = 51;
    menu.StateImageIndex = 1;
    menu.SetMenuItemStateRecursive(1, 1);
    menu.RefreshTree();
    EXPECT_EQ(view.Show(), "r(a(b),c)");
    for (int32_t i = 0; i < 4; ++i) {
        auto* row = static_cast<Row*>(menu.GetTreeNode(i));
        EXPECT_EQ(row->Image, 51);
        EXPECT_EQ(row->State, i == 1 || i == 2 ? 2 : 1) << i;
    }

    menu.ShowLinked = 1;
    menu.RefreshTree();
    EXPECT_EQ(view.Show(), "(Lr): r((La): a((Lb): b),(Lc): c)");
    menu.DisplayLanguage = -1;
    menu.RefreshTree();
    EXPECT_EQ(view.Show(), "(Lr): ?((La): ?((Lb): ?),(Lc): ?)");
    menu.LinkedLanguage = 0;  // the linked menu has no language 1
    menu.RefreshTree();
    EXPECT_EQ(view.Show(), "(): ?((): ?((): ?),(): ?)");
    menu.DisplayLanguage = 3;  // not a language: empty names
    menu.ShowLinked = 0;
    menu.RefreshTree();
    EXPECT_EQ(view.Show(), "((),)");

    linked.DeleteMenuItem(3);  // fewer linked items: "()" for the missing one
    menu.DisplayLanguage = 0;
    menu.LinkedLanguage = -1;
    menu.ShowLinked = 1;
    menu.RefreshTree();
    EXPECT_EQ(view.Show(), "(Lr): r((La): a((Lb): b),(): c)");
}

TEST_F(MenuTest, TreeItemsAndItemIndexesLeadToEachOther) {
    ExpectTreeFollowsItems(menu);
    EXPECT_EQ(menu.GetMenuItemIndex(nullptr), -1);
    Row foreign;
    EXPECT_EQ(menu.GetMenuItemIndex(&foreign), -1);
    EXPECT_EQ(menu.GetTreeNode(-1), nullptr);
    EXPECT_EQ(menu.GetTreeNode(4), nullptr);
    EXPECT_EQ(linked.GetTreeNode(1), nullptr);  // a menu without a tree
}

TEST_F(MenuTest, ClearLeavesABareRootAndTheLinkedMenu) {
    menu.AddInfNotItem();
    menu.Clear();
    EXPECT_EQ(menu.GetMenuItemCount(), 0);
    EXPECT_EQ(menu.GetInfNotCount(), 0);
    EXPECT_EQ(menu.GetLanguageCount(), 0);
    EXPECT_EQ(view.Live(), 1);
    EXPECT_EQ(view.Ids(), "0");
    EXPECT_EQ(linked.GetMenuItemCount(), 4);
    EXPECT_EQ(linked.GetInfNotCount(), 1);
    menu.AddMenuItem(0);
    menu.AddMenuItem(0);
    EXPECT_EQ(view.Ids(), "0(1)");
}

TEST(TQXMenuData, FreeingTheMenuRemovesItsTreeItems) {
    MenuView view;
    {
        TQXMenuData menu(&view, nullptr, -1);
        for (int i = 0; i < 5; ++i) menu.AddMenuItem(i / 2);
        EXPECT_EQ(view.Live(), 5);
    }
    EXPECT_EQ(view.Live(), 0);
}

TEST(TQXMenuData, LoadingBuildsTheTreeAndAFailedLoadLeavesTheBareRoot) {
    MenuView view;
    TQXMenuData menu(&view, nullptr, -1);
    menu.DisplayLanguage = 0;
    TMemIniFile ini;
    ini.SetText("[General]\nMenuCount=4\nLanguages=1\nLanguage1=E\n[Menu Connections]\n2=1\n3=1\n"
                "[Menu E]\n0=r\n1=a\n2=b\n3=c\n");
    ASSERT_TRUE(menu.LoadFromIni(ini));
    EXPECT_EQ(view.Show(), "r(a(b,c))");
    ExpectTreeFollowsItems(menu);

    ini.SetText("[General]\nMenuCount=1001\n");
    EXPECT_FALSE(menu.LoadFromIni(ini));
    EXPECT_EQ(menu.GetMenuItemCount(), 0);
    EXPECT_EQ(view.Live(), 1);
    EXPECT_EQ(view.Ids(), "0");
}
