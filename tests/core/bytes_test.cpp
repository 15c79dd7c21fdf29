// Little-endian fields and NUL-ended text lists against bytes written out by
// hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Bytes.h"

namespace {

struct FieldCase {
    int width;  // 16, 24 or 32
    std::vector<uint8_t> bytes;
    uint32_t unsignedValue;
    int32_t signedValue;
};

const FieldCase kFields[] = {
    {16, {0x34, 0x12}, 0x1234, 0x1234},
    {16, {0xFF, 0x7F}, 0x7FFF, 32767},
    {16, {0x00, 0x80}, 0x8000, -32768},
    {16, {0xFE, 0xFF}, 0xFFFE, -2},
    {24, {0x56, 0x34, 0x12}, 0x123456, 0x123456},
    {24, {0xFF, 0xFF, 0x7F}, 0x7FFFFF, 8388607},
    {24, {0x00, 0x00, 0x80}, 0x800000, -8388608},
    {24, {0xFF, 0xFF, 0xFF}, 0xFFFFFF, -1},
    {32, {0x78, 0x56, 0x34, 0x12}, 0x12345678, 0x12345678},
    {32, {0x00, 0x00, 0x00, 0x80}, 0x80000000u, INT32_MIN},
    {32, {0x9C, 0xFF, 0xFF, 0xFF}, 0xFFFFFF9Cu, -100},
};

uint32_t GetUnsigned(int width, const uint8_t* p) {
    return width == 16 ? LeGet16(p) : width == 24 ? LeGet24(p) : LeGet32(p);
}
int32_t GetSigned(int width, const uint8_t* p) {
    return width == 16 ? LeGetI16(p) : width == 24 ? LeGetI24(p) : LeGetI32(p);
}
void PutUnsigned(int width, uint8_t* p, uint32_t v) {
    if (width == 16) LePut16(p, static_cast<uint16_t>(v));
    else if (width == 24) LePut24(p, v);
    else LePut32(p, v);
}
void PutSigned(int width, uint8_t* p, int32_t v) {
    if (width == 16) LePutI16(p, static_cast<int16_t>(v));
    else if (width == 24) LePutI24(p, v);
    else LePutI32(p, v);
}

}  // namespace

// Every reader gets the value from the bytes; every writer writes exactly the
// field's bytes and not one byte beyond them.
TEST(LittleEndian, FieldsReadAndWriteTheirBytes) {
    for (const FieldCase& c : kFields) {
        SCOPED_TRACE(testing::Message() << c.width << "-bit " << c.unsignedValue);
        EXPECT_EQ(GetUnsigned(c.width, c.bytes.data()), c.unsignedValue);
        EXPECT_EQ(GetSigned(c.width, c.bytes.data()), c.signedValue);

        std::vector<uint8_t> expected = c.bytes;
        expected.push_back(0xA5);
        std::vector<uint8_t> out(c.bytes.size() + 1, 0xA5);
        PutUnsigned(c.width, out.data(), c.unsignedValue);
        EXPECT_EQ(out, expected);
        out.assign(c.bytes.size() + 1, 0xA5);
        PutSigned(c.width, out.data(), c.signedValue);
        EXPECT_EQ(out, expected);
    }
}

// A writer keeps the low bits of a wider value.
TEST(LittleEndian, WritersCutWiderValues) {
    uint8_t out[4] = {0xA5, 0xA5, 0xA5, 0xA5};
    LePut24(out, 0x12345678);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{0x78, 0x56, 0x34, 0xA5}));
    LePutI24(out, -1);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xA5}));
}

TEST(NulTexts, ListsReadAndWrite) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::vector<std::string> texts;  // three slots read
    };
    const Case cases[] = {
        {"all present", {'a', 0, 'b', 'c', 0, 0}, {"a", "bc", ""}},
        {"last cut off at the end", {'a', 0, 'b', 'c'}, {"a", "bc", ""}},
        {"fewer than asked", {'x', 0}, {"x", "", ""}},
        {"nothing", {}, {"", "", ""}},
        {"more than asked", {'a', 0, 'b', 0, 'c', 0, 'd', 0}, {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string texts[3] = {"old", "old", "old"};
        GetNulTexts(c.bytes.data(), c.bytes.size(), texts, 3);
        EXPECT_EQ(std::vector<std::string>(texts, texts + 3), c.texts);
    }

    const std::string written[3] = {"C:\\a.qxt", "", "b"};
    std::vector<uint8_t> out = {0x01};
    PutNulTexts(out, written, 3);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x01, 'C', ':', '\\', 'a', '.', 'q', 'x', 't', 0, 0, 'b', 0}));
}
