// The unit memory-block images of a table (format V2): one Table Text block
// (kind 2, memory type 0) with the names, the row count, the attributes and
// the field definitions, and one Table Data block (kind 4, memory type 1)
// per data set with the cells.
//
// Table Text image, 44 + 32 F bytes:
//   0 table name padded | 17 owner type name padded | 34 R (uint16) | 36 F
//   37 Function | 38 Block | 39 Cfg | 40 Level | 41 zero[3]
//   44 + 32 f  field f: 0 name[18] | 18 units[8] | 26 zero[4] | 30 size | 31 flags
// Table Data image, 36 + R x W bytes (W the row size):
//   0 table name padded | 17 owner type name padded | 34 zero[2]
//   36 the cells row after row, within a row field after field, each as the
//      low "size" bytes of its value, least significant first; a field whose
//      size is not 1..4 contributes no bytes.
// Names are blank-padded here (not NUL-filled as in the type file), and the
// cells run row after row (not field after field as in the type file).
#pragma once

#include <cstdint>
#include <string>

#include "QXBlock.h"
#include "TypeBlocks.h"

class TTableData;

constexpr uint32_t TableTextFixedSize = 44;
constexpr uint32_t FieldRecordSize = 32;
constexpr uint32_t TableDataFixedSize = 36;
// The cells of one data set that a Table Data image can hold: its length
// must fit the block header (36 + R x W + 6 <= 65535).
constexpr uint32_t MaxTableDataBytes = 65493;

// Appends the table's blocks; the caller sets the owner type name first.
// False without effect when the format is not V2, or (with the context's
// refusal set) when a data set needs more than MaxTableDataBytes.
bool TableDataToBlocks(const TTableData& table, TQXBlockMemList& list, _BlockContext& context);
bool TableDataToBlocksV2(const TTableData& table, TQXBlockMemList& list, _BlockContext& context);
// Refuses (the context's refusal set) a table whose blocks cannot be built.
bool CheckTableDataBlocks(const TTableData& table, _BlockContext& context);

// Rebuilds the table from the blocks of the list. False without effect when
// the format is not V2.
bool TableDataFromBlocks(TTableData& table, const TQXBlockMemList& list, _BlockContext& context, bool reset);
bool TableDataFromBlocksV2(TTableData& table, const TQXBlockMemList& list, _BlockContext& context, bool reset);

// The names at 0 and 17 of the head copy of a block of kind 2 or 4, blank
// padding kept.
bool GetTableBlockNames(const TQXBlockMem* block, const _BlockContext& context, std::string& first,
                        std::string& second);
bool GetTableBlockNamesV2(const TQXBlockMem* block, const _BlockContext& context, std::string& first,
                          std::string& second);

// True when a Table Data block of this table and size is in the list; with
// apply its cells go into data set 0.
bool LoadTableDataSetBlock(TTableData& table, const TQXBlockMemList& list, const _BlockContext& context, bool apply);
bool LoadTableDataSetBlockV2(TTableData& table, const TQXBlockMemList& list, const _BlockContext& context,
                             bool apply);
