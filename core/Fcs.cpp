#include "Fcs.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "IntText.h"
#include "SafeFile.h"

namespace {

constexpr std::array<uint16_t, 256> MakeFcsTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned v = i;
        for (int bit = 0; bit < 8; ++bit) v = (v & 1u) ? (v >> 1) ^ 0x8408u : v >> 1;
        table[i] = static_cast<uint16_t>(v);
    }
    return table;
}

constexpr std::array<uint16_t, 256> FcsTable = MakeFcsTable();

// Size of the scratch record that CheckLines converts into.
constexpr size_t CheckBufferSize = 524;

// Bytes of the address field of an S-record type; 0 for a type that does
// not exist (S4 is reserved).
size_t SRecordAddressSize(char type) {
    switch (type) {
    case '0': case '1': case '5': case '9': return 2;
    case '2': case '6': case '8': return 3;
    case '3': case '7': return 4;
    default: return 0;
    }
}

// The record as a whole: its count byte must cover exactly the bytes held.
bool RecordShapeSound(std::string_view line, const uint8_t* pairBytes, size_t pairs) {
    if (line[0] == ':') {
        // count, two address bytes, type, data, checksum; types 00 to 05.
        return pairs >= 5 && pairBytes[0] == pairs - 5 && pairBytes[3] <= 5;
    }
    // count, address, data, checksum; the count covers all but itself.
    const size_t address = SRecordAddressSize(line[1]);
    return address != 0 && pairs >= address + 2 && pairBytes[0] == pairs - 1;
}

}  // namespace

uint16_t Fcs16Step(uint16_t crc, uint8_t byte) {
    return static_cast<uint16_t>((crc >> 8) ^ FcsTable[(crc ^ byte) & 0xFFu]);
}

uint16_t CalcFcs16(const uint8_t* buffer, size_t length, uint16_t initial) {
    uint16_t crc = initial;
    for (size_t i = 0; i < length; ++i) crc = Fcs16Step(crc, buffer[i]);
    return crc;
}

std::string_view ProgramLineBody(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    return line;
}

int ConvertLineToBinary(std::string_view rawLine, uint8_t* buffer, size_t size) {
    const std::string_view line = ProgramLineBody(rawLine);
    if (line.empty()) return ProgLineNotRecord;
    if (size < 2) return ProgLineBufferTooSmall;
    size_t prefix = 0;
    uint8_t wanted = 0;
    if (line[0] == 'S' || line[0] == 's') {
        // Without its type character the line is no record.
        if (line.size() < 2) return ProgLineNotRecord;
        prefix = 2;
        wanted = 0xFF;
    } else if (line[0] == ':') {
        prefix = 1;
        wanted = 0;
    } else {
        return ProgLineNotRecord;
    }
    const size_t pairs = (line.size() - prefix) / 2;
    if (size < pairs + prefix) return ProgLineBufferTooSmall;
    if ((line.size() - prefix) % 2 != 0) return ProgLineMalformed;
    for (size_t i = 0; i < prefix; ++i) buffer[i] = static_cast<uint8_t>(line[i]);
    uint8_t sum = 0;
    for (size_t j = 0; j < pairs; ++j) {
        const auto byte = ReadHexDigits(line.substr(prefix + 2 * j, 2));
        if (!byte) return ProgLineNotHex;
        buffer[prefix + j] = static_cast<uint8_t>(*byte);
        sum = static_cast<uint8_t>(sum + *byte);
    }
    if (!RecordShapeSound(line, buffer + prefix, pairs)) return ProgLineMalformed;
    if (sum != wanted) return ProgLineChecksumWrong;
    return static_cast<int>(pairs + prefix);
}

uint64_t GetLinesBinarySize(const std::vector<std::string>& lines) {
    uint64_t size = 0;
    for (const auto& line : lines) size += ProgramLineBody(line).size() / 2 + 1;
    return size;
}

int BuildLinesImage(const std::vector<std::string>& lines, std::vector<uint8_t>& image) {
    image.assign(GetLinesBinarySize(lines), 0);
    size_t position = 0;
    for (const auto& line : lines) {
        const int n = ConvertLineToBinary(line, image.data() + position, image.size() - position);
        if (n < 0) {
            image.clear();
            image.shrink_to_fit();
            return n;
        }
        position += static_cast<size_t>(n);
    }
    return 0;
}

uint16_t CalcLinesFcs16(const std::vector<std::string>& lines) {
    std::vector<uint8_t> image;
    if (BuildLinesImage(lines, image) < 0) return 0;
    return CalcFcs16(image.data(), image.size());
}

size_t CopyChunk(uint8_t* destination, const uint8_t* image, size_t offset, size_t count, size_t imageSize) {
    if (offset >= imageSize) return 0;
    const size_t n = std::min(count, imageSize - offset);
    if (n > 0) std::memcpy(destination, image + offset, n);
    return n;
}

int CheckLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return ProgLineNotRecord;
    uint8_t scratch[CheckBufferSize];
    int result = 0;
    for (const auto& line : lines) {
        result = ConvertLineToBinary(line, scratch, sizeof scratch);
        if (result < 0) break;
    }
    return result;
}

std::vector<std::string> SplitProgramLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::optional<std::vector<std::string>> ReadProgramLines(const std::string& path, uint64_t limit) {
    const auto text = ReadWholeFile(path, limit);
    if (!text) return std::nullopt;
    return SplitProgramLines(*text);
}
