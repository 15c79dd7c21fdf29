#include "ProgramSlots.h"

#include <algorithm>
#include <cstring>

void TakeSlotStatus(_ProgramSlotStatus& slot, const uint8_t* reply) {
    slot.FirstByte = reply[0];
    std::memset(slot.Name, 0, sizeof slot.Name);
    const uint8_t* name = reply + 1;
    const size_t length = std::find(name, name + ProgramNameSize, 0) - name;
    std::memcpy(slot.Name, name, length);
    std::memcpy(slot.SizeBytes, reply + 1 + ProgramNameSize, 3);
    slot.SegmentMask = reply[1 + ProgramNameSize + 3];
    slot.ProgramSize = slot.SizeBytes[0] | slot.SizeBytes[1] << 8 | static_cast<uint32_t>(slot.SizeBytes[2]) << 16;
}

void ClearSlotStatus(_ProgramSlotStatus& slot) {
    slot.FirstByte = 0;
    slot.SegmentMask = 0;
}

void BuildSegmentRows(_ProgramSegmentRow* rows, const _ProgramSlotStatus* slots, int count) {
    for (int k = 0; k < count; ++k) rows[k] = _ProgramSegmentRow();
    for (int j = 0; j < ProgramSlotCount; ++j) {
        const _ProgramSlotStatus& slot = slots[j];
        if (!slot.SegmentMask) continue;
        uint32_t rest = slot.ProgramSize;
        for (int k = 0; k < count && k < ProgramSegmentCount; ++k) {
            if (!(slot.SegmentMask & (1u << k))) continue;
            const uint32_t size = std::min(rest, ProgramSegmentBytes);
            rest -= size;
            _ProgramSegmentRow& row = rows[k];
            std::memcpy(row.Name, slot.Name, sizeof row.Name);
            row.SegmentMask = slot.SegmentMask;
            row.ProgramSize = slot.ProgramSize;
            row.SegmentSize = size;
            row.Slot = j;
        }
    }
}

int SegmentFillHeight(uint32_t bytes, int height) {
    if (height <= 0) return 0;
    return static_cast<int>(static_cast<uint64_t>(std::min(bytes, ProgramSegmentBytes)) * height / ProgramSegmentBytes);
}
