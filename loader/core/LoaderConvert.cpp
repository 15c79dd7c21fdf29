// Turning the file's lines into telegram payloads and the download type's header.
#include <algorithm>
#include <array>
#include <map>

#include "BootCodes.h"
#include "Bytes.h"
#include "IntText.h"
#include "LoaderProgram.h"

namespace {

constexpr uint64_t kAddressLimit = 1ull << 32;

std::string_view TrimRight(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

// Decodes pairs of hexadecimal digits into bytes appended to out; false at a
// character that is no hexadecimal digit.
bool AppendHexBytes(std::string_view digits, std::string& out) {
    for (size_t k = 0; k + 1 < digits.size(); k += 2) {
        const auto value = ReadHexDigits(digits.substr(k, 2));
        if (!value) return false;
        out.push_back(static_cast<char>(*value));
    }
    return true;
}

// One Intel HEX record.
struct THexRecord {
    uint32_t Count = 0;
    uint32_t Offset = 0;
    uint32_t Type = 0;
    uint32_t Value = 0;  // the base of a type 02 or 04 record
    std::string Data;    // the data bytes
};

// A well-formed record is ':', count, address, type, count data pairs and a
// check pair, all hexadecimal (the check value itself is not verified).
bool ParseHexRecord(std::string_view line, THexRecord& record) {
    line = TrimRight(line);
    if (line.size() < 11 || line[0] != ':') return false;
    const auto count = ReadHexDigits(line.substr(1, 2));
    const auto offset = ReadHexDigits(line.substr(3, 4));
    const auto type = ReadHexDigits(line.substr(7, 2));
    if (!count || !offset || !type) return false;
    if (line.size() != 11 + 2 * static_cast<size_t>(*count)) return false;
    if (!ReadHexDigits(line.substr(line.size() - 2))) return false;
    record.Count = *count;
    record.Offset = *offset;
    record.Type = *type;
    record.Data.clear();
    if (!AppendHexBytes(line.substr(9, 2 * record.Count), record.Data)) return false;
    if (record.Type == 2 || record.Type == 4) {
        if (record.Count < 2) return false;
        record.Value = static_cast<uint32_t>(static_cast<uint8_t>(record.Data[0])) << 8 |
                       static_cast<uint8_t>(record.Data[1]);
    }
    return true;
}

uint64_t RecordBase(const THexRecord& record) {
    return record.Type == 2 ? static_cast<uint64_t>(record.Value) * 16
                            : static_cast<uint64_t>(record.Value) << 16;
}

bool ParseHexLines(const std::vector<std::string>& lines, std::vector<THexRecord>& records,
                   std::string& error) {
    records.resize(lines.size());
    for (size_t n = 0; n < lines.size(); ++n) {
        if (!ParseHexRecord(lines[n], records[n])) {
            error = "Invalid HEX record in line " + std::to_string(n + 1) + " !";
            return false;
        }
    }
    return true;
}

void AppendUint32(std::string& out, uint64_t value) {
    uint8_t bytes[4];
    LePut32(bytes, static_cast<uint32_t>(value));
    out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string Bytes(std::initializer_list<uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string DataBeyond(size_t line) {
    return "Data address out of range in line " + std::to_string(line + 1) + " !";
}

constexpr std::array<uint64_t, 16> kEshBoundaries = {
    0xE000,  0x10000, 0x1E000, 0x20000, 0x2E000, 0x3C000, 0x3E000, 0x40000,
    0x4F000, 0x5E000, 0x6D000, 0x7C000, 0x7D000, 0x7E000, 0x7F000, 0x80000};

}  // namespace

bool TLoaderProgram::ConvertHex(std::string& error) {
    std::vector<THexRecord> records;
    if (!ParseHexLines(TelegramLines, records, error)) return false;

    // Pass 1: the data extent and the identification bytes.
    uint64_t base = 0, min = 0, max = 0, lastOffset = 0, lastCount = 0, dataBytes = 0;
    bool seen = false;
    const auto widen = [&](uint64_t address, uint64_t count) {
        if (address < min) min = address;
        if (address + count > max) max = address + count;
    };
    for (size_t n = 0; n < records.size(); ++n) {
        const THexRecord& r = records[n];
        if (r.Type == 2 || r.Type == 4) {
            base = RecordBase(r);
            if (!seen) {
                min = max = base;
                seen = true;
            } else {
                widen(base + lastOffset, lastCount);
            }
        } else if (r.Type == 0) {
            seen = true;
            lastOffset = r.Offset;
            lastCount = r.Count;
            const uint64_t address = base + r.Offset;
            if (address + r.Count > kAddressLimit) {
                error = DataBeyond(n);
                return false;
            }
            widen(address, r.Count);
            dataBytes += r.Count;
            if (((address == 0x80080 || address == 0x20080) && ParamType == "USER") ||
                (address == 0x18120 && ParamType == "MAIN"))
                Ident = r.Data;
        }
    }
    if (dataBytes == 0) {
        error = "No data records in file !";
        return false;
    }

    // Pass 2: the data into 128-byte blocks of the image, which starts at min
    // rounded down to 128. Only blocks that data touches can hold anything
    // but 0xFF, so only those are kept.
    std::map<uint64_t, std::array<uint8_t, 128>> blocks;
    std::array<uint8_t, 128>* block = nullptr;
    uint64_t blockIndex = UINT64_MAX;
    base = 0;
    for (const THexRecord& r : records) {
        if (r.Type == 2 || r.Type == 4) {
            base = RecordBase(r);
        } else if (r.Type == 0) {
            const uint64_t address = base + r.Offset;
            for (uint32_t k = 0; k < r.Count; ++k) {
                const uint64_t at = address + k;
                if ((at >> 7) != blockIndex) {
                    blockIndex = at >> 7;
                    auto [it, fresh] = blocks.try_emplace(blockIndex);
                    if (fresh) it->second.fill(0xFF);
                    block = &it->second;
                }
                (*block)[at & 127] = static_cast<uint8_t>(r.Data[k]);
            }
        }
    }

    TelegramLines.clear();
    for (const auto& [index, bytes] : blocks) {
        if (std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; })) continue;
        std::string payload = Bytes({QXBoot::SRecordKind, QXBoot::Sync[0], QXBoot::Sync[1], QXBoot::HexBlock});
        AppendUint32(payload, index << 7);
        payload.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        TelegramLines.push_back(std::move(payload));
    }
    std::string closing = Bytes({QXBoot::SRecordKind, QXBoot::Sync[0], QXBoot::Sync[1], QXBoot::HexClosing});
    AppendUint32(closing, min);
    TelegramLines.push_back(std::move(closing));
    return true;
}

bool TLoaderProgram::ConvertHex850(std::string& error) {
    std::vector<THexRecord> records;
    if (!ParseHexLines(TelegramLines, records, error)) return false;
    const bool esh = ParamType == "850ESHx2";
    const uint64_t cap = esh ? 0x80000 : 0x100000;

    uint64_t low = 0, high = 0, base = 0, dataBytes = 0;
    for (size_t n = 0; n < records.size(); ++n) {
        const THexRecord& r = records[n];
        if (r.Type == 2 || r.Type == 4) {
            base = RecordBase(r);
        } else if (r.Type == 0) {
            const uint64_t address = base + r.Offset;
            // The board's memory ends at the capped image end: nothing lands beyond it.
            if (address + r.Count > cap) {
                error = DataBeyond(n);
                return false;
            }
            low = std::min(low, address);
            high = std::max(high, address + r.Count);
            dataBytes += r.Count;
        }
    }
    if (dataBytes == 0) {
        error = "No data records in file !";
        return false;
    }
    if (esh) {
        high = *std::lower_bound(kEshBoundaries.begin(), kEshBoundaries.end(), high);
        uint64_t rounded = 0;
        for (size_t k = 0; k + 1 < kEshBoundaries.size(); ++k)
            if (kEshBoundaries[k] <= low) rounded = kEshBoundaries[k];
        low = rounded;
    } else {
        low &= ~uint64_t{0xFFF};
        high = std::min<uint64_t>((high + 0xFFF) & ~uint64_t{0xFFF}, 0x100000);
    }

    std::vector<uint8_t> image(high - low, 0xFF);
    base = 0;
    for (const THexRecord& r : records) {
        if (r.Type == 2 || r.Type == 4) {
            base = RecordBase(r);
        } else if (r.Type == 0) {
            const uint64_t at = base + r.Offset - low;
            std::copy(r.Data.begin(), r.Data.end(), image.begin() + static_cast<ptrdiff_t>(at));
        }
    }

    const uint8_t flags = (ParamOption == "VERIFY" ? 1 : 0) | (ParamType == "850ESJx3" ? 2 : 0);
    TelegramLines.clear();
    TelegramLines.reserve(image.size() / 128 + 2);
    TelegramLines.push_back(Bytes({QXBoot::Es850Kind, QXBoot::Opening, flags}) + ParamType);
    for (size_t at = 0; at < image.size(); at += 128) {
        std::string payload = Bytes({QXBoot::Es850Kind, QXBoot::Data});
        AppendUint32(payload, low + at);
        payload.append(reinterpret_cast<const char*>(image.data() + at), 128);
        TelegramLines.push_back(std::move(payload));
    }
    TelegramLines.push_back(Bytes({QXBoot::Es850Kind, QXBoot::Closing}) + ParamType);
    return true;
}

bool TLoaderProgram::ConvertBinary(std::string& error) {
    uint64_t total = 0;
    for (const std::string& line : TelegramLines) total += line.size();
    // The offset has 16 bits: more would wrap onto the start of the board's memory.
    if (total > 0x10000) {
        error = "File too large for a binary download (at most 65536 bytes) !";
        return false;
    }
    std::vector<std::string> payloads;
    payloads.reserve(TelegramLines.size() + 2);
    payloads.push_back(Bytes({QXBoot::BinaryKind, QXBoot::Opening, ParamOption == "VERIFY" ? uint8_t{1} : uint8_t{0}}) + "89S825x");
    uint64_t offset = 0;
    for (const std::string& line : TelegramLines) {
        uint8_t head[4] = {QXBoot::BinaryKind, QXBoot::Data};
        LePut16(head + 2, static_cast<uint16_t>(offset));
        std::string payload(reinterpret_cast<const char*>(head), sizeof head);
        payload += line;
        payloads.push_back(std::move(payload));
        offset += line.size();
    }
    payloads.push_back(Bytes({QXBoot::BinaryKind, QXBoot::Closing}) + "89S825x");
    TelegramLines = std::move(payloads);
    return true;
}

bool TLoaderProgram::ConvertSRecord(std::string& error) {
    if (TelegramLines.empty()) {
        error = "No records in file !";
        return false;
    }
    for (size_t n = 0; n < TelegramLines.size(); ++n) {
        const std::string_view line = TrimRight(TelegramLines[n]);
        std::string payload(1, QXBoot::SRecordKind);
        // "S", the type and hexadecimal digits; an odd last digit is dropped.
        bool good = line.size() >= 2 && line[0] == 'S';
        if (good) {
            payload.append(line.substr(0, 2));
            const std::string_view digits = line.substr(2);
            good = AppendHexBytes(digits, payload) &&
                   (digits.size() % 2 == 0 || ReadHexDigits(digits.substr(digits.size() - 1)));
        }
        if (!good) {
            error = "Invalid S-record in line " + std::to_string(n + 1) + " !";
            return false;
        }
        TelegramLines[n] = std::move(payload);
    }
    TelegramLines[0].push_back(ParamOption == "VERIFY" ? '\x01' : '\x00');
    return true;
}

bool TLoaderProgram::HasHeader() const {
    return ParamType == "MAIN" || ParamType == "USER" || ParamType == "INTR" || ParamType == "INTRMOD";
}

uint8_t TLoaderProgram::TypeTimeoutCount() const {
    if (ParamType == "JTAG") return 20;
    if (ParamType == "89S825x") return 15;
    if (ParamType == "850ESHx2" || ParamType == "850ESJx3") return 244;
    return 0;
}

std::string TLoaderProgram::HeaderPayload() const {
    const bool control = ParamOption == "CONTROL";
    const bool proceed = ParamType == "MAIN" ? control : control && ProceedState == 2;
    const std::string f = proceed ? Bytes({QXBoot::Proceed[0], QXBoot::Proceed[1]}) : Bytes({0x00, 0x00});
    // n bytes from 1-based position p of the second converted line.
    const auto l2 = [&](size_t p, size_t n) {
        const std::string& second = TelegramLines.size() > 1 ? TelegramLines[1] : std::string();
        return p - 1 < second.size() ? second.substr(p - 1, n) : std::string();
    };
    const std::string sync = Bytes({QXBoot::Sync[0], QXBoot::Sync[1]});
    const std::string zeros6(6, '\0');
    if (ParamType == "MAIN")
        return FileKind == 1 ? QXBoot::MainHeader + sync + f + Ident + "    " : QXBoot::MainHeader + sync;
    if (ParamType == "USER")
        return FileKind == 1 ? QXBoot::UserHeader + sync + f + std::string(3, '\0') + Ident + std::string(1, '\0')
                             : QXBoot::UserHeader + f + sync + l2(9, 4) + zeros6 + l2(19, 32);
    if (ParamType == "INTR") return QXBoot::IntrHeader + f + sync + l2(9, 16);
    return QXBoot::IntrModHeader + f + sync + zeros6 + l2(41, 16);  // INTRMOD
}

void TLoaderProgram::InsertHeader(bool replace) {
    if (!HasHeader()) return;
    if (replace && !TelegramLines.empty()) TelegramLines.erase(TelegramLines.begin());
    TelegramLines.insert(TelegramLines.begin(), HeaderPayload());
}

bool TLoaderProgram::ConvertFile(std::string& error) {
    bool good = false;
    switch (FileKind) {
        case 1: good = ConvertHex(error); break;
        case 2: good = ConvertBinary(error); break;
        case 4: good = ConvertHex850(error); break;
        default: good = ConvertSRecord(error); break;
    }
    if (!good) return false;
    const bool copiesSecond = ParamType == "INTR" || ParamType == "INTRMOD" ||
                              (ParamType == "USER" && FileKind != 1);
    if (copiesSecond && TelegramLines.size() < 2) {
        error = "Too few records in file for the download type " + ParamType + " !";
        return false;
    }
    InsertHeader(false);
    for (size_t n = 0; n < TelegramLines.size(); ++n) {
        if (TelegramLines[n].size() > kMaxPayload) {
            error = "Telegram " + std::to_string(n + 1) + " too long (" +
                    std::to_string(TelegramLines[n].size()) + " bytes, at most 252) !";
            return false;
        }
    }
    return true;
}
