// Files into telegram payloads, byte for byte, and the headers of the download types.
#include <gtest/gtest.h>

#include "LoaderTestSupport.h"

namespace {

struct Converted {
    bool Good;
    std::string Error;
    std::vector<std::string> Lines;
    std::string Ident;
};

Converted Convert(const std::string& type, int kind, std::vector<std::string> lines,
                  const std::string& option = "") {
    TLoaderProgram program;
    program.ParamType = type;
    program.ParamOption = option;
    program.FileKind = kind;
    program.TelegramLines = std::move(lines);
    std::string error;
    const bool good = program.ConvertFile(error);
    return {good, error, program.TelegramLines, program.Ident};
}

std::string Data16() { return B({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}); }

}  // namespace

TEST(LoaderConvertHex, OneRecordAtZeroGivesOneBlockAndTheClosing) {
    const auto c = Convert("MAIN", 1, {HexLine(16, 0x0000, 0, Data16()), ":00000001FF"});
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 3u);
    EXPECT_EQ(c.Lines[0], B({'q', 0xAA, 0x55, 0x00, 0x00}) + "IDENT NOT FOUND " + "    ");
    EXPECT_EQ(c.Lines[1], B({'s', 0xAA, 0x55, 0x00, 0, 0, 0, 0}) + Data16() + Fill(112, 0xFF));
    EXPECT_EQ(c.Lines[2], B({'s', 0xAA, 0x55, 0x01, 0, 0, 0, 0}));
}

TEST(LoaderConvertHex, DataEndingOnABlockBoundarySendsNoEmptyBlock) {
    // Data 0xF0..0xFF: the block at 0 holds only 0xFF and the extra block past 0x100 too.
    const auto c = Convert("JTAG", 1, {HexLine(16, 0x00F0, 0, Data16())});
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 2u);
    EXPECT_EQ(c.Lines[0], B({'s', 0xAA, 0x55, 0x00, 0x80, 0, 0, 0}) + Fill(112, 0xFF) + Data16());
    EXPECT_EQ(c.Lines[1], B({'s', 0xAA, 0x55, 0x01, 0, 0, 0, 0}));
}

TEST(LoaderConvertHex, LinearBaseFirstSetsTheLowestAddress) {
    const auto c = Convert("JTAG", 1, {HexLine(2, 0, 4, B({0x00, 0x01})), HexLine(16, 0x0080, 0, Data16())});
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 2u);
    EXPECT_EQ(c.Lines[0], B({'s', 0xAA, 0x55, 0x00, 0x80, 0x00, 0x01, 0x00}) + Data16() + Fill(112, 0xFF));
    EXPECT_EQ(c.Lines[1], B({'s', 0xAA, 0x55, 0x01, 0x00, 0x00, 0x01, 0x00}));
}

TEST(LoaderConvertHex, ANewBaseWidensTheExtentWithTheLastDataRecord) {
    // Base 0x20000, 4 bytes at 0x10; the base 0x10000 then applies offset 0x10
    // again, so the lowest address becomes 0x10010 although no data lies there.
    const auto c = Convert("JTAG", 1,
                           {HexLine(2, 0, 4, B({0x00, 0x02})), HexLine(4, 0x0010, 0, B({1, 2, 3, 4})),
                            HexLine(2, 0, 4, B({0x00, 0x01}))});
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 2u);
    EXPECT_EQ(c.Lines[0], B({'s', 0xAA, 0x55, 0x00, 0x00, 0x00, 0x02, 0x00}) + Fill(16, 0xFF) +
                              B({1, 2, 3, 4}) + Fill(108, 0xFF));
    EXPECT_EQ(c.Lines[1], B({'s', 0xAA, 0x55, 0x01, 0x10, 0x00, 0x01, 0x00}));
}

