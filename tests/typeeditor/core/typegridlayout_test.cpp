// The data grid without widgets: tabs, layout by tab and display format,
// cell texts in decimal, hexadecimal and binary, and the text wrapping of
// the multi-line cells.
#include <gtest/gtest.h>

#include <vector>

#include "Messages.h"
#include "Mlsunit.h"
#include "TypeGridLayout.h"
#include "../TypeSamples.h"

namespace {

struct Grid {
    uint8_t Formats[100] = {};
    TMLSUnit Texts{BuiltInMessages, ""};
    TTypeGridTexts Captions{Texts};
    TTypeObjectData Type{Formats};
    Grid() { FillSampleType(Type); }

    TTypeGridLayout Layout(uint8_t kind, int32_t table = -1, int32_t width = 600) {
        _TypeSelection s;
        s.Kind = kind;
        s.Table = table;
        return LayoutTypeGrid(s, Type, Formats, width, 150);
    }
    std::vector<std::string> Row(const TTypeGridLayout& g, int32_t row, int32_t language = 0) {
        std::vector<std::string> cells;
        for (int32_t c = 0; c < g.ColCount; ++c) cells.push_back(TypeGridCellText(Type, g, Captions, language, row, c));
        return cells;
    }
};

using Strings = std::vector<std::string>;

}  // namespace

TEST(TypeGridLayout, TabsAndTheTabOfASelection) {
    Grid g;
    EXPECT_EQ(TypeGridTabs(g.Type, g.Captions), (Strings{"Parameters", "Configuration", "Table 1 (Speeds)", "Table 2"}));
    struct Case {
        uint8_t Kind;
        int32_t Table;
        int32_t Tab;
        uint8_t KindAfter;
    };
    const Case cases[] = {{0, -1, 0, 0}, {1, -1, 1, 1}, {2, -1, 0, 0}, {3, 0, 2, 3}, {4, 1, 3, 4},
                          {3, 2, -1, 3}, {3, -1, -1, 3}, {7, -1, -1, 7}};
    for (const Case& c : cases) {
        _TypeSelection s;
        s.Kind = c.Kind;
        s.Table = c.Table;
        EXPECT_EQ(TabOfSelection(s, 4), c.Tab) << int(c.Kind) << "/" << c.Table;
        EXPECT_EQ(s.Kind, c.KindAfter);
    }
    _TypeSelection s;
    SelectionOfTab(s, 3);
    EXPECT_EQ(s.Kind, 3);
    EXPECT_EQ(s.Table, 1);
    SelectionOfTab(s, 1);
    EXPECT_EQ(s.Kind, 1);
    SelectionOfTab(s, -1);
    EXPECT_EQ(s.Kind, 1);
}

TEST(TypeGridLayout, ColumnsRowsAndHeightsByTabAndFormat) {
    struct Case {
        const char* What;
        uint8_t Kind;
        int32_t Table;
        std::vector<std::pair<int, uint8_t>> Formats;  // slot, format
        int32_t Width;
        int32_t Cols, Rows, RowHeight;
        std::vector<int32_t> Widths;
        bool Empty;
    };
    const Case cases[] = {
        {"parameters", 0, -1, {}, 600, 7, 4, 50, {35, 50, 230, 60, 60, 60, 80}, false},
        {"language shows parameters", 2, -1, {}, 600, 7, 4, 50, {35, 50, 230, 60, 60, 60, 80}, false},
        {"binary values and maximum", 0, -1, {{9, 2}, {8, 2}, {7, 1}}, 640, 7, 4, 50, {35, 50, 160, 115, 60, 115, 80}, false},
        {"text never narrower than its editor", 0, -1, {}, 200, 7, 4, 50, {35, 50, 150, 60, 60, 60, 80}, false},
        {"configuration", 1, -1, {}, 600, 3, 17, 33, {35, 180, 30}, false},
        {"table by field sizes", 3, 0, {}, 600, 4, 3, 20, {35, 50, 60, 80}, false},
        {"table fields in binary", 4, 0, {{13, 2}, {14, 2}, {15, 2}}, 600, 4, 3, 20, {35, 70, 115, 215}, false},
        {"hexadecimal keeps the width", 3, 0, {{13, 1}}, 600, 4, 3, 20, {35, 50, 60, 80}, false},
        {"table without fields or rows", 3, 1, {}, 600, 2, 2, 20, {35, 30}, true},
        {"no such table", 3, 5, {}, 600, 2, 2, 20, {35, 30}, true},
        {"no tab", 9, -1, {}, 600, 2, 2, 20, {35, 30}, true},
    };
    for (const Case& c : cases) {
        Grid g;
        for (auto [slot, format] : c.Formats) g.Formats[slot] = format;
        const TTypeGridLayout l = g.Layout(c.Kind, c.Table, c.Width);
        EXPECT_EQ(l.ColCount, c.Cols) << c.What;
        EXPECT_EQ(l.RowCount, c.Rows) << c.What;
        EXPECT_EQ(l.DefaultRowHeight, c.RowHeight) << c.What;
        EXPECT_EQ(l.HeaderRowHeight, 20) << c.What;
        EXPECT_EQ(l.ColWidths, c.Widths) << c.What;
        EXPECT_EQ(l.Empty, c.Empty) << c.What;
    }
    // A size outside 1..4 keeps 80.
    Grid g;
    g.Type.GetTable(0)->GetField(0)->Size = 9;
    EXPECT_EQ(g.Layout(3, 0).ColWidths[1], 80);
    // Without parameters: one row of "-", nothing to edit.
    g.Type.GetTypeData().SetParameterCount(0);
    const TTypeGridLayout empty = g.Layout(0);
    EXPECT_EQ(empty.RowCount, 2);
    EXPECT_TRUE(empty.Empty);
    EXPECT_EQ(g.Row(empty, 1), (Strings{"-", "-", "-", "-", "-", "-", "-"}));
}

