#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

/// A file the game writes, checked on every write and when it is closed, so a full disk or a
/// vanished folder is reported in one line instead of leaving a short file behind. Each write is
/// flushed at once: a game killed outright leaves everything written so far.
class OutputFile {
public:
    /// what names the file's contents in messages: "replay", "frame".
    explicit OutputFile(std::string what) : what_(std::move(what)) {}
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    /// Creates or empties fileName, unless it is one of inputs. Returns "" or one line naming the file.
    std::string open(const std::string& fileName, const std::vector<std::string>& inputs = {});
    /// Writes text and flushes it. Returns "" or one line naming the file.
    std::string write(const void* data, std::size_t size);
    std::string write(const std::string& text) { return write(text.data(), text.size()); }
    /// Closes the file. Returns "" or one line naming the file (a write that failed only now).
    std::string close();

    bool isOpen() const { return file_ != nullptr; }
    const std::string& fileName() const { return fileName_; }

private:
    std::string failure(int error) const;

    std::string what_;
    std::string fileName_;
    std::FILE* file_ = nullptr;
};

/// Returns "" when output names none of inputs (by path or by being the same file), or one line saying
/// that writing it would overwrite that input.
std::string refuseInput(const std::string& output, const std::vector<std::string>& inputs);
