// Reading, writing and deleting unit memory blocks and types.
#include "CommFixture.h"

#include "Fcs.h"

namespace {

// A block stream written out by hand: kind, 0, data length + 6 (16-bit),
// two more header bytes, then the data: name (17 bytes), owner (17 bytes),
// then counting bytes.
Bytes Stream(uint8_t kind, const std::string& name, const std::string& owner, size_t dataLength) {
    const size_t total = dataLength + 6;
    Bytes s{kind, 0, static_cast<uint8_t>(total), static_cast<uint8_t>(total >> 8), 0x12, 0x34};
    Bytes data(dataLength, 0);
    for (size_t i = 0; i < dataLength; ++i) data[i] = static_cast<uint8_t>(i * 3 + 1);
    for (size_t i = 0; i < 17 && i < dataLength; ++i) data[i] = i < name.size() ? static_cast<uint8_t>(name[i]) : 0;
    for (size_t i = 0; i < 17 && 17 + i < dataLength; ++i)
        data[17 + i] = i < owner.size() ? static_cast<uint8_t>(owner[i]) : 0;
    s.insert(s.end(), data.begin(), data.end());
    return s;
}

TQXBlockMem BlockOf(uint8_t memType, uint8_t index, const Bytes& stream) {
    TQXBlockMem b;
    b.MemType = memType;
    b.Index = index;
    b.SetData(stream.data() + 6, static_cast<uint32_t>(stream.size() - 6));
    std::copy_n(stream.begin(), 6, b.Header);
    return b;
}

Bytes Le16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }

}  // namespace

TEST_F(CommRun, WriteBlockOf10BytesIsOnePacketAndTheCheck) {
    const Bytes stream = Stream(3, "ABC", "", 10);
    TQXBlockMem block = BlockOf(0, 4, stream);
    Add(csWriteBlock, "Write block")->Data = &block;
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].Fnc, 0x14);
    // Memory type, index, offset 0, the header (kind 3, length 16, 12 34),
    // then the 10 data bytes: "ABC" and zeros.
    EXPECT_EQ(sent[0].Data, (Bytes{0x00, 0x04, 0x00, 0x00, 0x03, 0x00, 0x10, 0x00, 0x12, 0x34, 0x41, 0x42, 0x43, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(sent[1].Fnc, 0x0C);
    // CRC-16 (reflected 0x8408, start 0xFFFF) over the 16 stream bytes,
    // worked out by hand: 0x29BD, low byte first.
    EXPECT_EQ(sent[1].Data, (Bytes{0xBD, 0x29}));
    EXPECT_EQ(unit.GetBlock(0, 4), stream);
    EXPECT_TRUE(Has(out.Log, "Write block service started."));
    EXPECT_TRUE(Has(out.Log, "Block Data packet was transmitted."));
}

TEST_F(CommRun, WriteBlockOf300BytesGoesAtStreamOffsets0128And256) {
    const Bytes stream = Stream(4, "TABLE", "TYPE", 300);
    TQXBlockMem block = BlockOf(1, 0, stream);
    Add(csWriteBlock)->Data = &block;
    unit.Drop(0x14, 1);  // the first packet is lost once
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0].Data, sent[1].Data);
    EXPECT_EQ(sent[1].Data, Cat({{1, 0, 0x00, 0x00}, Bytes(stream.begin(), stream.begin() + 128)}));
    EXPECT_EQ(sent[2].Data, Cat({{1, 0, 0x80, 0x00}, Bytes(stream.begin() + 128, stream.begin() + 256)}));
    EXPECT_EQ(sent[3].Data, Cat({{1, 0, 0x00, 0x01}, Bytes(stream.begin() + 256, stream.end())}));
    const uint16_t crc = CalcFcs16(stream.data(), stream.size());
    EXPECT_EQ(sent[4].Data, Le16(crc));
    char line[40];
    std::snprintf(line, sizeof line, "FCS packet sent (FCS=%02Xh)", crc);
    EXPECT_TRUE(Has(out.Log, line));
    EXPECT_EQ(unit.GetBlock(1, 0), stream);
}

