// The pacing at the ends of its accepted rates, over long runs and across clock jumps.
#include "game/Pacing.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using Seconds = Pacing::Seconds;

// A pacing on a clock that moves only when the test moves it; sleeping does not move it.
class PacingLimitsTest : public testing::Test {
protected:
    Pacing pacingAt(double ticksPerSecond) {
        return Pacing(
            ticksPerSecond, [this] { return Seconds(now); }, [](Seconds) {});
    }

    double now = 100.0;  // any origin
};

}  // namespace

TEST_F(PacingLimitsTest, AnHourAtTheFastestRate) {
    const double rate = Pacing::maxTicksPerSecond;
    Pacing pacing = pacingAt(rate);
    ASSERT_EQ(pacing.plan().ticks, 1);

    // No machine steps a million ticks a second: with a millisecond per idle call the pacing is always
    // behind, and every call of the hour gets the catch-up bound, no more and no less.
    const long long calls = 3600 * 1000;
    long long wrong = 0;
    for (long long call = 1; call <= calls; ++call) {
        now = 100.0 + call * 0.001;
        if (pacing.plan().ticks != Pacing::defaultMaxTicksPerCall) ++wrong;
    }
    EXPECT_EQ(wrong, 0);

    // Then three seconds in which every call comes exactly one period later: one tick each, though the
    // schedule counts past restartScheduleAfter twice on the way.
    const double base = now;
    const long long onTime = 3 * 1000 * 1000;
    static_assert(3 * 1000 * 1000 > 2 * Pacing::restartScheduleAfter, "the run crosses two restarts");
    long long ticks = 0;
    int most = 0;
    for (long long call = 1; call <= onTime; ++call) {
        now = base + call / rate;
        const int due = pacing.plan().ticks;
        ticks += due;
        most = std::max(most, due);
    }
    EXPECT_EQ(ticks, onTime);
    EXPECT_LE(most, 2);  // a rounding may move one tick to the next call, never more
}

TEST_F(PacingLimitsTest, AnHourAtTheSlowestRate) {
    Pacing pacing = pacingAt(Pacing::minTicksPerSecond);
    long long ticks = 0;
    for (long long call = 0; call < 3600 * 1000; ++call) {
        now = 100.0 + call * 0.001;
        ticks += pacing.plan().ticks;
    }
    // Ticks are due at 0, 1, ..., 3599 seconds: 3600 in all, the last at the last call's 3599.999.
    EXPECT_EQ(ticks, 3600);
    const Pacing::Plan next = pacing.plan();
    EXPECT_EQ(next.ticks, 0);
    EXPECT_NEAR(next.wait.count(), 0.001, 1e-6);
}

TEST_F(PacingLimitsTest, AClockJumpOfAnyLengthCostsOneBoundedCatchUp) {
    // A machine suspended for a day, thirty years, or a clock that leaps thirty million years: the
    // ticks owed are far beyond any integer, and the game still gets one bounded catch-up and plays on.
    struct Case {
        double rate;
        double jump;  // seconds
    };
    for (const Case c : {Case{Pacing::maxTicksPerSecond, 86400.0}, Case{Pacing::maxTicksPerSecond, 1e9},
                         Case{Pacing::maxTicksPerSecond, 1e15}, Case{Pacing::minTicksPerSecond, 1e300},
                         Case{900.0, 1e20}}) {
        now = 100.0;
        Pacing pacing = pacingAt(c.rate);
        ASSERT_EQ(pacing.plan().ticks, 1);
        now += c.jump;
        EXPECT_EQ(pacing.plan().ticks, Pacing::defaultMaxTicksPerCall) << c.rate << " ticks/s, jump " << c.jump;
        EXPECT_EQ(pacing.plan().ticks, 0) << "the backlog is dropped";
        // A second later (where the clock can still tell seconds apart) the game is ticking again.
        now += 1.0;
        if (now != now - 1.0) {
            const int ticks = pacing.plan().ticks;
            EXPECT_EQ(ticks, c.rate >= Pacing::defaultMaxTicksPerCall ? Pacing::defaultMaxTicksPerCall : 1)
                << c.rate << " ticks/s, jump " << c.jump;
        }
    }
}
