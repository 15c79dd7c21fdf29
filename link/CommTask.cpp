#include "CommTask.h"

#include "FunctionCodes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

const TMLSUnit& CommTexts(const TMLSUnit* mls) {
    static const TMLSUnit builtIn(BuiltInMessages, std::string());
    return mls ? *mls : builtIn;
}

void TCommTask::Log(std::string_view text) {
    if (!LogText) return;
    LogText->append(text);
    LogText->append("\r\n");
}

void TCommTask::ClearError() {
    Context->ErrorCode = 0;
    Context->ErrorData = 0;
}

void TCommTask::SetError(int32_t code, int32_t data) {
    Context->ErrorCode = code;
    Context->ErrorData = data;
}

void TCommTask::FailStart() {
    LogMessage(Msg::LogMemoryAccessError);
    SetError(ceNoInput);
}

void TCommTask::Become(int32_t service, int64_t total) {
    Context->Service = service;
    Context->Progress.Position = Context->Progress.Min;
    Context->Progress.Count = 0;
    Context->Progress.Total = total;
    Retries = DefaultRetries;
}

void TCommTask::SendRequest(uint8_t fnc, const uint8_t* data, size_t n) {
    TBaseComModule* link = Context->ComModule;
    n = std::min<size_t>(n, TTlgrItem::MaxData);
    _TlgrHeader* header = link->GetHeader();
    header->Dst = QXWire::UnitAddress;
    header->Src = QXWire::PcAddress;
    header->Length = static_cast<uint8_t>(n);
    header->Fnc = fnc;
    if (n > 0 && data != link->GetData()) std::memmove(link->GetData(), data, n);
    if (Context->OnSend) Context->OnSend();
}

void TCommTask::Finish() { Context->Service = 0; }

uint8_t TCommTask::ReplyFnc() const { return Context->ComModule->GetReply()[3]; }
size_t TCommTask::ReplyLength() const { return Context->ComModule->GetReply()[2]; }
const uint8_t* TCommTask::ReplyData() const { return Context->ComModule->GetReply() + 4; }

bool TCommTask::Classify(uint8_t good, size_t minData, int32_t refusalCode, uint32_t refusalMessage) {
    const uint8_t fnc = ReplyFnc();
    const size_t length = ReplyLength();
    if (fnc == good && length >= minData) return true;
    if (fnc == QXWire::Reply::Refusal && refusalCode != 0 && length >= 1) {
        SetError(refusalCode, ReplyData()[0]);
        LogMessage(refusalMessage, Hex(ReplyData()[0], 2));
        return false;
    }
    if (fnc == 0) {
        SetError(ceNoReply);
        LogMessage(Msg::LogServiceTimeout);
        return false;
    }
    SetError(ceUnexpectedReply);
    LogMessage(Msg::LogServiceError, Hex(fnc, 2), Hex(length >= 1 ? ReplyData()[0] : 0, 2));
    return false;
}

bool TCommTask::TakeRetry(bool allowed) {
    if (!allowed || Retries <= 0) return false;
    ClearError();
    --Retries;
    LogMessage(Msg::LogTriesRemaining, Dec(Retries));
    return true;
}

void TCommTask::UpdateProgress() {
    _CommProgress& p = Context->Progress;
    if (Length != 0)
        p.Position = static_cast<int32_t>(int64_t{p.Max} * Done / Length);
    p.Count = Done;
}

void TCommTask::ProgressToMax() { Context->Progress.Position = Context->Progress.Max; }

std::string TCommTask::Hex(uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

void TCommTask::PutName(uint8_t* to, const std::string& name, size_t max, size_t size) {
    std::memset(to, 0, size);
    const size_t n = std::min({name.size(), max, size});
    std::memcpy(to, name.data(), n);
}
