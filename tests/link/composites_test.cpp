// The composite services: the block list, the menu languages and the menu
// configuration. The simulated unit's language area: 0x8000, 0x800 bytes,
// languages of 0x1E0 bytes, so slots at 0x8000, 0x8200 and 0x8400 (a slot at
// 0x8600 would end at the area's end and does not exist).
#include "CommFixture.h"

namespace {

Bytes Stream(size_t dataLength) {
    Bytes s(dataLength + 6, 0x41);
    const Bytes header{3, 0, static_cast<uint8_t>(dataLength + 6), 0, 0, 0};
    std::copy(header.begin(), header.end(), s.begin());
    return s;
}

// A language header: the name, FCS, its complement (or not).
Bytes LanguageHeader(const std::string& name, uint16_t fcs, bool valid) {
    Bytes h(32, 0);
    std::copy(name.begin(), name.end(), h.begin());
    const uint16_t other = valid ? static_cast<uint16_t>(~fcs) : static_cast<uint16_t>(fcs + 1);
    h[16] = static_cast<uint8_t>(fcs);
    h[17] = static_cast<uint8_t>(fcs >> 8);
    h[18] = static_cast<uint8_t>(other);
    h[19] = static_cast<uint8_t>(other >> 8);
    return h;
}

}  // namespace

TEST_F(CommRun, BlockListReadsEachMemoryTypeUpToTheFirstRefusal) {
    for (uint8_t i = 0; i < 3; ++i) unit.PutBlock(0, i, Stream(40 + i));
    TQXBlockMemList blocks;
    blocks.Add();  // cleared first
    AddComposite(cssReadBlockDescrList, "Blocks")->Data = &blocks;
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 5u);
    const Bytes keys[] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(sent[i].Fnc, 0xC4);
        EXPECT_EQ(sent[i].Data, keys[i]);
    }
    ASSERT_EQ(blocks.Count(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(blocks.Get(i)->Index, i);
        EXPECT_EQ(GetBlockDataLength(blocks.Get(i)->Header), 40 + i);
        EXPECT_NE(blocks.Get(i)->HeadCopy(), nullptr);
    }
}

TEST_F(CommRun, BlockListOfAUnitThatAnswersEveryIndexEnds) {
    unit.AnswerEveryDescriptor(true);
    unit.PutBlock(1, 0, Stream(40));
    TQXBlockMemList blocks;
    AddComposite(cssReadBlockDescrList)->Data = &blocks;
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_EQ(blocks.Count(), 257);
    EXPECT_EQ(blocks.Get(255)->Index, 255);
    EXPECT_EQ(blocks.Get(256)->MemType, 1);
    EXPECT_EQ(Sent().size(), 258u);
}

TEST_F(CommRun, BlockListRetriedAfterSilenceRunsAgainFromItsStart) {
    unit.PutBlock(0, 0, Stream(40));
    unit.Drop(0xC4, 9);
    TQXBlockMemList blocks;
    AddComposite(cssReadBlockDescrList, "List")->Data = &blocks;
    driver.Answers = {caRetry, caAbort};
    const auto out = Go();
    // Retry runs the whole list again: it was silent 9 times, then answers.
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_EQ(blocks.Count(), 1);
    ASSERT_EQ(driver.Questions().size(), 1u);
    EXPECT_EQ(driver.Questions()[0].Asked.Text, "List\r\nCommunication timeout.\r\n");
}

TEST_F(CommRun, LanguageListNamesTheUsedSlotsWithTheirIndexes) {
    unit.SetMemory(0x8000, LanguageHeader("DEUTSCH", 0x1234, true));
    unit.SetMemory(0x8200, LanguageHeader("BROKEN", 0x1111, false));
    // A name without its terminator is bounded to its 16 bytes.
    unit.SetMemory(0x8400, LanguageHeader("ABCDEFGHIJKLMNOP", 0x0000, true));
    TTextLines names{"old"};
    AddComposite(cssReadMenuLangList)->Lines = &names;
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "DEUTSCH");
    EXPECT_EQ(names.GetObject(0), 0);
    EXPECT_EQ(names[1], "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(names.GetObject(1), 2);
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].Data, Bytes{2});
    EXPECT_EQ(sent[1].Data, (Bytes{0x00, 0x80, 0x00, 0x20}));
    EXPECT_EQ(sent[2].Data, (Bytes{0x00, 0x82, 0x00, 0x20}));
    EXPECT_EQ(sent[3].Data, (Bytes{0x00, 0x84, 0x00, 0x20}));
}

