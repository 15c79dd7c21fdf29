// The menu editor's InfNot grid without any widget: which column shows what,
// which cell an edit may start in, the ranges the editor takes and the
// characters a text cell takes. The menu window (QXMenuInfNot.cpp) calls
// these and only shows the grid and its editor.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// What a column of the grid shows. With the original texts shown the grid
// has four columns, Nr, Range, Original Text and Text; else three, the
// original texts left out.
enum class TInfNotColumn {
    Number,        // the item's number, fixed
    Range,         // the item's range, edited
    OriginalText,  // the default menu's text, shown only
    Text,          // the text in the selected language, edited
    None,          // no such column
};

// The columns of the grid: 4 with the original texts shown, else 3.
int InfNotColumnCount(bool showLinked);

// The text column: 3 with the original texts shown, else 2.
int InfNotTextColumn(bool showLinked);

// What column (0-based) shows.
TInfNotColumn InfNotColumnOf(bool showLinked, int column);

// Whether the cells of column take edits at all: the range and the text.
// The grid marks them editable while it shows any item.
bool InfNotColumnTakesEdits(bool showLinked, int column);

// May an edit start in the cell at column and row (the header row being row
// 0)? Only on an item's row, in its range, or in its text while a language
// is selected.
bool MayEditInfNotCell(int32_t itemCount, bool showLinked, bool languageSelected, int column, int row);

// The largest range the editor takes; the smallest is 0.
constexpr int32_t MaxInfNotRange = 20;

// The range a typed text gives: an integer as the program reads them, 0 to
// MaxInfNotRange; nothing for any other text (the caller refuses it and
// keeps the item's range).
std::optional<int32_t> InfNotRangeOf(std::string_view text);

// The characters a text cell takes for an item of this range: what the menu
// keeps of a text (textLength, its field) and of its range (the range less
// the terminator), the fewer of the two.
int InfNotTextMaxLength(int32_t range, int textLength);