TEST_F(CommRun, BlockThatExistsIsRetriedThenEndsAQuietRunWithoutADialog) {
    const Bytes stream = Stream(1, "T", "", 40);
    unit.PutBlock(0, 0, stream);
    TQXBlockMem block = BlockOf(0, 0, stream);
    Add(csWriteBlock)->Data = &block;
    auto out = Go(true);
    EXPECT_EQ(out.Result, Result(2, 4, 144));
    EXPECT_EQ(Sent().size(), 9u);
    EXPECT_TRUE(driver.Questions().empty());
    EXPECT_TRUE(Has(out.Log, "Cannot write block. NAK packet received. (Data[0]: 04h)."));

    // Not quiet: the dialog asks, with the reason's text.
    list.Clear();
    Add(csWriteBlock, "Block")->Data = &block;
    CommDriver asking;
    out = asking.Run(*link, list);
    EXPECT_EQ(out.Result, Result(2, 4, 144));
    ASSERT_EQ(asking.Questions().size(), 1u);
    EXPECT_EQ(asking.Questions()[0].Asked.Text, "Block\r\nCannot write block.\r\nData overwrite.");
}

TEST_F(CommRun, WriteBlockFailures) {
    const Bytes stream = Stream(3, "B", "", 40);
    struct Case {
        const char* what;
        std::function<void()> arrange;
        _CommResult result;
        size_t requests;
    } cases[] = {
        {"refusal other than 4 ends at once", [&] { unit.Refuse(0x14, 10); }, Result(2, 10, 141), 1},
        {"another CRC echoed", [&] { unit.SetCheckEchoXor(0x0101); }, Result(2, 0, 142), 2},
        {"check reply in the data phase is unexpected",
         [&] {
             sim.Script({});
             sim.Script({.Raw = SimUnit::Frame(0x88, 0xEC, 0x8C, {0, 0})});
         },
         Result(2, 0, 0), 3},
    };
    for (auto& k : cases) {
        SCOPED_TRACE(k.what);
        sim.ClearRecords();
        list.Clear();
        TQXBlockMem block = BlockOf(0, 9, stream);
        Add(csWriteBlock)->Data = &block;
        k.arrange();
        CommDriver d;
        const auto out = d.Run(*link, list);
        EXPECT_EQ(out.Result, k.result);
        EXPECT_EQ(Sent().size(), k.requests);
        unit.SetCheckEchoXor(0);
        if (auto b = unit.GetBlock(0, 9)) {
            TQXBlockMem del = BlockOf(0, 9, *b);
            del.MakeHeadCopy();
            list.Clear();
            Add(csDeleteBlock)->Data = &del;
            CommDriver().Run(*link, list);
        }
    }
}

TEST_F(CommRun, BlockWithoutItsDataOrNameCopyFailsBeforeAnythingIsSent) {
    TQXBlockMem noData;
    SetBlockDataLength(noData.Header, 20);
    TQXBlockMem noName = BlockOf(0, 1, Stream(3, "X", "", 40));
    for (auto* c : {Add(csWriteBlock), Add(csDeleteBlock)}) (void)c;
    list.Get(0)->Data = &noData;
    list.Get(1)->Data = &noName;
    auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 130));
    list.Delete(1);  // the write: the first command after the search
    list.Delete(0);
    out = CommDriver().Run(*link, list);
    EXPECT_EQ(out.Result, Result(2, 0, 130));
    EXPECT_TRUE(Sent().empty());
}

TEST_F(CommRun, ReadBlockOf300BytesAdvancesByTheDataOfEachReply) {
    const Bytes stream = Stream(4, "TAB", "TYPE", 300);
    unit.PutBlock(1, 2, stream);
    TQXBlockMem block;
    block.MemType = 1;
    block.Index = 2;
    Add(csReadBlock, "Read block")->Data = &block;
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].Data, (Bytes{1, 2, 0x00, 0x00}));
    EXPECT_EQ(sent[1].Data, (Bytes{1, 2, 0x80, 0x00}));
    EXPECT_EQ(sent[2].Data, (Bytes{1, 2, 0x00, 0x01}));
    EXPECT_EQ(Bytes(block.Header, block.Header + 6), Bytes(stream.begin(), stream.begin() + 6));
    ASSERT_EQ(block.GetDataLength(), 300u);
    EXPECT_EQ(Bytes(block.Data(), block.Data() + 300), Bytes(stream.begin() + 6, stream.end()));
    EXPECT_TRUE(Has(out.Log, "Data Block request sent: MemType: 01h, Index: 02h, Address: 0080h"));
    EXPECT_TRUE(Has(out.Log, "Data Block received: MemType: 01h, Index: 02h, Address: 0000h, Size: 122 bytes (Total Length: 300)"));
    EXPECT_TRUE(Has(out.Log, "Data Block received: MemType: 01h, Index: 02h, Address: 0100h, Size: 50 bytes (Total Length: 300)"));
}

