// The contract between the device link and its callers: the commands of one
// communication run, the list that holds them and the packed result.
#pragma once

#include "Containers.h"

#include <cstdint>
#include <string>
#include <vector>

// A list of text lines: program-file lines in, or language names out. A line
// may carry an associated number (the slot of a language name), kept in
// Objects beside it by AddObject; lines added otherwise carry none.
class TTextLines : public std::vector<std::string> {
public:
    using std::vector<std::string>::vector;
    std::vector<int32_t> Objects;

    void AddObject(std::string line, int32_t object) {
        Objects.resize(size(), 0);
        push_back(std::move(line));
        Objects.push_back(object);
    }
    // The number added with line i, 0 when it has none.
    int32_t GetObject(size_t i) const { return i < Objects.size() ? Objects[i] : 0; }
    void Clear() {
        clear();
        Objects.clear();
    }
};

// Service types of a command (plain services 1..13, composite 129..133).
enum : int32_t {
    csReadData = 1,
    csWriteData = 2,
    csWriteSRec = 3,
    csClearSRec = 4,
    csSRecStatus = 5,
    csReadBlockDescr = 7,
    csDeleteBlock = 8,
    csReadBlock = 9,
    csWriteBlock = 10,
    csDeleteType = 11,
    csSearchQX = 12,
    csReadMemConfig = 13,
    cssReadBlockDescrList = 129,
    cssReadMenuLangList = 130,
    cssWriteMenuLanguage = 131,
    cssDeleteMenuLanguage = 132,
    cssWriteMenuConfig = 133,
};

// Error codes the services leave in a result.
enum : uint16_t {
    ceNone = 0,
    ceUnexpectedReply = 5,
    ceNoReply = 6,
    ceNoInput = 130,
    ceReadRefused = 131,
    ceWriteRefused = 133,
    ceSRecRefused = 135,
    ceClearRefused = 137,
    ceBlockDescrRefused = 138,
    ceDeleteBlockRefused = 139,
    ceReadBlockRefused = 140,
    ceWriteBlockRefused = 141,
    ceBlockFcs = 142,
    ceDeleteTypeRefused = 143,
    ceBlockExists = 144,
    ceUnitNotFound = 145,
    ceModelDiffers = 146,
    ceLangSlot = 161,
    ceLangSize = 162,
    ceLangDeleteSlot = 163,
};

// One command of a communication run. Which fields a service reads and
// writes back depends on its type; the caller owns everything the pointers
// point to.
struct _CommCmd {
    int32_t SuperService = 0;  // 0, or a composite service 129..133
    int32_t Service = 0;       // plain service 1..13 (when SuperService is 0)
    std::string Caption;       // progress caption, first line of an error dialog
    std::string Name;          // file, program or type name the service sends
    void* Data = nullptr;      // buffer, block, block list, image or port number
    int32_t Param = 0;         // address, slot, language index or baud index
    int32_t Length = 0;        // a length in bytes
    TTextLines* Lines = nullptr;
};

// The commands of one run, in order; the list owns them. Unlike the plain
// container, Insert accepts the position after the last command too.
class TCommCmdList : public TVector<_CommCmd> {
public:
    // A new command at index 0..Count(); none for any other index.
    _CommCmd* Insert(int32_t index);
};

// The outcome of one run. It travels as one 32-bit value: State in the lowest
// byte, ErrorData in the next, ErrorCode in the upper 16 bits.
struct _CommResult {
    static constexpr uint8_t Cancelled = 1;
    static constexpr uint8_t Ended = 2;

    uint8_t State = 0;      // 2 ended (done, stopped by an error or an error ignored), 1 cancelled
    uint8_t ErrorData = 0;  // the unit's refusal reason of the last error, else 0
    uint16_t ErrorCode = 0; // the last command's error, 0 when none is pending

    bool Succeeded() const { return State == Ended && ErrorCode == ceNone; }
    uint32_t Pack() const;
    static _CommResult Unpack(uint32_t value);
    bool operator==(const _CommResult&) const = default;
};
