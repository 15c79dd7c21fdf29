// Writing, clearing and querying programs in the unit's program slots.
#include "CommFixture.h"

#include "Fcs.h"

#include <cstdio>

namespace {

// One S1 record with its checksum, and its binary record written out by
// hand: 'S', '1', then one byte per digit pair.
struct Record {
    std::string Line;
    Bytes Binary;
};

Record S1(uint16_t address, const Bytes& data) {
    Bytes body{static_cast<uint8_t>(data.size() + 3), static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
    body.insert(body.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (uint8_t b : body) sum += b;
    body.push_back(static_cast<uint8_t>(0xFF - (sum & 0xFF)));
    Record r;
    r.Line = "S1";
    char pair[3];
    for (uint8_t b : body) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        r.Line += pair;
    }
    r.Binary = Cat({{'S', '1'}, body});
    return r;
}

// Lines of 16 data bytes (22-byte records), the last one shorter, so that
// the image has the given size (a multiple of 22 plus 0 or 6..21).
void Program(size_t size, TTextLines& lines, Bytes& image) {
    uint16_t address = 0;
    while (image.size() < size) {
        const size_t left = size - image.size();
        const size_t data = left >= 22 ? 16 : left - 6;
        Bytes bytes(data);
        for (size_t i = 0; i < data; ++i) bytes[i] = static_cast<uint8_t>(address + i);
        const Record r = S1(address, bytes);
        lines.push_back(r.Line);
        image.insert(image.end(), r.Binary.begin(), r.Binary.end());
        address = static_cast<uint16_t>(address + data);
    }
}

Bytes Description(const std::string& name15, uint32_t size, uint16_t packets) {
    Bytes d{0xFF};
    Bytes field(16, 0);
    std::copy(name15.begin(), name15.end(), field.begin());
    d.insert(d.end(), field.begin(), field.end());
    d.insert(d.end(), {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size >> 16)});
    d.insert(d.end(), {static_cast<uint8_t>(packets), static_cast<uint8_t>(packets >> 8)});
    return d;
}

}  // namespace

TEST_F(CommRun, ProgramOf300BytesGoesAsDescriptionThreePacketsAndCrc) {
    TTextLines lines;
    Bytes image;
    Program(300, lines, image);
    ASSERT_EQ(image.size(), 300u);
    _CommCmd* c = Add(csWriteSRec, "Program");
    c->Lines = &lines;
    c->Name = "PUMP.S19";
    Bytes status(23, 0);
    _CommCmd* s = Add(csSRecStatus, "Status");
    s->Param = 0;
    s->Data = status.data();

    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[0].Fnc, 0x10);
    EXPECT_EQ(sent[0].Data, Description("PUMP.S19", 300, 3));
    EXPECT_EQ(sent[1].Data, Bytes(image.begin(), image.begin() + 128));
    EXPECT_EQ(sent[2].Data, Bytes(image.begin() + 128, image.begin() + 256));
    EXPECT_EQ(sent[3].Data, Bytes(image.begin() + 256, image.end()));
    const uint16_t crc = CalcFcs16(image.data(), image.size());
    EXPECT_EQ(sent[4].Fnc, 0x0C);
    EXPECT_EQ(sent[4].Data, (Bytes{static_cast<uint8_t>(crc), static_cast<uint8_t>(crc >> 8)}));
    EXPECT_EQ(sent[5].Fnc, 0xDA);
    EXPECT_EQ(sent[5].Data, (Bytes{0x99, 0x00}));

    const auto program = unit.GetProgram(0);
    ASSERT_TRUE(program);
    EXPECT_EQ(program->Name, "PUMP.S19");
    EXPECT_EQ(program->Image, image);
    Bytes expectedStatus(23, 0);
    expectedStatus[0] = 1;
    std::copy_n("PUMP.S19", 8, expectedStatus.begin() + 1);
    expectedStatus[17] = 0x2C;
    expectedStatus[18] = 0x01;
    expectedStatus[20] = 0x01;
    EXPECT_EQ(status, expectedStatus);

    for (const char* line : {"Download SRec/Hex file service started.", "Filename: PUMP.S19.", "Packets count: 3.",
                             "[1] File description sent.", "[2] Data packet sent (Packet: 0, Length: 128).",
                             "[2] Data packet sent (Packet: 2, Length: 44).", "File downloaded: 300 bytes, (3 packets).",
                             "File download complete.", "Read SRec/Hex status service started.",
                             "SRec/Hex number: 000000h.", "SRec/Hex status successfully extracted."})
        EXPECT_TRUE(Has(out.Log, line)) << line;
    char crcLine[40];
    std::snprintf(crcLine, sizeof crcLine, "[3] CRC packet sent: %04Xh.", crc);
    EXPECT_TRUE(Has(out.Log, crcLine));
}

