#include "io/InputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "io/Platform.h"
#include "io/SystemError.h"

namespace {

constexpr std::size_t readChunk = 64 * 1024;  // bytes asked of one read

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

Result<int> openRegularFile(const std::string& path, long long maxBytes) {
    // Looked at before it is opened, so a device is never opened at all (opening some has effects).
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return Problem(systemReason(errno));
    }
    std::string reason = typeReason(status.st_mode);
    if (!reason.empty()) return Problem(reason);

    // The file may have been replaced since: open without blocking and look again at what was opened.
    const int fd = openForReading(path.c_str());
    if (fd < 0) {
        return Problem(systemReason(errno));
    }
    if (::fstat(fd, &status) != 0) {
        reason = systemReason(errno);
        ::close(fd);
        return Problem(reason);
    }
    reason = typeReason(status.st_mode);
    if (reason.empty() && status.st_size > maxBytes) reason = tooLarge(status.st_size, maxBytes);
    if (!reason.empty()) {
        ::close(fd);
        return Problem(reason);
    }
    waitOnDescriptor(fd);  // a regular file never blocks; reads should wait as usual all the same
    return fd;
}

Result<std::string> readRegularFile(const std::string& path, long long maxBytes) {
    const Result<int> opened = openRegularFile(path, maxBytes);
    if (!opened.ok()) return opened.problem();
    const int fd = opened.value();
    std::string contents;
    std::string reason;
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
    if (!reason.empty()) return Problem(reason);
    return contents;
}

std::string notARegularFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return {};
    return typeReason(status.st_mode);
}
