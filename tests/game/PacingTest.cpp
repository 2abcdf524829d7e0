#include "game/Pacing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/Game.h"
#include "obstacles/TexturedPanel.h"
#include "support/Capture.h"

namespace {

using Seconds = Pacing::Seconds;

// A link of nothing but 'n': every idle call rebuilds the World, each rebuild 5 ms on the test's
// clock (2.5 ms for each of the table's two pictures).
double* rebuildClock = nullptr;
void slowPicture(TexturedPanel&, const char*) { *rebuildClock += 0.0025; }

struct EveryIdleRebuilds : GameObserver {
    int rebuilds = 0;
    bool beforeIdle(Game& game, long long) override {
        game.pressKey('n');
        return true;
    }
    void afterIdle(Game&, long long, const Game::IdleResult& result) override { rebuilds += result.rebuilt; }
    bool keyReached(Game&, unsigned char) override { return true; }
};

// A pacing on a clock that moves only when the test moves it or the pacing sleeps.
class PacingTest : public testing::Test {
protected:
    Pacing pacingAt(double ticksPerSecond, int maxTicksPerCall = Pacing::defaultMaxTicksPerCall) {
        return Pacing(
            ticksPerSecond, [this] { return Seconds(now); },
            [this](Seconds time) {
                sleeps.push_back(time.count());
                now += time.count();
            },
            maxTicksPerCall);
    }
    // The ticks a plan hands out with the clock at t.
    int ticksAt(Pacing& pacing, double t) {
        now = t;
        return pacing.plan().ticks;
    }

    // A game of the shipped ball with its first World built.
    void buildGame() {
        game.modelFileName = modelPath.c_str();
        game.restartRequested = true;
        game.idle();
    }

    Console console;
    double now = 100.0;  // any origin
    std::vector<double> sleeps;
    const std::string modelPath = std::string(FLIPPER_ASSETS) + "/sphere.iv";
    Game game;
};

}  // namespace

TEST_F(PacingTest, KeepsTheRateOverASecondWhateverTheIdleRate) {
    // Idle calls that cost nothing, a tenth of a millisecond or three milliseconds of work each: the
    // pacing sleeps through the gaps or catches up several ticks a call.
    for (double rate : {900.0, 60.0, 2000.0}) {
        for (double work : {0.0, 0.0001, 0.003}) {
            Pacing pacing = pacingAt(rate);
            const double end = now + 1.0;
            long ticks = 0;
            while (now < end) {
                const Pacing::Plan plan = pacing.plan();
                ticks += plan.ticks;
                now += plan.ticks == 0 ? std::min(plan.wait, Pacing::maxSleep).count() : work;
            }
            EXPECT_NEAR(double(ticks), rate, 1.0) << rate << " ticks/s, " << work << " s a call";
        }
    }
}

TEST_F(PacingTest, NineHundredStepsOfTheGameInASimulatedSecond) {
    buildGame();
    Pacing pacing = pacingAt(900.0);
    const double end = now + 1.0;
    int calls = 0;
    while (now < end) {
        pacing.idle(game);
        now += 0.0001;  // what one idle call costs besides its sleep
        ++calls;
    }
    EXPECT_NEAR(game.tickCount, 900, 1);
    // Between ticks the pacing slept, never longer than a millisecond at once.
    EXPECT_FALSE(sleeps.empty());
    for (double s : sleeps) EXPECT_LE(s, Pacing::maxSleep.count());
    EXPECT_LT(calls, 3000);
}

TEST_F(PacingTest, FarBehindCatchesUpBoundedlyThenForgetsTheBacklog) {
    Pacing pacing = pacingAt(900.0);
    EXPECT_EQ(pacing.plan().ticks, 1);  // tick 0 is due at once
    now += 10.0;                        // a stall: 9000 ticks late
    for (int call = 0; call < 3; ++call) {
        const int ticks = pacing.plan().ticks;
        EXPECT_EQ(ticks, call == 0 ? 8 : 0) << "call " << call << ": the backlog is dropped, not chased";
    }
    now += 1.5 / 900.0;
    EXPECT_EQ(pacing.plan().ticks, 1);
}

