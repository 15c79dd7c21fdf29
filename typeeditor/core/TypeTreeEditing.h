// Editing the type tree without any widget: which in-place editor a node
// opens, behind which gate, and what the editor starts with. The tree
// object (TypeTreeEditors.cpp) calls this and only shows the editors.
#pragma once

#include <cstdint>
#include <string>

class TTypeObjectData;

// The in-place editors of the tree's nodes.
enum class TTreeEditor {
    None,        // the node opens nothing
    EditBox,     // names and numbers: the one-line edit box
    SizeCombo,   // a field's size
    UnitsCombo,  // a field's units, editable, with the recent units
    CheckList,   // the eight bits of a table's Cfg byte or a field's flags
    Language,    // a language node: it becomes the current language at once
};

// The check list's eight bit names: the message of bit 0's name, the others
// following in order.
constexpr int TreeFlagBits = 8;
uint32_t TreeFlagTexts(int32_t nodeId);

// What opening a node's editor does.
struct TTreeEditPlan {
    TTreeEditor Editor = TTreeEditor::None;
    bool ExpertOnly = false;  // the node's editor opens only in expert mode
    int MaxLength = 0;        // the characters the edit box or units combo takes
    std::string Text;         // the edit box's or units combo's starting text
    int SizeIndex = -1;       // the size combo's entry
    uint8_t Bits = 0;         // the check list's ticked bits (bit 0 first)
    uint32_t FirstText = 0;   // the message of the check list's first bit name
    int32_t Language = -1;    // the language a language node makes current
};

// The editor of node nodeId (sub: its SubId; table: the table it belongs to,
// -1 for none) showing nodeText. Without expert mode only the language
// choice opens. withValue: the editor starts with the node's value (false:
// it starts empty, as when opened by Delete). A node naming a table, field
// or language the type has not opens nothing.
TTreeEditPlan PlanTreeEdit(const TTypeObjectData& type, int32_t nodeId, int32_t sub, int32_t table,
                           const std::string& nodeText, bool expert, bool withValue);
