#include "Com.h"
#include "Bytes.h"
#include "Pipe.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

void Poke(int fd) {
    const uint8_t one = 1;
    (void)!::write(fd, &one, 1);  // a full wake-up pipe is awake already
}

}  // namespace

void ComLineSettings(SerialLineState& state, uint32_t baudRate) {
    state.DCBlength = 28;
    state.BaudRate = baudRate;
    state.ByteSize = 8;
    state.Parity = SerialLineState::NoParity;
    state.StopBits = SerialLineState::OneStopBit;
    state.fBinary = true;
    state.fParity = false;
    state.fOutxCtsFlow = false;
    state.fOutxDsrFlow = false;
    state.fOutX = false;
    state.fInX = false;
    state.fDtrControl = SerialLineState::DtrControlDisable;
    state.fRtsControl = SerialLineState::RtsControlToggle;
}

// ---- TComClock ----

namespace {

class TSteadyClock : public TComClock {
public:
    Clock::time_point Now() const override { return Clock::now(); }
    std::cv_status WaitUntil(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                             Clock::time_point deadline) override {
        return changed.wait_until(lock, deadline);
    }
};

}  // namespace

TComClock& TComClock::Steady() {
    static TSteadyClock clock;
    return clock;
}

// ---- TByteCounter ----

int TByteCounter::Release(int n) {
    std::lock_guard lock(Lock);
    const int added = std::clamp(n, 0, Maximum - Value);
    Value += added;
    if (added) Changed.notify_all();
    return added;
}

TByteCounter::TWait TByteCounter::Acquire(Clock::time_point deadline, const std::atomic<bool>* abort) {
    std::unique_lock lock(Lock);
    for (;;) {
        if (abort && abort->load()) return TWait::Aborted;
        if (Value > 0) {
            --Value;
            return TWait::Byte;
        }
        if (Time.WaitUntil(Changed, lock, deadline) == std::cv_status::timeout) {
            if (abort && abort->load()) return TWait::Aborted;
            if (Value > 0) {
                --Value;
                return TWait::Byte;
            }
            return TWait::Timeout;
        }
    }
}

void TByteCounter::WakeAll() {
    std::lock_guard lock(Lock);
    Changed.notify_all();
}

int TByteCounter::Count() const {
    std::lock_guard lock(Lock);
    return Value;
}

int TByteCounter::Room() const {
    std::lock_guard lock(Lock);
    return Maximum - Value;
}

// ---- ComObj ----

ComObj::ComObj(ComObjOptions options)
    : Options(options),
      Time(options.Clock ? *options.Clock : TComClock::Steady()),
      OwnPort(options.Port ? nullptr : std::make_unique<SerialPort>()),
      Port(options.Port ? options.Port : OwnPort.get()) {
    PipeCreate(SendPipe, true, false);
    PipeCreate(ReceivePipe, false, false);
    PipeCreate(ReaderWake, true, true);
    PipeCreate(WriterWake, true, true);
    Start();
}

ComObj::~ComObj() {
    ComObj::Stop();
    PipeClose(SendPipe);
    PipeClose(ReceivePipe);
    PipeClose(ReaderWake);
    PipeClose(WriterWake);
}

void ComObj::Start() {
    std::lock_guard lock(Lock);
    if (Reader.joinable() || Writer.joinable()) return;
    Stopping = false;
    Closing = false;
    PipeDiscard(ReaderWake[0]);
    PipeDiscard(WriterWake[0]);
    Reader = std::thread(&ComObj::ReaderLoop, this);
    Writer = std::thread(&ComObj::WriterLoop, this);
}

void ComObj::Stop() {
    {
        std::lock_guard lock(Lock);
        Stopping = true;
        Changed.notify_all();
    }
    WakeThreads();
    if (Reader.joinable()) Reader.join();
    if (Writer.joinable()) Writer.join();
    Close();
}

void ComObj::WakeThreads() {
    Poke(ReaderWake[1]);
    Poke(WriterWake[1]);
}

bool ComObj::Open(const char* name) {
    Close();
    std::lock_guard lock(Lock);
    if (Port->Open(name ? name : "")) Port->GetState(LineState);
    PortOpen = Port->IsOpen();
    Changed.notify_all();
    return PortOpen;
}

void ComObj::Close() {
    std::unique_lock lock(Lock);
    if (!Port->IsOpen()) return;
    Closing = true;
    PortOpen = false;
    WakeThreads();
    Changed.wait(lock, [this] { return Users == 0; });
    Port->Close();
    Closing = false;
}

bool ComObj::IsOpen() const { return PortOpen; }

std::string ComObj::OpenError() const {
    std::lock_guard lock(Lock);
    return Port->Error();
}

bool ComObj::SetState() {
    std::lock_guard lock(Lock);
    return Port->IsOpen() && Port->SetState(LineState);
}

bool ComObj::GetState() {
    std::lock_guard lock(Lock);
    return Port->IsOpen() && Port->GetState(LineState);
}

