// What the simulated unit keeps stays consistent: a block written through
// the block services shows in the block list and in the unit's memory, the
// memory services cannot write over the blocks, and the application slots
// lie at the top of its 1 MB.
#include "CommDriver.h"
#include "Messages.h"
#include "Mlsunit.h"
#include "QXBlock.h"
#include "QXMenu.h"
#include "SimOptions.h"
#include "SimUnit.h"
#include "SimUnitServices.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {
using Bytes = std::vector<uint8_t>;

class UnitMemory : public ::testing::Test {
protected:
    SimUnit sim;
    SimUnitServices unit{sim};
    TMLSUnit texts{BuiltInMessages, std::string()};
    std::unique_ptr<TBaseComModule> link;
    TCommCmdList list;

    void SetUp() override {
        MapComPorts({{1, &sim}});
        link = std::make_unique<TBaseComModule>(&texts);
        link->GetMonitor()->SetTimeout(100);
    }
    void TearDown() override {
        link.reset();
        ClearComPorts();
    }
    _CommCmd* Add(int32_t service) {
        _CommCmd* c = list.Add();
        c->Service = service;
        c->Caption = "Command";
        return c;
    }
    _CommResult Go() {
        CommDriver driver;
        const auto out = driver.Run(*link, list);
        list.Clear();
        return out.Result;
    }
    Bytes Read(uint32_t address, size_t n) {
        Bytes buffer(n, 0xEE);
        auto* c = Add(csReadData);
        c->Param = static_cast<int32_t>(address);
        c->Data = buffer.data();
        c->Length = static_cast<int32_t>(n);
        EXPECT_TRUE(Go().Succeeded());
        return buffer;
    }
    _CommResult Write(uint32_t address, Bytes bytes) {
        auto* c = Add(csWriteData);
        c->Param = static_cast<int32_t>(address);
        c->Data = bytes.data();
        c->Length = static_cast<int32_t>(bytes.size());
        return Go();
    }
};

// A block of the given data bytes, its header written out by hand.
TQXBlockMem Block(uint8_t memType, uint8_t index, uint8_t kind, const Bytes& data) {
    TQXBlockMem b;
    b.MemType = memType;
    b.Index = index;
    const uint8_t header[6] = {kind, 0, static_cast<uint8_t>(data.size() + 6), 0, 0x12, 0x34};
    std::copy(header, header + 6, b.Header);
    b.SetData(data.data(), static_cast<uint32_t>(data.size()));
    return b;
}

Bytes Named(const std::string& name, size_t size) {
    Bytes d(size, 0x33);
    std::fill_n(d.begin(), std::min<size_t>(17, size), 0);
    std::copy(name.begin(), name.end(), d.begin());
    return d;
}
}  // namespace

