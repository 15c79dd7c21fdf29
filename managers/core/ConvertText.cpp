#include "ConvertText.h"

#include "IntText.h"

#include <charconv>
#include <iterator>
#include <string_view>

namespace {

// The number of hexadecimal digits of a token the integer reader took as
// hexadecimal; 0 for a decimal token.
size_t HexDigitCount(std::string_view token) {
    size_t i = 0;
    while (i < token.size() && (token[i] == ' ' || token[i] == '\t')) ++i;
    if (i < token.size() && (token[i] == '-' || token[i] == '+')) ++i;
    std::string_view rest = token.substr(i);
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) return rest.size() - 2;
    if (!rest.empty() && (rest[0] == 'x' || rest[0] == 'X' || rest[0] == '$')) return rest.size() - 1;
    return 0;
}

// The bit that sign-extends a value: bit 7 or 15 for the sizes "1" and "2"
// when shown signed, else none.
uint32_t SignBit(const TConvertOptions& options) {
    if (!options.Signed) return 0;
    if (options.Bytes == "1") return 0x80;
    if (options.Bytes == "2") return 0x8000;
    return 0;
}

// The decimal text of the token into buffer; its length, or 0 when the token
// is not a number.
size_t ConvertInto(std::string_view token, bool isSigned, uint32_t top, char (&buffer)[16]) {
    const auto read = ReadIntTextBits(token);
    if (!read) return 0;
    uint32_t value = *read;
    if (!isSigned) return static_cast<size_t>(std::to_chars(buffer, buffer + 16, value).ptr - buffer);
    if (top && (value & top)) {
        const size_t digits = HexDigitCount(token);
        if (digits == 0) value |= ~(top | (top - 1));
        else if (digits < 8) value |= ~((uint32_t{1} << (4 * digits)) - 1);
    }
    return static_cast<size_t>(std::to_chars(buffer, buffer + 16, static_cast<int32_t>(value)).ptr - buffer);
}

}  // namespace

TConvertResult ConvertLines(const std::vector<std::string>& lines, const TConvertOptions& options) {
    bool isDelimiter[256] = {};
    for (unsigned char c : options.Delimiters) isDelimiter[c] = true;
    TConvertResult result;
    result.Lines.reserve(lines.size());
    const uint32_t top = SignBit(options);
    char number[16];
    std::string reversed;  // the output line built from its end
    for (const std::string& line : lines) {
        reversed.clear();
        std::string_view rest = line;
        while (!rest.empty()) {
            size_t p = rest.size();
            while (p > 0 && !isDelimiter[static_cast<unsigned char>(rest[p - 1])]) --p;
            const std::string_view token = rest.substr(p);
            if (const size_t n = ConvertInto(token, options.Signed, top, number)) {
                reversed.append(std::reverse_iterator(number + n), std::reverse_iterator(number + 0));
            } else {
                reversed.append(token.rbegin(), token.rend());
                ++result.Errors;
            }
            if (p == 0) break;
            reversed += rest[p - 1];
            rest = rest.substr(0, p - 1);
        }
        result.Lines.emplace_back(reversed.rbegin(), reversed.rend());
    }
    return result;
}
