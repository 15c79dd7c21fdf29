// Intel HEX application files: parsing, refusals, the application name and
// the 128-byte blocks for the unit.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "HexFormat.h"

namespace {

// A record line with its checksum (the input side only; results below are
// written out by hand).
std::string Line(uint8_t type, uint16_t address, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                                  static_cast<uint8_t>(address), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    uint8_t sum = 0;
    for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
    bytes.push_back(static_cast<uint8_t>(-sum));
    std::string line = ":";
    char digits[3];
    for (uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        line += digits;
    }
    return line;
}

// n data bytes whose values are their own addresses' low bytes.
std::string DataLine(uint16_t address, size_t n) {
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(address + i);
    return Line(0, address, data);
}

const char* const Eof = ":00000001FF";

std::vector<_HEXBlock> Repack(const std::vector<std::string>& lines) {
    HEXFormat hex;
    EXPECT_TRUE(hex.ParseLines(lines));
    std::vector<_HEXBlock> blocks;
    hex.RepackToBlocks(blocks);
    return blocks;
}

}  // namespace

TEST(HexFormat, ParsesRecordsWithAbsoluteAddresses) {
    HEXFormat hex;
    EXPECT_TRUE(hex.ParseLines({Eof}));
    EXPECT_EQ(hex.Count(), 0);
    EXPECT_EQ(hex.GetLastError(), THexError::None);

    // Lower-case digits and CR of a Windows file are fine; lines after the
    // end-of-file record are not read.
    ASSERT_TRUE(hex.ParseLines({":0300100041ab7f82\r", ":020000040001F9", ":02000000C0DE60", ":020000021000EC",
                                ":01001000EE01", Eof, "garbage"}));
    ASSERT_EQ(hex.Count(), 3);
    EXPECT_EQ(hex.Get(0)->Address, 0x0010u);
    EXPECT_EQ(hex.Get(0)->Length, 3);
    EXPECT_EQ(hex.Get(0)->Data[0], 0x41);
    EXPECT_EQ(hex.Get(0)->Data[1], 0xAB);
    EXPECT_EQ(hex.Get(0)->Data[2], 0x7F);
    EXPECT_EQ(hex.Get(0)->Data[3], 0);
    EXPECT_EQ(hex.Get(1)->Address, 0x00010000u);
    EXPECT_EQ(hex.Get(1)->Data[0], 0xC0);
    // Both bases are added: 0x10000 + 0x1000 * 16 + 0x10.
    EXPECT_EQ(hex.Get(2)->Address, 0x00020010u);
    EXPECT_EQ(hex.Get(2)->Data[0], 0xEE);
    EXPECT_EQ(hex.Get(5), nullptr);

    // Parsing anew keeps adding; LoadFromFile starts from scratch.
    hex.Clear();
    EXPECT_EQ(hex.Count(), 0);
}

TEST(HexFormat, RefusesDamagedFiles) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        THexError error;
        int32_t line;
        int32_t recordsKept;
    };
    const Case cases[] = {
        {"no end record", {":0100000041BE"}, THexError::NoEndRecord, 1, 1},
        {"empty file", {}, THexError::NoEndRecord, 0, 0},
        {"empty line", {":0100000041BE", "", Eof}, THexError::NotRecordLine, 1, 1},
        {"S-record line", {"S00600004844521B", Eof}, THexError::NotRecordLine, 0, 0},
        {"blank before the colon", {" :00000001FF"}, THexError::NotRecordLine, 0, 0},
        {"wrong checksum", {":0100000041BF", Eof}, THexError::ChecksumWrong, 0, 0},
        {"odd digit count", {":0100000041BE0", Eof}, THexError::Malformed, 0, 0},
        {"short line", {":01000000", Eof}, THexError::Malformed, 0, 0},
        {"count beyond the data", {":1000000041AF", Eof}, THexError::Malformed, 0, 0},
        {"data beyond the count", {":0100000041427C", Eof}, THexError::Malformed, 0, 0},
        {"not hexadecimal", {":01000000G1BE", Eof}, THexError::NotHex, 0, 0},
        {"sign in the digits", {":01000000+1BE", Eof}, THexError::NotHex, 0, 0},
        {"type 03", {":0400000301020304EF", Eof}, THexError::UnknownType, 0, 0},
        {"type 05", {":04000005000000F007", Eof}, THexError::UnknownType, 0, 0},
        {"type 06", {":0100000600F9", Eof}, THexError::Malformed, 0, 0},
        {"extended record without data", {":00000004FC", Eof}, THexError::Malformed, 0, 0},
        {"extended record of five bytes", {":050000040102030405E8", Eof}, THexError::Malformed, 0, 0},
        {"upper base past 32 bits", {":03000004010000F8", Eof}, THexError::AddressPast32Bits, 0, 0},
        {"data past 32 bits", {":02000004FFFFFC", DataLine(0xFFF8, 16), Eof}, THexError::AddressPast32Bits, 1, 0},
        {"both bases past 32 bits", {":02000004FFFFFC", ":02000002F0000C", ":01000000EE11", Eof},
         THexError::AddressPast32Bits, 2, 0},
        {"line longer than any record", {":" + std::string(600, '0'), Eof}, THexError::Malformed, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HEXFormat hex;
        EXPECT_FALSE(hex.ParseLines(c.lines));
        EXPECT_EQ(hex.GetLastError(), c.error);
        EXPECT_EQ(hex.GetErrorLine(), c.line);
        EXPECT_EQ(hex.Count(), c.recordsKept);
    }
    // The last byte of the address space is still inside it.
    HEXFormat hex;
    ASSERT_TRUE(hex.ParseLines({":02000004FFFFFC", DataLine(0xFFF0, 16), Eof}));
    EXPECT_EQ(hex.Get(0)->Address, 0xFFFFFFF0u);
}

