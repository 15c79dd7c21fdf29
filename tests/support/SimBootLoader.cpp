#include "SimBootLoader.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

SimBootLoader::SimBootLoader() {
    termios raw{};
    ::cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&Master, &Slave, name, &raw, nullptr) != 0) throw std::runtime_error("openpty");
    Path = name;
    if (::pipe2(Wake, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    ::fcntl(Master, F_SETFL, ::fcntl(Master, F_GETFL) | O_NONBLOCK);
    Worker = std::thread([this] { Run(); });
}

SimBootLoader::~SimBootLoader() {
    const char stop = 1;
    (void)!::write(Wake[1], &stop, 1);
    Worker.join();
    ::close(Wake[0]);
    ::close(Wake[1]);
    ::close(Master);
    ::close(Slave);
}

void SimBootLoader::SetDefault(Action action) {
    std::lock_guard guard(Lock);
    Default = std::move(action);
}

void SimBootLoader::Push(Action action, int times) {
    std::lock_guard guard(Lock);
    for (int k = 0; k < times; ++k) Queue.push_back(action);
}

std::vector<std::vector<uint8_t>> SimBootLoader::Requests() const {
    std::lock_guard guard(Lock);
    return Received;
}

size_t SimBootLoader::RequestCount() const {
    std::lock_guard guard(Lock);
    return Received.size();
}

void SimBootLoader::Run() {
    std::vector<uint8_t> frame;
    for (;;) {
        pollfd fds[2] = {{Master, POLLIN, 0}, {Wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        uint8_t buffer[512];
        const ssize_t n = ::read(Master, buffer, sizeof buffer);
        if (n <= 0) {
            // No one holds the device open: wait a little for the next user.
            ::usleep(1000);
            continue;
        }
        for (ssize_t k = 0; k < n; ++k) {
            const uint8_t b = buffer[k];
            if (frame.empty() && b != 0x99) continue;  // not the start of a request
            frame.push_back(b);
            if (frame.size() >= 3 && frame.size() == static_cast<size_t>(frame[2]) + 1) {
                Answer(frame);
                frame.clear();
            }
        }
    }
}

void SimBootLoader::Answer(const std::vector<uint8_t>& frame) {
    uint8_t check = 0;
    for (uint8_t b : frame) check ^= b;
    Action action;
    {
        std::lock_guard guard(Lock);
        if (check != 0 || frame[1] != 0x88 || frame[2] < 3) {
            ++Bad;
            return;
        }
        Received.emplace_back(frame.begin() + 3, frame.end() - 1);
        if (Queue.empty()) {
            action = Default;
        } else {
            action = Queue.front();
            Queue.pop_front();
        }
    }
    std::vector<uint8_t> reply = {0x88, 0x99, 0};
    switch (action.What) {
        case Action::Silent: return;
        case Action::Raw: reply = action.Bytes; break;
        case Action::Ack:
        case Action::WrongEcho:
            reply.push_back(0xE0);
            for (size_t k = 4; k <= 10; ++k) reply.push_back(k < frame.size() ? frame[k] : 0);
            if (action.What == Action::WrongEcho) reply[5] ^= 0xFF;
            break;
        case Action::Refuse:
            reply.push_back(0xF0);
            if (action.DataBytes > 0) reply.push_back(action.Code);
            if (action.DataBytes > 1) reply.push_back(action.Detail);
            break;
        case Action::Status:
            reply.push_back(action.Code);
            break;
    }
    if (action.What != Action::Raw) {
        reply[2] = static_cast<uint8_t>(reply.size());
        uint8_t x = 0;
        for (uint8_t b : reply) x ^= b;
        reply.push_back(x);
    }
    size_t done = 0;
    while (done < reply.size()) {
        const ssize_t n = ::write(Master, reply.data() + done, reply.size() - done);
        if (n > 0) done += static_cast<size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        else ::usleep(100);
    }
}
