#include "game/Game.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "game/GameOver.h"
#include "support/Capture.h"
#include "support/Vectors.h"
#include "support/Worlds.h"

namespace {

// A game reading the shipped ball, with the console lines kept out of the test output.
class GameTest : public testing::Test {
protected:
    void SetUp() override {
        game.modelFileName = modelPath.c_str();
        game.restartRequested = true;
    }

    Console console;
    const std::string modelPath = std::string(FLIPPER_ASSETS) + "/sphere.iv";
    Game game;
};

}  // namespace

TEST_F(GameTest, FirstIdleBuildsAndNeitherStepsNorCounts) {
    const Game::IdleResult first = game.idle();
    EXPECT_TRUE(first.rebuilt);
    EXPECT_FALSE(first.stepped);
    EXPECT_FALSE(first.redisplay);
    ASSERT_NE(game.currentWorld, nullptr);
    EXPECT_EQ(game.tickCount, 0);
    EXPECT_TRUE(game.loadError.empty());

    const Game::IdleResult second = game.idle();
    EXPECT_TRUE(second.stepped);
    EXPECT_TRUE(second.redisplay);  // tick 0 before the increment
    EXPECT_EQ(game.tickCount, 1);
}

TEST_F(GameTest, RedisplayEveryFifteenthTickAcrossRestarts) {
    game.idle();
    std::string pattern;
    for (int i = 0; i < 40; ++i) {
        if (i == 20) game.keyboard('n');
        const Game::IdleResult r = game.idle();
        pattern += r.rebuilt ? 'R' : r.redisplay ? '*' : '.';
    }
    // Steps 1, 16 and 31 redraw; the rebuild after step 20 does not count.
    EXPECT_EQ(pattern, "*..............*....R..........*........");
    EXPECT_EQ(game.tickCount, 39);
}

TEST_F(GameTest, SeveralRestartPressesCauseOneRebuild) {
    game.idle();
    game.keyboard('n');
    game.keyboard('n');
    game.keyboard('n');
    EXPECT_TRUE(game.idle().rebuilt);
    EXPECT_TRUE(game.idle().stepped);
}

TEST_F(GameTest, RestartStartsAFreshGame) {
    game.idle();
    std::vector<Vector> start;
    for (const Mass& m : game.currentWorld->masses) start.push_back(m.position);
    // The shipped ball is centred on the origin, and starts moved to (-2, 3, 2).
    EXPECT_VEC_NEAR(start[0], -2, 3, 2, 1e-6);

    for (int i = 0; i < 300; ++i) game.idle();
    game.keyboard('f');
    game.idle();
    game.currentWorld->score = 7;
    ASSERT_GT(std::fabs(game.currentWorld->masses[0].position[1] - 3.0f), 0.5f) << "the ball should have fallen";
    console.out.take();

    game.keyboard('n');
    EXPECT_TRUE(game.idle().rebuilt);
    EXPECT_EQ(console.out.text(), "Read in \n");  // the ball was read from its file again
    const World& world = *game.currentWorld;
    EXPECT_EQ(world.score, 0);
    EXPECT_EQ(world.leftFlipper.swingActive, 0);
    EXPECT_EQ(world.leftFlipper.swingAngle, 0.0f);
    ASSERT_EQ(world.masses.size(), start.size());
    for (std::size_t i = 0; i < start.size(); ++i)
        EXPECT_TRUE(sameBits(world.masses[i].position, start[i])) << "mass " << i << " is not at its start";
    for (const Mass& m : world.masses) EXPECT_VEC_EQ(m.velocity, 0, 0, 0);
    EXPECT_EQ(game.tickCount, 301);
}

TEST_F(GameTest, KeysAreCaseSensitiveAndOthersIgnored) {
    game.keyboard('f');  // no World yet: nothing to swing, nothing breaks
    game.keyboard('j');
    game.idle();
    for (int key : {int('F'), int('J'), int('N'), int('x'), int(' '), 0, 200}) game.keyboard(static_cast<unsigned char>(key));
    EXPECT_FALSE(game.restartRequested);
    EXPECT_EQ(game.currentWorld->leftFlipper.swingActive, 0);
    EXPECT_EQ(game.currentWorld->rightFlipper.swingActive, 0);
    game.keyboard('f');
    EXPECT_NE(game.currentWorld->leftFlipper.swingActive, 0);
    EXPECT_EQ(game.currentWorld->rightFlipper.swingActive, 0);
    game.keyboard('j');
    EXPECT_NE(game.currentWorld->rightFlipper.swingActive, 0);
}

