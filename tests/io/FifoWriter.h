#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

/// Plays the writer of a FIFO for a few seconds, should anyone open it for reading, then lets go:
/// a test of code that must not wait for a writer then fails on the time taken instead of hanging.
/// Nothing is written; the reader sees an empty stream.
class FifoWriter {
public:
    explicit FifoWriter(std::string path)
        : path_(std::move(path)), thread_([this] {
              const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
              while (!done_ && std::chrono::steady_clock::now() < giveUp) {
                  const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);  // fails while no one reads
                  if (fd >= 0) {
                      ::close(fd);
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
          }) {}
    ~FifoWriter() {
        done_ = true;
        thread_.join();
    }
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

private:
    std::string path_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};
