#include "Pipe.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
#include <unistd.h>

void PipeCreate(int fds[2], bool nonBlockingRead, bool nonBlockingWrite) {
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    if (nonBlockingRead) fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    if (nonBlockingWrite) fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
}

void PipeClose(int fds[2]) {
    for (int i = 0; i < 2; ++i)
        if (fds[i] >= 0) {
            ::close(fds[i]);
            fds[i] = -1;
        }
}

void PipeDiscard(int fd) {
    uint8_t sink[256];
    while (::read(fd, sink, sizeof sink) > 0) {
    }
}

bool PipeWriteAll(int fd, const uint8_t* bytes, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, bytes, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

bool PipeReadAll(int fd, uint8_t* bytes, size_t n) {
    while (n > 0) {
        const ssize_t r = ::read(fd, bytes, n);
        if (r > 0) {
            bytes += r;
            n -= static_cast<size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) > 0) continue;
        }
        return false;
    }
    return true;
}
