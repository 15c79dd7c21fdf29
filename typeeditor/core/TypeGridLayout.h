// The data grid of a type window without any widget: which tab shows what,
// how the grid is laid out for it, and the text of every cell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "DisplayFormat.h"
#include "TypeSelection.h"

class TMLSUnit;
class TTypeObjectData;

// Column captions of the grid in the selected language.
struct TTypeGridTexts {
    std::string Parameters, Configuration, Table, Nr, Text, Value, Min, Max, Units, Name, Field, Flag, Par;
    explicit TTypeGridTexts(const TMLSUnit& texts);
};

// Display-format slots of the application's DisplayFormats record.
enum : int32_t { SlotMin = 7, SlotMax = 8, SlotValue = 9, SlotFirstField = 13, SlotCount = 100 };

// Parameter columns.
enum : int32_t { ColNr = 0, ColPar = 1, ColText = 2, ColValue = 3, ColMin = 4, ColMax = 5, ColUnits = 6 };

// The display format of a slot; slots past the record count as decimal.
TDisplayFormat SlotFormat(const uint8_t* formats, int32_t slot);

// The tab texts: "Parameters", "Configuration", then one per table.
std::vector<std::string> TypeGridTabs(const TTypeObjectData& type, const TTypeGridTexts& texts);
// The tab that a selection shows, or -1; kind 2 (a language) becomes kind 0.
int32_t TabOfSelection(_TypeSelection& selection, int32_t tabCount);
// The selection kind (and table) that a chosen tab stands for.
void SelectionOfTab(_TypeSelection& selection, int32_t tab);

struct TTypeGridLayout {
    uint8_t Kind = 0;  // 0 parameters, 1 configuration, 3 a table, anything else none
    int32_t Table = -1;
    int32_t ColCount = 2;
    int32_t RowCount = 2;
    int32_t DefaultRowHeight = 20;
    int32_t HeaderRowHeight = 20;
    std::vector<int32_t> ColWidths;
    bool Empty = true;  // no data rows or no data columns
};

// A text as wide as the widest value a column can show in its display
// format (every digit of a binary value and its "b", "0x" and every
// hexadecimal digit, the sign and every decimal digit); empty for a column
// without values.
std::string WidestValueSample(const TTypeGridLayout& g, const TTypeObjectData& type, const uint8_t* formats,
                              int32_t col);

// Lays the grid out for the selection's tab; the selection's kind 2 becomes
// 0 and 4 becomes 3. gridWidth is the grid's whole width (its fixed first
// column and border included), textEditorWidth the parameter-text editor's
// width.
TTypeGridLayout LayoutTypeGrid(_TypeSelection& selection, const TTypeObjectData& type, const uint8_t* formats,
                               int32_t gridWidth, int32_t textEditorWidth);

// The text of a cell. The parameter text and switch names come whole; the
// painter wraps them. A tick column gives "1" or "" (the painter draws the
// tick).
std::string TypeGridCellText(TTypeObjectData& type, const TTypeGridLayout& layout, const TTypeGridTexts& texts,
                             int32_t currentLanguage, int32_t row, int32_t col);

// Cell kinds the painter draws differently.
enum class TGridCellStyle { Plain, ParamText, SwitchName, Tick };
TGridCellStyle TypeGridCellStyle(const TTypeGridLayout& layout, int32_t row, int32_t col);

// The lines of a text as a multi-line editor columns characters wide (fixed
// pitch) wraps it: a line breaks after the last blank that still fits, or
// at the edge when a word is longer than a line; blanks at a break stay on
// the line they end. CR LF and LF end a line.
std::vector<std::string> WrapFixedPitch(std::string_view text, int32_t columns);
