#include <gtest/gtest.h>

#include <cstring>

#include "TextHelpers.h"

TEST(TextHelpers, SmallTextFunctions) {
    EXPECT_EQ(DoubleBackslashes("a\\b\\\\c"), "a\\\\b\\\\\\\\c");
    EXPECT_EQ(IntToBin(5, 1), "00000101b");
    EXPECT_EQ(IntToBin(0x1234, 2), "0001001000110100b");
    EXPECT_EQ(IntToBin(0xFFFFFF01u, 1), "00000001b");  // only the low bytes
    EXPECT_EQ(IntToBin(0x80000000u, 4), "1" + std::string(31, '0') + "b");
    EXPECT_EQ(LeftStr("abc", 5), "abc");
    EXPECT_EQ(LeftStr("abcdef", 2), "ab");
    EXPECT_EQ(LeftStr("abc", -1), "");
    EXPECT_EQ(RemoveAmpersands("&Save"), "Save");
    EXPECT_EQ(RemoveAmpersands("a&&b"), "ab");
    EXPECT_EQ(ReplaceChar("a.b.c", '.', ','), "a,b,c");
    EXPECT_EQ(ReplaceChar("a.b", '.', '.'), "a.b");
    EXPECT_EQ(ButtonHintFromCaption("Save &As..."), "Save As...");
    EXPECT_EQ(ButtonHintFromCaption("&&x&y"), "&x&y");  // the first one only
    EXPECT_EQ(ButtonHintFromCaption("Plain"), "Plain");
}

TEST(TextHelpers, PadGridColumnsPadsToTheLongestCellOfEachColumn) {
    TTextGrid g(2, 2);
    g.Cell(0, 0) = "a";
    g.Cell(0, 1) = "abc";
    g.Cell(1, 0) = "";
    g.Cell(1, 1) = "xy";
    PadGridColumns(g);
    EXPECT_EQ(g.Cell(0, 0), "a  ");
    EXPECT_EQ(g.Cell(0, 1), "abc");
    EXPECT_EQ(g.Cell(1, 0), "  ");
    EXPECT_EQ(g.Cell(1, 1), "xy");
}

TEST(TextHelpers, GridToRtfSplitsColumnsIntoGroupsThatFit) {
    // Column 0 of 10 characters, four columns of 20: two columns per group.
    TTextGrid g(5, 2);
    g.Cell(0, 0) = std::string(10, 'T');
    g.Cell(0, 1) = std::string(10, 'r');
    for (int c = 1; c < 5; ++c) {
        g.Cell(c, 0) = std::string(19, 'H') + std::to_string(c);
        g.Cell(c, 1) = std::string(19, 'v') + std::to_string(c);
    }
    std::vector<std::string> list;
    GridToRtf(list, g, 80, 5);
    const std::string gap(5, ' ');
    const auto bold = [](const std::string& s) { return std::string("\\b ").append(s).append("\\b0 "); };
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0], bold(g.Cell(0, 0)) + gap + bold(g.Cell(1, 0)) + gap + bold(g.Cell(2, 0)) + "\\par ");
    EXPECT_EQ(list[1], bold(g.Cell(0, 1)) + gap + g.Cell(1, 1) + gap + g.Cell(2, 1) + "\\par ");
    EXPECT_EQ(list[2], "\\par ");
    EXPECT_EQ(list[3], bold(g.Cell(0, 0)) + gap + bold(g.Cell(3, 0)) + gap + bold(g.Cell(4, 0)) + "\\par ");
    EXPECT_EQ(list[5], "\\par ");
}

TEST(TextHelpers, GridToRtfEdgeCases) {
    std::vector<std::string> list;
    TTextGrid only(1, 3);
    GridToRtf(list, only, 80, 5);
    EXPECT_TRUE(list.empty());  // only column 0: nothing
    // A column wider than the width forms a group of its own.
    TTextGrid wide(3, 1);
    wide.Cell(0, 0) = "t";
    wide.Cell(1, 0) = std::string(100, 'w');
    wide.Cell(2, 0) = "n";
    GridToRtf(list, wide, 80, 5);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], std::string("\\b t\\b0      \\b ").append(100, 'w').append("\\b0 \\par "));
    EXPECT_EQ(list[2], "\\b t\\b0      \\b n\\b0 \\par ");
    // A row title that alone reaches the width: still one column per group.
    TTextGrid longTitle(3, 1);
    longTitle.Cell(0, 0) = std::string(80, 't');
    longTitle.Cell(1, 0) = "a";
    longTitle.Cell(2, 0) = "b";
    list.clear();
    GridToRtf(list, longTitle, 80, 5);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], "\\b " + std::string(80, 't') + "\\b0      \\b a\\b0 \\par ");
    EXPECT_EQ(list[2], "\\b " + std::string(80, 't') + "\\b0      \\b b\\b0 \\par ");
    // An empty row title gets no gap in front of the first cell.
    TTextGrid untitled(2, 1);
    untitled.Cell(1, 0) = "c";
    list.clear();
    GridToRtf(list, untitled, 80, 5);
    EXPECT_EQ(list[0], "\\b \\b0 \\b c\\b0 \\par ");
}

TEST(TextHelpers, FixedTextFieldsAreCutAndZeroFilled) {
    char field[6];
    using namespace std::string_view_literals;
    SetFixedText(field, sizeof field, "ab\0cd"sv);  // a NUL inside ends the text
    EXPECT_EQ(std::string(field, sizeof field), std::string("ab\0\0\0\0", 6));
    SetFixedText(field, sizeof field, "abcdefgh");  // cut to the field, terminator kept
    EXPECT_EQ(std::string(field, sizeof field), std::string("abcde\0", 6));
    EXPECT_EQ(FixedText(field, sizeof field), "abcde");
    std::memset(field, 'y', sizeof field);  // no terminator at all: never read past the field
    EXPECT_EQ(FixedText(field, sizeof field), "yyyyyy");
    EXPECT_EQ(FixedText(field, sizeof field, 2), "yy");
}

TEST(TextHelpers, LinesOfATextFileAndBack) {
    using Lines = std::vector<std::string>;
    const struct {
        std::string text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"\r\n\r\nx\r", {"", "", "x"}},
        {"a\r\r\n", {"a\r"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitTextLines(c.text), c.lines) << c.text;
    EXPECT_EQ(JoinCrLfLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinCrLfLines({}), "");
}
