#include "io/OutputFile.h"

#include "io/Platform.h"
#include "io/SystemError.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <filesystem>
#include <utility>

OutputFile::OutputFile(std::string path, std::string kind) : path_(std::move(path)), kind_(std::move(kind)) {}

OutputFile::~OutputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

std::string OutputFile::fail(int error) {
    // A failing call that left no errno still failed: say so with the generic input/output error.
    if (error_ == 0) error_ = error != 0 ? error : EIO;
    return message();
}

std::string OutputFile::open(Mode mode) {
    if (failed()) return message();
    // Replacing, a FIFO without a reader fails (ENXIO) instead of waiting for one.
    const int fd = openForWriting(path_.c_str(), mode != Mode::replace);
    if (fd < 0) {
        const int error = errno;
        if (error == ENXIO) reason_ = "is a FIFO with no reader";
        return fail(error);
    }
    if (mode == Mode::replace) waitOnDescriptor(fd);  // writes should wait as usual all the same
    const int lockError = mode == Mode::createNewLocked ? lockDescriptor(fd, true) : 0;
    if (lockError != 0) {
        ::close(fd);
        ::unlink(path_.c_str());
        return fail(lockError);
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ != nullptr) return "";
    const int error = errno;
    ::close(fd);
    return fail(error);
}

std::string OutputFile::write(const void* data, std::size_t size) {
    if (failed() || file_ == nullptr) return fail(EBADF);
    errno = 0;
    if (std::fwrite(data, 1, size, file_) != size || std::ferror(file_)) return fail(errno);
    return "";
}

std::string OutputFile::print(const char* format, ...) {
    if (failed() || file_ == nullptr) return fail(EBADF);
    std::va_list arguments;
    va_start(arguments, format);
    errno = 0;
    const int written = std::vfprintf(file_, format, arguments);
    va_end(arguments);
    if (written < 0 || std::ferror(file_)) return fail(errno);
    return "";
}

std::string OutputFile::flush() {
    if (failed() || file_ == nullptr) return fail(EBADF);
    errno = 0;
    return std::fflush(file_) == 0 ? "" : fail(errno);
}

std::string OutputFile::close() {
    if (file_ == nullptr) return failed() ? message() : fail(EBADF);
    errno = 0;
    if (std::fflush(file_) != 0 || std::ferror(file_)) fail(errno);
    std::FILE* file = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fclose(file) != 0) fail(errno);
    return failed() ? message() : "";
}

std::string OutputFile::message() const {
    return path_ + ": cannot write " + kind_ + ": " + reason();
}

std::string OutputFile::reason() const {
    if (!failed()) return "no error";
    return reason_.empty() ? systemReason(error_) : reason_;
}

bool heldByItsWriter(const std::string& path) {
    const int fd = openToLook(path.c_str());
    if (fd < 0) return false;
    const bool held = lockDescriptor(fd, false) == EWOULDBLOCK;
    ::close(fd);
    return held;
}

void reportFileSizeLimitAsAnError() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

std::string refuseInput(const std::string& output, const std::vector<std::string>& inputs) {
    namespace fs = std::filesystem;
    for (const std::string& input : inputs) {
        std::error_code error;
        if (output == input || fs::equivalent(output, input, error))
            return output + ": will not write there: it is " + input + ", which the game reads";
    }
    return "";
}
