#pragma once

#include <ostream>
#include <sstream>
#include <string>

/// Points a stream at a string buffer while in scope, to catch what the game writes to the console.
class Capture {
public:
    explicit Capture(std::ostream& stream) : stream_(stream), saved_(stream.rdbuf(text_.rdbuf())) {}
    ~Capture() { stream_.rdbuf(saved_); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    std::string text() const { return text_.str(); }

private:
    std::ostream& stream_;
    std::ostringstream text_;
    std::streambuf* saved_;
};
