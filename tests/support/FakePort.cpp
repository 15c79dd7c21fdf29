#include "FakePort.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

TFakePort::TFakePort() {
    int pair[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) {
        Link = pair[0];
        UnitSide = pair[1];
        ::fcntl(Link, F_SETFL, ::fcntl(Link, F_GETFL) | O_NONBLOCK);
    }
}

TFakePort::~TFakePort() {
    if (Link >= 0) ::close(Link);
    if (UnitSide >= 0) ::close(UnitSide);
}

bool TFakePort::Open(const std::string&) {
    LastError = Refusal;
    Opened = Refusal.empty() && Link >= 0;
    return Opened;
}

bool TFakePort::GetState(SerialLineState& state) {
    if (!Opened) return false;
    state = State;
    return true;
}

bool TFakePort::SetState(const SerialLineState& state) {
    if (!Opened) return false;
    State = state;
    return true;
}

long TFakePort::Read(uint8_t* bytes, size_t n) { return static_cast<long>(::read(Link, bytes, n)); }

long TFakePort::Write(const uint8_t* bytes, size_t n) { return static_cast<long>(::write(Link, bytes, n)); }

void TFakePort::Unit(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(UnitSide, bytes.data() + done, bytes.size() - done);
        if (w > 0)
            done += static_cast<size_t>(w);
        else if (errno != EINTR)
            return;
    }
}

std::vector<uint8_t> TFakePort::Sent(size_t n, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (Received.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left <= 0ms) break;
        pollfd p{UnitSide, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        uint8_t buffer[256];
        const ssize_t r = ::read(UnitSide, buffer, sizeof buffer);
        if (r > 0) Received.insert(Received.end(), buffer, buffer + r);
    }
    return Received;
}

TComClock::Clock::time_point TManualClock::Now() const {
    std::lock_guard g(Lock);
    return Time;
}

std::cv_status TManualClock::WaitUntil(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                                       Clock::time_point deadline) {
    {
        std::lock_guard g(Lock);
        Deadlines.insert(deadline);
        if (Time >= deadline) return std::cv_status::timeout;
    }
    // Short real slices: a notification ends the wait at once, a move of the
    // time within a slice.
    changed.wait_for(lock, 1ms);
    return Now() >= deadline ? std::cv_status::timeout : std::cv_status::no_timeout;
}

void TManualClock::Advance(Clock::duration by) {
    std::lock_guard g(Lock);
    Time += by;
}

bool TManualClock::Waits(Clock::time_point deadline, std::chrono::milliseconds limit) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        {
            std::lock_guard g(Lock);
            if (Deadlines.count(deadline)) return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(1ms);
    }
}
