// The unit memory-block images of a type (format V2, the format of units
// whose model version has the major number 2): one Parameters Text block
// (kind 1, memory type 0) with the name, two languages, the switch texts and
// the parameter texts and formats, and one Parameters Data block (kind 3,
// memory type 1) per data set with its switch mask and values.
//
// Parameters Text image, 1236 + 142 x (P + 1) bytes:
//   0 name padded (16 characters, blank-padded, NUL) | 17 P + 1 | 18 zero[2]
//   20 + 76 i  switch i+1 in language A, 38 bytes | 58 + 76 i  the same in B
//   1236 record 0, all zero | 1236 + 142 (p + 1) record of parameter p:
//     0 text A[64] | 64 text B[64] | 128 units[8] | 136 min | 138 max | 140 zero[2]
// Parameters Data image, 38 + 2 P bytes:
//   0 name padded | 17 name padded | 34 P + 1 | 35 zero | 36 mask | 38 + 2 p value p
// Numbers are little-endian; every byte that no field fills is zero.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "MessageIds.h"
#include "ModelVersion.h"
#include "QXBlock.h"

class TTypeData6;

// What the block images need of the application record, and how they ask
// the user.
struct _BlockContext {
    // The model version of the unit the images are for (or come from).
    _QXModelVersion ModelVersion;
    // Asks message 1004 "Set: %s (%s)\r\nData set already exists, overwrite?"
    // with its two texts (Yes/No, warning icon, the program title as
    // caption); true for Yes. Not set: every such question is answered No.
    std::function<bool(std::string_view set, std::string_view owner)> AskOverwrite;
    // Set by a writer that refuses a type or table: the message id (0 when
    // nothing was refused) and the texts for its two placeholders.
    uint16_t RefusalId = 0;
    std::string RefusalArgs[2];

    bool Ask(std::string_view set, std::string_view owner) const { return AskOverwrite && AskOverwrite(set, owner); }
    void Refuse(uint16_t id, std::string first, std::string second) {
        RefusalId = id;
        RefusalArgs[0] = std::move(first);
        RefusalArgs[1] = std::move(second);
    }
};

// ------------------------------------------------------------ shared by the block images

constexpr size_t PaddedNameSize = 17;
// The largest parameter count an image can describe (its count byte holds P + 1).
constexpr int32_t MaxBlockParameters = 254;
constexpr uint32_t TypeTextFixedSize = 1236;
constexpr uint32_t ParamRecordSize = 142;
constexpr uint32_t TypeDataFixedSize = 38;

// The only image format: the model version's major number must be 2.
bool IsBlockFormatV2(const _BlockContext& context);
// name cut to 16 characters, blanks up to 16, then one NUL (17 bytes).
void PutPaddedName(uint8_t* at, std::string_view name);
// The text of an image field: up to its NUL, never beyond the field.
std::string ImageText(const uint8_t* at, size_t size);
// The text without leading and trailing blanks and control characters
// (every byte below 33).
std::string TrimBlockName(std::string_view text);
// The data of a block whose header's length agrees with the bytes it holds;
// null for a missing block, a block without data or one whose header and
// data disagree.
const uint8_t* BlockImage(const TQXBlockMem* block, uint32_t& length);
uint8_t BlockKind(const TQXBlockMem* block);

// Where the data block at the given position among the data blocks of one
// definition goes. The images carry no data-set name or number: the data
// blocks follow their text block in data-set order, so the block at position
// k is data set k. An existing data set k is overwritten only when the user
// answers the question with Yes (its texts: the block's name as stored and
// the owner's name); otherwise a new data set is added when there is room.
enum class DataBlockTarget { Ignore, Overwrite, Add };
DataBlockTarget PlaceDataBlock(int32_t position, int32_t dataSetCount, bool canAdd, const _BlockContext& context,
                               std::string_view storedName, std::string_view ownerName);

// ------------------------------------------------------------ entry points

// Appends the type's blocks for the languages a and b. False without effect
// when the format is not V2, or (with the context's refusal set) when the
// type has more parameters than an image describes.
bool TypeDataToBlocks(const TTypeData6& type, TQXBlockMemList& list, _BlockContext& context, int32_t a, int32_t b);
bool TypeDataToBlocksV2(const TTypeData6& type, TQXBlockMemList& list, _BlockContext& context, int32_t a, int32_t b);
// Refuses (the context's refusal set) a type whose blocks cannot be built.
bool CheckTypeDataBlocks(const TTypeData6& type, _BlockContext& context);

// Rebuilds the definition from the blocks of the list. False without effect
// when the format is not V2.
bool TypeDataFromBlocks(TTypeData6& type, const TQXBlockMemList& list, _BlockContext& context, bool reset);
bool TypeDataFromBlocksV2(TTypeData6& type, const TQXBlockMemList& list, _BlockContext& context, bool reset);

// The block's names from its head copy: kind 1 → its name and ""; kind 3 →
// the two names at 0 and 17. Blank padding kept.
bool GetTypeBlockNames(const TQXBlockMem* block, const _BlockContext& context, std::string& first,
                       std::string& second);
bool GetTypeBlockNamesV2(const TQXBlockMem* block, const _BlockContext& context, std::string& first,
                         std::string& second);

// True when a Parameters Data block of this type and size is in the list;
// with apply its mask and values go into data set 0.
bool LoadTypeDataSetBlock(TTypeData6& type, const TQXBlockMemList& list, const _BlockContext& context, bool apply);
bool LoadTypeDataSetBlockV2(TTypeData6& type, const TQXBlockMemList& list, const _BlockContext& context,
                            bool apply);