TEST(LoaderConvertHex, SegmentBaseCountsSixteenfold) {
    const auto c = Convert("JTAG", 1, {HexLine(2, 0, 2, B({0x10, 0x00})), HexLine(1, 0x0005, 0, B({0x42}))});
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 2u);
    EXPECT_EQ(c.Lines[0], B({'s', 0xAA, 0x55, 0x00, 0x00, 0x00, 0x01, 0x00}) + Fill(5, 0xFF) + B({0x42}) +
                              Fill(122, 0xFF));
    EXPECT_EQ(c.Lines[1], B({'s', 0xAA, 0x55, 0x01, 0x00, 0x00, 0x01, 0x00}));
}

TEST(LoaderConvertHex, UserIdentIsTakenFromTheRecordAt0x20080) {
    const auto c = Convert("USER", 1,
                           {HexLine(2, 0, 4, B({0x00, 0x02})), HexLine(4, 0x0080, 0, "ABCD")}, "CONTROL");
    ASSERT_TRUE(c.Good) << c.Error;
    EXPECT_EQ(c.Ident, "ABCD");
    ASSERT_EQ(c.Lines.size(), 3u);
    // Without the proceed state the pair stays 0x00 0x00 even with CONTROL.
    EXPECT_EQ(c.Lines[0], B({'p', 0xAA, 0x55, 0x00, 0x00, 0, 0, 0, 'A', 'B', 'C', 'D', 0}));
}

TEST(LoaderConvertHex, MainIdentAt0x18120AndControlPair) {
    const auto c = Convert("MAIN", 1,
                           {HexLine(2, 0, 4, B({0x00, 0x01})), HexLine(3, 0x8120, 0, "V61")}, "CONTROL");
    ASSERT_TRUE(c.Good) << c.Error;
    EXPECT_EQ(c.Lines[0], B({'q', 0xAA, 0x55, 0x57, 0x13, 'V', '6', '1', ' ', ' ', ' ', ' '}));
}

TEST(LoaderConvertHex, HeaderRebuiltWithProceedPair) {
    TLoaderProgram program;
    program.ParamType = "USER";
    program.ParamOption = "CONTROL";
    program.FileKind = 1;
    program.TelegramLines = {HexLine(16, 0, 0, Data16())};
    std::string error;
    ASSERT_TRUE(program.ConvertFile(error)) << error;
    program.ProceedState = 2;
    program.InsertHeader(true);
    ASSERT_EQ(program.TelegramLines.size(), 3u);
    EXPECT_EQ(program.TelegramLines[0],
              B({'p', 0xAA, 0x55, 0x57, 0x13, 0, 0, 0}) + "IDENT NOT FOUND " + B({0}));
}

TEST(LoaderConvertHex, DataAtTheTopOfThirtyTwoBitsAndBeyond) {
    const auto top = Convert("JTAG", 1, {HexLine(2, 0, 4, B({0xFF, 0xFF})), HexLine(16, 0xFFF0, 0, Data16())});
    ASSERT_TRUE(top.Good) << top.Error;
    EXPECT_EQ(top.Lines[0], B({'s', 0xAA, 0x55, 0x00, 0x80, 0xFF, 0xFF, 0xFF}) + Fill(112, 0xFF) + Data16());
    EXPECT_EQ(top.Lines[1], B({'s', 0xAA, 0x55, 0x01, 0x00, 0x00, 0xFF, 0xFF}));

    const auto past = Convert("JTAG", 1, {HexLine(2, 0, 4, B({0xFF, 0xFF})), HexLine(17, 0xFFF0, 0, Data16() + "x")});
    EXPECT_FALSE(past.Good);
    EXPECT_EQ(past.Error, "Data address out of range in line 2 !");
}

TEST(LoaderConvertHex, RecordsFarApartAllocateOnlyTheirBlocks) {
    const auto c = Convert("JTAG", 1, {HexLine(1, 0, 0, B({1})), HexLine(2, 0, 4, B({0xF0, 0x00})),
                                       HexLine(1, 0, 0, B({2}))});
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 3u);
    EXPECT_EQ(c.Lines[1].substr(0, 9), B({'s', 0xAA, 0x55, 0x00, 0, 0, 0, 0xF0, 2}));
}

