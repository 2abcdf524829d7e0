#pragma once

/// Paces the game by the browser's frame clock: a fixed number of ticks per second on average,
/// handed out once per animation frame. Behind the clock it catches up, but never with more than
/// maxTicksPerFrame in one frame; beyond that (a hidden tab, a slow machine) it forgets the backlog,
/// so the game slows down instead of racing to catch up.
class FramePacer {
public:
    /// ticksPerSecond positive and finite; maxTicksPerFrame at least 1.
    FramePacer(double ticksPerSecond, int maxTicksPerFrame);

    /// The ticks due at now (seconds on any monotonic clock); they are taken as done. The first
    /// call starts the clock and gives one tick.
    int ticksDue(double now);

private:
    double ticksPerSecond_;
    int maxTicksPerFrame_;
    bool started_ = false;
    double start_ = 0.0;  ///< when tick 0 was due
    long long done_ = 0;  ///< ticks handed out since start_
};
