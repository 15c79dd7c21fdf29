// Editing the type tree without widgets: which editor each node opens under
// the expert gate, with what limit, starting text, entry or ticks, and which
// nodes open nothing.
#include <gtest/gtest.h>

#include <string>

#include "../TypeSamples.h"
#include "MessageIds.h"
#include "TypeTreeEditing.h"
#include "TypeTreeNodes.h"

namespace {

class TreeEditing : public ::testing::Test {
protected:
    uint8_t Formats[100] = {};
    TTypeObjectData Type{Formats};

    void SetUp() override {
        FillSampleType(Type);
        // Table 0: Cfg 0x05; field 1 "Temp" (2 bytes, signed) in "degC".
        Type.GetTable(0)->SetCfg(0x05);
        Type.GetTable(0)->GetField(1)->SetUnit("degC");
    }
};

constexpr int LineEditLimit = 32767;

TEST_F(TreeEditing, EachNodeOpensItsEditorBehindTheExpertGate) {
    const struct Case {
        int32_t Id, Sub, Table;
        bool Expert, WithValue;
        TTreeEditor Editor;
        bool ExpertOnly;
        int MaxLength;
        std::string Text;
        int SizeIndex;
        uint8_t Bits;
        uint32_t FirstText;
        int32_t Language;
    } cases[] = {
        // Names take what their field keeps; numbers a line edit's length.
        {NodeTypeName, 0, -1, true, true, TTreeEditor::EditBox, true, 16, "shown", -1, 0, 0, -1},
        {NodeTypeName, 0, -1, true, false, TTreeEditor::EditBox, true, 16, "", -1, 0, 0, -1},
        {NodeTypeName, 0, -1, false, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        {NodeTableName, 0, 0, true, true, TTreeEditor::EditBox, true, 16, "shown", -1, 0, 0, -1},
        {NodeFieldName, 1, 0, true, true, TTreeEditor::EditBox, true, 17, "shown", -1, 0, 0, -1},
        {NodeFieldName, 1, 0, false, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        {NodeFunction, 0, 0, true, true, TTreeEditor::EditBox, true, LineEditLimit, "shown", -1, 0, 0, -1},
        {NodeBlock, 0, 0, true, false, TTreeEditor::EditBox, true, LineEditLimit, "", -1, 0, 0, -1},
        {NodeLevel, 0, 0, true, true, TTreeEditor::EditBox, true, LineEditLimit, "shown", -1, 0, 0, -1},
        {NodeRows, 0, 0, true, true, TTreeEditor::EditBox, true, LineEditLimit, "shown", -1, 0, 0, -1},
        {NodeFields, 0, 0, false, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        // The language choice is open to everyone.
        {NodeLanguage, 1, -1, false, true, TTreeEditor::Language, false, 0, "", -1, 0, 0, 1},
        {NodeLanguage, 0, -1, true, false, TTreeEditor::Language, false, 0, "", -1, 0, 0, 0},
        {NodeLanguage, 2, -1, true, true, TTreeEditor::None, false, 0, "", -1, 0, 0, -1},
        {NodeLanguage, -1, -1, true, true, TTreeEditor::None, false, 0, "", -1, 0, 0, -1},
        // Sizes 1, 2 and 4 are entries 0, 1 and 3.
        {NodeFieldSize, 0, 0, true, true, TTreeEditor::SizeCombo, true, 0, "", 0, 0, 0, -1},
        {NodeFieldSize, 1, 0, true, false, TTreeEditor::SizeCombo, true, 0, "", 1, 0, 0, -1},
        {NodeFieldSize, 2, 0, true, true, TTreeEditor::SizeCombo, true, 0, "", 3, 0, 0, -1},
        {NodeFieldSize, 1, 0, false, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        {NodeFieldSize, 3, 0, true, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        {NodeFieldSize, 0, 1, true, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        // The units combo starts with the field's own units, not the node's text.
        {NodeFieldUnits, 1, 0, true, true, TTreeEditor::UnitsCombo, true, 7, "degC", -1, 0, 0, -1},
        {NodeFieldUnits, 1, 0, true, false, TTreeEditor::UnitsCombo, true, 7, "", -1, 0, 0, -1},
        {NodeFieldUnits, 1, 0, false, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        {NodeFieldUnits, 1, 5, true, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        // The check lists tick the bits set, none when opened empty.
        {NodeTableCfg, 0, 0, true, true, TTreeEditor::CheckList, true, 0, "", -1, 0x05, Msg::Flag2SwapBytes, -1},
        {NodeTableCfg, 0, 0, true, false, TTreeEditor::CheckList, true, 0, "", -1, 0, Msg::Flag2SwapBytes, -1},
        {NodeTableCfg, 0, 0, false, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        {NodeTableCfg, 0, 4, true, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        {NodeFieldFlags, 1, 0, true, true, TTreeEditor::CheckList, true, 0, "", -1, 0x01, Msg::Flag1Signed, -1},
        {NodeFieldFlags, 0, 0, true, true, TTreeEditor::CheckList, true, 0, "", -1, 0, Msg::Flag1Signed, -1},
        {NodeFieldFlags, 1, 0, false, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        {NodeFieldFlags, 9, 0, true, true, TTreeEditor::None, true, 0, "", -1, 0, 0, -1},
        // Nodes that only group others open nothing, expert or not.
        {NodeRoot, 0, -1, true, true, TTreeEditor::None, false, 0, "", -1, 0, 0, -1},
        {NodeParameters, 0, -1, true, true, TTreeEditor::None, false, 0, "", -1, 0, 0, -1},
        {NodeConfiguration, 0, -1, true, true, TTreeEditor::None, false, 0, "", -1, 0, 0, -1},
        {NodeTable, 0, 0, true, true, TTreeEditor::None, false, 0, "", -1, 0, 0, -1},
        {NodeField, 1, 0, true, true, TTreeEditor::None, false, 0, "", -1, 0, 0, -1},
        {NodeCurrentLanguage, 0, -1, true, true, TTreeEditor::None, false, 0, "", -1, 0, 0, -1},
    };
    for (const Case& c : cases) {
        const TTreeEditPlan plan = PlanTreeEdit(Type, c.Id, c.Sub, c.Table, "shown", c.Expert, c.WithValue);
        const std::string what = "node " + std::to_string(c.Id) + " sub " + std::to_string(c.Sub) + " table " +
                                 std::to_string(c.Table) + (c.Expert ? " expert" : "") + (c.WithValue ? " value" : "");
        EXPECT_EQ(plan.Editor, c.Editor) << what;
        EXPECT_EQ(plan.ExpertOnly, c.ExpertOnly) << what;
        if (plan.Editor != c.Editor || c.Editor == TTreeEditor::None) continue;
        EXPECT_EQ(plan.MaxLength, c.MaxLength) << what;
        EXPECT_EQ(plan.Text, c.Text) << what;
        EXPECT_EQ(plan.SizeIndex, c.SizeIndex) << what;
        EXPECT_EQ(plan.Bits, c.Bits) << what;
        EXPECT_EQ(plan.FirstText, c.FirstText) << what;
        EXPECT_EQ(plan.Language, c.Language) << what;
    }
}

}  // namespace
