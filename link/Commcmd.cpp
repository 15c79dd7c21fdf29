#include "Commcmd.h"

_CommCmd* TCommCmdList::Insert(int32_t index) {
    if (index == Count()) return Add();
    return TVector<_CommCmd>::Insert(index);
}

uint32_t _CommResult::Pack() const {
    return uint32_t{State} | (uint32_t{ErrorData} << 8) | (uint32_t{ErrorCode} << 16);
}

_CommResult _CommResult::Unpack(uint32_t value) {
    _CommResult result;
    result.State = static_cast<uint8_t>(value & 0xFF);
    result.ErrorData = static_cast<uint8_t>((value >> 8) & 0xFF);
    result.ErrorCode = static_cast<uint16_t>(value >> 16);
    return result;
}
