#include "io/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "io/SystemError.h"

namespace {

constexpr std::size_t readChunk = 64 * 1024;  // bytes asked of one read

#ifdef _WIN32
// Windows has neither non-blocking opens of files nor terminals to adopt; binary mode keeps the
// bytes as they are (text mode would drop CRs and stop at a Ctrl-Z).
constexpr int openFlags = O_RDONLY | O_BINARY;
#else
constexpr int openFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
#endif

/// Why a file of this type is not read; empty for a regular file.
std::string typeReason(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return "is a directory";
    if (S_ISFIFO(mode)) return "is a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
#ifdef S_ISSOCK
    if (S_ISSOCK(mode)) return "is a socket, not a regular file";
#endif
    return "is not a regular file";
}

std::string tooLarge(long long size, long long maxBytes) {
    return "the file is " + std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) + " allowed";
}

}  // namespace

std::string openRegularFile(const std::string& path, long long maxBytes, int& descriptor) {
    descriptor = -1;
    // Looked at before it is opened, so a device is never opened at all (opening some has effects).
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return systemReason(errno);
    }
    std::string reason = typeReason(status.st_mode);
    if (!reason.empty()) return reason;

    // The file may have been replaced since: open without blocking and look again at what was opened.
    const int fd = ::open(path.c_str(), openFlags);
    if (fd < 0) {
        return systemReason(errno);
    }
    if (::fstat(fd, &status) != 0) {
        reason = systemReason(errno);
        ::close(fd);
        return reason;
    }
    reason = typeReason(status.st_mode);
    if (reason.empty() && status.st_size > maxBytes) reason = tooLarge(status.st_size, maxBytes);
    if (!reason.empty()) {
        ::close(fd);
        return reason;
    }
#ifndef _WIN32
    // A regular file never blocks; reads should wait as usual all the same.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
#endif
    descriptor = fd;
    return "";
}

std::string readRegularFile(const std::string& path, long long maxBytes, std::string& contents) {
    contents.clear();
    int fd = -1;
    std::string reason = openRegularFile(path, maxBytes, fd);
    if (!reason.empty()) return reason;
    // Read to the end rather than to the size fstat gave: files under /proc report 0 and still have
    // text, and a file may grow while it is read. Never more than maxBytes are kept.
    for (;;) {
        const std::size_t room = static_cast<std::size_t>(maxBytes) - contents.size() + 1;
        const std::size_t want = room < readChunk ? room : readChunk;
        const std::size_t old = contents.size();
        contents.resize(old + want);
        const ssize_t got = ::read(fd, &contents[old], want);
        if (got < 0) {
            if (errno == EINTR) {
                contents.resize(old);
                continue;
            }
            reason = systemReason(errno);
            break;
        }
        contents.resize(old + static_cast<std::size_t>(got));
        if (static_cast<long long>(contents.size()) > maxBytes) {
            reason = "the file is more than " + std::to_string(maxBytes) + " bytes";
            break;
        }
        if (got == 0) break;
    }
    ::close(fd);
    if (!reason.empty()) {
        contents.clear();
        contents.shrink_to_fit();
    }
    return reason;
}
