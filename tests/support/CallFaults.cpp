#include "support/CallFaults.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <utility>

CallFaults callFaults;

namespace {

/// Whether this call fails: a fault waits for it and the stream is not a standard one. Sets errno.
bool takeFault(int& fault, std::FILE* stream) {
    if (fault == 0 || stream == nullptr || stream == stdout || stream == stderr) return false;
    errno = fault;
    fault = 0;
    return true;
}

}  // namespace

// The linker's --wrap=NAME sends the program's calls of NAME to __wrap_NAME, and __real_NAME to the
// C library's NAME.
extern "C" {
std::size_t __real_fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* stream);
int __real_vfprintf(std::FILE* stream, const char* format, std::va_list arguments);
int __real_fflush(std::FILE* stream);
int __real_fclose(std::FILE* stream);
int __real_stat(const char* path, struct stat* status);

std::size_t __wrap_fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* stream) {
    if (takeFault(callFaults.fwrite, stream)) return 0;
    return __real_fwrite(data, size, count, stream);
}

int __wrap_vfprintf(std::FILE* stream, const char* format, std::va_list arguments) {
    if (takeFault(callFaults.vfprintf, stream)) return -1;
    return __real_vfprintf(stream, format, arguments);
}

int __wrap_fflush(std::FILE* stream) {
    if (takeFault(callFaults.fflush, stream)) return EOF;
    return __real_fflush(stream);
}

int __wrap_fclose(std::FILE* stream) {
    if (!takeFault(callFaults.fclose, stream)) return __real_fclose(stream);
    const int error = errno;
    __real_fclose(stream);
    errno = error;
    return EOF;
}

int __wrap_stat(const char* path, struct stat* status) {
    const int result = __real_stat(path, status);
    if (callFaults.afterStat) {
        const std::function<void()> action = std::move(callFaults.afterStat);
        callFaults.afterStat = nullptr;
        const int error = errno;
        action();
        errno = error;
    }
    return result;
}
}
