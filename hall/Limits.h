#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// How many games each client address may send in a minute; past it, the hall answers 429.
class RateLimit {
public:
    using Clock = std::chrono::steady_clock;
    explicit RateLimit(int perMinute) : perMinute_(perMinute) {}
    /// True when address may send one more game at now, which then counts against it.
    bool allow(const std::string& address, Clock::time_point now);

private:
    int perMinute_;
    std::map<std::string, std::deque<Clock::time_point>> sent_;  ///< each address's sends of the last minute
};

/// A fixed number of threads verifying games, with a bounded queue of games waiting for one: a
/// flood of games waits here or is turned away, and never slows the rest of the server.
class VerifyPool {
public:
    VerifyPool(unsigned threads, std::size_t queueLimit);
    ~VerifyPool();
    VerifyPool(const VerifyPool&) = delete;
    VerifyPool& operator=(const VerifyPool&) = delete;

    /// Queues job; false, and nothing queued, when the queue is full or the pool has stopped.
    bool post(std::function<void()> job);
    /// Drops the jobs still waiting, lets the running ones finish and joins the threads.
    void stop();

private:
    void work();

    std::size_t queueLimit_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool stopping_ = false;
};