bool ComObj::SendMessage(const uint8_t* bytes, size_t n) {
    if (n > MaxMessage || (n > 0 && !bytes)) return false;
    uint8_t message[2 + MaxMessage];
    LePut16(message, static_cast<uint16_t>(n));
    std::copy(bytes, bytes + n, message + 2);
    PipeWriteAll(SendPipe[1], message, n + 2);  // one write: below the pipe's atomic size
    return true;
}

TByteCounter::TWait ComObj::ReceiveByte(TByteCounter::Clock::time_point deadline, uint8_t& byte,
                                        const std::atomic<bool>* abort) {
    const TByteCounter::TWait result = Received.Acquire(deadline, abort);
    if (result == TByteCounter::TWait::Byte) {
        while (::read(ReceivePipe[0], &byte, 1) < 0 && errno == EINTR) {
        }
    }
    return result;
}

bool ComObj::TakePort(int& fd, SerialRts& rts) {
    std::lock_guard lock(Lock);
    if (Stopping || Closing || !Port->IsOpen()) return false;
    fd = Port->Handle();
    rts = Port->Rts();
    ++Users;
    return true;
}

void ComObj::ReleasePort() {
    std::lock_guard lock(Lock);
    if (--Users == 0) Changed.notify_all();
}

void ComObj::ReaderLoop() {
    uint8_t buffer[256];
    for (;;) {
        int fd = -1;
        {
            std::unique_lock lock(Lock);
            Changed.wait(lock, [this] { return Stopping || (Port->IsOpen() && !Closing); });
            if (Stopping) return;
            fd = Port->Handle();
            ++Users;
        }
        pollfd p[2] = {{fd, POLLIN, 0}, {ReaderWake[0], POLLIN, 0}};
        bool pause = false;
        const int r = poll(p, 2, -1);
        if (r > 0) {
            if (p[1].revents) PipeDiscard(ReaderWake[0]);
            if (p[0].revents & POLLIN) {
                const long n = Port->Read(buffer, sizeof buffer);
                if (n > 0) {
                    // Forward as many as the counter has room for, in step with it.
                    const int room = Received.Room();
                    const int k = std::min(static_cast<int>(n), room);
                    if (k > 0) {
                        PipeWriteAll(ReceivePipe[1], buffer, static_cast<size_t>(k));
                        Received.Release(k);
                    }
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    pause = true;
                }
            } else if (p[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                pause = true;
            }
        } else if (r < 0 && errno != EINTR) {
            pause = true;
        }
        ReleasePort();
        if (pause) {
            // A failing device (unplugged, hung up): try again after 100 ms.
            pollfd w{ReaderWake[0], POLLIN, 0};
            if (poll(&w, 1, 100) > 0) PipeDiscard(ReaderWake[0]);
        }
    }
}

void ComObj::WriterLoop() {
    uint8_t frame[MaxMessage];
    for (;;) {
        pollfd p[2] = {{SendPipe[0], POLLIN, 0}, {WriterWake[0], POLLIN, 0}};
        const int r = poll(p, 2, -1);
        if (r < 0 && errno != EINTR) return;
        if (r > 0 && p[1].revents) PipeDiscard(WriterWake[0]);
        {
            std::lock_guard lock(Lock);
            if (Stopping) return;
        }
        if (r <= 0 || !(p[0].revents & POLLIN)) continue;
        uint8_t head[2];
        if (!PipeReadAll(SendPipe[0], head, 2)) continue;
        const size_t n = LeGet16(head);
        if (n > MaxMessage) {
            PipeDiscard(SendPipe[0]);  // cannot happen: SendMessage refuses such a message
            continue;
        }
        if (n == 0 || !PipeReadAll(SendPipe[0], frame, n)) continue;
        int fd = -1;
        SerialRts rts = SerialRts::None;
        if (!TakePort(fd, rts)) continue;  // no port: the frame is dropped
        WriteFrame(fd, rts, frame, n);
        ReleasePort();
    }
}

bool ComObj::WriteFrame(int fd, SerialRts rts, const uint8_t* bytes, size_t n) {
    const auto deadline = Time.Now() + std::chrono::milliseconds(Options.WriteLimitMs);
    if (rts == SerialRts::Manual) SerialRaiseRts(fd);
    bool ok = true;
    size_t done = 0;
    while (done < n) {
        const long w = Port->Write(bytes + done, n - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) {
            ok = false;
            break;
        }
        int wait = -1;
        if (Options.WriteLimitMs > 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Time.Now()).count();
            if (left <= 0) {
                ok = false;
                break;
            }
            wait = static_cast<int>(left);
        }
        pollfd p[2] = {{fd, POLLOUT, 0}, {WriterWake[0], POLLIN, 0}};
        if (poll(p, 2, wait) > 0 && p[1].revents) {
            PipeDiscard(WriterWake[0]);
            std::lock_guard lock(Lock);
            if (Stopping || Closing) {
                ok = false;
                break;
            }
        }
    }
    if (!ok) Port->DiscardOutput();  // the abandoned frame's bytes
    if (rts == SerialRts::Manual) SerialDropRtsAfterDrain(fd);
    return ok;
}
