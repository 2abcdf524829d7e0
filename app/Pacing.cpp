#include "app/Pacing.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <utility>

#include "app/Game.h"

namespace {

constexpr double dueTolerance = 1e-6;  // of a tick period

Pacing::Seconds steadyNow() {
    return std::chrono::duration_cast<Pacing::Seconds>(std::chrono::steady_clock::now().time_since_epoch());
}

void sleepFor(Pacing::Seconds time) { std::this_thread::sleep_for(time); }

}  // namespace

Pacing::Pacing(double ticksPerSecond, Clock clock, Sleep sleep)
    : ticksPerSecond_(ticksPerSecond), clock_(std::move(clock)), sleep_(std::move(sleep)) {}

Pacing::Pacing(double ticksPerSecond) : Pacing(ticksPerSecond, steadyNow, sleepFor) {}

Pacing::Plan Pacing::plan() {
    const Seconds now = clock_();
    if (!started_) {
        started_ = true;
        start_ = now;
    }
    // Tick k is due at start_ + k / rate, tick 0 at once. Counting from one fixed start rather than
    // adding up periods keeps the average rate exact however long the game runs.
    // The hair of tolerance lets a sleep that ends right on time, give or take a rounding, find its
    // tick due instead of sleeping once more for nothing.
    const double elapsedTicks = (now - start_).count() * ticksPerSecond_;
    const long long owed = static_cast<long long>(std::floor(elapsedTicks + dueTolerance)) + 1;
    Plan plan;
    if (owed > ticksDone_) {
        const long long due = owed - ticksDone_;
        if (due > maxTicksPerCall) {
            // Too far behind to catch up: do what one call may, and start the schedule afresh from
            // now, so the backlog is dropped rather than chased.
            plan.ticks = maxTicksPerCall;
            ticksDone_ += maxTicksPerCall;
            start_ = now - Seconds((ticksDone_ - 1) / ticksPerSecond_);
        } else {
            plan.ticks = static_cast<int>(due);
            ticksDone_ = owed;
        }
        return plan;
    }
    const Seconds nextDue = start_ + Seconds(ticksDone_ / ticksPerSecond_);
    plan.wait = std::max(nextDue - now, Seconds(0.0));
    return plan;
}

Pacing::Outcome Pacing::idle(Game& game) {
    Outcome outcome;
    const Plan due = plan();
    if (due.ticks == 0) {
        const Seconds wait = std::min(due.wait, maxSleep);
        if (wait > Seconds(0.0)) sleep_(wait);
        return outcome;
    }
    for (int i = 0; i < due.ticks; ++i) {
        Game::IdleResult result = game.idle();
        if (result.rebuilt) {
            // Building the World is not a step: the tick it was due in is still owed.
            outcome.rebuilt = true;
            result = game.idle();
        }
        if (result.stepped) ++outcome.ticks;
        if (result.redisplay) outcome.redisplay = true;
    }
    return outcome;
}
