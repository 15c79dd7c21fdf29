// The HEX/DEC converter's conversion: every number of a line written in
// decimal, every delimiter and every token that is not a number kept at its
// place. Texts are Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TConvertOptions {
    std::string Delimiters = ", ;.:-/#%&";
    std::string Bytes = "2";  // the value size: "1", "2", "4" or "8"
    bool Signed = true;
};

struct TConvertResult {
    std::vector<std::string> Lines;
    int32_t Errors = 0;  // tokens that did not convert, empty ones included
};

// Each line cut from its end into tokens at the delimiters; each token that
// is a number becomes its decimal text. Signed with size "1" or "2" and the
// size's top bit set: the value is sign-extended; a hexadecimal token gets F
// digits in front of its digits up to eight (so digits beyond the size stay:
// 0x180 with one byte gives -3712), a decimal one has every bit above the
// size set. Otherwise signed shows the 32-bit signed value, unsigned the
// 32-bit unsigned value.
TConvertResult ConvertLines(const std::vector<std::string>& lines, const TConvertOptions& options);
