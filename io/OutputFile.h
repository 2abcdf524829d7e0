#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "io/Problem.h"

/// A file the program writes (a trace, a replay, a frame of a film) whose every failure is caught: each write
/// is checked, and so is the close, which is where a full disk often shows. Each operation returns ""
/// or message(), one line saying why; after the first failure nothing more is written, so a program
/// never reports success over a file that was cut short.
class OutputFile {
public:
    /// path: where to write; kind: what the file is, for the message ("trace", "replay", "frame").
    OutputFile(std::string path, std::string kind);
    /// Closes a file still open without checking: a program that cares has called close().
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    /// How open() treats what is already at the path.
    enum class Mode {
        replace,          ///< create the file or empty the one there (a trace)
        createNew,        ///< create it, never over an existing name, never through a link (a frame)
        createNewLocked,  ///< as createNew, and hold an advisory lock on it until the close (a recording)
    };
    /// Opens the file for writing. The open never waits: a FIFO with no reader is refused at once.
    [[nodiscard]] std::string open(Mode mode = Mode::replace);
    /// Writes size bytes; fails once anything has failed.
    [[nodiscard]] std::string write(const void* data, std::size_t size);
    [[nodiscard]] std::string write(const std::string& text) { return write(text.data(), text.size()); }
    /// Writes printf-formatted text; fails once anything has failed.
    [[nodiscard]] std::string print(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    /// Hands everything written so far to the system, so it survives the program being killed.
    [[nodiscard]] std::string flush();
    /// Flushes and closes the file; fails if that or anything before it failed.
    [[nodiscard]] std::string close();

    /// Whether a write, the open or the close has failed.
    bool failed() const { return error_ != 0; }
    /// The first failure, as message() says it; none while all is well.
    Problem error() const { return failed() ? Problem(message()) : Problem(); }
    /// Whether open() failed because something was at the path already (Mode::createNew and createNewLocked).
    bool nameTaken() const { return error_ == EEXIST; }
    /// Whether the file is open for writing.
    bool isOpen() const { return file_ != nullptr; }
    /// Why the first failure happened, without the file's name: "no space left on device".
    std::string reason() const;
    /// One line naming the file and the reason, e.g. "game.replay: cannot write replay: no space left on device".
    std::string message() const;
    const std::string& path() const { return path_; }

private:
    std::string fail(int error);

    std::string path_;
    std::string kind_;
    std::FILE* file_ = nullptr;
    int error_ = 0;  ///< errno of the first failure, 0 while all is well
    std::string reason_;  ///< the reason, when the system's text for error_ would mislead
};

/// Whether a file made with Mode::createNewLocked is still held by the program writing it; false where
/// the system has no advisory locks.
bool heldByItsWriter(const std::string& path);

/// Makes the program's writes report a file too large (EFBIG) instead of being killed by SIGXFSZ,
/// so a file-size limit is said in one line like a full disk. Called first thing by every program.
void reportFileSizeLimitAsAnError();

/// "" when output names none of inputs (by path, or by being the same file under another name), or one
/// line saying that writing it would overwrite that input.
[[nodiscard]] std::string refuseInput(const std::string& output, const std::vector<std::string>& inputs);
