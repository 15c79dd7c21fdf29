// What the memory viewer computes without a window: the dump of a page, the
// paging arithmetic and the address typed by the user. The read service
// carries 24-bit addresses, so a page lies within 0..0xFFFFFF: its address
// stays within 0..0xFFF000.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr uint32_t MemPageSize = 4096;
constexpr uint32_t MemTopPage = 0x1000000 - MemPageSize;  // the last whole page
constexpr uint32_t MemStartAddress = 0x8000;

// The character the dump shows for a byte, read in the Cyrillic code page
// (Windows-1251). Bytes below 32 show "."; the code page's one undefined
// byte (0x98) and DEL show a box, and the soft hyphen a hyphen, so that every
// byte takes one column.
char32_t DumpChar(uint8_t byte);

// "008010 | 41 42 ... | AB..." for 16 bytes at the address.
std::u32string DumpLine(uint32_t address, const uint8_t* bytes);
// The 256 lines of a page, separated by '\n'.
std::u32string DumpPage(uint32_t address, const uint8_t* page);

// At least six upper-case hexadecimal digits.
std::string AddressHex(uint32_t address);

// Page Up: 0 when below 4097, else 4096 lower.
uint32_t PageUpAddress(uint32_t address);
// Page Down: 4096 higher, as long as the page stays within 24 bits; else
// the address stays.
uint32_t PageDownAddress(uint32_t address);
bool CanPageUp(uint32_t address);
bool CanPageDown(uint32_t address);
// The address typed for Go; the current one when the text is not a number,
// is negative or leaves no whole page below 0x1000000.
uint32_t GoAddress(std::string_view text, uint32_t current);
