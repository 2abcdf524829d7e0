#pragma once

#include <iostream>
#include <ostream>
#include <streambuf>
#include <string>

/// Points a standard stream at a string while in scope, to catch what the game writes to the console
/// (the game writes through std::cout and std::cerr only). The string has room for 64 kB reserved up
/// front, so catching a few lines allocates nothing and can sit inside an allocation count.
class Capture {
public:
    explicit Capture(std::ostream& stream) : stream_(stream) {
        buffer_.text.reserve(64 * 1024);
        saved_ = stream.rdbuf(&buffer_);
    }
    ~Capture() { stream_.rdbuf(saved_); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    /// Everything caught so far.
    const std::string& text() const { return buffer_.text; }
    /// Everything caught since the last take, which forgets it.
    std::string take() {
        std::string caught = buffer_.text;
        buffer_.text.clear();
        return caught;
    }

private:
    struct Buffer : std::streambuf {
        std::string text;
        int_type overflow(int_type c) override {
            if (!traits_type::eq_int_type(c, traits_type::eof())) text.push_back(traits_type::to_char_type(c));
            return traits_type::not_eof(c);
        }
        std::streamsize xsputn(const char* s, std::streamsize n) override {
            text.append(s, static_cast<std::size_t>(n));
            return n;
        }
    };

    std::ostream& stream_;
    Buffer buffer_;
    std::streambuf* saved_ = nullptr;
};

/// Catches both console streams while in scope: the game's progress and spin lines on standard
/// output, its problems on standard error.
struct Console {
    Capture out{std::cout};
    Capture err{std::cerr};
};
