// Application slots: headers, names, free slots and where blocks land.
#include "AppSlots.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

_AppSlot Header(const std::string& bytes) {
    _AppSlot s;
    std::memcpy(s.text, bytes.data(), std::min(bytes.size(), sizeof s.text));
    return s;
}

}  // namespace

TEST(AppSlots, SlotStarts) {
    const uint32_t starts[AppSlotCount] = {0xE4000, 0xE8000, 0xEC000, 0xF0000, 0xF4000, 0xF8000, 0xFC000};
    for (int i = 0; i < AppSlotCount; ++i) EXPECT_EQ(AppSlotAddress(i), starts[i]) << i;
    EXPECT_EQ(AppSlotAddress(6) + AppSlotSize, 0x100000u);
}

TEST(AppSlots, Headers) {
    const std::string long64 = "APP_V:" + std::string(58, 'N');  // 64 bytes, no NUL
    const struct {
        std::string header;
        bool used;
        std::string name;
    } cases[] = {
        {std::string("APP_V:Demo\0junk", 15), true, "Demo"},
        {"APP_V:", true, ""},
        {long64, true, std::string(57, 'N')},  // cut to 57
        {"APP_V" + std::string(59, 'x'), false, ""},
        {"app_v:Demo", false, ""},
        {std::string(64, '\xFF'), false, ""},  // erased memory
        {std::string(64, '\0'), false, ""},    // a deleted header
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.header.substr(0, 12));
        _AppSlot s = Header(k.header);
        TakeSlotHeader(s);
        EXPECT_EQ(s.used, k.used ? 1 : 0);
        if (k.used) {
            EXPECT_EQ(AppSlotName(s), k.name);
            EXPECT_EQ(s.text[AppHeaderSize - 1], 0);
        }
    }
}

TEST(AppSlots, FreeAndSameNamedSlots) {
    _AppSlot slots[AppSlotCount];
    EXPECT_EQ(FirstFreeSlot(slots), 0);
    EXPECT_EQ(SlotWithName(slots, ""), -1);  // free slots hold no name
    for (int i : {0, 1, 3, 4}) {
        slots[i] = Header("APP_V:App" + std::to_string(i));
        TakeSlotHeader(slots[i]);
    }
    EXPECT_EQ(FirstFreeSlot(slots), 2);
    EXPECT_EQ(SlotWithName(slots, "App4"), 4);
    EXPECT_EQ(SlotWithName(slots, "app4"), -1);
    EXPECT_EQ(SlotWithName(slots, "App"), -1);
    slots[5] = slots[6] = slots[2] = slots[4];
    EXPECT_EQ(FirstFreeSlot(slots), -1);
    EXPECT_EQ(SlotWithName(slots, "App4"), 2);  // the first of several
    // A name longer than 57 characters never matches the cut one.
    const std::string longName(60, 'L');
    slots[0] = Header("APP_V:" + longName);
    TakeSlotHeader(slots[0]);
    EXPECT_EQ(SlotWithName(slots, longName), -1);
    EXPECT_EQ(SlotWithName(slots, longName.substr(0, 57)), 0);
}

TEST(AppSlots, BlockPlacementAtTheEdgesAndBeyond32Bits) {
    const struct {
        uint32_t image;
        int slot;
        std::optional<uint32_t> unit;
    } cases[] = {
        {0xE0000, 0, 0xE4000}, {0xE0000, 1, 0xE8000}, {0xE0000, 6, 0xFC000},
        {0xE3F7F, 0, 0xE7F7F},                            // ends one byte before the slot end
        {0xE3F80, 0, std::nullopt},                       // ends exactly at the slot end
        {0xE3F80, 6, std::nullopt},
        {0xDFFFF, 0, std::nullopt},                       // below the image range
        {0xE4000, 0, std::nullopt},                       // the next slot
        {0, 0, std::nullopt},
        {0xFFFFBFF0, 0, std::nullopt},                    // a + 128 would wrap in 32 bits
        {0xFFFFFF80, 6, std::nullopt},                    // a itself beyond 32 bits
        {0xFFFE4000u - 0x4000u, 0, std::nullopt},
        {0xE0000, 7, std::nullopt}, {0xE0000, -1, std::nullopt},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << k.image << " slot " << k.slot);
        EXPECT_EQ(AppBlockAddress(k.image, k.slot), k.unit);
    }
}

TEST(AppSlots, ABlockOutsideRefusesTheWholeImage) {
    std::vector<_HEXBlock> blocks(3);
    blocks[0].Address = 0xE0000;
    blocks[1].Address = 0xE0080;
    blocks[2].Address = 0xE3F00;
    EXPECT_EQ(PlaceAppBlocks(blocks, 2), (std::vector<uint32_t>{0xEC000, 0xEC080, 0xEFF00}));
    blocks[2].Address = 0xFFFFFFF0u - 0x4000u;  // lands at 0xFFFFFFF0: would wrap past the slot's end check
    EXPECT_FALSE(PlaceAppBlocks(blocks, 0));
    EXPECT_EQ(PlaceAppBlocks({}, 0), std::vector<uint32_t>{});
}

TEST(AppSlots, TheImagesNameIsTheHeaderItWritesIntoTheSlot) {
    const struct {
        std::string bytes;
        std::string name;
    } cases[] = {
        {std::string("APP_V:Demo\0junk", 15), "Demo"},
        {"APP_V:A name that runs past sixteen bytes", "A name that runs past sixteen bytes"},
        {"APP_V:" + std::string(100, 'N'), std::string(57, 'N')},  // as the slot shows it
        {"APP_X:Demo", ""},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<_HEXBlock> blocks(2);
        std::memcpy(blocks[0].Data, k.bytes.data(), std::min(k.bytes.size(), sizeof blocks[0].Data));
        std::memcpy(blocks[1].Data, "APP_V:Other", 11);
        EXPECT_EQ(AppImageName(blocks), k.name);
    }
    EXPECT_EQ(AppImageName({}), "");
}
