#pragma once

#include <cassert>
#include <string>
#include <utility>

/// How everything in the game that can fail says so: one line naming the file (or the option) and the
/// problem, "sphere.iv: cannot read model: no such file or directory", handed up to the front end
/// that prints it; or nothing when all went well. It cannot be ignored: a call that returns one and
/// drops it does not compile cleanly.
class [[nodiscard]] Problem {
public:
    Problem() = default;  ///< all went well
    Problem(std::string line) : line_(std::move(line)) {}
    Problem(const char* line) : line_(line) {}

    /// True when something failed.
    explicit operator bool() const { return !line_.empty(); }
    /// The line saying what; "" when nothing failed.
    const std::string& line() const { return line_; }

private:
    std::string line_;
};

/// A value, or the Problem that stopped it being made.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    /// problem must have failed.
    Result(Problem problem) : problem_(std::move(problem)) { assert(problem_); }

    bool ok() const { return !problem_; }
    const Problem& problem() const { return problem_; }
    /// Only when ok().
    const T& value() const {
        assert(ok());
        return value_;
    }
    T& value() {
        assert(ok());
        return value_;
    }

private:
    T value_{};
    Problem problem_;
};