TEST_F(UnitMemory, WrittenBlocksShowInTheBlockListAndInMemory) {
    TQXBlockMem pump = Block(0, 0, 3, Named("PUMP", 34));
    TQXBlockMem table = Block(1, 0, 4, Named("T", 36));
    Add(csWriteBlock)->Data = &pump;
    Add(csWriteBlock)->Data = &table;
    ASSERT_TRUE(Go().Succeeded());

    TQXBlockMemList blocks;
    _CommCmd* describe = list.Add();
    describe->SuperService = 129;
    describe->Caption = "Blocks";
    describe->Data = &blocks;
    ASSERT_TRUE(Go().Succeeded());
    ASSERT_EQ(blocks.Count(), 2);
    EXPECT_EQ(Bytes(blocks.Get(0)->Descriptor, blocks.Get(0)->Descriptor + 8),
              (Bytes{40, 0, 0, 0, 0x5A, 0xA5, 0, 0}));
    EXPECT_EQ(Bytes(blocks.Get(1)->Descriptor, blocks.Get(1)->Descriptor + 8),
              (Bytes{42, 0, 1, 0, 0x5A, 0xA5, 0, 0}));

    // In memory: each block's descriptor, then its stream; then erased bytes.
    Bytes expected{40, 0, 0, 0, 0x5A, 0xA5, 0, 0, 3, 0, 40, 0, 0x12, 0x34};
    const Bytes pumpData = Named("PUMP", 34), tableData = Named("T", 36);
    expected.insert(expected.end(), pumpData.begin(), pumpData.end());
    expected.insert(expected.end(), {42, 0, 1, 0, 0x5A, 0xA5, 0, 0, 4, 0, 42, 0, 0x12, 0x34});
    expected.insert(expected.end(), tableData.begin(), tableData.end());
    expected.insert(expected.end(), {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(Read(SimUnitServices::BlockAreaStart, expected.size()), expected);

    // Deleting the type takes its block out of the list and the memory.
    auto* del = Add(csDeleteType);
    del->Name = "PUMP";
    ASSERT_TRUE(Go().Succeeded());
    EXPECT_FALSE(unit.GetBlock(0, 0));
    const Bytes rest(expected.begin() + 48, expected.end());
    Bytes after = rest;
    after.resize(expected.size(), 0xFF);
    EXPECT_EQ(Read(SimUnitServices::BlockAreaStart, expected.size()), after);
}

TEST_F(UnitMemory, MemoryWritesStayOutOfTheBlockArea) {
    unit.PutBlock(0, 0, {3, 0, 6, 0, 0, 0});
    const Bytes before = unit.GetMemory(SimUnitServices::BlockAreaStart - 4, 24);
    struct Case {
        uint32_t address;
        size_t size;
        bool accepted;
    };
    const Case cases[] = {
        {SimUnitServices::BlockAreaStart - 4, 4, true},   // ends where the area begins
        {SimUnitServices::BlockAreaStart - 2, 4, false},  // reaches into it
        {SimUnitServices::BlockAreaStart + 8, 4, false},
        {SimUnitServices::BlockAreaEnd - 1, 1, false},
        {SimUnitServices::BlockAreaEnd, 4, true},  // just after it
    };
    for (const auto& c : cases) {
        const auto result = Write(c.address, Bytes(c.size, 0x00));
        EXPECT_EQ(result, (c.accepted ? _CommResult{2, 0, 0} : _CommResult{2, 1, 133})) << std::hex << c.address;
    }
    Bytes expected = before;
    std::fill_n(expected.begin(), 4, 0x00);
    EXPECT_EQ(unit.GetMemory(SimUnitServices::BlockAreaStart - 4, 24), expected);
    EXPECT_EQ(unit.GetBlock(0, 0), (Bytes{3, 0, 6, 0, 0, 0}));
}

TEST_F(UnitMemory, ApplicationSlotsLieAtTheTopOfOneMegabyte) {
    Bytes header(64, 0);
    const std::string marker = "APP_V:GAME";
    std::copy(marker.begin(), marker.end(), header.begin());
    for (uint32_t slot : {0u, 6u}) {
        const uint32_t at = 0xE4000 + slot * 0x4000;
        ASSERT_TRUE(Write(at, header).Succeeded()) << slot;
        EXPECT_EQ(Read(at, 64), header) << slot;
    }
    // The last bytes of the seventh slot are the last of the memory.
    EXPECT_TRUE(Write(0xFFFC0, Bytes(64, 0x11)).Succeeded());
    EXPECT_EQ(Write(0xFFFF0, Bytes(32, 0x11)), (_CommResult{2, 1, 133}));
}

TEST_F(UnitMemory, AFullBlockAreaRefusesANewBlockBeforeTakingIt) {
    Bytes big(0xFFFF, 0);
    big[2] = 0xFF;
    big[3] = 0xFF;
    // Eleven of the largest blocks and one more leave 100 bytes of the area:
    // less than a 200-byte block needs with its descriptor.
    for (uint8_t i = 0; i < 11; ++i) unit.PutBlock(0, i, big);
    const size_t left = SimUnitServices::BlockAreaEnd - SimUnitServices::BlockAreaStart - 11 * (8 + 0xFFFF);
    unit.PutBlock(0, 11, Bytes(left - 8 - 100, 0));
    EXPECT_THROW(unit.PutBlock(1, 0, Bytes(100, 0)), std::invalid_argument);
    unit.PutBlock(1, 0, Bytes(92, 0));  // fills it exactly
    unit.PutBlock(1, 0, Bytes(6, 0));
    TQXBlockMem block = Block(1, 1, 4, Named("T", 200));
    Add(csWriteBlock)->Data = &block;
    const auto result = Go();
    EXPECT_EQ(result.ErrorData, 3);
    EXPECT_NE(result.ErrorCode, 0);
    EXPECT_FALSE(unit.GetBlock(1, 1));
    EXPECT_EQ(unit.BlockCount(), 13u);
}

TEST_F(UnitMemory, RestoredContentsLayTheBlocksOutInMemoryAgain) {
    auto contents = unit.Snapshot();
    std::fill(contents.Memory.begin(), contents.Memory.end(), 0x00);  // whatever the area held
    contents.Blocks[{0, 1}] = {3, 0, 6, 0, 0xAB, 0xCD};
    ASSERT_TRUE(unit.Restore(contents));
    EXPECT_EQ(unit.GetMemory(SimUnitServices::BlockAreaStart, 16),
              (Bytes{6, 0, 0, 1, 0x5A, 0xA5, 0, 0, 3, 0, 6, 0, 0xAB, 0xCD, 0xFF, 0xFF}));
    EXPECT_EQ(unit.GetMemory(0, 2), (Bytes{0, 0}));

    // Contents no unit could hold change nothing.
    contents.Memory.resize(16);
    std::string reason;
    EXPECT_FALSE(unit.Restore(contents, &reason));
    EXPECT_EQ(reason, "the memory is not 1048576 bytes");
    EXPECT_EQ(unit.GetBlock(0, 1), (Bytes{3, 0, 6, 0, 0xAB, 0xCD}));
}

// The program's unit takes every language of the default menu beside the
// program, up to the most a menu may have, and lists them again.
TEST_F(UnitMemory, ProgramUnitHoldsTheDefaultMenusLanguages) {
    unit.SetMemConfig(SimProgramMemConfig());
    const auto menuFile = std::filesystem::path(QX_SOURCE_DIR) /
                          "core/data/DefaultMenu.mnu";
    TQXMenuData menu(nullptr, nullptr, -1);
    ASSERT_TRUE(menu.LoadFromFile(menuFile.string()));
    std::vector<std::pair<std::unique_ptr<uint8_t[]>, uint32_t>> images;
    for (int32_t slot = 0; slot < TQXMenuData::MaxLanguages; ++slot) {
        uint32_t size = 0;
        auto image = menu.BuildLanguageImage(slot % menu.GetLanguageCount(), size);
        _CommCmd* c = list.Add();
        c->SuperService = cssWriteMenuLanguage;
        c->Caption = "Language";
        c->Param = slot;
        c->Data = image.get();
        c->Length = static_cast<int32_t>(size);
        images.emplace_back(std::move(image), size);
    }
    TTextLines names;
    _CommCmd* c = list.Add();
    c->SuperService = cssReadMenuLangList;
    c->Caption = "Languages";
    c->Lines = &names;
    ASSERT_TRUE(Go().Succeeded());
    ASSERT_EQ(names.size(), static_cast<size_t>(TQXMenuData::MaxLanguages));
    for (int32_t slot = 0; slot < TQXMenuData::MaxLanguages; ++slot) {
        EXPECT_EQ(names[static_cast<size_t>(slot)], slot % 2 ? "Deutsch" : "English");
        EXPECT_EQ(names.GetObject(static_cast<size_t>(slot)), slot);
    }
    const auto& [last, size] = images.back();
    EXPECT_EQ(unit.GetMemory(0x8000 + 9 * size, size), Bytes(last.get(), last.get() + size));
}

// Above its megabyte the unit reads as an empty bus, so a memory viewer can
// page through all 24 bits; nothing can be written there.
TEST_F(UnitMemory, AddressesAboveTheMemoryReadAsEmptyBus) {
    ASSERT_TRUE(Write(0xFFFC0, Bytes(64, 0x11)).Succeeded());
    Bytes across(70, 0xFF);
    std::fill_n(across.begin(), 64, 0x11);
    EXPECT_EQ(Read(0xFFFC0, 70), across);
    EXPECT_EQ(Read(0xFFF000, 70), Bytes(70, 0xFF));
    EXPECT_EQ(Write(0x100000, Bytes(4, 0x11)), (_CommResult{2, 1, 133}));
}
