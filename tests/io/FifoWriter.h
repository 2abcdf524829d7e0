#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

/// Milliseconds since start, for time checks whose failure should say how long the wait was.
inline long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

/// Plays the writer of a FIFO for a reader stuck waiting for one, but only after holding back two
/// seconds: a reader that blocks then fails the test's time check instead of hanging the suite.
/// Nothing is written; the reader sees an empty stream. A test that passes ends the hold-back
/// early and pays nothing for it.
class FifoWriter {
public:
    static constexpr std::chrono::seconds holdBack{2};

    explicit FifoWriter(std::string path) : path_(std::move(path)), thread_([this] { releaseReaders(); }) {}
    ~FifoWriter() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

private:
    void releaseReaders() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, holdBack, [this] { return done_; })) return;
        // From then on every reader that waits is let go within a few milliseconds, until the test ends.
        while (!wake_.wait_for(lock, std::chrono::milliseconds(5), [this] { return done_; })) {
            const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);  // fails while no one reads
            if (fd >= 0) ::close(fd);
        }
    }

    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;  // last: it uses the members above
};