TEST(HexFormat, LoadsFiles) {
    const std::string path = testing::TempDir() + "hexformat_test_" + std::to_string(getpid()) + ".hex";
    {
        std::ofstream out(path, std::ios::binary);
        out << ":0B0000004150505F563A44656D6F00A0\r\n" << Eof << "\r\n";
    }
    HEXFormat hex;
    ASSERT_TRUE(hex.LoadFromFile(path));
    EXPECT_TRUE(hex.HasAppVersion());
    EXPECT_EQ(hex.GetAppVersion(), "Demo");
    ASSERT_TRUE(hex.LoadFromFile(path));
    EXPECT_EQ(hex.Count(), 1);
    std::remove(path.c_str());
    EXPECT_FALSE(hex.LoadFromFile(path));
    EXPECT_EQ(hex.GetLastError(), THexError::FileUnreadable);
    EXPECT_EQ(hex.Count(), 0);
}

TEST(HexFormat, ApplicationName) {
    HEXFormat hex;
    EXPECT_FALSE(hex.HasAppVersion());
    EXPECT_EQ(hex.GetAppVersion(), "");
    // "APP_V:Demo", a zero byte, then more data.
    ASSERT_TRUE(hex.ParseLines({":0E0000004150505F563A44656D6F00414243D7", Eof}));
    EXPECT_TRUE(hex.HasAppVersion());
    EXPECT_EQ(hex.GetAppVersion(), "Demo");
    // Only the first record counts.
    hex.Clear();
    ASSERT_TRUE(hex.ParseLines({":0100000041BE", ":0B0010004150505F563A44656D6F0090", Eof}));
    EXPECT_FALSE(hex.HasAppVersion());
    EXPECT_EQ(hex.GetAppVersion(), "");
    EXPECT_TRUE(HEXFormat::IsAppVersion("APP_V:x"));
    EXPECT_TRUE(HEXFormat::IsAppVersion("APP_V:"));
    EXPECT_FALSE(HEXFormat::IsAppVersion("APP_V"));
    EXPECT_FALSE(HEXFormat::IsAppVersion("app_v:x"));
}

TEST(HexFormat, RepacksIntoBlocksOf128Bytes) {
    // Sixteen records of 16 bytes from 0x0000: two full blocks.
    std::vector<std::string> lines;
    for (uint16_t a = 0; a < 0x100; a += 0x10) lines.push_back(DataLine(a, 16));
    lines.push_back(Eof);
    auto blocks = Repack(lines);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].Address, 0x0000u);
    EXPECT_EQ(blocks[1].Address, 0x0080u);
    for (int j = 0; j < 128; ++j) {
        EXPECT_EQ(blocks[0].Data[j], j);
        EXPECT_EQ(blocks[1].Data[j], 0x80 + j);
    }

    // Seven records of 16 bytes, one of 8, then 16 bytes at 0x0078 that
    // cross the block end.
    lines.clear();
    for (uint16_t a = 0; a < 0x70; a += 0x10) lines.push_back(DataLine(a, 16));
    lines.push_back(DataLine(0x70, 8));
    lines.push_back(Line(0, 0x78, {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4,
                                   0xB5, 0xB6, 0xB7}));
    lines.push_back(Eof);
    blocks = Repack(lines);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].Address, 0x0000u);
    EXPECT_EQ(blocks[0].Data[119], 0x77);
    EXPECT_EQ(blocks[0].Data[120], 0xA0);
    EXPECT_EQ(blocks[0].Data[127], 0xA7);
    EXPECT_EQ(blocks[1].Address, 0x0080u);
    EXPECT_EQ(blocks[1].Data[0], 0xB0);
    EXPECT_EQ(blocks[1].Data[7], 0xB7);
    for (int j = 8; j < 128; ++j) EXPECT_EQ(blocks[1].Data[j], 0);

    // A gap starts a new block.
    blocks = Repack({DataLine(0x0000, 16), DataLine(0x0100, 16), Eof});
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].Address, 0x0000u);
    EXPECT_EQ(blocks[1].Address, 0x0100u);
    EXPECT_EQ(blocks[0].Data[15], 0x0F);
    EXPECT_EQ(blocks[1].Data[0], 0x00);
    EXPECT_EQ(blocks[1].Data[15], 0x0F);
    for (int j = 16; j < 128; ++j) {
        EXPECT_EQ(blocks[0].Data[j], 0);
        EXPECT_EQ(blocks[1].Data[j], 0);
    }

    // Contiguous records of different lengths share one block.
    blocks = Repack({DataLine(0x0200, 16), DataLine(0x0210, 8), DataLine(0x0218, 16), Eof});
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].Address, 0x0200u);
    for (int j = 0; j < 40; ++j) EXPECT_EQ(blocks[0].Data[j], j);
    EXPECT_EQ(blocks[0].Data[40], 0);

    // A record of 255 bytes fills one block and most of the next; the
    // destination is emptied first.
    HEXFormat hex;
    ASSERT_TRUE(hex.ParseLines({DataLine(0x1000, 255), Eof}));
    hex.RepackToBlocks(blocks);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1].Address, 0x1080u);
    EXPECT_EQ(blocks[1].Data[126], 0xFE);
    EXPECT_EQ(blocks[1].Data[127], 0);

    HEXFormat empty;
    empty.RepackToBlocks(blocks);
    EXPECT_TRUE(blocks.empty());
}
