// The type window's commands without any widget: when each is offered, and
// the texts the window shows.
#pragma once

#include <cstdint>
#include <string>

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
// Whether the window carries out the command yet; the others stand in the
// menus and stay disabled.
bool TypeCommandBuilt(TTypeCommand command);

// The window caption: "<Type> <name>", then " [<display name>]" unless the
// two names are equal.
std::string TypeWindowCaption(const std::string& typeText, const std::string& typeName,
                              const std::string& displayName);
// The status panel of the clipboard store: "P", "T", "F" or empty.
std::string ClipboardKindText(int32_t kind);
// An entry of the Language submenu: "2>  German" for the current language,
// "2. German" for the others.
std::string LanguageMenuCaption(int32_t index, const std::string& name, bool current);
