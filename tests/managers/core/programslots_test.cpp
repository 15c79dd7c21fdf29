// The program slots without a window: a slot's status from the unit's
// bytes, the segment rows built from the slots, the fill bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ProgramSlots.h"

namespace {

struct Slot {
    int index;
    const char* name;
    uint32_t size;
    uint8_t mask;
};

struct RowExpect {
    const char* name;
    uint32_t segmentSize;
    int slot;
};

struct RowsCase {
    const char* what;
    std::vector<Slot> slots;
    std::vector<RowExpect> rows;  // eight
};

class SegmentRows : public testing::TestWithParam<RowsCase> {};

TEST_P(SegmentRows, SpreadEachProgramOverItsSegments) {
    const RowsCase& c = GetParam();
    _ProgramSlotStatus slots[ProgramSlotCount];
    for (const Slot& s : c.slots) {
        std::strcpy(slots[s.index].Name, s.name);
        slots[s.index].ProgramSize = s.size;
        slots[s.index].SegmentMask = s.mask;
    }
    _ProgramSegmentRow rows[ProgramSegmentCount];
    rows[5].Slot = 3;  // stale content goes
    std::strcpy(rows[5].Name, "OLD");
    BuildSegmentRows(rows, slots, ProgramSegmentCount);
    ASSERT_EQ(c.rows.size(), 8u);
    for (int k = 0; k < ProgramSegmentCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_STREQ(rows[k].Name, c.rows[k].name);
        EXPECT_EQ(rows[k].SegmentSize, c.rows[k].segmentSize);
        EXPECT_EQ(rows[k].Slot, c.rows[k].slot);
        if (c.rows[k].slot >= 0) {
            EXPECT_EQ(rows[k].SegmentMask, slots[c.rows[k].slot].SegmentMask);
            EXPECT_EQ(rows[k].ProgramSize, slots[c.rows[k].slot].ProgramSize);
        } else {
            EXPECT_EQ(rows[k].SegmentMask, 0);
            EXPECT_EQ(rows[k].ProgramSize, 0u);
        }
    }
}

const RowExpect Free{"", 0, -1};

INSTANTIATE_TEST_SUITE_P(
    ProgramSlots, SegmentRows,
    testing::Values(
        RowsCase{"all free", {}, {Free, Free, Free, Free, Free, Free, Free, Free}},
        RowsCase{"70000 bytes over segments 0, 1 and 3",
                 {{2, "BIG", 70000, 0x0B}},
                 {{"BIG", 32767, 2}, {"BIG", 32767, 2}, Free, {"BIG", 4466, 2}, Free, Free, Free, Free}},
        RowsCase{"a mask with more segments than the size needs",
                 {{0, "SMALL", 100, 0x03}},
                 {{"SMALL", 100, 0}, {"SMALL", 0, 0}, Free, Free, Free, Free, Free, Free}},
        RowsCase{"exactly one segment's worth",
                 {{1, "FULL", 32767, 0x81}},
                 {{"FULL", 32767, 1}, Free, Free, Free, Free, Free, Free, {"FULL", 0, 1}}},
        RowsCase{"overlapping masks: the higher slot owns the shared segment",
                 {{1, "LOW", 40000, 0x06}, {4, "HIGH", 10, 0x04}, {7, "TOP", 5, 0x40}},
                 {Free, {"LOW", 32767, 1}, {"HIGH", 10, 4}, Free, Free, Free, {"TOP", 5, 7}, Free}}),
    [](const auto& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(ProgramSlots, StatusBytesGiveNameSizeAndMaskWithinTheirFields) {
    struct Case {
        const char* what;
        std::vector<uint8_t> name;  // 16 bytes as the unit sends them
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"terminated", {'P', 'U', 'M', 'P', 0, 'x', 'y'}, "PUMP"},
        {"sixteen characters without terminator",
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'},
         "ABCDEFGHIJKLMNOP"},
        {"empty", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint8_t reply[ProgramStatusSize];
        std::memset(reply, 0x5A, sizeof reply);  // every byte written
        reply[0] = 0x77;
        std::memset(reply + 1, 0, 16);
        std::copy(c.name.begin(), c.name.end(), reply + 1);
        reply[17] = 0x70;  // 0x011170 = 70000
        reply[18] = 0x11;
        reply[19] = 0x01;
        reply[20] = 0x0B;
        _ProgramSlotStatus slot;
        std::memset(slot.Name, 'Z', sizeof slot.Name);
        TakeSlotStatus(slot, reply);
        EXPECT_EQ(slot.FirstByte, 0x77);
        EXPECT_STREQ(slot.Name, c.expected);
        EXPECT_EQ(slot.ProgramSize, 70000u);
        EXPECT_EQ(slot.SegmentMask, 0x0B);
    }
}

TEST(ProgramSlots, FillBarGrowsWithTheSegmentsUse) {
    struct Case {
        uint32_t bytes;
        int height, expected;
    };
    // The bar of a 60-pixel row is 46 pixels high.
    for (const Case& c : std::vector<Case>{{0, 46, 0}, {32767, 46, 46}, {16384, 46, 23}, {4466, 46, 6}, {1, 46, 0},
                                           {40000, 46, 46}, {32767, 0, 0}, {100, -5, 0}})
        EXPECT_EQ(SegmentFillHeight(c.bytes, c.height), c.expected) << c.bytes << " in " << c.height;
}

}  // namespace
