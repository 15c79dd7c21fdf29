// The nodes of the type tree: what each node shows, that a rebuild keeps
// the nodes of elements that still exist, and what a node selects.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Messages.h"
#include "Mlsunit.h"
#include "../TypeSamples.h"
#include "TypeTreeNodes.h"

namespace {

struct Tree {
    uint8_t Formats[100] = {};
    TMLSUnit Texts{BuiltInMessages, ""};
    TTypeTreeTexts Captions{Texts};
    TTypeObjectData Type{Formats};
    TNodeExt* Root = nullptr;
    int32_t Language = 0;

    ~Tree() { delete Root; }
    void Rebuild() { RebuildTypeTree(Root, nullptr, Type, Language, Captions); }
};

std::string ItemText(const TNodeExt* n) {
    // The nodes that show a value: the type name, the table's attributes and
    // counts, and a field's name, size, units and flags.
    const bool value = n->Id == NodeTypeName || (n->Id >= NodeTableName && n->Id <= NodeFields) ||
                       (n->Id >= NodeFieldName && n->Id <= NodeFieldSize) || n->Id == NodeFieldFlags;
    if (!value) return n->Name;
    return n->Name + ": " + n->Text;
}

// Every node as "<depth dots><id>/<sub-id> <item text>", in pre-order.
void Dump(const TNodeExt* n, int depth, std::vector<std::string>& out) {
    for (; n; n = n->Next) {
        out.push_back(std::string(static_cast<size_t>(depth), '.') + std::to_string(n->Id) + "/" +
                      std::to_string(n->SubId) + " " + ItemText(n));
        Dump(n->FirstChild, depth + 1, out);
        if (depth == 0) break;
    }
}

std::vector<std::string> Dump(const TNodeExt* root) {
    std::vector<std::string> out;
    Dump(root, 0, out);
    return out;
}

}  // namespace

TEST(TypeTreeNodes, NewTypeShowsTypeParametersAndItsOneLanguage) {
    Tree t;
    t.Rebuild();
    EXPECT_EQ(Dump(t.Root), (std::vector<std::string>{"0/0 Type", ".1/0 Parameters", "..2/0 Type: ", "..4/0 Configuration",
                                                      "..20/0 Language (1. Language)", "...3/0 1. Language"}));
}

TEST(TypeTreeNodes, EveryNodeOfATypeWithTables) {
    Tree t;
    FillSampleType(t.Type);
    t.Type.GetTable(0)->SetFunction(7);
    t.Type.GetTable(0)->GetField(1)->SetUnit("C");
    t.Language = 1;
    t.Rebuild();
    const std::vector<std::string> expected = {
        "0/0 Type (PUMP)", ".1/0 Parameters", "..2/0 Type: PUMP", "..4/0 Configuration",
        "..20/0 Language (2. Deutsch)", "...3/0 1. English", "...3/1 2. Deutsch",
        ".8/0 Table1 (Speeds)", "..9/0 Name: Speeds", "..10/0 Function: 7", "..11/0 Block: 0", "..12/0 Cfg: 0",
        "..13/0 Level: 0", "..14/0 Rows: 2", "..15/0 Fields: 3",
        "..16/0 Field 1 (Step)", "...17/0 Name: Step", "...19/0 Size: 1", "...18/0 Units: ", "...21/0 Cfg: 0",
        "..16/1 Field 2 (Temp)", "...17/1 Name: Temp", "...19/1 Size: 2", "...18/1 Units: C", "...21/1 Cfg: 1",
        "..16/2 Field 3", "...17/2 Name: ", "...19/2 Size: 4", "...18/2 Units: ", "...21/2 Cfg: 0",
        ".8/1 Table2", "..9/1 Name: ", "..10/1 Function: 0", "..11/1 Block: 0", "..12/1 Cfg: 0", "..13/1 Level: 0",
        "..14/1 Rows: 0", "..15/1 Fields: 0"};
    EXPECT_EQ(Dump(t.Root), expected);
}

TEST(TypeTreeNodes, CurrentLanguageWithoutSuchLanguage) {
    Tree t;
    t.Language = 3;
    t.Rebuild();
    EXPECT_EQ(Dump(t.Root)[4], "..20/0 Language (?\?\?)");
}

