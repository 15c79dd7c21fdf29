#include "MemViewText.h"

#include "IntText.h"

namespace {

// Windows-1251 from 0x80 to 0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr char32_t High1251[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x25A1, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98 (undefined: a box)
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x002D, 0x00AE, 0x0407,  // A8 (soft hyphen: '-')
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

constexpr char HexDigit[] = "0123456789ABCDEF";

}  // namespace

char32_t DumpChar(uint8_t byte) {
    if (byte < 32) return U'.';
    if (byte == 0x7F) return 0x25A1;
    if (byte < 0x80) return byte;
    if (byte < 0xC0) return High1251[byte - 0x80];
    return 0x0410 + (byte - 0xC0);
}

std::string AddressHex(uint32_t address) {
    std::string digits;
    do {
        digits.insert(digits.begin(), HexDigit[address & 0xF]);
        address >>= 4;
    } while (address);
    if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
    return digits;
}

std::u32string DumpLine(uint32_t address, const uint8_t* bytes) {
    const std::string hex = AddressHex(address);
    std::u32string line(hex.begin(), hex.end());
    line += U" |";
    for (int i = 0; i < 16; ++i) {
        line += U' ';
        line += static_cast<char32_t>(HexDigit[bytes[i] >> 4]);
        line += static_cast<char32_t>(HexDigit[bytes[i] & 0xF]);
    }
    line += U" | ";
    for (int i = 0; i < 16; ++i) line += DumpChar(bytes[i]);
    return line;
}

std::u32string DumpPage(uint32_t address, const uint8_t* page) {
    std::u32string text;
    text.reserve(256 * 90);
    for (uint32_t offset = 0; offset < MemPageSize; offset += 16) {
        if (offset) text += U'\n';
        text += DumpLine(address + offset, page + offset);
    }
    return text;
}

uint32_t PageUpAddress(uint32_t address) { return address < MemPageSize + 1 ? 0 : address - MemPageSize; }

bool CanPageUp(uint32_t address) { return address >= 1; }

bool CanPageDown(uint32_t address) { return uint64_t{address} + MemPageSize <= MemTopPage; }

uint32_t PageDownAddress(uint32_t address) { return CanPageDown(address) ? address + MemPageSize : address; }

uint32_t GoAddress(std::string_view text, uint32_t current) {
    const auto value = ReadIntText(text);
    if (!value || *value < 0 || *value > MemTopPage) return current;
    return static_cast<uint32_t>(*value);
}
