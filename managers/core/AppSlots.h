// The unit's seven application slots: where they lie, what their headers
// say, and where the blocks of an application file go. Each slot holds 16 KB
// from 0xE4000; an application file is built for 0xE0000..0xE3FFF and moved
// up by (slot + 1) x 0x4000.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "HexFormat.h"

constexpr int AppSlotCount = 7;
constexpr uint32_t AppSlotSize = 0x4000;
constexpr uint32_t AppSlotBase = 0xE4000;
constexpr uint32_t AppHeaderSize = 64;
constexpr uint32_t AppBlockSize = 128;
constexpr size_t AppNameMax = AppHeaderSize - 6 - 1;  // 57

struct _AppSlot {
    uint8_t used = 0;
    char text[AppHeaderSize] = {};  // the header as read; the bare name once taken
};

uint32_t AppSlotAddress(int slot);

// Takes a header as read into the slot: a header beginning with "APP_V:"
// makes the slot used and leaves the name (at most 57 characters) at the
// start of the text; any other header leaves a free slot.
void TakeSlotHeader(_AppSlot& slot);
std::string AppSlotName(const _AppSlot& slot);

// The name an application image will show in its slot: its header is the
// first 64 bytes of the image's first block, which may gather several
// records (a name of 20 characters runs past a record of 16 bytes). Empty
// when the header does not begin with "APP_V:".
std::string AppImageName(const std::vector<_HEXBlock>& blocks);

// The first free slot, or -1 when all are used.
int FirstFreeSlot(const _AppSlot (&slots)[AppSlotCount]);
// The first used slot holding the name (case-sensitive), or -1.
int SlotWithName(const _AppSlot (&slots)[AppSlotCount], const std::string& name);

// Where a block of the image lands in the slot, or nothing when it would not
// lie inside it: the unit address must satisfy start <= a and a + 128 < end,
// computed without overflow (the last 128 bytes of a slot are never written).
std::optional<uint32_t> AppBlockAddress(uint32_t imageAddress, int slot);

// The unit address of every block, or nothing when any block falls outside
// the slot; then nothing may be sent.
std::optional<std::vector<uint32_t>> PlaceAppBlocks(const std::vector<_HEXBlock>& blocks, int slot);