TEST_F(CommRun, ReadBlockFailures) {
    const Bytes stream = Stream(4, "TAB", "TYPE", 300);
    unit.PutBlock(0, 0, stream);
    struct Case {
        const char* what;
        std::function<void()> arrange;
        _CommResult result;
        size_t requests;
    } cases[] = {
        {"refusal", [&] { unit.Refuse(0x94, 15); }, Result(2, 15, 140), 1},
        {"reply for another offset",
         [&] {
             sim.Script({});
             sim.Script({.ChangeIndex = 6, .ChangeTo = 0x40, .FixCheck = true});
         },
         Result(2, 0, 140), 1},
        // A later reply without data would not advance the read: retried.
        {"a reply without data, once", [&] { unit.ShortReplies(0x14, 1, 128, 1); }, Result(2, 0, 0), 4},
        {"a first reply too short for its header", [&] { unit.ShortReplies(0x14, 9, 124); }, Result(2, 0, 5), 9},
    };
    for (auto& k : cases) {
        SCOPED_TRACE(k.what);
        sim.ClearRecords();
        list.Clear();
        TQXBlockMem block;
        Add(csReadBlock)->Data = &block;
        k.arrange();
        CommDriver d;
        const auto out = d.Run(*link, list);
        EXPECT_EQ(out.Result, k.result);
        EXPECT_EQ(Sent().size(), k.requests);
    }
}

TEST_F(CommRun, DescriptorDeleteAndDeleteType) {
    const Bytes table = Stream(4, "TABLE", "PUMP", 60);
    const Bytes params = Stream(3, "PUMP", "", 50);
    unit.PutBlock(0, 0, params);
    unit.PutBlock(0, 1, table);
    unit.PutBlock(1, 0, Stream(1, "OTHER", "", 40));

    TQXBlockMem described;
    described.MemType = 0;
    described.Index = 1;
    Add(csReadBlockDescr)->Data = &described;
    auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_EQ(Sent().back().Data, (Bytes{0, 1}));
    const auto descriptor = SimUnitServices::Descriptor(0, 1, table.size());
    EXPECT_EQ(Bytes(described.Descriptor, described.Descriptor + 8), Bytes(descriptor.begin(), descriptor.end()));
    EXPECT_EQ(Bytes(described.Header, described.Header + 6), Bytes(table.begin(), table.begin() + 6));
    ASSERT_NE(described.HeadCopy(), nullptr);
    EXPECT_EQ(Bytes(described.HeadCopy(), described.HeadCopy() + 34), Bytes(table.begin() + 6, table.begin() + 40));
    EXPECT_TRUE(Has(out.Log, "Block description read successsfully."));

    // The described block is deleted by its header and name copy.
    sim.ClearRecords();
    list.Clear();
    Add(csDeleteBlock)->Data = &described;
    out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_EQ(Sent()[0].Fnc, 0x02);
    EXPECT_EQ(Sent()[0].Data, Cat({{0, 1}, Bytes(table.begin(), table.begin() + 6), Bytes(table.begin() + 6, table.begin() + 23)}));
    EXPECT_FALSE(unit.GetBlock(0, 1));
    EXPECT_TRUE(Has(out.Log, "Block was successfully deleted."));

    // A descriptor the unit refuses ends at once.
    sim.ClearRecords();
    list.Clear();
    Add(csReadBlockDescr)->Data = &described;
    out = Go();
    EXPECT_EQ(out.Result, Result(2, 15, 138));
    EXPECT_EQ(Sent().size(), 1u);

    // A type is deleted by its name, cut to 16 characters.
    sim.ClearRecords();
    list.Clear();
    Add(csDeleteType)->Name = "PUMP";
    Add(csDeleteType)->Name = "ABCDEFGHIJKLMNOPQR";
    out = Go();
    EXPECT_EQ(out.Result, Result(2, 14, 143));
    ASSERT_EQ(Sent().size(), 2u);
    Bytes expected(18, 0);
    expected[0] = 2;
    std::copy_n("PUMP", 4, expected.begin() + 1);
    EXPECT_EQ(Sent()[0].Data, expected);
    std::copy_n("ABCDEFGHIJKLMNOP", 16, expected.begin() + 1);
    EXPECT_EQ(Sent()[1].Data, expected);
    EXPECT_FALSE(unit.GetBlock(0, 0));
    EXPECT_EQ(unit.BlockCount(), 1u);
    EXPECT_TRUE(Has(out.Log, "Type was successfully deleted."));
    EXPECT_TRUE(Has(out.Log, "Cannot delete type. NAK packet received. (Data[0]: 0Eh)."));
}
