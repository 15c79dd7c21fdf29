#include "SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "SystemCause.h"

namespace {

// Keeps errno as the thread's cause and gives the reason for *error.
std::string Reason(const char* what) {
    const int error = errno;
    NoteSystemCause(error);
    return std::string(what) + ": " + SystemErrorText(error);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

bool MoveIntoPlace(const std::string& temp, const std::string& path) {
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
            NoteSystemCause(errno);
            return false;
        }
        ::chmod(temp.c_str(), old.st_mode & 07777);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        NoteSystemCause(errno);
        return false;
    }
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string* error) {
    const std::string temp = TemporaryNameBeside(path);
    mode_t mode = 0644;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        const std::string reason = Reason("cannot create a file beside it");
        if (error) *error = reason;
        return false;
    }
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const std::string reason = Reason("cannot write");
            if (error) *error = reason;
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) {
        const std::string reason = Reason("cannot flush");
        if (error) *error = reason;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        const std::string reason = Reason("cannot close");
        if (error) *error = reason;
        ok = false;
    }
    if (ok && !MoveIntoPlace(temp, path)) {
        const int cause = errno;
        if (error) *error = std::string("cannot replace: ") + SystemErrorText(cause);
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        NoteSystemCause(errno);
        return false;
    }
    if (S_ISREG(st.st_mode)) return true;
    NoteSystemCause(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    return false;
}

std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        NoteSystemCause(errno);
        return std::nullopt;
    }
    struct stat st {};
    int refusal = 0;
    if (::fstat(fd, &st) != 0) refusal = errno;
    else if (S_ISDIR(st.st_mode)) refusal = EISDIR;
    else if (!S_ISREG(st.st_mode)) refusal = EINVAL;
    else if (static_cast<uint64_t>(st.st_size) > limit) refusal = EFBIG;
    if (refusal != 0) {
        NoteSystemCause(refusal);
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) NoteSystemCause(errno);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (done != bytes.size()) return std::nullopt;  // the file changed under us
    return bytes;
}
