// The one reader of integer texts: CSV cells and attributes, HEX and S-record
// digits, grid and converter input.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Leading blanks, an optional sign, then decimal digits, or hexadecimal digits
// after "0x", "x" or "$". The value must lie in -2^31 .. 2^32-1, so that an
// unsigned 32-bit value written by the program reads back. Anything else
// (no digits, a stray character, a value out of range) gives nothing.
std::optional<int64_t> ReadIntText(std::string_view text);

// The same text with any value of 64 bits: for input that the caller clamps
// to its own range rather than refuses (the cells of the type grid).
std::optional<int64_t> ReadIntText64(std::string_view text);

// The same, as the 32 bits a cell holds (negative values in two's complement).
std::optional<uint32_t> ReadIntTextBits(std::string_view text);

// Hexadecimal digits only (no prefix, no sign, no blanks), at most 8 of them.
std::optional<uint32_t> ReadHexDigits(std::string_view digits);
