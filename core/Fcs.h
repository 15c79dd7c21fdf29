// CRC-16 frame check sequence and the program-file lines (S-record and Intel
// HEX) that the unit receives as one binary image of whole records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// CRC-16 with the reflected polynomial 0x8408, register starting at the given
// value (0xFFFF for every transfer), no final XOR.
uint16_t Fcs16Step(uint16_t crc, uint8_t byte);
uint16_t CalcFcs16(const uint8_t* buffer, size_t length, uint16_t initial = 0xFFFF);

// Results of ConvertLineToBinary besides the byte count.
enum : int {
    ProgLineBufferTooSmall = -1,
    ProgLineNotRecord = -2,
    ProgLineChecksumWrong = -3,
    // A digit pair that is not hexadecimal: the conversion error of the line.
    ProgLineNotHex = -4,
    // Digits not in whole pairs, an unknown record type, or a count byte
    // that disagrees with the bytes the line holds: a damaged line.
    ProgLineMalformed = -5,
};

// The body of a line as read from a file: a CR (or LF) left at its end by a
// file made on Windows is not part of the record.
std::string_view ProgramLineBody(std::string_view line);

// One line as its binary record: "S"/"s" and the type character followed by
// one byte per digit pair, or ':' followed by one byte per digit pair. Gives
// the bytes written or one of the results above; on a failure the bytes
// written so far stay in the buffer.
int ConvertLineToBinary(std::string_view line, uint8_t* buffer, size_t size);

// The size of the image of the lines: per line (length / 2) + 1.
uint64_t GetLinesBinarySize(const std::vector<std::string>& lines);

// The image of the lines: every record directly after the previous one in a
// zero-filled buffer of GetLinesBinarySize bytes. On success the image and 0;
// otherwise the first negative conversion result and no image.
int BuildLinesImage(const std::vector<std::string>& lines, std::vector<uint8_t>& image);

// CRC-16 over the whole image of the lines; 0 when a line fails to convert.
uint16_t CalcLinesFcs16(const std::vector<std::string>& lines);

// The next packet: min(count, image size - offset) bytes of the image from
// offset; nothing when offset lies at or past the end.
size_t CopyChunk(uint8_t* destination, const uint8_t* image, size_t offset, size_t count, size_t imageSize);

// Converts the lines in order into one scratch record; stops at the first
// negative result and gives it, otherwise the byte count of the last record.
// An empty list is no program: ProgLineNotRecord.
int CheckLines(const std::vector<std::string>& lines);

// The lines of a text: CR LF, LF or a lone CR end a line; a line break at the
// very end does not start another, empty line.
std::vector<std::string> SplitProgramLines(std::string_view text);

// The lines of a text file, or nothing when the file cannot be read or is
// larger than the limit.
std::optional<std::vector<std::string>> ReadProgramLines(const std::string& path, uint64_t limit = 64u << 20);