TEST(LoaderConvert850, EshRoundsUpToTheNextBoundaryAndSendsEveryBlock) {
    const auto c = Convert("850ESHx2", 4, {HexLine(2, 0, 4, B({0x00, 0x01})), HexLine(1, 0x2344, 0, B({0xAB}))});
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 962u);  // 0x1E000 / 128 blocks with opening and closing
    EXPECT_EQ(c.Lines[0], B({'u', 0x00, 0x00}) + "850ESHx2");
    EXPECT_EQ(c.Lines[1], B({'u', 0x01, 0, 0, 0, 0}) + Fill(128, 0xFF));
    const size_t block = 0x12300 / 128 + 1;
    EXPECT_EQ(c.Lines[block], B({'u', 0x01, 0x00, 0x23, 0x01, 0x00}) + Fill(0x44, 0xFF) + B({0xAB}) +
                                  Fill(128 - 0x45, 0xFF));
    EXPECT_EQ(c.Lines[960], B({'u', 0x01, 0x80, 0xDF, 0x01, 0x00}) + Fill(128, 0xFF));
    EXPECT_EQ(c.Lines[961], B({'u', 0x02}) + "850ESHx2");
}

TEST(LoaderConvert850, EshSmallFileFillsTheFirstBoundary) {
    const auto c = Convert("850ESHx2", 4, {HexLine(1, 0x0010, 0, B({7}))});
    ASSERT_TRUE(c.Good) << c.Error;
    EXPECT_EQ(c.Lines.size(), 0xE000u / 128 + 2);
}

TEST(LoaderConvert850, EjsRoundsToFourKilobytesWithVerifyFlag) {
    const auto c = Convert("850ESJx3", 4, {HexLine(2, 0x1232, 0, B({0x11, 0x22}))}, "VERIFY");
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 0x2000u / 128 + 2);
    EXPECT_EQ(c.Lines[0], B({'u', 0x00, 0x03}) + "850ESJx3");
    EXPECT_EQ(c.Lines[0x1200 / 128 + 1],
              B({'u', 0x01, 0x00, 0x12, 0x00, 0x00}) + Fill(0x32, 0xFF) + B({0x11, 0x22}) + Fill(128 - 0x34, 0xFF));
    EXPECT_EQ(c.Lines.back(), B({'u', 0x02}) + "850ESJx3");
}

TEST(LoaderConvert850, DataBeyondTheMemoryIsRefused) {
    const struct {
        const char* Type;
        int Base;
    } cases[] = {{"850ESHx2", 0x0008}, {"850ESJx3", 0x0010}};
    for (const auto& k : cases) {
        const auto c = Convert(k.Type, 4, {HexLine(2, 0, 4, B({0, k.Base})), HexLine(1, 0, 0, B({1}))});
        EXPECT_FALSE(c.Good) << k.Type;
        EXPECT_EQ(c.Error, "Data address out of range in line 2 !") << k.Type;
    }
    // The last byte of the memory is still inside.
    const auto last = Convert("850ESHx2", 4, {HexLine(2, 0, 4, B({0, 7})), HexLine(1, 0xFFFF, 0, B({1}))});
    ASSERT_TRUE(last.Good) << last.Error;
    EXPECT_EQ(last.Lines.size(), 0x80000u / 128 + 2);
    EXPECT_EQ(last.Lines[0x80000 / 128], B({'u', 0x01, 0x80, 0xFF, 0x07, 0x00}) + Fill(127, 0xFF) + B({1}));
}

TEST(LoaderConvertBinary, SixtyFourBytesGiveOpeningTwoDataAndClosing) {
    const std::string data = Fill(64, 0x5A);
    const auto c = Convert("89S825x", 2, {data, ""});
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 4u);
    EXPECT_EQ(c.Lines[0], B({'t', 0x00, 0x00}) + "89S825x");
    EXPECT_EQ(c.Lines[1], B({'t', 0x01, 0x00, 0x00}) + data);
    EXPECT_EQ(c.Lines[2], B({'t', 0x01, 0x40, 0x00}));
    EXPECT_EQ(c.Lines[3], B({'t', 0x02}) + "89S825x");
}

