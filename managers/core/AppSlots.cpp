#include "AppSlots.h"

#include <cstring>

#include "TextHelpers.h"

uint32_t AppSlotAddress(int slot) { return AppSlotBase + static_cast<uint32_t>(slot) * AppSlotSize; }

void TakeSlotHeader(_AppSlot& slot) {
    slot.used = HEXFormat::IsAppVersion(std::string_view(slot.text, 6)) ? 1 : 0;
    if (!slot.used) return;
    slot.text[AppHeaderSize - 1] = 0;
    std::memmove(slot.text, slot.text + 6, AppHeaderSize - 6);
    std::memset(slot.text + AppHeaderSize - 6, 0, 6);
}

std::string AppSlotName(const _AppSlot& slot) { return FixedText(slot.text, sizeof slot.text); }

std::string AppImageName(const std::vector<_HEXBlock>& blocks) {
    if (blocks.empty()) return {};
    _AppSlot header;
    std::memcpy(header.text, blocks.front().Data, AppHeaderSize);
    TakeSlotHeader(header);
    return header.used ? AppSlotName(header) : std::string();
}

int FirstFreeSlot(const _AppSlot (&slots)[AppSlotCount]) {
    for (int i = 0; i < AppSlotCount; ++i)
        if (!slots[i].used) return i;
    return -1;
}

int SlotWithName(const _AppSlot (&slots)[AppSlotCount], const std::string& name) {
    for (int i = 0; i < AppSlotCount; ++i)
        if (slots[i].used && AppSlotName(slots[i]) == name) return i;
    return -1;
}

std::optional<uint32_t> AppBlockAddress(uint32_t imageAddress, int slot) {
    if (slot < 0 || slot >= AppSlotCount) return std::nullopt;
    const uint64_t start = AppSlotAddress(slot);
    const uint64_t end = start + AppSlotSize;
    const uint64_t a = uint64_t{imageAddress} + uint64_t(slot + 1) * AppSlotSize;
    if (a < start || a + AppBlockSize >= end) return std::nullopt;
    return static_cast<uint32_t>(a);
}

std::optional<std::vector<uint32_t>> PlaceAppBlocks(const std::vector<_HEXBlock>& blocks, int slot) {
    std::vector<uint32_t> addresses;
    addresses.reserve(blocks.size());
    for (const _HEXBlock& b : blocks) {
        const auto a = AppBlockAddress(b.Address, slot);
        if (!a) return std::nullopt;
        addresses.push_back(*a);
    }
    return addresses;
}
