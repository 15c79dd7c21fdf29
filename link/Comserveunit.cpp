#include "Comserveunit.h"
#include "Pipe.h"

#include <cerrno>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

}  // namespace

uint8_t FrameCheck(const uint8_t* bytes, size_t n) {
    uint8_t x = 0;
    for (size_t i = 0; i < n; ++i) x ^= bytes[i];
    return x;
}

ComServ::ComServ(ComObj* port, ComServOptions options)
    : Port(port), Options(options), Count(options.TimeoutCount ? options.TimeoutCount : 1) {
    PipeCreate(RequestPipe, true, false);
    PipeCreate(ReplyPipe, true, false);
    Thread = std::thread(&ComServ::Run, this);
}

ComServ::~ComServ() {
    Terminate();
    if (Thread.joinable()) Thread.join();
    PipeClose(RequestPipe);
    PipeClose(ReplyPipe);
}

void ComServ::Terminate() {
    Terminating = true;
    {
        std::lock_guard lock(Lock);
        Changed.notify_all();
    }
    Port->ReceivedBytes().WakeAll();
}

bool ComServ::WriteRequest(const uint8_t* frame, size_t len) {
    if (!frame || len < 1 || len > 255) return false;
    {
        // The framing thread may still read the request pipe: nothing goes in.
        std::lock_guard lock(Lock);
        if (Serving) return false;
    }
    PipeDiscard(RequestPipe[0]);  // a request that was never started
    uint8_t message[256];
    message[0] = static_cast<uint8_t>(len);
    std::copy(frame, frame + len, message + 1);
    return PipeWriteAll(RequestPipe[1], message, len + 1);
}

void ComServ::Purge() {
    uint8_t byte = 0;
    TComClock& clock = Port->GetClock();
    while (Port->ReceiveByte(clock.Now() + milliseconds(5), byte, &Terminating) == TByteCounter::TWait::Byte) {
    }
}

void ComServ::StartRequest() {
    PipeDiscard(ReplyPipe[0]);  // a reply that nobody read
    std::lock_guard lock(Lock);
    Outcome = Pending;
    RequestReady = true;
    Serving = true;
    Changed.notify_all();
}

bool ComServ::Request(const uint8_t* frame, size_t len) {
    if (!WriteRequest(frame, len)) return false;
    if (Options.PurgeBeforeRequest) Purge();
    StartRequest();
    return true;
}

int ComServ::WaitOutcome(int sliceMs) {
    std::unique_lock lock(Lock);
    const auto done = [this] { return Outcome != Pending || Terminating; };
    if (sliceMs < 0)
        Changed.wait(lock, done);
    else
        Changed.wait_for(lock, milliseconds(sliceMs), done);
    if (Terminating) return Error;
    return Outcome;
}

int ComServ::WaitForReply() {
    StartRequest();
    return WaitOutcome(-1);
}

int ComServ::ReadReply(uint8_t* buffer, size_t size) {
    uint8_t n = 0;
    if (::read(ReplyPipe[0], &n, 1) != 1) return -1;
    uint8_t frame[255];
    if (!PipeReadAll(ReplyPipe[0], frame, n)) return -1;
    std::copy(frame, frame + std::min<size_t>(n, size), buffer);
    return n;
}

void ComServ::Run() {
    for (;;) {
        {
            std::unique_lock lock(Lock);
            Changed.wait(lock, [this] { return RequestReady || Terminating; });
            if (Terminating) return;
            RequestReady = false;
        }
        Serve();
    }
}

void ComServ::Finish(int outcome) {
    State = Idle;
    std::lock_guard lock(Lock);
    Outcome = outcome;
    Serving = false;
    Changed.notify_all();
}

void ComServ::Fail() {
    DrainLine();
    Finish(Error);
}

bool ComServ::DrainLine() {
    State = Drain;
    uint8_t byte = 0;
    for (;;) {
        switch (Port->ReceiveByte(Port->GetClock().Now() + milliseconds(7), byte, &Terminating)) {
        case TByteCounter::TWait::Byte: continue;
        case TByteCounter::TWait::Timeout: return true;
        case TByteCounter::TWait::Aborted: return false;
        }
    }
}

void ComServ::Serve() {
    // The request message: its length n, then the frame without BCC.
    uint8_t* const frame = Message + 1;
    uint8_t n = 0;
    if (::read(RequestPipe[0], &n, 1) != 1 || n == 0 || !PipeReadAll(RequestPipe[0], frame, n)) {
        Finish(Error);
        return;
    }
    const size_t total = size_t{n} + 1;  // up to 256: wider than the length byte
    frame[n] = FrameCheck(frame, n);
    const uint8_t expectedDestination = n >= 2 ? frame[1] : 0;
    Port->SendMessage(frame, total);

    const unsigned count = Count;
    const auto firstWait = milliseconds(20 * count);
    const auto nextWait = milliseconds(3 * count);
    State = WaitFirstByte;
    uint8_t byte = 0;
    for (;;) {
        const auto w = Port->ReceiveByte(Port->GetClock().Now() + firstWait, byte, &Terminating);
        if (w == TByteCounter::TWait::Aborted) return Finish(Error);
        if (w == TByteCounter::TWait::Timeout) return Finish(Timeout);
        if (!Options.CheckAddresses || byte == expectedDestination) break;
    }
    Collector.Begin(byte, Options.CheckAddresses, ExpectedSource);
    State = Receiving;
    for (;;) {
        const auto w = Port->ReceiveByte(Port->GetClock().Now() + nextWait, byte, &Terminating);
        if (w == TByteCounter::TWait::Aborted) return Finish(Error);
        if (w == TByteCounter::TWait::Timeout) return Finish(Timeout);
        switch (Collector.Add(byte)) {
        case TReplyCollector::More:
            continue;
        case TReplyCollector::Broken:
            return Fail();
        case TReplyCollector::Complete:
            PipeWriteAll(ReplyPipe[1], Collector.Message(), Collector.Length() + 1);
            return Finish(Reply);
        }
    }
}

// ---- TReplyCollector ----

void TReplyCollector::Begin(uint8_t first, bool checkSource, uint8_t expectedSource) {
    CheckSource = checkSource;
    ExpectedSource = expectedSource;
    Buffer[1] = first;
    Xor = first;
    Count = 1;
    Len = 0;
    Step = Header2;
}

TReplyCollector::TResult TReplyCollector::Add(uint8_t byte) {
    Xor ^= byte;
    switch (Step) {
    case Header2:
        if (CheckSource && byte != ExpectedSource) return Broken;
        Step = LenByte;
        break;
    case LenByte:
        Len = byte;
        if (Len < 4) return Broken;  // no frame is that short
        Step = FncByte;
        break;
    case FncByte:
        Step = Len == 4 ? CheckByte : DataByte;
        break;
    case DataByte:
        if (Count + 1 == Len) Step = CheckByte;
        break;
    case CheckByte:
        if (Xor != 0) return Broken;
        Buffer[0] = static_cast<uint8_t>(Len);
        return Complete;
    }
    Buffer[1 + Count++] = byte;  // Count stays below Len <= 255
    return More;
}
