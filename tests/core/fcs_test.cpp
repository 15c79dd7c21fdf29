// CRC-16 and the conversion of program-file lines into binary records.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Fcs.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

const char* const S0Line = "S00600004844521B";
const char* const EofLine = ":00000001FF";

}  // namespace

TEST(Fcs16, CheckValuesWorkedOutByHand) {
    const std::string check = "123456789";
    EXPECT_EQ(CalcFcs16(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0x6F91);
    EXPECT_EQ(CalcFcs16(nullptr, 0), 0xFFFF);
    // Table entries 1 and 128 as the register sees them from 0.
    EXPECT_EQ(Fcs16Step(0, 1), 0x1189);
    EXPECT_EQ(Fcs16Step(0, 128), 0x8408);
    // 0xFFFF then 0x00: (0xFFFF >> 8) ^ T[0xFF] = 0x00FF ^ 0x0F78.
    const uint8_t zero = 0;
    EXPECT_EQ(CalcFcs16(&zero, 1), 0x0F87);
    // Stepping byte by byte gives the same as the whole buffer.
    uint16_t crc = 0xFFFF;
    for (char c : check) crc = Fcs16Step(crc, static_cast<uint8_t>(c));
    EXPECT_EQ(crc, 0x6F91);
}

TEST(ProgramLines, ConvertsWholeRecords) {
    struct Case {
        std::string line;
        int result;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {S0Line, 9, Bytes({'S', '0', 6, 0, 0, 0x48, 0x44, 0x52, 0x1B})},
        {"s00600004844521b", 9, Bytes({'s', '0', 6, 0, 0, 0x48, 0x44, 0x52, 0x1B})},
        {EofLine, 6, Bytes({':', 0, 0, 0, 1, 0xFF})},
        // CR LF of a file made on Windows is not part of the record.
        {std::string(S0Line) + "\r", 9, Bytes({'S', '0', 6, 0, 0, 0x48, 0x44, 0x52, 0x1B})},
        {std::string(EofLine) + "\r\n", 6, Bytes({':', 0, 0, 0, 1, 0xFF})},
        {"S5030003F9", 6, Bytes({'S', '5', 3, 0, 3, 0xF9})},
        {"S30900001000DEADBEEFAE", 12, Bytes({'S', '3', 9, 0, 0, 0x10, 0, 0xDE, 0xAD, 0xBE, 0xEF, 0xAE})},
        {":020000040001F9", 8, Bytes({':', 2, 0, 0, 4, 0, 1, 0xF9})},
        {"S00600004844521C", ProgLineChecksumWrong, {}},
        {":00000001FE", ProgLineChecksumWrong, {}},
        {"", ProgLineNotRecord, {}},
        {"\r", ProgLineNotRecord, {}},
        {" S00600004844521B", ProgLineNotRecord, {}},
        {"#comment", ProgLineNotRecord, {}},
        {"S", ProgLineNotRecord, {}},
        // Damaged records: digits not in pairs, a count that disagrees with
        // the bytes held, a record type that does not exist.
        {":00000001FF0", ProgLineMalformed, {}},
        {"S00600004844521", ProgLineMalformed, {}},
        {"S0", ProgLineMalformed, {}},
        {":", ProgLineMalformed, {}},
        {":00", ProgLineMalformed, {}},
        {":0200000001FD", ProgLineMalformed, {}},
        {":01000000FF", ProgLineMalformed, {}},
        {":0100000600F9", ProgLineMalformed, {}},
        {"S00500004844521C", ProgLineMalformed, {}},
        {"S4030000FC", ProgLineMalformed, {}},
        {"SX030000FC", ProgLineMalformed, {}},
        {"S3030000FC", ProgLineMalformed, {}},
        {":0000G001FF", ProgLineNotHex, {}},
        {"S0060000 844521B", ProgLineNotHex, {}},
        {":-1000001FF", ProgLineNotHex, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<uint8_t> buffer(64, 0xEE);
        const int n = ConvertLineToBinary(c.line, buffer.data(), buffer.size());
        EXPECT_EQ(n, c.result);
        if (n > 0) {
            EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + n), c.bytes);
        }
    }
}

TEST(ProgramLines, BufferMustHoldTheWholeRecord) {
    uint8_t buffer[16];
    EXPECT_EQ(ConvertLineToBinary(S0Line, buffer, 9), 9);
    EXPECT_EQ(ConvertLineToBinary(S0Line, buffer, 8), ProgLineBufferTooSmall);
    EXPECT_EQ(ConvertLineToBinary(EofLine, buffer, 6), 6);
    EXPECT_EQ(ConvertLineToBinary(EofLine, buffer, 5), ProgLineBufferTooSmall);
    EXPECT_EQ(ConvertLineToBinary(EofLine, buffer, 1), ProgLineBufferTooSmall);
}