TEST_F(CommRun, ProgramOf128BytesIsOnePacketAndLongNamesAreCut) {
    TTextLines lines;
    Bytes image;
    Program(128, lines, image);
    _CommCmd* c = Add(csWriteSRec);
    c->Lines = &lines;
    c->Name = "ABCDEFGHIJKLMNOPQRST";
    unit.Drop(0x10);  // the description is lost once and sent again
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].Data, Description("ABCDEFGHIJKLMNO", 128, 1));
    EXPECT_EQ(sent[1].Data, sent[0].Data);
    EXPECT_EQ(sent[2].Data, image);
    EXPECT_EQ(unit.GetProgram(0)->Name, "ABCDEFGHIJKLMNO");
}

TEST_F(CommRun, ProgramRefusalStopsAtTheRefusedPacket) {
    TTextLines lines;
    Bytes image;
    Program(300, lines, image);
    for (int slot = 0; slot < 8; ++slot) unit.PutProgram(slot, "P" + std::to_string(slot), Bytes(10, 0));
    _CommCmd* c = Add(csWriteSRec, "Program");
    c->Lines = &lines;
    c->Name = "X";
    const auto out = Go();  // no answer scripted: Abort
    EXPECT_EQ(out.Result, Result(2, 3, 135));
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_TRUE(Has(out.Log, "File downloading error. NAK packet received. (Data[0]: 03h)."));
    ASSERT_EQ(driver.Questions().size(), 1u);
    EXPECT_EQ(driver.Questions()[0].Asked.Text, "Program\r\nCannot send SRec/Hex file.\r\nNo enough space.");
}

TEST_F(CommRun, UnconvertibleProgramLineEndsTheRunBeforeAnyPacket) {
    TTextLines lines{S1(0, {1, 2, 3}).Line, "S1XX0000FF"};
    _CommCmd* c = Add(csWriteSRec);
    c->Lines = &lines;
    c->Name = "BAD";
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 130));
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(driver.Questions().empty());
    EXPECT_TRUE(Has(out.Log, "Error opening file."));
}

TEST_F(CommRun, ClearProgramSendsSlotAndNameAndReportsRefusals) {
    unit.PutProgram(2, "PUMP", Bytes(5, 1));
    _CommCmd* c = Add(csClearSRec, "Clear");
    c->Param = 2;
    c->Name = "PUMP";
    auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    ASSERT_EQ(Sent().size(), 1u);
    Bytes expected(17, 0);
    expected[0] = 2;
    std::copy_n("PUMP", 4, expected.begin() + 1);
    EXPECT_EQ(Sent()[0].Fnc, 0x11);
    EXPECT_EQ(Sent()[0].Data, expected);
    EXPECT_FALSE(unit.GetProgram(2));
    for (const char* line : {"Clear SRec/Hex file service started.", "SRec/Hex number: 000002h.",
                             "SRec/Hex filename: PUMP.", "File cleared successfully."})
        EXPECT_TRUE(Has(out.Log, line)) << line;

    // The slot is empty now: the unit refuses, once, and the command ends.
    sim.ClearRecords();
    list.Clear();
    c = Add(csClearSRec, "Clear");
    c->Param = 2;
    c->Name = "PUMP";
    out = Go();
    EXPECT_EQ(out.Result, Result(2, 12, 137));
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_TRUE(Has(out.Log, "File deleting error. NAK packet received. (Data[0]: 0Ch)."));
}

TEST_F(CommRun, StatusWithoutItsMarkerIsRetriedAndEndsWithError5) {
    unit.SetStatusMarker(0x98);
    Bytes status(23, 0x77);
    _CommCmd* c = Add(csSRecStatus);
    c->Param = 1;
    c->Data = status.data();
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 5));
    EXPECT_EQ(Sent().size(), 9u);
    EXPECT_EQ(status, Bytes(23, 0x77));
    EXPECT_TRUE(Has(out.Log, "Wrong packet received. (!0x99 || d[21]!=d[22])."));
}

TEST_F(CommRun, SlotsOutsideOneByteAreRefusedBeforeAnyRequest) {
    Bytes status(23, 0);
    for (int32_t slot : {-1, 256}) {
        list.Clear();
        _CommCmd* c = Add(csSRecStatus);
        c->Param = slot;
        c->Data = status.data();
        _CommCmd* d = Add(csClearSRec);
        d->Param = slot;
        const auto out = CommDriver().Run(*link, list);
        EXPECT_EQ(out.Result, Result(2, 0, 130)) << slot;
    }
    EXPECT_TRUE(Sent().empty());
}
