#include "SimUnit.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

SimUnit::SimUnit() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    if (openpty(&Master, &Slave, name, &raw, nullptr) != 0) throw std::runtime_error("openpty failed");
    SlavePath = name;
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
    fcntl(Master, F_SETFD, FD_CLOEXEC);
    fcntl(Slave, F_SETFD, FD_CLOEXEC);
    if (pipe2(WakePipe, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("pipe failed");
    // Without the watch the line still works, only not again after a PC side
    // without special rights left it in exclusive mode.
    Watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (Watch >= 0 && inotify_add_watch(Watch, SlavePath.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(Watch);
        Watch = -1;
    }
    SetModel("V2.7 SIM");
    On(QXWire::Request::ModelVersion, [](SimUnit& unit, const Request&) -> std::optional<Answer> {
        std::lock_guard lock(unit.Lock);
        std::vector<uint8_t> text(16, 0);
        std::copy_n(unit.Model.begin(), std::min<size_t>(16, unit.Model.size()), text.begin());
        return Answer{QXWire::Reply::ModelVersion, text};
    });
    Thread = std::thread(&SimUnit::Run, this);
}

SimUnit::~SimUnit() {
    {
        std::lock_guard lock(Lock);
        Stopping = true;
        Changed.notify_all();
    }
    const uint8_t one = 1;
    (void)!::write(WakePipe[1], &one, 1);
    Thread.join();
    for (int fd : {Master, Slave, WakePipe[0], WakePipe[1], Watch})
        if (fd >= 0) ::close(fd);
}

void SimUnit::MapComPort(int port) const {
    setenv(("QX318_COM" + std::to_string(port)).c_str(), SlavePath.c_str(), 1);
}

termios SimUnit::LineSettings() const {
    termios tio{};
    tcgetattr(Slave, &tio);
    return tio;
}

void SimUnit::On(uint8_t fnc, Handler handler) {
    std::lock_guard lock(Lock);
    Handlers[fnc] = std::move(handler);
}

void SimUnit::SetModel(const std::string& text) {
    std::lock_guard lock(Lock);
    Model = text;
}

void SimUnit::Script(Fault fault) {
    std::lock_guard lock(Lock);
    Faults.push_back(std::move(fault));
}

void SimUnit::SetFaultPolicy(FaultPolicy policy) {
    std::lock_guard lock(Lock);
    Policy = std::move(policy);
}

void SimUnit::SetTracer(Tracer tracer) {
    std::lock_guard lock(Lock);
    Trace = std::move(tracer);
}

void SimUnit::Send(const std::vector<uint8_t>& bytes) {
    {
        std::lock_guard lock(Lock);
        Outgoing.push_back(bytes);
    }
    const uint8_t one = 1;
    (void)!::write(WakePipe[1], &one, 1);
}

std::vector<SimUnit::Request> SimUnit::Requests() const {
    std::lock_guard lock(Lock);
    return Received;
}

size_t SimUnit::RequestCount() const {
    std::lock_guard lock(Lock);
    return Received.size();
}

bool SimUnit::WaitForRequests(size_t count, int timeoutMs) const {
    std::unique_lock lock(Lock);
    return Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return Received.size() >= count; });
}

std::vector<uint8_t> SimUnit::Wire() const {
    std::lock_guard lock(Lock);
    return WireBytes;
}

void SimUnit::ClearRecords() {
    std::lock_guard lock(Lock);
    Received.clear();
    WireBytes.clear();
}

std::vector<uint8_t> SimUnit::Frame(uint8_t dst, uint8_t src, uint8_t fnc, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> frame(4 + data.size());
    frame[0] = dst;
    frame[1] = src;
    frame[2] = static_cast<uint8_t>(4 + data.size());
    frame[3] = fnc;
    std::copy(data.begin(), data.end(), frame.begin() + 4);
    uint8_t x = 0;
    for (uint8_t b : frame) x ^= b;
    frame.push_back(x);
    return frame;
}

void SimUnit::Write(const uint8_t* bytes, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(Master, bytes, n);
        if (w > 0) {
            bytes += w;
            n -= static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno == EAGAIN) {
            pollfd p{Master, POLLOUT, 0};
            if (poll(&p, 1, 100) > 0) continue;
        }
        return;  // nobody reads: the bytes are lost, as on a line
    }
}

bool SimUnit::Pause(int ms) {
    std::unique_lock lock(Lock);
    return !Changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return Stopping; });
}

bool SimUnit::LineClosed() {
    alignas(inotify_event) char events[1024];
    bool closed = false;
    while (::read(Watch, events, sizeof events) > 0) closed = true;
    // Our own end stays open, so the terminal outlives the PC side and keeps
    // the exclusive mode it set; the next opening would fail without it lifted.
    if (closed) (void)ioctl(Slave, TIOCNXCL);
    return closed;
}