TEST_F(PacingTest, AheadOfTheClockWaitsInsteadOfTicking) {
    buildGame();
    Pacing pacing = pacingAt(100.0);
    EXPECT_EQ(pacing.idle(game).ticks, 1);
    const double tickAt = now;

    const Pacing::Plan plan = pacing.plan();
    EXPECT_EQ(plan.ticks, 0);
    EXPECT_NEAR(plan.wait.count(), 0.01, 1e-9);

    // The game's idle sleeps a millisecond at most, so events stay prompt.
    const Pacing::Outcome outcome = pacing.idle(game);
    EXPECT_EQ(outcome.ticks, 0);
    EXPECT_FALSE(outcome.redisplay);
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_DOUBLE_EQ(sleeps[0], 0.001);
    EXPECT_EQ(game.tickCount, 1);

    // Close to the next tick it sleeps just until it is due.
    now = tickAt + 0.0098;
    pacing.idle(game);
    ASSERT_EQ(sleeps.size(), 2u);
    EXPECT_NEAR(sleeps[1], 0.0002, 1e-9);
    EXPECT_EQ(pacing.idle(game).ticks, 1);
    EXPECT_EQ(game.tickCount, 2);
}

TEST_F(PacingTest, RebuildIsACallButNotATick) {
    buildGame();
    Pacing pacing = pacingAt(900.0);
    game.keyboard('n');
    const Pacing::Outcome first = pacing.idle(game);
    EXPECT_TRUE(first.rebuilt);
    EXPECT_EQ(first.ticks, 1);
    EXPECT_EQ(game.tickCount, 1);  // the tick still stepped the new World
    EXPECT_TRUE(first.redisplay);

    // Ticks 13, 14, 15: the last is on the rhythm.
    game.tickCount = 13;
    now += 3.5 / 900.0;
    const Pacing::Outcome second = pacing.idle(game);
    EXPECT_EQ(second.ticks, 3);
    EXPECT_TRUE(second.redisplay);
    EXPECT_FALSE(second.rebuilt);
    EXPECT_EQ(game.tickCount, 16);
}

// The page's pacing: 900 ticks a second handed out once per animation frame, at most 90 in one.
TEST_F(PacingTest, HandsOutTheTicksDueAtEachFrame) {
    Pacing pacing = pacingAt(900.0, 90);
    EXPECT_EQ(ticksAt(pacing, 10.0), 1);                // tick 0, at once
    EXPECT_EQ(ticksAt(pacing, 10.0), 0);                // the same moment again
    EXPECT_EQ(ticksAt(pacing, 10.0 + 1.0 / 60.0), 15);  // ticks 1 to 15 in a 60 Hz frame
    EXPECT_EQ(ticksAt(pacing, 10.0 + 1.5 / 60.0), 7);   // ticks 16 to 22 (22.5 ticks in)
    EXPECT_EQ(ticksAt(pacing, 10.0 + 1.4 / 60.0), 0);   // a clock going back owes nothing
}

TEST_F(PacingTest, KeepsTheAverageRateOverAMinuteOfFrames) {
    Pacing pacing = pacingAt(900.0, 90);
    long long ticks = 0;
    for (int frame = 0; frame <= 3600; ++frame) ticks += ticksAt(pacing, 5.0 + frame / 60.0);
    EXPECT_EQ(ticks, 54001);  // tick 0 plus 900 a second for 60 s
}

TEST_F(PacingTest, DropsABacklogBeyondOneFramesCatchUp) {
    Pacing pacing = pacingAt(900.0, 90);
    EXPECT_EQ(ticksAt(pacing, 0.0), 1);
    // Half a second without a frame (a hidden tab): 450 ticks owed, 90 given, the rest forgotten.
    EXPECT_EQ(ticksAt(pacing, 0.5), 90);
    EXPECT_EQ(ticksAt(pacing, 0.5), 0);
    EXPECT_EQ(ticksAt(pacing, 0.5 + 1.0 / 900.0), 1);
    EXPECT_EQ(ticksAt(pacing, 0.5 + 1.0 / 60.0), 14);  // 15 ticks a frame again
}

TEST_F(PacingTest, RebuildsCountAgainstTheWorkBudgetAndTheTicksLeftAreOwed) {
    rebuildClock = &now;
    game.modelFileName = modelPath.c_str();
    game.textureLoader = slowPicture;
    EveryIdleRebuilds link;
    game.observer = &link;
    Pacing pacing(900.0, [this] { return Seconds(now); }, [](Seconds) {}, 90, Seconds(0.016));
    pacing.idle(game);  // tick 0: two rebuilds, 10 ms
    EXPECT_EQ(link.rebuilds, 2);

    // A tenth of a second later 90 ticks are due, 180 rebuilds: the call stops after the tick that
    // passes 16 ms.
    now += 0.1;
    const double begun = now;
    pacing.idle(game);
    EXPECT_EQ(link.rebuilds, 2 + 4);
    EXPECT_NEAR(now - begun, 0.020, 1e-9);

    // The 88 not played are owed: with the link gone the next call catches up its whole 90.
    game.observer = nullptr;
    EXPECT_EQ(pacing.idle(game).ticks, 90);
}