TEST_F(GameTest, IdleBeforeAnyWorldDoesNothing) {
    game.restartRequested = false;
    const Game::IdleResult r = game.idle();
    EXPECT_FALSE(r.stepped);
    EXPECT_EQ(game.tickCount, 0);
}

TEST_F(GameTest, MissingModelIsReportedAndRetriedOnRestart) {
    game.modelFileName = "no-such-model.iv";
    game.idle();
    ASSERT_NE(game.currentWorld, nullptr);
    EXPECT_FALSE(game.currentWorld->hasBall());
    EXPECT_EQ(game.currentWorld->obstacles.size(), 15u);
    EXPECT_EQ(game.loadError, "no-such-model.iv: cannot read model: no such file or directory");
    EXPECT_TRUE(game.idle().stepped);  // the ball-less World ticks along harmlessly
    game.keyboard('f');

    game.modelFileName = modelPath.c_str();
    game.keyboard('n');
    game.idle();
    EXPECT_TRUE(game.currentWorld->hasBall());
    EXPECT_TRUE(game.loadError.empty());
}

TEST_F(GameTest, TickCountWrapsWithoutBreakingTheRhythm) {
    game.idle();
    game.tickCount = INT_MAX - 1;
    EXPECT_FALSE(game.idle().redisplay);  // INT_MAX - 1 = 6 (mod 15)
    EXPECT_EQ(game.tickCount, INT_MAX);
    EXPECT_FALSE(game.idle().redisplay);  // 7 (mod 15)
    EXPECT_EQ(game.tickCount % 15, 8);    // 2^31 is 8 (mod 15)
    EXPECT_GT(game.tickCount, 0);
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(game.idle().redisplay);
    EXPECT_TRUE(game.idle().redisplay);   // 2^31 + 7 = 0 (mod 15)
}

// The table's bottom is the lowest bumpers' (centre y -0.2, radius 1.5). A ball is lost only when it
// falls and all of it is below that bottom by its own diameter; a rising, a NaN or no ball is not.
TEST(GameOverTest, OnlyAFallingBallFarBelowTheTableIsLost) {
    const std::unique_ptr<World> world = shippedWorld();
    const double bottom = double(-0.2f) - 1.5;
    EXPECT_EQ(tableBottom(*world), bottom);
    EXPECT_FALSE(ballIsLost(*world, bottom));

    const double top = double(world->masses[0].position[1]) + double(world->boxMax[1]);
    const double line = bottom - 2.0 * world->boundingRadius;  // the highest mass must fall below this
    for (const double past : {0.05, -0.05}) {
        const std::unique_ptr<World> moved = shippedWorld();
        moved->translate(vec(0, float(line - top - past), 0));
        for (Mass& mass : moved->masses) mass.velocity[1] = -1.0f;
        EXPECT_EQ(ballIsLost(*moved, bottom), past > 0) << past;
        moved->masses[0].velocity[1] = 1.0f;
        EXPECT_FALSE(ballIsLost(*moved, bottom)) << "rising, " << past;
        moved->masses[0].velocity[1] = std::nanf("");
        EXPECT_FALSE(ballIsLost(*moved, bottom)) << "NaN, " << past;
    }
    EXPECT_FALSE(ballIsLost(*worldFromText(""), bottom));
}

// Left alone, the ball rolls off the open end at about tick 3,190 and falls: the game ends once, a
// little later, with the score it had; it steps on unchanged, and a new game starts unended.
TEST_F(GameTest, AGameEndsOnceWhenItsBallIsLostAndANewGameIsUnended) {
    int endedAt = -1;
    for (int idle = 0; idle < 5000 && endedAt < 0; ++idle) {
        const World* world = game.currentWorld.get();
        const bool lostBefore = world != nullptr && ballIsLost(*world, tableBottom(*world));
        game.idle();
        EXPECT_FALSE(lostBefore) << "lost before the game said so, at tick " << game.tickCount;
        endedAt = game.endedAtTick;
    }
    ASSERT_GT(endedAt, 3190);
    EXPECT_LT(endedAt, 3800);
    EXPECT_EQ(game.tickCount, endedAt);
    EXPECT_EQ(game.endScore, game.currentWorld->score);
    for (int tick = 0; tick < 100; ++tick) game.idle();
    EXPECT_EQ(game.endedAtTick, endedAt);
    game.keyboard('n');
    game.idle();
    EXPECT_EQ(game.endedAtTick, -1);
    EXPECT_EQ(game.endScore, 0);
}