TEST(ProgramLines, ImageSizeAndCrc) {
    const std::vector<std::string> lines = {S0Line, EofLine};
    EXPECT_EQ(GetLinesBinarySize(lines), 15u);
    std::vector<uint8_t> image;
    ASSERT_EQ(BuildLinesImage(lines, image), 0);
    EXPECT_EQ(image, Bytes({'S', '0', 6, 0, 0, 0x48, 0x44, 0x52, 0x1B, ':', 0, 0, 0, 1, 0xFF}));
    EXPECT_EQ(CalcLinesFcs16(lines), 0xA3DB);
    EXPECT_EQ(CalcLinesFcs16(lines), CalcFcs16(image.data(), image.size()));

    // Lines as read from a Windows file give the same size, image and CRC.
    const std::vector<std::string> windows = {std::string(S0Line) + "\r", std::string(EofLine) + "\r"};
    EXPECT_EQ(GetLinesBinarySize(windows), 15u);
    EXPECT_EQ(CalcLinesFcs16(windows), 0xA3DB);

    // Any failing line makes the CRC 0 and leaves no image.
    for (const char* bad : {"S00600004844521C", "", ":00000001FG", ":00000001FF0"}) {
        const std::vector<std::string> withBad = {S0Line, bad, EofLine};
        EXPECT_EQ(CalcLinesFcs16(withBad), 0) << bad;
        EXPECT_LT(BuildLinesImage(withBad, image), 0) << bad;
        EXPECT_TRUE(image.empty());
    }
}

TEST(ProgramLines, CheckLinesGivesTheLastResult) {
    EXPECT_EQ(CheckLines({S0Line, EofLine}), 6);
    EXPECT_EQ(CheckLines({EofLine, S0Line}), 9);
    EXPECT_EQ(CheckLines({S0Line, "S00600004844521C", ""}), ProgLineChecksumWrong);
    EXPECT_EQ(CheckLines({S0Line, "x", ":00000001FE"}), ProgLineNotRecord);
    EXPECT_EQ(CheckLines({}), ProgLineNotRecord);
    // A record longer than the 524-byte scratch buffer.
    std::string longLine = ":" + std::string(2 * 524, '0');
    EXPECT_EQ(CheckLines({longLine}), ProgLineBufferTooSmall);
}

TEST(ProgramLines, CopyChunk) {
    std::vector<uint8_t> image(200);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i);
    uint8_t packet[128] = {};
    EXPECT_EQ(CopyChunk(packet, image.data(), 120, 128, image.size()), 80u);
    EXPECT_EQ(packet[0], 120);
    EXPECT_EQ(packet[79], 199);
    EXPECT_EQ(packet[80], 0);
    EXPECT_EQ(CopyChunk(packet, image.data(), 0, 128, image.size()), 128u);
    EXPECT_EQ(CopyChunk(packet, image.data(), 200, 128, image.size()), 0u);
    EXPECT_EQ(CopyChunk(packet, image.data(), 5000, 128, image.size()), 0u);
}

TEST(ProgramLines, SplitsLinesOfEveryLineEnd) {
    using L = std::vector<std::string>;
    EXPECT_EQ(SplitProgramLines("a\r\nb\r\n"), (L{"a", "b"}));
    EXPECT_EQ(SplitProgramLines("a\nb"), (L{"a", "b"}));
    EXPECT_EQ(SplitProgramLines("a\rb\r"), (L{"a", "b"}));
    EXPECT_EQ(SplitProgramLines("a\r\n\r\nb"), (L{"a", "", "b"}));
    EXPECT_EQ(SplitProgramLines(""), L{});
    EXPECT_EQ(SplitProgramLines("\n"), L{""});

    const std::string path = testing::TempDir() + "fcs_lines_test_" + std::to_string(getpid()) + ".s19";
    {
        std::ofstream out(path, std::ios::binary);
        out << S0Line << "\r\n" << EofLine << "\r\n";
    }
    const auto lines = ReadProgramLines(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (L{S0Line, EofLine}));
    EXPECT_FALSE(ReadProgramLines(path, 10));
    std::remove(path.c_str());
    EXPECT_FALSE(ReadProgramLines(path));
}