TEST(LoaderConvertBinary, VerifyFlagAndOffsetsAcrossTheLowByte) {
    std::vector<std::string> lines(5, Fill(64, 1));
    lines.push_back(B({9, 8}));
    const auto c = Convert("89S825x", 2, lines, "VERIFY");
    ASSERT_TRUE(c.Good) << c.Error;
    EXPECT_EQ(c.Lines[0], B({'t', 0x00, 0x01}) + "89S825x");
    EXPECT_EQ(c.Lines[5].substr(0, 4), B({'t', 0x01, 0x00, 0x01}));
    EXPECT_EQ(c.Lines[6], B({'t', 0x01, 0x40, 0x01, 9, 8}));
}

TEST(LoaderConvertBinary, AtMostSixtyFourKilobytes) {
    std::vector<std::string> full(1024, Fill(64, 0));
    full.push_back("");
    const auto fits = Convert("89S825x", 2, full);
    ASSERT_TRUE(fits.Good) << fits.Error;
    EXPECT_EQ(fits.Lines[1024].substr(0, 4), B({'t', 0x01, 0xC0, 0xFF}));

    full.back() = "x";
    const auto over = Convert("89S825x", 2, full);
    EXPECT_FALSE(over.Good);
    EXPECT_EQ(over.Error, "File too large for a binary download (at most 65536 bytes) !");
}

