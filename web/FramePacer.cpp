#include "web/FramePacer.h"

#include <cmath>

namespace {

constexpr double dueTolerance = 1e-6;  // of a tick period, so a frame right on time finds its tick

}  // namespace

FramePacer::FramePacer(double ticksPerSecond, int maxTicksPerFrame)
    : ticksPerSecond_(ticksPerSecond), maxTicksPerFrame_(maxTicksPerFrame) {}

int FramePacer::ticksDue(double now) {
    if (!started_) {
        started_ = true;
        start_ = now;
    }
    // Tick k is due at start_ + k / rate: counting from one start keeps the average rate exact.
    const long long owed = static_cast<long long>(std::floor((now - start_) * ticksPerSecond_ + dueTolerance)) + 1;
    if (owed <= done_) return 0;
    const long long due = owed - done_;
    if (due <= maxTicksPerFrame_) {
        done_ = owed;
        return static_cast<int>(due);
    }
    // Too far behind: one frame's worth now, and the schedule starts again from here.
    done_ += maxTicksPerFrame_;
    start_ = now - (done_ - 1) / ticksPerSecond_;
    return maxTicksPerFrame_;
}
