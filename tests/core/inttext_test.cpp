#include <gtest/gtest.h>

#include "Cp1252.h"
#include "IntText.h"

struct IntCase {
    const char* text;
    std::optional<int64_t> value;
};

class IntTextTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntTextTest, ReadsOrRefuses) {
    const auto& c = GetParam();
    EXPECT_EQ(ReadIntText(c.text), c.value) << "text: '" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntTextTest,
    ::testing::Values(IntCase{"0", 0}, IntCase{"  42", 42}, IntCase{"-17", -17}, IntCase{"+5", 5},
                      IntCase{"0x1F", 31}, IntCase{"x1f", 31}, IntCase{"$FF", 255}, IntCase{"-0x10", -16},
                      IntCase{"4294967295", 4294967295LL}, IntCase{"0xFFFFFFFF", 4294967295LL},
                      IntCase{"-2147483648", -2147483648LL}, IntCase{"4294967296", std::nullopt},
                      IntCase{"-2147483649", std::nullopt}, IntCase{"0x100000000", std::nullopt},
                      IntCase{"", std::nullopt}, IntCase{"   ", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{"0x", std::nullopt}, IntCase{"12a", std::nullopt}, IntCase{"1 ", std::nullopt},
                      IntCase{"abc", std::nullopt}, IntCase{"99999999999999999999", std::nullopt}));

TEST(IntTextBits, NegativeAndUnsignedGiveTheSameBits) {
    EXPECT_EQ(ReadIntTextBits("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadIntTextBits("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadHexDigits("1A2b"), 0x1A2Bu);
    EXPECT_EQ(ReadHexDigits("123456789"), std::nullopt);
    EXPECT_EQ(ReadHexDigits("G1"), std::nullopt);
    EXPECT_EQ(ReadHexDigits(""), std::nullopt);
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("\xA7"), "\xC2\xA7");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC 1"), "\x80 1");
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");   // no such character in the code page
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");         // cut sequence
}


TEST(IntText64, TakesEverySixtyFourBitValueInTheSameForms) {
    const std::pair<const char*, std::optional<int64_t>> cases[] = {
        {"0x10", 16},
        {" -2147483649", -2147483649LL},
        {"4294967296", 4294967296LL},
        {"-0x8000000000000000", INT64_MIN},
        {"9223372036854775807", INT64_MAX},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"$FFFFFFFFFFFFFFFFF", std::nullopt},
        {"12a", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ReadIntText64(text), value) << text;
}