TEST(LoaderConvertBinary, HeadersOfMainAndUser) {
    const std::string data = B({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    const auto main = Convert("MAIN", 2, {data});
    ASSERT_TRUE(main.Good) << main.Error;
    EXPECT_EQ(main.Lines[0], B({'q', 0xAA, 0x55}));
    // USER copies from the first data payload 't', 0x01, offset, data...:
    // positions 9 to 12 are data bytes 4 to 7, from position 19 data byte 14 on.
    const auto user = Convert("USER", 2, {data});
    ASSERT_TRUE(user.Good) << user.Error;
    EXPECT_EQ(user.Lines[0], B({'p', 0, 0, 0xAA, 0x55, 4, 5, 6, 7, 0, 0, 0, 0, 0, 0, 14, 15, 16, 17, 18, 19, 20}));
}

TEST(LoaderConvertSRecord, RecordsWithVerifyByteOnTheFirst) {
    const auto c = Convert("JTAG", 0, {"S00600004844521B", "S1070000AABBCCDDE7\r", "S9030000FC"}, "VERIFY");
    ASSERT_TRUE(c.Good) << c.Error;
    ASSERT_EQ(c.Lines.size(), 3u);
    EXPECT_EQ(c.Lines[0], B({'s', 'S', '0', 0x06, 0x00, 0x00, 0x48, 0x44, 0x52, 0x1B, 0x01}));
    EXPECT_EQ(c.Lines[1], B({'s', 'S', '1', 0x07, 0x00, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0xE7}));
    EXPECT_EQ(c.Lines[2], B({'s', 'S', '9', 0x03, 0x00, 0x00, 0xFC}));
}

TEST(LoaderConvertSRecord, OddLastDigitDroppedAndNoVerifyByteZero) {
    const auto c = Convert("JTAG", 0, {"S10300001"});
    ASSERT_TRUE(c.Good) << c.Error;
    EXPECT_EQ(c.Lines[0], B({'s', 'S', '1', 0x03, 0x00, 0x00, 0x00}));
}

TEST(LoaderConvertSRecord, HeadersCopyFromTheSecondLine) {
    const std::vector<std::string> lines = {"S0030000FC", "S1130000000102030405060708090A0B0C0D0E0F70"};
    // Second payload: 's','S','1',0x13,0x00,0x00,0x00,0x01,0x02,... so position 9 is 0x02
    // and position 19 is 0x0C.
    const auto intr = Convert("INTR", 0, lines);
    ASSERT_TRUE(intr.Good) << intr.Error;
    EXPECT_EQ(intr.Lines[0], B({'r', 0, 0, 0xAA, 0x55, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0x70}));
    const auto user = Convert("USER", 0, lines);
    EXPECT_EQ(user.Lines[0], B({'p', 0, 0, 0xAA, 0x55, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0, 12, 13, 14, 15, 0x70}));
    const auto mod = Convert("INTRMOD", 0, lines, "CONTROL");
    EXPECT_EQ(mod.Lines[0], B({'t', 0, 0, 0xAA, 0x55, 0, 0, 0, 0, 0, 0}));
    const auto main = Convert("MAIN", 0, lines);
    EXPECT_EQ(main.Lines[0], B({'q', 0xAA, 0x55}));
}

TEST(LoaderConvertSRecord, LongestLineFitsOneTelegram) {
    const std::string pairs249 = std::string(2 * 249, 'A');
    const auto fits = Convert("JTAG", 0, {"S0030000FC", "S1" + pairs249});
    ASSERT_TRUE(fits.Good) << fits.Error;
    EXPECT_EQ(fits.Lines[1].size(), 252u);
    const auto over = Convert("JTAG", 0, {"S0030000FC", "S1" + pairs249 + "AA"});
    EXPECT_FALSE(over.Good);
    EXPECT_EQ(over.Error, "Telegram 2 too long (253 bytes, at most 252) !");
}

TEST(LoaderConvert, FilesThatCannotBeDownloadedAreRefused) {
    const struct {
        const char* Name;
        const char* Type;
        int Kind;
        std::vector<std::string> Lines;
        const char* Error;
    } cases[] = {
        {"blank HEX line", "MAIN", 1, {HexLine(1, 0, 0, B({1})), ""}, "Invalid HEX record in line 2 !"},
        {"no colon", "MAIN", 1, {"10000000"}, "Invalid HEX record in line 1 !"},
        {"not hexadecimal", "MAIN", 1, {":0100000G01FE"}, "Invalid HEX record in line 1 !"},
        {"short record", "MAIN", 1, {":0200000001FD"}, "Invalid HEX record in line 1 !"},
        {"base without value", "MAIN", 1, {":0000000400"}, "Invalid HEX record in line 1 !"},
        {"S-record in a HEX file", "MAIN", 1, {"S1030000FC"}, "Invalid HEX record in line 1 !"},
        {"no data records", "MAIN", 1, {HexLine(2, 0, 4, B({0, 1})), ":00000001FF"}, "No data records in file !"},
        {"empty HEX file", "850ESJx3", 4, {}, "No data records in file !"},
        {"no records", "MAIN", 0, {}, "No records in file !"},
        {"blank S-record line", "MAIN", 0, {"S0030000FC", ""}, "Invalid S-record in line 2 !"},
        {"not an S-record", "MAIN", 0, {":00000001FF"}, "Invalid S-record in line 1 !"},
        {"S-record with stray character", "MAIN", 0, {"S1030000FZ"}, "Invalid S-record in line 1 !"},
        {"too few lines for INTR", "INTR", 0, {"S0030000FC"}, "Too few records in file for the download type INTR !"},
        {"too few lines for USER", "USER", 0, {"S0030000FC"}, "Too few records in file for the download type USER !"},
        {"ident too long for the header", "MAIN", 1,
         {HexLine(2, 0, 4, B({0, 1})), HexLine(250, 0x8120, 0, Fill(250, 'x'))},
         "Telegram 1 too long (259 bytes, at most 252) !"},
    };
    for (const auto& k : cases) {
        const auto c = Convert(k.Type, k.Kind, k.Lines);
        EXPECT_FALSE(c.Good) << k.Name;
        EXPECT_EQ(c.Error, k.Error) << k.Name;
    }
}
