#include "game/Pacing.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <utility>

namespace {

constexpr double dueTolerance = 1e-6;  // of a tick period

Pacing::Seconds steadyNow() {
    return std::chrono::duration_cast<Pacing::Seconds>(std::chrono::steady_clock::now().time_since_epoch());
}

void sleepFor(Pacing::Seconds time) { std::this_thread::sleep_for(time); }

}  // namespace

Pacing::Pacing(double ticksPerSecond, Clock clock, Sleep sleep, int maxTicksPerCall, Seconds workBudget)
    : ticksPerSecond_(ticksPerSecond),
      maxTicksPerCall_(maxTicksPerCall),
      workBudget_(workBudget),
      clock_(std::move(clock)),
      sleep_(std::move(sleep)) {}

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
    // The count owed stays a double until it is known to be a few ticks: after a clock jump of years
    // it may be far beyond any integer type.
    const double elapsedTicks = (now - start_).count() * ticksPerSecond_;
    const double owed = std::floor(elapsedTicks + dueTolerance) + 1.0;
    const double done = static_cast<double>(ticksDone_);
    Plan plan;
    if (owed > done) {
        if (owed - done > maxTicksPerCall_) {
            // Too far behind to catch up: do what one call may, and start the schedule afresh so that
            // the last of these ticks is due now: the backlog is dropped rather than chased.
            plan.ticks = maxTicksPerCall_;
            ticksDone_ = maxTicksPerCall_;
            start_ = now - Seconds((maxTicksPerCall_ - 1) / ticksPerSecond_);
        } else {
            plan.ticks = static_cast<int>(owed - done);
            ticksDone_ += plan.ticks;
        }
        if (ticksDone_ >= restartScheduleAfter) {
            // Move tick 0 of the schedule up to the next tick, so the count stays small for ever.
            start_ += Seconds(static_cast<double>(ticksDone_) / ticksPerSecond_);
            ticksDone_ = 0;
        }
        return plan;
    }
    const Seconds nextDue = start_ + Seconds(done / ticksPerSecond_);
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
    const bool budgeted = workBudget_ > Seconds(0.0);
    const Seconds begun = budgeted ? clock_() : Seconds(0.0);
    for (int i = 0; i < due.ticks; ++i) {
        const Game::IdleResult result = playTick(game);
        if (result.rebuilt) outcome.rebuilt = true;
        if (result.stepped) ++outcome.ticks;
        if (result.redisplay) outcome.redisplay = true;
        // Rebuilds cost far more than steps: a replay of nothing but 'n' must not buy a call many
        // budgets of work. The ticks not played are owed again, and the catch-up bound still holds.
        if (budgeted && i + 1 < due.ticks && clock_() - begun > workBudget_) {
            ticksDone_ -= due.ticks - (i + 1);
            break;
        }
    }
    return outcome;
}

Game::IdleResult playTick(Game& game) {
    Game::IdleResult result = game.idle();
    if (!result.rebuilt) return result;
    // Building the World is not a step: the tick it was due in is still owed.
    result = game.idle();
    result.rebuilt = true;
    return result;
}
