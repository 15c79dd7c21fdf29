#include "IntText.h"

namespace {

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Digits in the given base; nothing when empty, stray or above limit.
std::optional<uint64_t> ReadDigits(std::string_view digits, int base, uint64_t limit = 0xFFFFFFFFull) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        const int d = DigitValue(c, base);
        if (d < 0) return std::nullopt;
        const uint64_t b = static_cast<uint64_t>(base), digit = static_cast<uint64_t>(d);
        if (value > (limit - digit) / b) return std::nullopt;
        value = value * b + digit;
    }
    return value;
}

// Sign and magnitude of an integer text whose magnitude is at most limit.
struct TSignedText {
    bool Negative = false;
    uint64_t Magnitude = 0;
};

std::optional<TSignedText> ReadSignedText(std::string_view text, uint64_t limit) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string_view rest = text.substr(i);
    int base = 10;
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        rest.remove_prefix(2);
    } else if (!rest.empty() && (rest[0] == 'x' || rest[0] == 'X' || rest[0] == '$')) {
        base = 16;
        rest.remove_prefix(1);
    }
    const auto magnitude = ReadDigits(rest, base, limit);
    if (!magnitude) return std::nullopt;
    return TSignedText{negative, *magnitude};
}

}  // namespace

std::optional<int64_t> ReadIntText(std::string_view text) {
    const auto read = ReadSignedText(text, 0xFFFFFFFFull);
    if (!read) return std::nullopt;
    if (!read->Negative) return static_cast<int64_t>(read->Magnitude);
    if (read->Magnitude > 0x80000000ull) return std::nullopt;
    return -static_cast<int64_t>(read->Magnitude);
}

std::optional<int64_t> ReadIntText64(std::string_view text) {
    const auto read = ReadSignedText(text, 0x8000000000000000ull);
    if (!read) return std::nullopt;
    if (read->Negative) return read->Magnitude == 0x8000000000000000ull ? INT64_MIN : -static_cast<int64_t>(read->Magnitude);
    if (read->Magnitude > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
    return static_cast<int64_t>(read->Magnitude);
}

std::optional<uint32_t> ReadIntTextBits(std::string_view text) {
    const auto value = ReadIntText(text);
    if (!value) return std::nullopt;
    return static_cast<uint32_t>(static_cast<uint64_t>(*value));
}

std::optional<uint32_t> ReadHexDigits(std::string_view digits) {
    if (digits.size() > 8) return std::nullopt;
    const auto value = ReadDigits(digits, 16);
    if (!value) return std::nullopt;
    return static_cast<uint32_t>(*value);
}
