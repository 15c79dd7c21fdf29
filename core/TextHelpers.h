// Small text helpers of the models, the report and the windows. Texts are
// single-byte (Windows-1252) texts; lengths count bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Every backslash doubled; everything else unchanged.
std::string DoubleBackslashes(std::string_view text);

// 8 x bytes binary digits of the value's low 8 x bytes bits, most significant
// first, followed by "b". A byte count outside 0..4 is taken as 4.
std::string IntToBin(uint32_t value, int bytes);

// The first n characters; the whole text when it is not longer (n < 0: empty).
std::string LeftStr(std::string_view text, int n);

// Every '&' removed ("&&" loses both).
std::string RemoveAmpersands(std::string_view text);

// Every occurrence of from replaced by to.
std::string ReplaceChar(std::string_view text, char from, char to);

// The hint of a tool-bar button: its caption with the first '&' removed
// (unchanged when it has none). The window layer applies it to every button
// of a tool bar.
std::string ButtonHintFromCaption(std::string_view caption);

// The texts of a string grid as the report lays it out: Cells[col][row].
// Column 0 holds the row titles and row 0 the column titles.
struct TTextGrid {
    std::vector<std::vector<std::string>> Cells;

    TTextGrid() = default;
    TTextGrid(int cols, int rows);
    int ColCount() const { return static_cast<int>(Cells.size()); }
    int RowCount() const { return Cells.empty() ? 0 : static_cast<int>(Cells[0].size()); }
    std::string& Cell(int col, int row) { return Cells[static_cast<size_t>(col)][static_cast<size_t>(row)]; }
    const std::string& Cell(int col, int row) const {
        return Cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
    }
};

// Pads every cell of each column (fixed ones included) on the right with
// blanks to the length of the longest text of that column.
void PadGridColumns(TTextGrid& grid);

// Appends the grid as RTF paragraphs to the list: the columns after column 0
// are split into groups that fit the width (measured on row 0), and every
// group is printed as a block of rows with column 0 repeated in front; column
// 0 and row 0 are bold. A grid with only column 0 produces nothing.
void GridToRtf(std::vector<std::string>& list, const TTextGrid& grid, int width, int gap);

// Fixed-size text fields of the model records: NUL-terminated, at most
// size - 1 characters (a longer text is cut, a NUL inside it ends it), every
// byte after the text zero.
void SetFixedText(char* field, size_t size, std::string_view text);
// The text of such a field: up to its first NUL, never beyond the field.
std::string FixedText(const char* field, size_t size);
// The same, cut to at most limit characters.
std::string FixedText(const char* field, size_t size, size_t limit);

// The lines of a text as a line list reads them: split at line feeds, a
// carriage return before one dropped, no empty line after the last line end.
std::vector<std::string> SplitTextLines(std::string_view text);
// The lines as a text file holds them, each ended by CR LF.
std::string JoinCrLfLines(const std::vector<std::string>& lines);
