#include "io/Platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

int openForReading(const char* path) { return ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY); }

void waitOnDescriptor(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

int openForWriting(const char* path, bool createNew) {
    const int how = createNew ? O_EXCL | O_NOFOLLOW : O_TRUNC | O_NONBLOCK;
    return ::open(path, O_WRONLY | O_NOCTTY | O_CLOEXEC | O_CREAT | how, 0666);
}

int lockDescriptor(int fd, bool exclusive) {
    return ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0 ? 0 : errno;
}

int openToLook(const char* path) { return ::open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC); }

void useLfLineEnds() {}

char searchPathSeparator() { return ':'; }
