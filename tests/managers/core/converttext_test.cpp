// The converter's conversion, line by line, with each option.
#include "ConvertText.h"
#include "Timing.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TConvertOptions Options(const char* bytes, bool isSigned, const char* delimiters = ", ;.:-/#%&") {
    TConvertOptions o;
    o.Bytes = bytes;
    o.Signed = isSigned;
    o.Delimiters = delimiters;
    return o;
}

}  // namespace

TEST(ConvertLines, LinesWithEachOption) {
    const struct {
        const char* line;
        TConvertOptions options;
        const char* out;
        int errors;
    } cases[] = {
        {"0x10, 0x20", Options("2", true), "16, 32", 1},  // the empty token between ',' and ' '
        {"AB:0x41", Options("2", true), "AB:65", 1},
        {"$FF", Options("2", false), "255", 0},
        {"0x8000", Options("2", true), "-32768", 0},
        {"0x8000", Options("4", true), "32768", 0},
        {"0x80", Options("1", true), "-128", 0},
        {"0xFFFF", Options("2", true), "-1", 0},
        {"0x180", Options("1", true), "-3712", 0},  // the padding does not mask to the size
        {"0x00000080", Options("1", true), "128", 0},  // eight digits: nothing to pad
        {"0x7F", Options("1", true), "127", 0},
        {"0x80", Options("2", true), "128", 0},
        {"0xFFFFFFFF", Options("4", true), "-1", 0},
        {"0xFFFFFFFF", Options("8", true), "-1", 0},
        // Unsigned shows the 32-bit unsigned value.
        {"0xFFFFFFFF", Options("2", false), "4294967295", 0},
        {"0x80000000", Options("4", false), "2147483648", 0},
        {"0x7FFFFFFF", Options("4", false), "2147483647", 0},
        {"0x8000", Options("2", false), "32768", 0},
        // Prefixes other than 0x pad the same way; decimal tokens extend from the size.
        {"$80", Options("1", true), "-128", 0},
        {"x8000", Options("2", true), "-32768", 0},
        {"0X80", Options("1", true), "-128", 0},
        {"200", Options("1", true), "-56", 0},
        {"384", Options("1", true), "-128", 0},
        {"40000", Options("2", true), "-25536", 0},
        {"100", Options("1", true), "100", 0},
        // A minus reaches a token only when it is no delimiter.
        {"-5", Options("4", true, ","), "-5", 0},
        {"-5", Options("4", false, ","), "4294967291", 0},
        {"-5", Options("4", true), "-5", 0},  // '-' kept as a delimiter at the start
        {"", Options("2", true), "", 0},
        {"12,", Options("2", true), "12,", 1},
        {",,", Options("2", true), ",,", 2},   // the empty tokens after each delimiter
        {"0x1G 7", Options("2", true), "0x1G 7", 1},
        {"0x100000000", Options("4", true), "0x100000000", 1},  // beyond 32 bits
        {"00 0A FF", Options("1", false), "0 0A FF", 2},           // 0A and FF lack a prefix
        {"0x0A 0xff", Options("1", false), "10 255", 0},
        {"10 20", Options("2", true, ""), "10 20", 1},             // no delimiters: one token
        {"1\t2", Options("2", true, "\t"), "1\t2", 0},
        {"a,b", Options("", true), "a,b", 2},                       // no size chosen
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.line);
        const TConvertResult r = ConvertLines({k.line}, k.options);
        ASSERT_EQ(r.Lines.size(), 1u);
        EXPECT_EQ(r.Lines[0], k.out);
        EXPECT_EQ(r.Errors, k.errors);
    }
}

TEST(ConvertLines, CountsErrorsOverAllLinesAndKeepsEmptyLines) {
    const TConvertResult r = ConvertLines({"0x10 x", "", "y,0x20"}, Options("2", true));
    EXPECT_EQ(r.Lines, (std::vector<std::string>{"16 x", "", "y,32"}));
    EXPECT_EQ(r.Errors, 2);
    EXPECT_TRUE(ConvertLines({}, Options("2", true)).Lines.empty());
}

TEST(ConvertLines, TenThousandLinesConvertWhole) {
    std::vector<std::string> lines(10000, "0x12, 0x34, 0xFFFF, 0x8000 0x7F:0x1234/0xABCD#0xFF");
    TConvertResult r;
    const double took = FastestMs(3, [&] { r = ConvertLines(lines, Options("2", true)); });
    EXPECT_EQ(r.Lines.size(), 10000u);
    EXPECT_EQ(r.Lines[9999], "18, 52, -1, -32768 127:4660/-21555#255");
    RecordProperty("ms", std::to_string(took));
    std::printf("10000 lines converted in %.2f ms\n", took);
    // The benchmark gives the figure on a quiet machine
    // (BM_ConvertTenThousandLines, target 100 ms).
}