TEST_F(CommRun, LanguageSlotsAndSizesAreCheckedBeforeAnythingIsWritten) {
    const Bytes image(0x200, 0x5A);
    const struct {
        int32_t super;
        int32_t slot;
        size_t length;
        uint16_t code;
    } cases[] = {
        {cssWriteMenuLanguage, 3, 0x200, 161},          {cssWriteMenuLanguage, -1, 0x200, 161},
        {cssWriteMenuLanguage, 0x7FFFFFFF, 0x200, 161}, {cssWriteMenuLanguage, 0x0100000, 0x200, 161},
        {cssWriteMenuLanguage, 1, 0x1FF, 162},          {cssDeleteMenuLanguage, 3, 0, 163},
        {cssDeleteMenuLanguage, -5, 0, 163},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.slot);
        sim.ClearRecords();
        list.Clear();
        _CommCmd* c = AddComposite(k.super, "Language");
        c->Param = k.slot;
        c->Data = const_cast<uint8_t*>(image.data());
        c->Length = static_cast<int32_t>(k.length);
        CommDriver d;
        const auto out = d.Run(*link, list);
        EXPECT_EQ(out.Result, Result(2, 0, k.code));
        ASSERT_EQ(Sent().size(), 1u);  // the memory configuration only
        EXPECT_EQ(Sent()[0].Fnc, 0xC4);
    }
    EXPECT_EQ(unit.GetMemory(0x8000, 0x800), Bytes(0x800, 0xFF));
}

TEST_F(CommRun, LanguageWriteDeleteAndMenuConfiguration) {
    Bytes image(0x200);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i);
    const Bytes states{1, 1, 0, 1};
    _CommCmd* w = AddComposite(cssWriteMenuLanguage);
    w->Param = 1;
    w->Data = image.data();
    w->Length = 0x200;
    AddComposite(cssDeleteMenuLanguage)->Param = 2;
    _CommCmd* m = AddComposite(cssWriteMenuConfig);
    m->Data = const_cast<uint8_t*>(states.data());
    m->Length = 4;
    unit.SetMemory(0x8400, Bytes(40, 0x33));
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_EQ(unit.GetMemory(0x8200, 0x200), image);
    EXPECT_EQ(unit.GetMemory(0x8400, 40), Cat({Bytes(32, 0), Bytes(8, 0x33)}));
    EXPECT_EQ(unit.GetMemory(0xC000, 5), (Bytes{1, 1, 0, 1, 0xFF}));
    const auto sent = Sent();
    // Configuration, 8 packets of the image; configuration, header; configuration, states.
    ASSERT_EQ(sent.size(), 1u + 8u + 2u + 2u);
    EXPECT_EQ(Bytes(sent[1].Data.begin(), sent[1].Data.begin() + 3), (Bytes{0x00, 0x82, 0x00}));
    EXPECT_EQ(sent[10].Data, Cat({{0x00, 0x84, 0x00}, Bytes(32, 0)}));
    EXPECT_EQ(sent[12].Data, Cat({{0x00, 0xC0, 0x00}, states}));
}

TEST_F(CommRun, CompositeWithoutItsInputEndsTheRun) {
    for (int32_t super : {cssReadBlockDescrList, cssReadMenuLangList, cssWriteMenuLanguage, cssWriteMenuConfig}) {
        list.Clear();
        AddComposite(super);
        const auto out = CommDriver().Run(*link, list);
        EXPECT_EQ(out.Result, Result(2, 0, 130)) << super;
    }
    EXPECT_TRUE(Sent().empty());
}