TEST(TypeTreeNodes, RebuildKeepsTheNodesOfElementsThatStillExist) {
    Tree t;
    FillSampleType(t.Type);
    t.Rebuild();
    TNodeExt* firstTable = t.Root->Find(NodeTable, 0, "");
    TNodeExt* secondTable = t.Root->Find(NodeTable, 1, "");
    TNodeExt* field = firstTable->Find(NodeField, 2, "");
    TNodeExt* language = t.Root->Find(NodeLanguage, 1, "");
    ASSERT_TRUE(firstTable && secondTable && field && language);

    // A field and a language fewer, the last table gone.
    t.Type.GetTable(0)->DeleteField(2);
    t.Type.GetTypeData().DeleteLanguage(1);
    t.Type.DeleteTable(1);
    t.Rebuild();
    EXPECT_EQ(t.Root->Find(NodeTable, 0, ""), firstTable);
    EXPECT_EQ(t.Root->Find(NodeTable, 1, ""), nullptr);
    EXPECT_EQ(firstTable->Find(NodeField, 2, ""), nullptr);
    EXPECT_EQ(t.Root->Find(NodeLanguage, 1, ""), nullptr);
    EXPECT_EQ(Dump(t.Root).size(), 1u + 4 + 1 + 8 + 2 * 5);

    // A table inserted in front: the first node now shows the new table.
    t.Type.InsertTable(0)->SetName("New");
    t.Rebuild();
    EXPECT_EQ(t.Root->Find(NodeTable, 0, ""), firstTable);
    EXPECT_EQ(firstTable->Name, "Table1 (New)");
    EXPECT_EQ(t.Root->Find(NodeTable, 1, "")->Name, "Table2 (Speeds)");
}

TEST(TypeTreeNodes, WhatEachNodeSelects) {
    Tree t;
    FillSampleType(t.Type);
    t.Rebuild();
    struct Case {
        int32_t Id, Sub, Parent;  // Parent: the table node's sub-id for field-level nodes
        uint8_t Kind;
        int32_t Language, Table, Field;
    };
    const Case cases[] = {
        {NodeRoot, 0, -1, 0, -1, -1, -1},        {NodeParameters, 0, -1, 0, -1, -1, -1},
        {NodeTypeName, 0, -1, 0, -1, -1, -1},    {NodeCurrentLanguage, 0, -1, 0, -1, -1, -1},
        {NodeConfiguration, 0, -1, 1, -1, -1, -1}, {NodeLanguage, 1, -1, 2, 1, -1, -1},
        {NodeTable, 1, -1, 3, -1, 1, -1},        {NodeRows, 0, -1, 3, -1, 0, -1},
        {NodeFields, 1, -1, 3, -1, 1, -1},       {NodeField, 2, 0, 4, -1, 0, 2},
        {NodeFieldName, 1, 0, 4, -1, 0, 1},      {NodeFieldUnits, 0, 0, 4, -1, 0, 0},
        {NodeFieldFlags, 2, 0, 4, -1, 0, 2},     {NodeFieldSize, 1, 0, 4, -1, 0, 1},
    };
    for (const Case& c : cases) {
        TNodeExt* scope = c.Parent >= 0 ? t.Root->Find(NodeTable, c.Parent, "") : t.Root;
        TNodeExt* node = scope->Find(c.Id, c.Sub, "");
        ASSERT_NE(node, nullptr) << c.Id;
        const _TypeSelection s = SelectionOfNode(node);
        EXPECT_EQ(s.Kind, c.Kind) << c.Id;
        EXPECT_EQ(s.Language, c.Language) << c.Id;
        EXPECT_EQ(s.Table, c.Table) << c.Id;
        EXPECT_EQ(s.Field, c.Field) << c.Id;
        EXPECT_EQ(s.Parameter, -1);
        EXPECT_EQ(s.Row, -1);
        // Selecting what the node selects finds a node of the same element.
        if (c.Kind >= 2) {
            EXPECT_EQ(SelectionOfNode(NodeOfSelection(t.Root, s)), s) << c.Id;
        }
    }
    EXPECT_EQ(SelectionOfNode(nullptr), _TypeSelection());
}

TEST(TypeTreeNodes, SelectionsThatNameNoNode) {
    Tree t;
    FillSampleType(t.Type);
    t.Rebuild();
    _TypeSelection s;
    s.Kind = _TypeSelection::KindTable;
    s.Table = 5;
    EXPECT_EQ(NodeOfSelection(t.Root, s), nullptr);
    s.Kind = _TypeSelection::KindField;
    s.Table = 1;  // a table without fields
    s.Field = 0;
    EXPECT_EQ(NodeOfSelection(t.Root, s), nullptr);
    s.Kind = 9;
    EXPECT_EQ(NodeOfSelection(t.Root, s), nullptr);
    s.Kind = _TypeSelection::KindParameters;
    EXPECT_EQ(NodeOfSelection(t.Root, s)->Id, NodeParameters);
    EXPECT_EQ(NodeOfSelection(nullptr, s), nullptr);
}
