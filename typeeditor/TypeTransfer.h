// Sending a type to the unit ("Type PC -> QX") and reading its current
// values back ("Type QX -> PC"). The command lists and the choice of the
// blocks to read are plain functions; the two commands run them through the
// communication dialog on behalf of a type window.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "Commcmd.h"
#include "QXBlock.h"

struct _BlockContext;
class TfrmTypeObject;

// One write-block command per block of the list, in list order (a missing
// entry is skipped); each command's Data is the block itself.
void AddWriteBlockCommands(TCommCmdList& commands, TQXBlockMemList& blocks, const std::string& caption);
// The command that deletes the type in the unit: its name goes blank-padded.
void AddDeleteTypeCommand(TCommCmdList& commands, const std::string& caption, const std::string& typeName);
// The command that reads the unit's block list into blocks.
void AddReadBlockListCommand(TCommCmdList& commands, const std::string& caption, TQXBlockMemList& blocks);

// True for a data block of this type: a Parameters Data block whose two
// names are the type's, or a Table Data block whose owner is the type. Names
// are compared trimmed and case-sensitive.
bool IsTypeDataBlock(const TQXBlockMem* block, const _BlockContext& context, std::string_view typeName);
// Keeps the data blocks of the type, in the unit's order, and adds a read
// command for each; every other entry is removed from the list.
void SelectTypeDataBlocks(TQXBlockMemList& blocks, const _BlockContext& context, std::string_view typeName,
                          TCommCmdList& commands, const std::string& caption);

// The two commands of the type window.
void DownloadType(TfrmTypeObject& window);
void UploadType(TfrmTypeObject& window);

