// The unit's eight program slots and eight memory segments of 32767 bytes:
// the status a slot reports and the rows the Program Manager shows, one per
// segment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int ProgramSlotCount = 8;
constexpr int ProgramSegmentCount = 8;
constexpr uint32_t ProgramSegmentBytes = 32767;
// What the unit answers for a slot.
constexpr size_t ProgramStatusSize = 23;
constexpr size_t ProgramNameSize = 16;

struct _ProgramSlotStatus {
    uint8_t FirstByte = 0;
    char Name[ProgramNameSize + 1] = {};  // one byte more: a name of 16 stays terminated
    uint8_t SizeBytes[3] = {};
    uint8_t SegmentMask = 0;  // bit k: the program occupies segment k; 0: slot empty
    uint32_t ProgramSize = 0;
};

struct _ProgramSegmentRow {
    char Name[ProgramNameSize + 1] = {};
    uint8_t SegmentMask = 0;  // the owning program's whole mask; 0: free
    uint32_t ProgramSize = 0;
    uint32_t SegmentSize = 0;  // the part stored in this segment
    int32_t Slot = -1;
};

// Takes a slot's status from the bytes the unit answered: first byte, name
// (16 bytes, read up to its NUL and never beyond the field), 24-bit size
// (little-endian), segment mask; the two bytes after them are not used.
void TakeSlotStatus(_ProgramSlotStatus& slot, const uint8_t* reply);
// Empties the first byte and the mask before a run.
void ClearSlotStatus(_ProgramSlotStatus& slot);

// The rows of the segments: each program's size spread over the segments
// of its mask in ascending order, 32767 bytes each, the rest in the last;
// a higher slot takes a segment that two masks share.
void BuildSegmentRows(_ProgramSegmentRow* rows, const _ProgramSlotStatus* slots, int count);

// Height of the fill bar of a segment holding `bytes` in a bar of `height`.
int SegmentFillHeight(uint32_t bytes, int height);
