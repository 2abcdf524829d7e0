#include "replay/ReplayPlayer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/StateHash.h"
#include "support/Capture.h"
#include "support/Files.h"

namespace {

namespace fs = std::filesystem;

const std::string modelPath = std::string(FLIPPER_ASSETS) + "/sphere.iv";

// The recorded game of these tests: keys before idle calls 0, 40, 1500 ('n') and 2300, 2500 idle calls.
// Its checkpoints and end come from the same game played without any replay.
struct Recording {
    std::uint64_t check1000 = 0, check2001 = 0, endHash = 0;
    int score = 0;

    Recording() {
        Game game;
        game.modelFileName = modelPath.c_str();
        game.restartRequested = true;
        for (long long idle = 0; idle < 2500; ++idle) {
            if (idle == 0) game.pressKey('x');
            if (idle == 40) game.pressKey('f');
            if (idle == 1500) game.pressKey('n');
            if (idle == 2300) game.pressKey('j');
            game.idle();
            if (idle == 1000) check1000 = stateHash(*game.currentWorld);
            if (idle == 2001) check2001 = stateHash(*game.currentWorld);
        }
        endHash = stateHash(*game.currentWorld);
        score = game.currentWorld->score;
    }

    // The file, with the 'n' before idle call nAt and the end line given.
    std::string text(long long nAt, bool withEnd, int endScore) const {
        std::string file = "flipper-replay 1\nmodel 0000000000000001\nkey 0 x\nkey 40 f\n" +
                           checkLine(1000, check1000) + keyLine(nAt, 'n') + checkLine(2001, check2001) +
                           keyLine(2300, 'j');
        if (withEnd) file += endLine({2500, 2498, endScore, endHash});
        return file;
    }
};

const Recording& recording() {
    static const Recording r;
    return r;
}

class ReplayPlayerTest : public testing::Test {
protected:
    void SetUp() override {
        game.modelFileName = modelPath.c_str();
        game.restartRequested = true;
    }

    Console console;

    // Plays text as flipper-sim does: until the replay is over or has diverged.
    ReplayPlayer& play(const std::string& text) {
        std::istringstream in(text);
        const Result<Replay> replay = readReplay(in, "test.replay");
        EXPECT_TRUE(replay.ok()) << replay.problem().line();
        player = std::make_unique<ReplayPlayer>(replay.ok() ? replay.value() : Replay{});
        game.observer = player.get();
        while (!player->over(game) && !player->diverged()) game.idle();
        return *player;
    }

    Game game;
    std::unique_ptr<ReplayPlayer> player;
};

}  // namespace

TEST_F(ReplayPlayerTest, RecordedGameVerifies) {
    const Recording& r = recording();
    ReplayPlayer& p = play(r.text(1500, true, r.score));
    EXPECT_TRUE(p.verified());
    EXPECT_EQ(p.verdict(),
              "replay verified: ticks 2498 score " + std::to_string(r.score) + " hash " + hexHash(r.endHash));
    EXPECT_EQ(game.idleCount, 2500);
}

TEST_F(ReplayPlayerTest, KeyOneIdleLateDivergesAtTheNextCheckpoint) {
    // The restart one idle call later: after idle 1500 the recorded game has a fresh ball, this one has
    // stepped the old one; the first checkpoint after that is idle 2001.
    const Recording& r = recording();
    ReplayPlayer& p = play(r.text(1501, true, r.score));
    EXPECT_TRUE(p.diverged());
    EXPECT_FALSE(p.verified());
    EXPECT_EQ(p.verdict().rfind("replay diverged at idle 2001: expected hash " + hexHash(r.check2001) + ", got ", 0),
              0u)
        << p.verdict();
    EXPECT_EQ(game.idleCount, 2002);  // stopped right there
}

TEST_F(ReplayPlayerTest, EndThatDisagreesDiverges) {
    const Recording& r = recording();
    ReplayPlayer& p = play(r.text(1500, true, r.score + 1));
    EXPECT_FALSE(p.verified());
    EXPECT_EQ(p.verdict(), "replay diverged at the end: expected ticks 2498 score " + std::to_string(r.score + 1) +
                               ", got ticks 2498 score " + std::to_string(r.score) + " hash " + hexHash(r.endHash));
}

TEST_F(ReplayPlayerTest, WithoutEndPlaysToTheLastCheckpoint) {
    const Recording& r = recording();
    ReplayPlayer& p = play(r.text(1500, false, 0));
    EXPECT_TRUE(p.verified());
    EXPECT_EQ(game.idleCount, 2002);
    EXPECT_EQ(p.verdict(),
              "replay verified to its last checkpoint, after idle 2001 (the recording has no end line): "
              "ticks 2000 score " +
                  std::to_string(game.currentWorld->score) + " hash " + hexHash(r.check2001));

    // Cut before the first checkpoint, there is nothing to check against.
    Game other;
    ReplayPlayer none(Replay{});
    EXPECT_TRUE(none.over(other));
    EXPECT_FALSE(none.verified());
    EXPECT_EQ(none.verdict(), "replay not verified: the recording has no end line and no checkpoint");
}

TEST_F(ReplayPlayerTest, ARecordingCutInsideALineIsPlayedToItsLastCheckpointAndNotVerified) {
    const Recording& r = recording();
    std::string text = r.text(1500, true, r.score);
    text.resize(text.size() - 20);  // the end line cut off by a full disk
    ReplayPlayer& p = play(text);
    EXPECT_FALSE(p.verified());
    EXPECT_FALSE(p.diverged());
    EXPECT_EQ(game.idleCount, 2002);
    EXPECT_EQ(p.verdict(), "replay cut short at idle 2300: verified up to idle 2001");
}

TEST_F(ReplayPlayerTest, PlayerKeysAreIgnoredAndTheEndHoldsTheGameStill) {
    const Recording& r = recording();
    ReplayPlayer& p = play(r.text(1500, true, r.score));
    ASSERT_TRUE(p.verified());
    game.keyboard('n');
    game.keyboard('f');
    EXPECT_FALSE(game.restartRequested);
    EXPECT_EQ(game.currentWorld->leftFlipper.swingAngle, 0.0f);
    const Game::IdleResult held = game.idle();
    EXPECT_FALSE(held.stepped || held.rebuilt || held.redisplay);
    EXPECT_EQ(game.idleCount, 2500);
    EXPECT_EQ(game.tickCount, 2498);
}

TEST_F(ReplayPlayerTest, BallMustBeTheRecordedOne) {
    const ScratchFolder scratch;
    const fs::path folder = scratch.path();
    const std::string ball = (folder / "ball.iv").string();
    writeFile(ball, "a");  // FNV-1a 64 of "a" is af63dc4c8601ec8c
    Replay replay;
    replay.modelHash = 0xaf63dc4c8601ec8cull;
    EXPECT_EQ(checkReplayModel(replay, "game.replay", ball), "");
    replay.modelHash = 1;
    EXPECT_EQ(checkReplayModel(replay, "game.replay", ball),
              "game.replay: recorded with another ball (model hash 0000000000000001), not " + ball +
                  " (hash af63dc4c8601ec8c)");
    EXPECT_EQ(loadReplay((folder / "none.replay").string()).problem().line(),
              (folder / "none.replay").string() + ": cannot read replay: no such file or directory");
    EXPECT_EQ(loadReplay(folder.string()).problem().line(), folder.string() + ": cannot read replay: is a directory");
}
