#include "hall/Limits.h"

#include <sys/resource.h>

bool RateLimit::allow(const std::string& address, Clock::time_point now) {
    // Forget everything older than a minute, then every address whose list is empty: the map
    // holds only the addresses of the last minute, however many came.
    for (auto it = sent_.begin(); it != sent_.end();) {
        std::deque<Clock::time_point>& times = it->second;
        while (!times.empty() && now - times.front() >= std::chrono::minutes(1)) times.pop_front();
        it = times.empty() ? sent_.erase(it) : std::next(it);
    }
    std::deque<Clock::time_point>& times = sent_[address];
    if (int(times.size()) >= perMinute_) return false;
    times.push_back(now);
    return true;
}

VerifyPool::VerifyPool(unsigned threads, std::size_t queueLimit) : queueLimit_(queueLimit) {
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

VerifyPool::~VerifyPool() { stop(); }

bool VerifyPool::post(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || queue_.size() >= queueLimit_) return false;
        queue_.push_back(std::move(job));
    }
    ready_.notify_one();
    return true;
}

void VerifyPool::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    ready_.notify_all();
    for (std::thread& thread : threads_)
        if (thread.joinable()) thread.join();
}

void VerifyPool::work() {
    // Verifying yields to answering: on Linux a thread's niceness is its own. Where it cannot be
    // lowered the thread works on at the server's priority.
    setpriority(PRIO_PROCESS, 0, 10);
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        job();
    }
}
