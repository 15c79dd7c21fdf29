// Editing the type grid without widgets: which editor each cell opens under
// the expert gate, how each column stores a typed text (tables of typed
// text -> stored value), the texts of the multi-line editors and the row
// move.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Messages.h"
#include "Mlsunit.h"
#include "TypeGridEditing.h"
#include "../TypeSamples.h"

namespace {

using Strings = std::vector<std::string>;

class GridEditing : public ::testing::Test {
protected:
    uint8_t Formats[100] = {};
    TTypeObjectData Type{Formats};
    TMLSUnit Mls{BuiltInMessages, ""};
    TTypeGridTexts Texts{Mls};

    void SetUp() override { FillSampleType(Type); }

    TTypeGridLayout LayoutOf(uint8_t kind, int32_t table = -1) {
        _TypeSelection sel;
        sel.Kind = kind;
        sel.Table = table;
        return LayoutTypeGrid(sel, Type, Formats, 600, 200);
    }
    std::string Shown(const TTypeGridLayout& g, int32_t row, int32_t col) {
        return TypeGridCellText(Type, g, Texts, 0, row, col);
    }
};

TEST_F(GridEditing, EachCellOpensItsEditorBehindTheExpertGate) {
    struct Case {
        uint8_t Kind;
        int32_t Table, Row, Col;
        TGridEditor Expert, Plain;
        std::string Text;
    };
    const Case cases[] = {
        {_TypeSelection::KindParameters, -1, 1, ColPar, TGridEditor::GridText, TGridEditor::None, "P1"},
        {_TypeSelection::KindParameters, -1, 1, ColText, TGridEditor::ParamText, TGridEditor::None, "Speed"},
        {_TypeSelection::KindParameters, -1, 1, ColValue, TGridEditor::GridText, TGridEditor::GridText, "100"},
        {_TypeSelection::KindParameters, -1, 1, ColMin, TGridEditor::GridText, TGridEditor::None, "10"},
        {_TypeSelection::KindParameters, -1, 1, ColMax, TGridEditor::GridText, TGridEditor::None, "3000"},
        {_TypeSelection::KindParameters, -1, 1, ColUnits, TGridEditor::Units, TGridEditor::None, "rpm"},
        {_TypeSelection::KindConfiguration, -1, 16, 1, TGridEditor::SwitchName, TGridEditor::None, "Fan"},
        {_TypeSelection::KindConfiguration, -1, 1, 2, TGridEditor::Toggle, TGridEditor::Toggle, ""},
        {_TypeSelection::KindTable, 0, 2, 2, TGridEditor::GridText, TGridEditor::GridText, "300"},
        // The fixed row and column, and a table without fields, open nothing.
        {_TypeSelection::KindParameters, -1, 0, ColValue, TGridEditor::None, TGridEditor::None, ""},
        {_TypeSelection::KindTable, 1, 1, 1, TGridEditor::None, TGridEditor::None, ""},
    };
    for (const Case& c : cases)
        for (bool expert : {true, false}) {
            const TTypeGridLayout g = LayoutOf(c.Kind, c.Table);
            const TGridEditPlan plan = PlanGridEdit(Type, g, 0, expert, c.Row, c.Col, false);
            EXPECT_EQ(plan.Editor, expert ? c.Expert : c.Plain) << c.Row << "," << c.Col << " expert " << expert;
            if (plan.Editor != TGridEditor::None && plan.Editor != TGridEditor::Toggle) {
                EXPECT_EQ(plan.Text, c.Text) << c.Row << "," << c.Col;
                // The Delete key opens every editor empty.
                EXPECT_EQ(PlanGridEdit(Type, g, 0, expert, c.Row, c.Col, true).Text, "");
            }
        }
    // Switch names need the current language.
    EXPECT_EQ(PlanGridEdit(Type, LayoutOf(_TypeSelection::KindConfiguration), 5, true, 1, 1, false).Editor,
              TGridEditor::None);
}

TEST_F(GridEditing, BinaryColumnsOpenTheBarWithTheirBitCount) {
    Formats[SlotValue] = Formats[SlotMax] = 2;
    Formats[SlotFirstField + 1] = Formats[SlotFirstField + 2] = 2;
    const TTypeGridLayout p = LayoutOf(_TypeSelection::KindParameters);
    TGridEditPlan plan = PlanGridEdit(Type, p, 0, false, 1, ColValue, false);
    EXPECT_EQ(plan.Editor, TGridEditor::Binary);
    EXPECT_EQ(plan.Bits, 16);
    EXPECT_EQ(plan.Value, 100u);
    EXPECT_EQ(PlanGridEdit(Type, p, 0, false, 1, ColMax, false).Editor, TGridEditor::None);
    plan = PlanGridEdit(Type, p, 0, true, 1, ColMax, false);
    EXPECT_EQ(plan.Editor, TGridEditor::Binary);
    EXPECT_EQ(plan.Value, 3000u);
    const TTypeGridLayout t = LayoutOf(_TypeSelection::KindTable, 0);
    plan = PlanGridEdit(Type, t, 0, false, 1, 2, false);
    EXPECT_EQ(plan.Bits, 16);
    EXPECT_EQ(plan.Value, 0xFFFBu);
    plan = PlanGridEdit(Type, t, 0, false, 1, 3, false);
    EXPECT_EQ(plan.Bits, 32);
    EXPECT_EQ(plan.Value, 0x12345678u);

    // Whatever the bar returns is stored: a value within the parameter's
    // range, the bounds and cells as they come.
    EXPECT_TRUE(StoreBinaryResult(Type, p, 1, ColValue, 0xFFFF));
    EXPECT_EQ(Type.GetTypeData().GetValue(0, 0), 3000);
    EXPECT_TRUE(StoreBinaryResult(Type, p, 1, ColMin, 5000));
    EXPECT_EQ(Type.GetTypeData().GetParamFormat(0)->Min, 5000);
    EXPECT_TRUE(StoreBinaryResult(Type, t, 2, 3, 0xDEADBEEF));
    EXPECT_EQ(Type.GetTable(0)->GetValue(0, 1, 2), 0xDEADBEEFu);
}

TEST_F(GridEditing, ValueMinAndMaxClampWhatIsTyped) {
    struct Case {
        int32_t Col;
        uint16_t Min, Max, Start;
        const char* Typed;
        uint16_t Stored;
    };
    const Case cases[] = {
        {ColValue, 0, 65535, 7, "0x10", 16},
        {ColValue, 0, 65535, 7, "$20", 32},
        {ColValue, 0, 65535, 7, "  x1f", 31},
        {ColValue, 10, 3000, 100, "70000", 3000},  // 65535 first, then the maximum
        {ColValue, 10, 3000, 100, "5", 10},
        {ColValue, 10, 3000, 100, "-5", 10},
        {ColValue, 10, 3000, 100, "2999", 2999},
        {ColValue, 10, 3000, 100, "letters", 100},
        {ColValue, 10, 3000, 100, "", 100},
        {ColValue, 0, 65535, 100, "-9999999999", 0},
        {ColValue, 0, 65535, 100, "99999999999", 65535},
        {ColValue, 0, 65535, 100, "99999999999999999999", 100},  // no 64-bit number
        {ColValue, 500, 100, 100, "300", 500},                   // below the minimum comes first
        {ColValue, 0, 0, 43981, "abc", 43981},                   // no number: not even clamped
        {ColValue, 0, 0, 43981, "", 43981},
        {ColMin, 10, 3000, 0, "70000", 65535},                   // the other bound is not compared
        {ColMin, 10, 3000, 0, "-1", 0},
        {ColMin, 10, 3000, 0, "x", 10},
        {ColMax, 10, 3000, 0, "0xFFFF", 65535},
        {ColMax, 10, 3000, 0, "5", 5},
        {ColMax, 10, 3000, 0, "?", 3000},
    };
    const TTypeGridLayout g = LayoutOf(_TypeSelection::KindParameters);
    TTypeData6& def = Type.GetTypeData();
    for (const Case& c : cases) {
        _ParamFormatItem* f = def.GetParamFormat(0);
        f->Min = c.Min;
        f->Max = c.Max;
        def.SetValue(0, 0, c.Start);
        EXPECT_TRUE(StoreGridText(Type, g, 0, true, 1, c.Col, c.Typed));
        const uint16_t stored = c.Col == ColValue ? def.GetValue(0, 0) : c.Col == ColMin ? f->Min : f->Max;
        EXPECT_EQ(stored, c.Stored) << "column " << c.Col << " typed '" << c.Typed << "'";
    }
    // Without expert mode a bound is never stored.
    EXPECT_TRUE(StoreGridText(Type, g, 0, false, 1, ColMin, "7"));
    EXPECT_EQ(def.GetParamFormat(0)->Min, 10);
}

TEST_F(GridEditing, TableCellsClampToTheirFieldsRange) {
    struct Case {
        uint8_t Size;
        bool Signed;
        const char* Typed;
        uint32_t Bits;
        const char* Shown;
    };
    const Case cases[] = {
        {1, false, "300", 0xFF, "255"},
        {1, false, "-1", 0xFFFFFFFF, "255"},
        {1, false, "0x7F", 0x7F, "127"},
        {1, true, "300", 0x7F, "127"},  // not -1
        {1, true, "127", 0x7F, "127"},
        {1, true, "-1", 0xFFFFFFFF, "-1"},
        {1, true, "0xFF", 0xFF, "-1"},  // the pattern as the hexadecimal view shows it
        {1, true, "-128", 0xFFFFFF80, "-128"},
        {1, true, "-200", 0xFFFFFF80, "-128"},
        {2, true, "-2", 0xFFFFFFFE, "-2"},
        {2, true, "70000", 0x7FFF, "32767"},
        {2, true, "-40000", 0xFFFF8000, "-32768"},
        {2, false, "70000", 0xFFFF, "65535"},
        {3, true, "20000000", 0x7FFFFF, "8388607"},
        {3, true, "9000000", 9000000, "9000000"},  // within the mask: as typed
        {4, false, "4294967295", 0xFFFFFFFF, "4294967295"},
        {4, false, "5000000000", 0xFFFFFFFF, "4294967295"},
        {4, false, "-5000000000", 0x80000000, "2147483648"},  // below -2^31: no wrap to a positive number
        {4, true, "-5000000000", 0x80000000, "-2147483648"},
        {4, true, "5000000000", 0x7FFFFFFF, "2147483647"},
        {4, true, "0xFFFFFFFF", 0xFFFFFFFF, "-1"},
        {1, false, "seven", 0x2A, "42"},  // no number: the cell keeps its value
    };
    TTableData* table = Type.GetTable(0);
    const TTypeGridLayout g = LayoutOf(_TypeSelection::KindTable, 0);
    for (const Case& c : cases) {
        _TableFieldInfo* field = table->GetField(0);
        field->Size = c.Size;
        field->Flags = c.Signed ? 1 : 0;
        table->SetValue(0, 0, 0, 42);
        EXPECT_TRUE(StoreGridText(Type, g, 0, false, 1, 1, c.Typed));
        EXPECT_EQ(table->RowCells(0, 0)[0], c.Bits) << int(c.Size) << (c.Signed ? " signed " : " ") << c.Typed;
        EXPECT_EQ(Shown(g, 1, 1), c.Shown) << int(c.Size) << (c.Signed ? " signed " : " ") << c.Typed;
    }
}

TEST_F(GridEditing, TheCodeIsJoinedToTheTextAndOtherColumnsStoreNothing) {
    TTypeData6& def = Type.GetTypeData();
    def.SetParamName(0, 0, "P1 Maximum temperature of the heater");
    const TTypeGridLayout g = LayoutOf(_TypeSelection::KindParameters);
    EXPECT_TRUE(StoreGridText(Type, g, 0, true, 1, ColPar, "Q77"));
    EXPECT_EQ(def.GetParamName(0, 0), "Q77 Maximum temperature  of the heater");
    EXPECT_EQ(def.GetParamName(0, 1), "P1 Tempo");  // only the current language
    EXPECT_TRUE(StoreGridText(Type, g, 0, true, 1, ColPar, ""));
    EXPECT_EQ(def.GetParamName(0, 0), " Maximum temperature  of the heater");
    EXPECT_TRUE(StoreGridText(Type, g, 0, false, 1, ColPar, "X1"));
    EXPECT_EQ(def.GetParamName(0, 0), " Maximum temperature  of the heater");
    // A parameter or cell that does not exist takes nothing and reports nothing.
    EXPECT_FALSE(StoreGridText(Type, g, 0, true, 9, ColValue, "1"));
    EXPECT_FALSE(StoreGridText(Type, LayoutOf(_TypeSelection::KindTable, 1), 0, true, 1, 1, "1"));
}

TEST(GridEditorTexts, LinesAreComposedAsTheEditorShowsThem) {
    struct Case {
        Strings Lines;
        int32_t MaxLines, Width;
        std::string Stored;
    };
    const Case cases[] = {
        {{"Maximum temperature ", "of the heater"}, 3, 21, "Maximum temperature  of the heater"},
        {{"Speed"}, 3, 21, "Speed"},
        {{"a", "b", "c", "dropped"}, 3, 21, std::string("a") + std::string(20, ' ') + "b" + std::string(20, ' ') + "c"},
        {{"Heater on the ", "left side   "}, 2, 18, "Heater on the     left side"},
        {{"a line longer than eighteen"}, 2, 18, "a line longer than"},
        {{""}, 3, 21, ""},
        {{}, 3, 21, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ComposeEditorLines(c.Lines, c.MaxLines, c.Width), c.Stored);
}

TEST(GridEditorTexts, UnitsAreTrimmedCutAndSortedLetterCaseAside) {
    EXPECT_EQ(StoredUnits("  mm  "), "mm");
    EXPECT_EQ(StoredUnits("kilometres"), "kilomet");
    EXPECT_EQ(StoredUnits(" \t "), "");
    Strings units{"rpm", "A", "mm", "bar", "Hz"};
    SortUnits(units);
    EXPECT_EQ(units, (Strings{"A", "bar", "Hz", "mm", "rpm"}));
}

// Four parameters A B C D in two languages and three data sets.
class RowMove : public ::testing::Test {
protected:
    TTypeData6 Def;
    void SetUp() override {
        Def.SetLanguageCount(2);
        Def.SetDataSetCount(3);
        Def.SetParameterCount(4);
        for (int32_t p = 0; p < 4; ++p) {
            const std::string name(1, static_cast<char>('A' + p));
            Def.SetParamNameRaw(p, 0, name + "1 English " + name);
            Def.SetParamNameRaw(p, 1, name + "1 Deutsch " + name);
            Def.GetParamFormat(p)->SetUnits(name);
            Def.GetParamFormat(p)->Max = static_cast<uint16_t>(100 + p);
            for (int32_t s = 0; s < 3; ++s) Def.SetValue(p, s, static_cast<uint16_t>(10 * p + s));
        }
    }
    // Each parameter as one text: its units letter, checked against every
    // language, bound and data set.
    std::string Order() {
        std::string order;
        for (int32_t p = 0; p < Def.GetParameterCount(); ++p) {
            const std::string u = Def.GetParamFormat(p)->GetUnits();
            const int original = u[0] - 'A';
            bool whole = Def.GetParamName(p, 0) == u + "1 English " + u && Def.GetParamName(p, 1) == u + "1 Deutsch " + u &&
                         Def.GetParamFormat(p)->Max == 100 + original;
            for (int32_t s = 0; s < 3; ++s) whole = whole && Def.GetValue(p, s) == 10 * original + s;
            order += whole ? u : "?";
        }
        return order;
    }
};

TEST_F(RowMove, TheParameterTravelsWithItsTextsAndValues) {
    struct Case {
        int32_t Source, Target;
        bool Moved;
        std::string Order;
    };
    const Case cases[] = {
        {0, 2, true, "BCAD"},   // Ctrl on A, Down twice
        {3, 0, true, "DABC"},   // Ctrl on D, Up three times
        {1, 3, true, "ACDB"},   // to the end
        {0, 3, true, "BCDA"},
        {2, 1, true, "ACBD"},
        {1, 1, false, "ABCD"},
        {1, 4, false, "ABCD"},
    };
    for (const Case& c : cases) {
        SetUp();
        EXPECT_EQ(MoveParameter(Def, c.Source, c.Target), c.Moved) << c.Source << "->" << c.Target;
        EXPECT_EQ(Order(), c.Order) << c.Source << "->" << c.Target;
        EXPECT_EQ(Def.GetParameterCount(), 4);
    }
}

TEST_F(RowMove, AFullTypeLeavesItsParametersAsTheyWere) {
    Def.SetParameterCount(TTypeData6::MaxParameters);
    EXPECT_FALSE(MoveParameter(Def, 0, 2));
    EXPECT_FALSE(MoveParameter(Def, 3, 0));
    EXPECT_FALSE(MoveParameter(Def, 0, TTypeData6::MaxParameters - 1));
    Def.SetParameterCount(4);
    EXPECT_EQ(Order(), "ABCD");
}

}  // namespace
