// Model texts are single-byte Windows-1252 texts, as files and the unit carry
// them. This is the one conversion table between those bytes and Unicode; the
// widget layer converts through it and nowhere else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The code point of one byte. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control code points of the same
// value, so that every byte survives a round trip.
char32_t Cp1252ToUnicode(unsigned char byte);

// The byte of a code point, or nothing when the code page has none.
std::optional<unsigned char> UnicodeToCp1252(char32_t code);

// Whole texts through UTF-8; a code point the code page lacks becomes '?'.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view utf8);
