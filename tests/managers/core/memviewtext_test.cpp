// The memory viewer's dump lines, paging arithmetic and typed addresses.
#include "MemViewText.h"
#include "Timing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

TEST(MemViewText, DumpLines) {
    std::vector<uint8_t> bytes(16);
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(0x30 + i);
    const std::vector<uint8_t> mixed = {0x1F, 0x20, 0x41, 0x7E, 0x7F, 0x00, 0xC0, 0xFF,
                                        0xA8, 0xB8, 0x80, 0x98, 0xAD, 0xB9, 0x0A, 0xE0};
    const struct {
        uint32_t address;
        const std::vector<uint8_t>& data;
        const char32_t* line;
    } cases[] = {
        {0x008010, bytes,
         U"008010 | 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F | 0123456789:;<=>?"},
        {0, mixed,
         U"000000 | 1F 20 41 7E 7F 00 C0 FF A8 B8 80 98 AD B9 0A E0 | . A~\u25A1.\u0410\u044F\u0401\u0451\u0402\u25A1-"
         U"\u2116.\u0430"},
        {0xFFFFF0, bytes, U"FFFFF0 | 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F | 0123456789:;<=>?"},
        {0x1000000, bytes, U"1000000 | 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F | 0123456789:;<=>?"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.address);
        EXPECT_TRUE(DumpLine(k.address, k.data.data()) == k.line);
    }
}

TEST(MemViewText, EveryByteTakesOneCharacter) {
    for (int b = 0; b < 256; ++b) {
        const char32_t c = DumpChar(static_cast<uint8_t>(b));
        EXPECT_GE(c, U' ') << b;
        EXPECT_NE(c, 0xAD) << b;  // a soft hyphen would take no column
        EXPECT_FALSE(c >= 0x7F && c < 0xA0) << b;
    }
    // The Cyrillic letters in order.
    EXPECT_EQ(DumpChar(0xC0), U'\u0410');
    EXPECT_EQ(DumpChar(0xDF), U'\u042F');
    EXPECT_EQ(DumpChar(0xE0), U'\u0430');
    EXPECT_EQ(DumpChar(0x88), U'\u20AC');
    EXPECT_EQ(DumpChar(0xA0), U'\u00A0');
}

TEST(MemViewText, PageOf256Lines) {
    std::vector<uint8_t> page(MemPageSize, 0x41);
    const std::u32string text = DumpPage(0x8000, page.data());
    size_t lines = 1;
    for (char32_t c : text) lines += c == U'\n';
    EXPECT_EQ(lines, 256u);
    EXPECT_TRUE(text.substr(0, 7) == U"008000 ");
    EXPECT_NE(text.find(U"\n008010 | 41"), std::u32string::npos);
    EXPECT_NE(text.find(U"\n008FF0 | 41"), std::u32string::npos);
    EXPECT_EQ(text.back(), U'A');
}

TEST(MemViewText, Paging) {
    const struct {
        uint32_t from, up, down;
        bool canUp, canDown;
    } cases[] = {
        {0x1000, 0, 0x2000, true, true},
        {0x0800, 0, 0x1800, true, true},
        {0x1001, 0x0001, 0x2001, true, true},
        {0x0001, 0, 0x1001, true, true},
        {0, 0, 0x1000, false, true},
        {0x8000, 0x7000, 0x9000, true, true},
        {0xFFE000, 0xFFD000, 0xFFF000, true, true},
        {0xFFDFFF, 0xFFCFFF, 0xFFEFFF, true, true},
        {0xFFE000, 0xFFD000, 0xFFF000, true, true},
        {0xFFE001, 0xFFD001, 0xFFE001, true, false},  // the next page would pass 24 bits
        {0xFFF000, 0xFFE000, 0xFFF000, true, false},  // the top: Page Down stays
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.from);
        EXPECT_EQ(PageUpAddress(k.from), k.up);
        EXPECT_EQ(PageDownAddress(k.from), k.down);
        EXPECT_EQ(CanPageUp(k.from), k.canUp);
        EXPECT_EQ(CanPageDown(k.from), k.canDown);
    }
}

TEST(MemViewText, GoAddress) {
    const struct {
        const char* text;
        uint32_t address;
    } cases[] = {
        {"0x10000", 0x10000}, {"$10000", 0x10000}, {"65536", 0x10000}, {"  0X10000", 0x10000},
        {"x10", 0x10},        {"0", 0},            {"0xFFF000", 0xFFF000}, {"16773120", 0xFFF000},
        // Kept: not a number, negative, beyond 24 bits, beyond 32 bits.
        {"xyz", 0x8000},      {"", 0x8000},       {"-1", 0x8000},      {"-0x1000", 0x8000},
        {"0xFFF001", 0x8000},  {"0xFFFFFF", 0x8000}, {"0x1000000", 0x8000}, {"0xFFFFFFFF", 0x8000},
        {"0x100000000", 0x8000}, {"10000h", 0x8000},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.text);
        EXPECT_EQ(GoAddress(k.text, 0x8000), k.address);
    }
}

TEST(MemViewText, AddressDigits) {
    EXPECT_EQ(AddressHex(0x8000), "008000");
    EXPECT_EQ(AddressHex(0), "000000");
    EXPECT_EQ(AddressHex(0xABCDEF), "ABCDEF");
    EXPECT_EQ(AddressHex(0x1234567), "1234567");
}

TEST(MemViewText, PageDumpOfAWholePage) {
    std::vector<uint8_t> page(MemPageSize);
    for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 7);
    std::u32string text;
    const double took = FastestMs(5, [&] { text = DumpPage(0x8000, page.data()); });
    std::printf("page dump built in %.3f ms\n", took);
    EXPECT_FALSE(text.empty());
    // The benchmark gives the figure on a quiet machine (BM_MemViewPageDump,
    // target 5 ms).
}
