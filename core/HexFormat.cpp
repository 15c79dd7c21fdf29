#include "HexFormat.h"

#include <cstring>

#include "Fcs.h"

namespace {

constexpr std::string_view AppMarker = "APP_V:";
constexpr uint64_t AddressSpace = 1ull << 32;

// Count, two address bytes, type, up to 255 data bytes, checksum, after ':'.
constexpr size_t MaxRecordBytes = 1 + 5 + 255;

THexError ConversionError(int result) {
    switch (result) {
    case ProgLineNotRecord: return THexError::NotRecordLine;
    case ProgLineChecksumWrong: return THexError::ChecksumWrong;
    case ProgLineNotHex: return THexError::NotHex;
    default: return THexError::Malformed;  // also a line longer than any record
    }
}

}  // namespace

void HEXFormat::Clear() { Records.Clear(); }

bool HEXFormat::Fail(THexError error, size_t line) {
    LastError = error;
    ErrorLine = static_cast<int32_t>(line);
    return false;
}

bool HEXFormat::LoadFromFile(const std::string& fileName) {
    Clear();
    const auto lines = ReadProgramLines(fileName, MaxFileSize);
    if (!lines) {
        LastError = THexError::FileUnreadable;
        ErrorLine = -1;
        return false;
    }
    return ParseLines(*lines);
}

bool HEXFormat::ParseLines(const std::vector<std::string>& lines) {
    LastError = THexError::None;
    ErrorLine = -1;
    uint64_t upperBase = 0;
    uint64_t segmentBase = 0;
    uint8_t record[MaxRecordBytes];
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = ProgramLineBody(lines[n]);
        if (line.empty() || line[0] != ':') return Fail(THexError::NotRecordLine, n);
        const int size = ConvertLineToBinary(line, record, sizeof record);
        if (size < 0) return Fail(ConversionError(size), n);
        // record: ':', count, address high, address low, type, data..., checksum
        const uint8_t count = record[1];
        const uint32_t address = static_cast<uint32_t>(record[2] << 8 | record[3]);
        const uint8_t type = record[4];
        const uint8_t* data = record + 5;
        if (type == 0x00) {
            const uint64_t absolute = address + upperBase + segmentBase;
            if (absolute + count > AddressSpace) return Fail(THexError::AddressPast32Bits, n);
            _HEXRecord* r = Records.Add();
            r->Address = static_cast<uint32_t>(absolute);
            r->Length = count;
            std::memcpy(r->Data, data, count);
        } else if (type == 0x01) {
            return true;
        } else if (type == 0x02 || type == 0x04) {
            // The data as one big-endian number of one to four bytes.
            if (count == 0 || count > 4) return Fail(THexError::Malformed, n);
            uint64_t value = 0;
            for (uint8_t j = 0; j < count; ++j) value = value << 8 | data[j];
            if (type == 0x02) {
                segmentBase = value * 16;
            } else {
                upperBase = value << 16;
            }
            if (segmentBase >= AddressSpace || upperBase >= AddressSpace)
                return Fail(THexError::AddressPast32Bits, n);
        } else {
            return Fail(THexError::UnknownType, n);
        }
    }
    return Fail(THexError::NoEndRecord, lines.size());
}

void HEXFormat::RepackToBlocks(std::vector<_HEXBlock>& destination) const {
    destination.clear();
    const int32_t count = Records.Count();
    int32_t i = 0;
    uint32_t c = 0;  // bytes of record i already placed
    while (i < count) {
        _HEXBlock& block = destination.emplace_back();
        block.Address = Records.Get(i)->Address + c;
        uint32_t p = 0;
        while (true) {
            const _HEXRecord* r = Records.Get(i);
            const uint32_t rest = r->Length - c;
            if (p + rest > 128) {
                std::memcpy(block.Data + p, r->Data + c, 128 - p);
                c += 128 - p;
                break;  // the block is full; the record goes on in the next
            }
            std::memcpy(block.Data + p, r->Data + c, rest);
            p += rest;
            c = 0;
            const uint64_t end = static_cast<uint64_t>(r->Address) + r->Length;
            if (++i >= count) break;
            if (end != Records.Get(i)->Address) break;  // a gap ends the block
            if (p >= 128) break;
        }
    }
}

bool HEXFormat::IsAppVersion(std::string_view text) { return text.substr(0, AppMarker.size()) == AppMarker; }

bool HEXFormat::HasAppVersion() const {
    const _HEXRecord* first = Records.Get(0);
    return first && std::memcmp(first->Data, AppMarker.data(), AppMarker.size()) == 0;
}

std::string HEXFormat::GetAppVersion() const {
    if (!HasAppVersion()) return {};
    const _HEXRecord* first = Records.Get(0);
    const char* text = reinterpret_cast<const char*>(first->Data) + AppMarker.size();
    const size_t room = sizeof first->Data - AppMarker.size();
    const void* nul = std::memchr(text, 0, room);
    return std::string(text, nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : room);
}
