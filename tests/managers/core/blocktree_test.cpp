// The block tree without a window: folders, block nodes, the Parameters node
// a node leads to, and the blocks collected for an upload.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "BlockTree.h"
#include "MessageIds.h"

namespace {

std::string English(uint32_t id) {
    static const std::map<uint32_t, std::string> texts = {
        {Msg::BlockTreeRoot, "QX318"},
        {Msg::BlockTreeType, "Type"},
        {Msg::BlockTreeTable, "Table"},
        {Msg::BlockTreeParameters, "Parameters"},
    };
    return texts.at(id);
}

struct B {
    uint32_t kind;
    std::string name, owner;
};

TQXBlockInfoList Infos(const std::vector<B>& blocks) {
    TQXBlockInfoList list;
    for (const B& b : blocks) {
        _QXBlockInfo* info = list.Add();
        info->Kind = b.kind;
        info->Name = b.name;
        info->OwnerName = b.owner;
    }
    return list;
}

// The tree as indented lines "<kind> <text>" (data for block nodes).
void Outline(const TNode* node, int depth, std::string& out) {
    out += std::string(depth, ' ') + std::to_string(node->Kind) + " " + node->Text;
    if (node->Kind == nkParameters || node->Kind == nkTable) out += " #" + std::to_string(node->Data);
    out += "\n";
    for (const auto& child : node->Children) Outline(child.get(), depth + 1, out);
}

// A sink that records what the view would hold.
class RecordingSink : public TTreeSink {
public:
    struct Item {
        void* parent;
        std::string text;
        uint32_t image;
        TNode* node;
        bool expanded = false;
    };
    std::map<void*, Item> Items;
    int Next = 1;
    void* AddItem(void* parent, const std::string& text, uint32_t image, TNode* node) override {
        void* handle = reinterpret_cast<void*>(static_cast<intptr_t>(Next++));
        if (parent) {
            EXPECT_TRUE(Items.count(parent)) << "child of an item that is gone";
        }
        Items[handle] = {parent, text, image, node};
        return handle;
    }
    void RemoveItem(void* item) override {
        for (const auto& [h, i] : Items) EXPECT_NE(i.parent, item) << "an item removed before its children";
        EXPECT_EQ(Items.erase(item), 1u);
    }
    void Expand(void* item) override { Items.at(item).expanded = true; }
};

const B PumpType{1, "PUMP            ", ""};
const B PumpData{3, "Main            ", "PUMP            "};
const B Speeds{2, "Speeds          ", "PUMP            "};
const B SpeedsData{4, "Speeds          ", "PUMP            "};
const B Curve{2, "Curve           ", "PUMP            "};
const B CurveData{4, "Curve           ", "PUMP            "};
const B Loose{2, "Loose           ", ""};
const B LooseData{4, "Loose           ", ""};
const B Fan{1, "FAN             ", ""};
const B FanData{3, "Main            ", "FAN             "};

struct TreeCase {
    const char* what;
    std::vector<B> blocks;
    std::string outline;
};

class BuildCases : public testing::TestWithParam<TreeCase> {};

TEST_P(BuildCases, ShowsFoldersAndBlockNodes) {
    const TreeCase& c = GetParam();
    const TQXBlockInfoList infos = Infos(c.blocks);
    RecordingSink sink;
    TBlockTree tree(English, &infos, &sink);
    tree.Build(true);
    ASSERT_NE(tree.Root(), nullptr);
    std::string out;
    Outline(tree.Root(), 0, out);
    EXPECT_EQ(out, c.outline);
    // The view holds exactly the nodes, with the kinds as images; the root
    // and the folders directly under it are expanded.
    size_t nodes = std::count(out.begin(), out.end(), '\n');
    EXPECT_EQ(sink.Items.size(), nodes);
    for (const auto& [h, item] : sink.Items) {
        EXPECT_EQ(item.node->Item, h);
        EXPECT_EQ(item.image, item.node->Kind);
        EXPECT_EQ(item.text, item.node->Text);
        const bool top = item.node == tree.Root() || item.node->Parent == tree.Root();
        EXPECT_EQ(item.expanded, top) << item.text;
    }
    tree.Build(false);
    EXPECT_EQ(tree.Root(), nullptr);
    EXPECT_TRUE(sink.Items.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BlockTree, BuildCases,
    testing::Values(
        TreeCase{"empty", {}, "0 QX318\n"},
        TreeCase{"type with two tables and data blocks",
                 {PumpType, PumpData, Speeds, SpeedsData, Curve, CurveData},
                 "0 QX318\n"
                 " 10 Type: PUMP            \n"
                 "  1 Parameters #0\n"
                 "  2 Table: Speeds           #2\n"
                 "  2 Table: Curve            #4\n"},
        TreeCase{"a table before its type's parameters makes the folder",
                 {Speeds, PumpType},
                 "0 QX318\n"
                 " 10 Type: PUMP            \n"
                 "  2 Table: Speeds           #0\n"
                 "  1 Parameters #1\n"},
        TreeCase{"a table without owner gets a folder of its own",
                 {Loose, LooseData, Fan},
                 "0 QX318\n"
                 " 11 Table: Loose           \n"
                 "  2 Table: Loose            #0\n"
                 " 10 Type: FAN             \n"
                 "  1 Parameters #2\n"},
        TreeCase{"two parameters blocks of one name share a folder",
                 {PumpType, Fan, PumpType},
                 "0 QX318\n"
                 " 10 Type: PUMP            \n"
                 "  1 Parameters #0\n"
                 "  1 Parameters #2\n"
                 " 10 Type: FAN             \n"
                 "  1 Parameters #1\n"},
        TreeCase{"blocks of unknown kinds and data blocks get no node",
                 {{0, "", ""}, {7, "X", ""}, PumpData, SpeedsData},
                 "0 QX318\n"}),
    [](const auto& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

// Nodes picked by a path of child indexes from the root.
TNode* At(TBlockTree& tree, std::vector<int> path) {
    TNode* node = tree.Root();
    for (int i : path) node = node->Children.at(i).get();
    return node;
}

struct UploadCase {
    const char* what;
    std::vector<B> blocks;
    std::vector<int> select;          // path from the root
    std::vector<int> collected;       // indexes into the block list
    std::string typeName;
};

class UploadCases : public testing::TestWithParam<UploadCase> {};

TEST_P(UploadCases, CollectsTheTypesBlocksInOrder) {
    const UploadCase& c = GetParam();
    TQXBlockInfoList infos = Infos(c.blocks);
    // Each entry points at a block of its own, so copies can be told apart.
    std::vector<TQXBlockMem> blocks(c.blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) infos.Get(static_cast<int32_t>(i))->Block = &blocks[i];
    TBlockTree tree(English, &infos, nullptr);
    tree.Build(true);
    TNode* node = At(tree, c.select);
    TQXBlockInfoList result;
    tree.CollectUploadBlocks(result, tree.FindParametersNode(node));
    std::vector<int> got;
    for (int32_t i = 0; i < result.Count(); ++i) {
        const _QXBlockInfo* r = result.Get(i);
        got.push_back(static_cast<int>(r->Block - blocks.data()));
        EXPECT_EQ(r->Name, c.blocks[got.back()].name);
        EXPECT_EQ(r->Kind, c.blocks[got.back()].kind);
    }
    EXPECT_EQ(got, c.collected);
    EXPECT_EQ(tree.GetSelectedTypeName(node), c.typeName);
}

INSTANTIATE_TEST_SUITE_P(
    BlockTree, UploadCases,
    testing::Values(
        UploadCase{"parameters node of a type with two tables and two data sets",
                   {Speeds, PumpType, SpeedsData, Fan, PumpData, Curve, {3, "Night", "PUMP            "}, CurveData,
                    SpeedsData, FanData},
                   {0, 1},
                   {1, 0, 2, 8, 4, 5, 7, 6},
                   "PUMP            "},
        UploadCase{"a table node leads to its type",
                   {PumpType, PumpData, Speeds, SpeedsData},
                   {0, 1},
                   {0, 1, 2, 3},
                   "PUMP            "},
        UploadCase{"the type folder uploads as its parameters node",
                   {PumpType, PumpData, Speeds, SpeedsData},
                   {0},
                   {0, 1, 2, 3},
                   "PUMP            "},
        UploadCase{"names compare exactly, padding and case included",
                   {PumpType, {3, "Main", "PUMP"}, {3, "Main", "pump            "}, PumpData},
                   {0, 0},
                   {0, 3},
                   "PUMP            "},
        UploadCase{"a table without owner uploads nothing", {Loose, LooseData}, {0, 0}, {}, ""},
        UploadCase{"a type folder without parameters block uploads nothing", {Speeds, SpeedsData}, {0, 0}, {}, ""},
        UploadCase{"the root uploads nothing", {PumpType}, {}, {}, ""}),
    [](const auto& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(BlockTree, FindMatchesAnyKindAndDataOnTheRootItself) {
    TNode root(nullptr, "QX318");
    auto* a = new TNode(&root, nkTypeFolder, "Type: A", 0);
    root.Children.emplace_back(a);
    auto* b = new TNode(a, nkParameters, "Parameters", 3);
    a->Children.emplace_back(b);
    EXPECT_EQ(root.Find(TNode::Any, TNode::Any, ""), &root);
    EXPECT_EQ(root.Find(nkParameters, TNode::Any, ""), b);
    EXPECT_EQ(root.Find(TNode::Any, 3, ""), b);
    EXPECT_EQ(root.Find(nkTypeFolder, 0, "Type: a"), nullptr);
    EXPECT_EQ(root.Find(nkTypeFolder, 0, "Type: A"), a);
}

}  // namespace
