#include "LoaderDirectLink.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "IntText.h"

namespace {

std::optional<speed_t> SpeedOf(int64_t baud) {
    switch (baud) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        case 460800: return B460800;
        case 921600: return B921600;
        default: return std::nullopt;
    }
}

}  // namespace

std::unique_ptr<TLoaderLink> CreateLoaderLink() { return std::make_unique<TDirectLink>(); }

std::string TDirectLink::DevicePath(const std::string& port) {
    if (port.size() < 4 || (port[0] | 0x20) != 'c' || (port[1] | 0x20) != 'o' || (port[2] | 0x20) != 'm')
        return {};
    const std::string digits = port.substr(3);
    for (char c : digits)
        if (c < '0' || c > '9') return {};
    const auto n = ReadIntText(digits);
    if (!n || *n < 1 || *n > 255) return {};
    const std::string variable = "QX318_COM" + std::to_string(*n);
    if (const char* path = std::getenv(variable.c_str()); path && *path) return path;
    if (*n <= 32) return "/dev/ttyUSB" + std::to_string(*n - 1);
    if (*n <= 64) return "/dev/ttyACM" + std::to_string(*n - 33);
    if (*n <= 96) return "/dev/ttyS" + std::to_string(*n - 65);
    return {};
}

bool TDirectLink::Open(const std::string& port, int64_t baud) {
    Close();
    const std::string path = DevicePath(port);
    const auto speed = SpeedOf(baud);
    if (path.empty() || !speed) return false;
    Fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0) return false;
    termios tio{};
    if (!::isatty(Fd) || ::ioctl(Fd, TIOCEXCL) != 0 || ::tcgetattr(Fd, &tio) != 0) {
        Close();
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(HUPCL | CRTSCTS | CSTOPB | PARENB);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    ::cfsetispeed(&tio, *speed);
    ::cfsetospeed(&tio, *speed);
    if (::tcsetattr(Fd, TCSANOW, &tio) != 0) {
        Close();
        return false;
    }
    int dtr = TIOCM_DTR;
    (void)::ioctl(Fd, TIOCMBIC, &dtr);  // a pseudo-terminal has no modem lines
    State = TState::Idle;
    return true;
}

void TDirectLink::Close() {
    if (Fd >= 0) {
        ::tcflush(Fd, TCIOFLUSH);
        ::close(Fd);
    }
    Fd = -1;
    State = TState::Idle;
}

bool TDirectLink::Send(std::span<const uint8_t> frame) {
    if (Fd < 0 || frame.empty()) return false;
    std::vector<uint8_t> wire(frame.begin(), frame.end());
    uint8_t check = 0;
    for (uint8_t b : frame) check ^= b;
    wire.push_back(check);
    size_t done = 0;
    while (done < wire.size()) {
        const ssize_t n = ::write(Fd, wire.data() + done, wire.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{Fd, POLLOUT, 0};
            if (::poll(&p, 1, 200) <= 0) break;  // a stalled line: the reply time-out reports it
        } else {
            break;
        }
    }
    Received.clear();
    State = TState::WaitFirstByte;
    Deadline = Clock::now() + std::chrono::milliseconds(Count * 20);
    return true;
}

std::optional<TReplyOutcome> TDirectLink::Take(uint8_t byte, std::vector<uint8_t>& reply) {
    using std::chrono::milliseconds;
    if (State == TState::Drain) {
        Deadline = Clock::now() + milliseconds(7);
        return std::nullopt;
    }
    if (State == TState::WaitFirstByte) {
        State = TState::Receiving;
        Received.clear();
        Xor = 0;
    }
    Xor ^= byte;
    Received.push_back(byte);
    Deadline = Clock::now() + milliseconds(Count * 3);
    const size_t n = Received.size();
    if (n == 3 && byte < 4) {  // no reply is shorter than its status byte
        State = TState::Drain;
        Deadline = Clock::now() + milliseconds(7);
    } else if (n >= 4 && n == static_cast<size_t>(Received[2]) + 1) {
        if (Xor != 0) {
            State = TState::Drain;
            Deadline = Clock::now() + milliseconds(7);
            return std::nullopt;
        }
        Received.pop_back();
        reply = Received;
        State = TState::Idle;
        return TReplyOutcome::Reply;
    }
    return std::nullopt;
}

std::optional<TReplyOutcome> TDirectLink::WaitSlice(int sliceMs, std::vector<uint8_t>& reply) {
    if (State == TState::Idle) return TReplyOutcome::Error;
    const auto sliceEnd = Clock::now() + std::chrono::milliseconds(sliceMs);
    for (;;) {
        uint8_t buffer[64];
        const ssize_t n = Fd >= 0 ? ::read(Fd, buffer, sizeof buffer) : -1;
        if (n > 0) {
            for (ssize_t k = 0; k < n; ++k)
                if (auto outcome = Take(buffer[k], reply)) return outcome;
            continue;
        }
        const auto now = Clock::now();
        if (now >= Deadline) {
            const bool drained = State == TState::Drain;
            State = TState::Idle;
            return drained ? TReplyOutcome::Error : TReplyOutcome::TimeOut;
        }
        if (now >= sliceEnd) return std::nullopt;
        const auto until = std::min(Deadline, sliceEnd);
        const int wait = static_cast<int>(
            std::chrono::ceil<std::chrono::milliseconds>(until - now).count());
        pollfd p{Fd, POLLIN, 0};
        if (::poll(&p, 1, wait) < 0 && errno != EINTR) {
            State = TState::Idle;
            return TReplyOutcome::Error;
        }
        if (p.revents & (POLLHUP | POLLERR) && !(p.revents & POLLIN)) {
            // A line that has gone: nothing more arrives, the time-out decides.
            std::this_thread::sleep_until(std::min(Deadline, sliceEnd));
        }
    }
}
