// The type window's commands without any widget: when each is offered, and
// the texts the window shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "TypeSelection.h"

class TTypeObjectData;

enum class TTypeCommand {
    AddTable, InsertTable, DeleteTable, CopyTable, PasteTable,
    AddField, InsertField, DeleteField, CopyField, PasteField,
    AddRow, InsertRow, DeleteRow,
    AddParameter, InsertParameter, DeleteParameter, CopyParameter, PasteParameter,
    AddLanguage, InsertLanguage, DeleteLanguage, RenameLanguage,
    Language, ViewEditAs, ViewEditAsFormat,
    DownloadType, UploadType,
};

// What a command's enabled state depends on.
struct TTypeCommandState {
    _TypeSelection Selection;
    bool Expert = false;
    int32_t ClipboardKind = -1;  // what the clipboard store holds, -1 nothing
    const TTypeObjectData* Type = nullptr;
    int32_t ViewSlot = -1;
};

// Whether the command is offered: every command that changes the structure
// of a type needs expert mode; the language choice, the display formats and
// the transfers do not.
bool TypeCommandEnabled(TTypeCommand command, const TTypeCommandState& state);
// What a successful structure command leaves selected, from the selection
// it ran on and the type as it is afterwards: a new table, field, row or
// parameter is selected; after a deletion the element now at that place,
// or the one before it, or the level above when none is left. The language
// commands and the pastes leave the selection as it is.
_TypeSelection SelectionAfter(TTypeCommand command, const _TypeSelection& selection, const TTypeObjectData& type);

// A table name as the user typed it, as it is stored: characters below 33
// removed at both ends, cut to 16 characters, and what the cut left at the
// end removed as well. The empty and duplicate checks run on this text, so
// that two long names never become one.
std::string TableNameFromInput(std::string_view text);
// The name proposed for a new table: "Table 3" for a type with two tables.
std::string ProposedTableName(const std::string& tableText, int32_t tableCount);
// The current language after language deleted was deleted, count languages
// remaining: it stays on the same language when that still exists.
int32_t CurrentLanguageAfterDelete(int32_t current, int32_t deleted, int32_t count);

// The window caption: "<Type> <name>", then " [<display name>]" unless the
// two names are equal.
std::string TypeWindowCaption(const std::string& typeText, const std::string& typeName,
                              const std::string& displayName);
// The status panel of the clipboard store: "P", "T", "F" or empty.
std::string ClipboardKindText(int32_t kind);
// An entry of the Language submenu: "2>  German" for the current language,
// "2. German" for the others.
std::string LanguageMenuCaption(int32_t index, const std::string& name, bool current);
