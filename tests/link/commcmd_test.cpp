// Command lists and the packed result of a communication run.
#include "Commcmd.h"

#include <gtest/gtest.h>

TEST(CommandList, NewCommandsAreEmptyAndGoWhereAsked) {
    TCommCmdList list;
    _CommCmd* first = list.Add();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->SuperService, 0);
    EXPECT_EQ(first->Service, 0);
    EXPECT_TRUE(first->Caption.empty());
    EXPECT_TRUE(first->Name.empty());
    EXPECT_EQ(first->Data, nullptr);
    EXPECT_EQ(first->Param, 0);
    EXPECT_EQ(first->Length, 0);
    EXPECT_EQ(first->Lines, nullptr);
    first->Service = csWriteBlock;

    _CommCmd* search = list.Insert(0);
    ASSERT_NE(search, nullptr);
    search->Service = csSearchQX;
    _CommCmd* last = list.Insert(list.Count());  // the end is a place too
    ASSERT_NE(last, nullptr);
    last->Service = csReadData;
    EXPECT_EQ(list.Insert(-1), nullptr);
    EXPECT_EQ(list.Insert(list.Count() + 1), nullptr);

    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0)->Service, csSearchQX);
    EXPECT_EQ(list.Get(1), first);
    EXPECT_EQ(list.Get(2)->Service, csReadData);
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_NE(list.Insert(0), nullptr);
}

TEST(CommandResult, TravelsAsOne32BitValue) {
    const struct {
        _CommResult result;
        uint32_t packed;
        bool success;
    } cases[] = {
        {{2, 0, 0}, 0x00000002, true},
        {{1, 0, 0}, 0x00000001, false},
        {{2, 4, 144}, 0x00900402, false},
        {{2, 0, 6}, 0x00060002, false},
        {{2, 15, 0xFFFF}, 0xFFFF0F02, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result.Pack(), c.packed);
        EXPECT_EQ(_CommResult::Unpack(c.packed), c.result);
        EXPECT_EQ(c.result.Succeeded(), c.success);
    }
    EXPECT_EQ(sizeof(_CommResult), 4u);
}
