// Editing the type grid without any widget: which editor a cell opens, what
// it starts with, how a typed text is stored, the clamp rules, the texts of
// the multi-line editors and the parameter row move. The grid object
// (TypeDataGrid) calls these and only shows the editors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TypeGridLayout.h"

class TTypeData6;
class TTypeObjectData;
struct _ParamFormatItem;

// The editors of the grid's cells.
enum class TGridEditor {
    None,         // the cell opens nothing
    GridText,     // the grid's own one-line editor
    ParamText,    // the text panel (parameter texts)
    SwitchName,   // the switch panel (switch names)
    Units,        // the units combo
    Toggle,       // a switch flag: inverted at once
    Binary,       // the binary edit bar
};

// What opening a cell's editor does.
struct TGridEditPlan {
    TGridEditor Editor = TGridEditor::None;
    std::string Text;         // the editor's starting text (empty when opened by Delete)
    int32_t Parameter = -1;   // the parameter of a Parameters cell
    int32_t Switch = -1;      // the switch index (0 = switch 1) of a Configuration cell
    int32_t Bits = 0;         // the binary bar's bit count
    uint32_t Value = 0;       // the binary bar's starting value
};

// The editor of cell (row, col) of the grid as laid out. Without expert mode
// the parameter code, text, limits and units and the switch names open
// nothing; values, flags and table cells always open their editor. clear:
// the Delete key opened it (the editor starts empty).
TGridEditPlan PlanGridEdit(TTypeObjectData& type, const TTypeGridLayout& layout, int32_t language, bool expert,
                           int32_t row, int32_t col, bool clear);

// Stores the text of the grid's one-line editor into cell (row, col).
// Returns false when nothing may be stored there (no such parameter, table
// or field, or a structural cell without expert mode); the caller then
// reports nothing.
bool StoreGridText(TTypeObjectData& type, const TTypeGridLayout& layout, int32_t language, bool expert, int32_t row,
                   int32_t col, const std::string& text);

// Stores the binary bar's result into cell (row, col) as StoreGridText does
// for a text.
bool StoreBinaryResult(TTypeObjectData& type, const TTypeGridLayout& layout, int32_t row, int32_t col,
                       uint32_t value);

// Inverts a switch flag of data set 0 (clear: the Delete key clears it).
void ToggleSwitch(TTypeData6& type, int32_t switchIndex, bool clear);

// A parameter value as stored: 0..65535, then below the minimum the
// minimum, else above the maximum the maximum.
uint16_t ClampParamValue(int64_t value, const _ParamFormatItem& format);
// A bound as stored: 0..65535.
uint16_t ClampBound(int64_t value);
// The 32 bits a table cell stores for a typed number. Above the field's
// range a field stores its largest value (the mask; for a signed field its
// largest positive value), below it the smallest (for a signed field its
// most negative value, for an unsigned one -2^31); a number inside keeps its
// bits, negative numbers in two's complement, so a hexadecimal pattern
// typed as the grid shows it reads back.
uint32_t CellBitsOfInput(int64_t value, int size, bool isSigned);

// The text of a multi-line editor as stored: its lines as the editor shows
// them, at most maxLines, each padded with blanks and cut to width, the
// blanks ending the last one dropped, all joined.
std::string ComposeEditorLines(const std::vector<std::string>& lines, int32_t maxLines, int32_t width);

// The units a combo stores: without the blanks around them, at most 7
// characters.
std::string StoredUnits(const std::string& text);

// Sorts the recent units in ascending order of their text, letter case aside.
void SortUnits(std::vector<std::string>& units);

// Moves parameter source to target (0-based), the others closing up behind
// it; texts in every language, format and values in every data set travel
// with it. Nothing moves when the model refuses to add or insert. True when
// it moved.
bool MoveParameter(TTypeData6& type, int32_t source, int32_t target);