TEST(TypeGridLayout, ParameterTextsByFormatAndLanguage) {
    Grid g;
    const TTypeGridLayout dec = g.Layout(0);
    EXPECT_EQ(g.Row(dec, 0), (Strings{"Nr", "Par", "Text", "Value", "Min", "Max", "Units"}));
    EXPECT_EQ(g.Row(dec, 1), (Strings{"1", "P1", "Speed", "100", "10", "3000", "rpm"}));
    EXPECT_EQ(g.Row(dec, 2), (Strings{"2", "P2", "Limit", "43981", "0", "0", ""}));
    EXPECT_EQ(g.Row(dec, 1, 1), (Strings{"1", "P1", "Tempo", "100", "10", "3000", "rpm"}));
    g.Formats[9] = 1;
    g.Formats[7] = 2;
    g.Formats[8] = 1;
    const TTypeGridLayout mixed = g.Layout(0);
    EXPECT_EQ(g.Row(mixed, 1), (Strings{"1", "P1", "Speed", "0x0064", "0000000000001010b", "0x0BB8", "rpm"}));
    EXPECT_EQ(g.Row(mixed, 2)[3], "0xABCD");
    g.Formats[9] = 2;
    EXPECT_EQ(g.Row(g.Layout(0), 3)[3], "0000000000000101b");
}

TEST(TypeGridLayout, ConfigurationRowsRunBackwards) {
    Grid g;
    const TTypeGridLayout l = g.Layout(1);
    EXPECT_EQ(g.Row(l, 0), (Strings{"Nr", "Name", "Flag"}));
    EXPECT_EQ(g.Row(l, 1), (Strings{"16", "Heater on the left side of the unit", "1"}));
    EXPECT_EQ(g.Row(l, 2), (Strings{"15", "SW 15", ""}));
    EXPECT_EQ(g.Row(l, 16), (Strings{"1", "Fan", "1"}));
    EXPECT_EQ(g.Row(l, 16, 1), (Strings{"1", "SW 1", "1"}));
    EXPECT_EQ(g.Row(l, 16, 4)[1], "");  // no such language
    EXPECT_EQ(TypeGridCellStyle(l, 1, 1), TGridCellStyle::SwitchName);
    EXPECT_EQ(TypeGridCellStyle(l, 1, 2), TGridCellStyle::Tick);
    EXPECT_EQ(TypeGridCellStyle(l, 0, 2), TGridCellStyle::Plain);
}

TEST(TypeGridLayout, TableCellsInEachFormat) {
    Grid g;
    const TTypeGridLayout dec = g.Layout(3, 0);
    EXPECT_EQ(g.Row(dec, 0), (Strings{"Nr", "Step", "Temp", "Field 3"}));
    EXPECT_EQ(g.Row(dec, 1), (Strings{"1", "7", "-5", "305419896"}));
    EXPECT_EQ(g.Row(dec, 2), (Strings{"2", "255", "300", "1"}));
    g.Formats[13] = 1;
    g.Formats[14] = 1;
    g.Formats[15] = 2;
    const TTypeGridLayout other = g.Layout(3, 0);
    EXPECT_EQ(g.Row(other, 1), (Strings{"1", "0x07", "0xFFFB", "00010010001101000101011001111000b"}));
    EXPECT_EQ(g.Row(other, 2), (Strings{"2", "0xFF", "0x012C", "00000000000000000000000000000001b"}));
    const TTypeGridLayout none = g.Layout(3, 1);
    EXPECT_EQ(g.Row(none, 0), (Strings{"Nr", "-"}));
    EXPECT_EQ(g.Row(none, 1), (Strings{"-", "-"}));
}

TEST(TypeGridLayout, TextsWrapAsTheirEditorWrapsThem) {
    struct Case {
        const char* Text;
        int Columns;
        Strings Lines;
    };
    const Case cases[] = {
        {"", 21, {""}},
        {"Speed", 21, {"Speed"}},
        {"Heater on the left side of the unit", 18, {"Heater on the left ", "side of the unit"}},
        {"Speed of the motor   at the start", 21, {"Speed of the motor   ", "at the start"}},
        {"abcdefghijklmnopqrstuvwxyz", 10, {"abcdefghij", "klmnopqrst", "uvwxyz"}},
        {"one\r\ntwo", 21, {"one", "two"}},
        {"exactly ten", 11, {"exactly ten"}},
    };
    for (const Case& c : cases) EXPECT_EQ(WrapFixedPitch(c.Text, c.Columns), c.Lines) << c.Text;
}
