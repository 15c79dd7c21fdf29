// The menu editor's InfNot grid rules without widgets: the column map with
// and without the original texts, the cells an edit may start in, the
// ranges the editor takes (typed text -> range) and the characters a text
// cell takes.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "MenuInfNot.h"

namespace {

using C = TInfNotColumn;

TEST(MenuInfNot, ColumnsWithAndWithoutTheOriginalTexts) {
    struct Case {
        bool Linked;
        int Column;
        TInfNotColumn Kind;
        bool TakesEdits;
    } const cases[] = {
        {false, -1, C::None, false},        {false, 0, C::Number, false}, {false, 1, C::Range, true},
        {false, 2, C::Text, true},          {false, 3, C::None, false},   {true, 0, C::Number, false},
        {true, 1, C::Range, true},          {true, 2, C::OriginalText, false},
        {true, 3, C::Text, true},           {true, 4, C::None, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Linked) + " column " + std::to_string(c.Column));
        EXPECT_EQ(InfNotColumnOf(c.Linked, c.Column), c.Kind);
        EXPECT_EQ(InfNotColumnTakesEdits(c.Linked, c.Column), c.TakesEdits);
    }
    EXPECT_EQ(InfNotColumnCount(false), 3);
    EXPECT_EQ(InfNotColumnCount(true), 4);
    EXPECT_EQ(InfNotColumnOf(false, InfNotTextColumn(false)), C::Text);
    EXPECT_EQ(InfNotColumnOf(true, InfNotTextColumn(true)), C::Text);
}

TEST(MenuInfNot, EditsStartOnlyInAnItemsRangeOrText) {
    struct Case {
        const char* Name;
        int32_t Items;
        bool Linked, Language;
        int Column, Row;
        bool May;
    } const cases[] = {
        {"range", 3, false, true, 1, 1, true},
        {"range without a language", 3, false, false, 1, 3, true},
        {"text", 3, false, true, 2, 2, true},
        {"text without a language", 3, false, false, 2, 2, false},
        {"number", 3, false, true, 0, 1, false},
        {"header row", 3, false, true, 1, 0, false},
        {"no items: the row of dashes", 0, false, true, 1, 1, false},
        {"no items, text", 0, false, true, 2, 1, false},
        {"original text", 3, true, true, 2, 1, false},
        {"text beside the original", 3, true, true, 3, 1, true},
        {"text beside the original without a language", 3, true, false, 3, 1, false},
        {"range beside the original", 3, true, false, 1, 1, true},
        {"beyond the last column", 3, false, true, 3, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(MayEditInfNotCell(c.Items, c.Linked, c.Language, c.Column, c.Row), c.May);
    }
}

TEST(MenuInfNot, RangesFromZeroToTwentyAreTaken) {
    struct Case {
        const char* Typed;
        std::optional<int32_t> Range;
    } const cases[] = {
        {"0", 0},       {"20", 20},           {"7", 7},          {" 12", 12},  {"$14", 20},
        {"0x0A", 10},   {"21", std::nullopt}, {"-1", std::nullopt}, {"", std::nullopt},
        {"abc", std::nullopt}, {"5x", std::nullopt}, {"$15", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        EXPECT_EQ(InfNotRangeOf(c.Typed), c.Range);
    }
}

TEST(MenuInfNot, ATextCellTakesTheRangeLessItsTerminatorAtMostTheField) {
    struct Case {
        int32_t Range;
        int Most;
    } const cases[] = {{0, 0}, {1, 0}, {2, 1}, {10, 9}, {19, 18}, {20, 19}, {-3, 0}, {40, 19}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Range);
        EXPECT_EQ(InfNotTextMaxLength(c.Range, 19), c.Most);
    }
}

}  // namespace
