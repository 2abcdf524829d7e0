#pragma once

#include <chrono>
#include <functional>

#include "game/Game.h"

/// Wall-clock pacing of the game loop, for the desktop game's idle calls and the page's animation
/// frames: a fixed number of ticks per second on average, each tick still one fixed step through
/// Game::idle. Behind the clock it catches up with several ticks in one call, but never more than its
/// catch-up bound, and then forgets the rest of the backlog: a slow machine (or a hidden tab) plays
/// slower instead of spiralling. Ahead of the clock it waits briefly instead of ticking. Given a work
/// budget, one call also stops ticking once its ticks (and the rebuilds among them) have taken that
/// long, and owes the rest to the next call: however much one tick costs, a call costs about a budget.
/// The clock and the sleep are handed in, so the pacing can be tested without time passing.
class Pacing {
public:
    using Seconds = std::chrono::duration<double>;
    /// Monotonic time since any fixed origin.
    using Clock = std::function<Seconds()>;
    /// Blocks for about the given time.
    using Sleep = std::function<void(Seconds)>;

    /// What the pacing asks of one idle call.
    struct Plan {
        int ticks = 0;        ///< ticks due now, 0 to maxTicksPerCall()
        Seconds wait{0.0};    ///< with no tick due: how long until the next one is
    };

    /// What one paced idle call did.
    struct Outcome {
        int ticks = 0;           ///< step ticks done
        bool redisplay = false;  ///< one of them fell on the 15-tick redraw rhythm
        bool rebuilt = false;    ///< a restart rebuilt the World on the way
    };

    static constexpr int defaultMaxTicksPerCall = 8;        ///< the desktop game's catch-up bound of one idle call
    static constexpr Seconds maxSleep{0.001};               ///< longest wait in one idle call, so events stay prompt
    static constexpr double minTicksPerSecond = 1.0;        ///< slowest rate the game accepts
    static constexpr double maxTicksPerSecond = 1000000.0;  ///< fastest rate: over three times what a fast machine steps
    /// Ticks after which the schedule counts again from 0, so no count grows without bound.
    static constexpr long long restartScheduleAfter = 1LL << 20;

    /// Paces at ticksPerSecond (from minTicksPerSecond to maxTicksPerSecond) with the given clock and
    /// sleep, catching up at most maxTicksPerCall ticks (at least 1) in one call, and ticking for at most
    /// about workBudget in one call (0: no bound but the count).
    Pacing(double ticksPerSecond, Clock clock, Sleep sleep, int maxTicksPerCall = defaultMaxTicksPerCall,
           Seconds workBudget = Seconds(0.0));
    /// Paces with the steady clock and a real sleep.
    explicit Pacing(double ticksPerSecond);

    /// Reads the clock: how many ticks are due now, or how long until the next one. The ticks
    /// returned are taken as done.
    Plan plan();

    /// One paced idle call of the game: runs the ticks due, each as one Game::idle that steps (a call
    /// that rebuilds the World after a restart is made on top and is no tick), or sleeps a little when
    /// none is due. Past the work budget it stops after the tick in hand; the ticks left are due again.
    Outcome idle(Game& game);

    /// The rate this pacing keeps, in ticks per wall-clock second.
    double ticksPerSecond() const { return ticksPerSecond_; }
    /// The most ticks one call catches up.
    int maxTicksPerCall() const { return maxTicksPerCall_; }

private:
    double ticksPerSecond_;
    int maxTicksPerCall_;
    Seconds workBudget_;
    Clock clock_;
    Sleep sleep_;
    bool started_ = false;
    Seconds start_{0.0};       ///< when tick 0 was due
    long long ticksDone_ = 0;  ///< ticks handed out since start_, below restartScheduleAfter
};

/// One tick of the game: an idle call that steps. The idle call that rebuilds the World after a
/// restart is made on top and is no tick; the result then says rebuilt as well.
Game::IdleResult playTick(Game& game);
