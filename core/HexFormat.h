// Intel HEX application files: the data records with absolute addresses, the
// application name ("APP_V:" at the start of the first data record) and the
// image cut into blocks of 128 bytes for the unit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Containers.h"

struct _HEXRecord {
    uint32_t Address = 0;  // absolute address of the first data byte
    uint8_t Length = 0;    // data bytes, 0..255
    uint8_t Data[256] = {};
};

struct _HEXBlock {
    uint32_t Address = 0;
    uint8_t Data[128] = {};  // bytes that no record fills are zero
};

// Why a file was refused.
enum class THexError {
    None,
    FileUnreadable,     // missing, unreadable or too large
    NotRecordLine,      // an empty line or one not starting with ':'
    NotHex,             // a character that is not a hexadecimal digit
    Malformed,          // digits not in pairs, a count that disagrees with the data
    ChecksumWrong,
    UnknownType,        // a record type other than 00, 01, 02, 04
    AddressPast32Bits,  // data that would lie beyond 0xFFFFFFFF
    NoEndRecord,
};

class HEXFormat {
public:
    // HEX files of applications are small; larger files are refused.
    static constexpr uint64_t MaxFileSize = 16ull << 20;

    HEXFormat() = default;

    // Frees the current records, reads the file's lines and parses them.
    bool LoadFromFile(const std::string& fileName);
    // True only when an end-of-file record is reached and every record before
    // it is sound; on false GetLastError tells why and the records parsed
    // before the failure stay (they are not a whole image).
    bool ParseLines(const std::vector<std::string>& lines);
    void Clear();

    int32_t Count() const { return Records.Count(); }
    const _HEXRecord* Get(int32_t index) const { return Records.Get(index); }

    THexError GetLastError() const { return LastError; }
    // The 0-based line of the failure; -1 when none or the file was unreadable.
    int32_t GetErrorLine() const { return ErrorLine; }

    // The records in blocks of 128 bytes: consecutive contiguous records
    // share blocks, a record that does not fit is split across blocks, a gap
    // starts a new block. The destination is emptied first.
    void RepackToBlocks(std::vector<_HEXBlock>& destination) const;

    bool HasAppVersion() const;
    // The text after "APP_V:" in the first record's data up to its first zero
    // byte; empty without such a record.
    std::string GetAppVersion() const;
    static bool IsAppVersion(std::string_view text);

private:
    TVector<_HEXRecord> Records;
    THexError LastError = THexError::None;
    int32_t ErrorLine = -1;

    bool Fail(THexError error, size_t line);
};