bool SimUnit::Receive(std::vector<uint8_t>& pending) {
    uint8_t buffer[512];
    const ssize_t n = ::read(Master, buffer, sizeof buffer);
    if (n <= 0) return false;
    {
        std::lock_guard lock(Lock);
        WireBytes.insert(WireBytes.end(), buffer, buffer + n);
    }
    pending.insert(pending.end(), buffer, buffer + n);
    Parse(pending);
    return true;
}

void SimUnit::Run() {
    std::vector<uint8_t> pending;
    for (;;) {
        pollfd p[3] = {{Master, POLLIN, 0}, {WakePipe[0], POLLIN, 0}, {Watch, POLLIN, 0}};
        poll(p, Watch >= 0 ? 3 : 2, -1);
        if (p[1].revents) {
            uint8_t sink[16];
            while (::read(WakePipe[0], sink, sizeof sink) > 0) {
            }
        }
        const bool closed = Watch >= 0 && p[2].revents && LineClosed();
        std::deque<std::vector<uint8_t>> outgoing;
        {
            std::lock_guard lock(Lock);
            if (Stopping) return;
            outgoing.swap(Outgoing);
        }
        for (const auto& bytes : outgoing) Write(bytes.data(), bytes.size());
        if (closed) {
            // Whatever the PC side sent before it closed the line is in by
            // now and is handled; a frame it left unfinished is dropped, so
            // that it does not swallow the first request of the next opening.
            while (Receive(pending)) {
            }
            pending.clear();
        } else if (p[0].revents & POLLIN) {
            Receive(pending);
        } else if (p[0].revents & (POLLHUP | POLLERR)) {
            Pause(10);
        }
    }
}

void SimUnit::Parse(std::vector<uint8_t>& pending) {
    for (;;) {
        // A request starts with the unit's address; anything else is noise.
        auto start = std::find(pending.begin(), pending.end(), UnitAddress);
        pending.erase(pending.begin(), start);
        if (pending.size() < 3) return;
        const size_t len = pending[2];
        if (len < 4) {
            pending.erase(pending.begin());
            continue;
        }
        if (pending.size() < len + 1) return;
        uint8_t x = 0;
        for (size_t i = 0; i <= len; ++i) x ^= pending[i];
        if (x != 0) {
            pending.erase(pending.begin());
            continue;
        }
        Request request;
        request.Dst = pending[0];
        request.Src = pending[1];
        request.Len = pending[2];
        request.Fnc = pending[3];
        request.Data.assign(pending.begin() + 4, pending.begin() + static_cast<std::ptrdiff_t>(len));
        request.Frame.assign(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(len + 1));
        request.At = Clock::now();
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(len + 1));
        Tracer trace;
        {
            std::lock_guard lock(Lock);
            Received.push_back(request);
            Changed.notify_all();
            trace = Trace;
        }
        if (trace) trace(true, request.Frame);
        Respond(request);
    }
}

void SimUnit::Respond(const Request& request) {
    Handler handler;
    Fault fault;
    FaultPolicy policy;
    Tracer trace;
    bool scripted = false;
    {
        std::lock_guard lock(Lock);
        if (auto h = Handlers.find(request.Fnc); h != Handlers.end()) handler = h->second;
        if (!Faults.empty()) {
            fault = std::move(Faults.front());
            Faults.pop_front();
            scripted = true;
        }
        policy = Policy;
        trace = Trace;
    }
    if (!scripted && policy) {
        if (auto picked = policy(request)) fault = std::move(*picked);
    }
    std::optional<Answer> answer;
    if (fault.Refuse)
        answer = Answer{QXWire::Reply::Refusal, {*fault.Refuse}};
    else if (handler)
        answer = handler(*this, request);
    if (fault.Silent || (!answer && !fault.Raw)) return;

    std::vector<uint8_t> reply =
        fault.Raw ? *fault.Raw : Frame(request.Src, UnitAddress, answer->Fnc, answer->Data);
    if (fault.ChangeIndex >= 0 && static_cast<size_t>(fault.ChangeIndex) < reply.size()) {
        reply[static_cast<size_t>(fault.ChangeIndex)] = fault.ChangeTo;
        if (fault.FixCheck) {
            uint8_t x = 0;
            for (size_t i = 0; i + 1 < reply.size(); ++i) x ^= reply[i];
            reply.back() = x;
        }
    }
    if (fault.DropIndex >= 0 && static_cast<size_t>(fault.DropIndex) < reply.size())
        reply.erase(reply.begin() + fault.DropIndex);

    if (fault.DelayMs > 0 && !Pause(fault.DelayMs)) return;
    if (trace) trace(false, reply);
    if (!fault.Before.empty()) Write(fault.Before.data(), fault.Before.size());
    if (fault.PauseIndex >= 0 && static_cast<size_t>(fault.PauseIndex) < reply.size()) {
        const size_t at = static_cast<size_t>(fault.PauseIndex);
        Write(reply.data(), at);
        if (!Pause(fault.PauseMs)) return;
        Write(reply.data() + at, reply.size() - at);
    } else {
        Write(reply.data(), reply.size());
    }
}
