#include "web/PageReplays.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "replay/ReplayFile.h"
#include "support/Files.h"
#include "support/Recording.h"

namespace {

namespace fs = std::filesystem;

class PageReplaysTest : public testing::Test {
protected:
    void SetUp() override {
        game.modelFileName = plainGameModel.c_str();
        page = std::make_unique<PageReplays>(game, folder.string());
        game.observer = page.get();  // as the page sets it, once
    }

    // Idle calls from..to-1 of the current game, with the player's keys before theirs.
    void play(long long idles, const std::multimap<long long, char>& keys = {}) {
        for (long long idle = 0; idle < idles; ++idle) {
            for (auto [at, end] = keys.equal_range(game.idleCount); at != end; ++at) game.keyboard(at->second);
            game.idle();
        }
    }
    std::string snapshotText() {
        std::ifstream in(page->snapshotFile(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    Console console;
    ScratchFolder scratch;
    const fs::path folder = scratch.path();
    Game game;
    std::unique_ptr<PageReplays> page;
};

}  // namespace

TEST_F(PageReplaysTest, ASnapshotOfTheGameSinceItsNewGamePlaysBackVerifiedAndSaysSoOnce) {
    ASSERT_EQ(page->newGame(), "");
    play(700);
    // A new game starts over: counts from 0 and a ball of its own, as the program's first game.
    ASSERT_EQ(page->newGame(), "");
    play(1500, {{100, 'f'}, {1200, 'j'}, {1300, 'x'}});
    ASSERT_EQ(page->snapshot(), "");
    PlainGame plain;
    plain.run(1500, {{100, 'f'}, {1200, 'j'}});
    const std::string text = snapshotText();
    std::istringstream lines(text);
    const Result<Replay> read = readReplay(lines, "game.replay");
    ASSERT_TRUE(read.ok()) << read.problem().line();
    const Replay& replay = read.value();
    EXPECT_EQ(replay.keys.size(), 3u);
    ASSERT_TRUE(replay.hasEnd);
    EXPECT_EQ(replay.end.idles, 1500);
    EXPECT_EQ(replay.end.ticks, 1499);
    EXPECT_EQ(replay.end.hash, plain.hashes[1499]);

    ASSERT_EQ(page->play(text, "link"), "");
    play(1500);
    EXPECT_TRUE(page->holding());
    EXPECT_EQ(page->takeVerdict(), "replay verified: ticks 1499 score " + std::to_string(plain.game.currentWorld->score) +
                                      " hash " + hexHash(plain.hashes[1499]));
    EXPECT_EQ(page->takeVerdict(), "");

    // Shared before its first idle call, a new game is the program's game before its first: no ball
    // yet, the offset basis for a hash, and plays back so.
    ASSERT_EQ(page->newGame(), "");
    ASSERT_EQ(page->snapshot(), "");
    const std::string none = "end 0 ticks 0 score 0 hash cbf29ce484222325\n";
    EXPECT_NE(snapshotText().find(none), std::string::npos) << snapshotText();
    ASSERT_EQ(page->play(snapshotText(), "link"), "");
    play(1);
    EXPECT_EQ(page->takeVerdict(), "replay verified: ticks 0 score 0 hash cbf29ce484222325");
    // One that disagrees at its end is said once too.
    std::string other = snapshotText();
    other.replace(other.find(none), none.size(), "end 0 ticks 0 score 0 hash 0000000000000001\n");
    ASSERT_EQ(page->play(other, "link"), "");
    play(2);
    EXPECT_EQ(page->takeVerdict(), "replay diverged at idle -1: expected hash 0000000000000001, got cbf29ce484222325");
    EXPECT_EQ(page->takeVerdict(), "");
}

TEST_F(PageReplaysTest, ABadReplayIsOneLineAndTheRecordedGamePlaysOn) {
    ASSERT_EQ(page->newGame(), "");
    play(50);
    const std::string anotherBall = "flipper-replay 1\nmodel 0123456789abcdef\nend 10 ticks 9 score 0 hash 0000000000000000\n";
    const struct {
        std::string text;
        std::string starts;
    } cases[] = {
        {"flipper-replay 1\nmodel 00\n", "link: line 2: "},
        {anotherBall, "link: recorded with another ball (model hash 0123456789abcdef), not "},
        {"", "link: line 1: "},
    };
    for (const auto& c : cases) {
        const std::string problem = page->play(c.text, "link");
        EXPECT_EQ(problem.rfind(c.starts, 0), 0u) << problem;
        EXPECT_EQ(problem.find('\n'), std::string::npos);
        EXPECT_FALSE(page->replaying());
    }
    play(10, {{55, 'f'}});
    ASSERT_EQ(page->snapshot(), "");
    EXPECT_NE(snapshotText().find("key 55 f\nend 60 ticks 59 "), std::string::npos) << snapshotText();
}

TEST_F(PageReplaysTest, ACheckPlaysAReplayToItsEndBesideTheGameAndLeavesTheGameAsItWas) {
    ASSERT_EQ(page->newGame(), "");
    play(40);
    const std::string demo = readFile(std::string(FLIPPER_ASSETS) + "/../docs/demo.replay");
    // As flipper-sim --replay --game-over says of docs/demo.replay.
    const PageReplays::Check genuine = page->check(demo, "demo");
    EXPECT_EQ(genuine.line, "replay verified: ticks 9041 score 67 hash b4fc73613d557b39");
    EXPECT_EQ(std::vector<int>({genuine.verified, genuine.ticks, genuine.score, genuine.endedAtTick, genuine.endScore}),
              std::vector<int>({1, 9041, 67, 9003, 67}));
    EXPECT_TRUE(!page->replaying() && game.tickCount == 39);

    std::string changed = demo;
    changed.replace(changed.find("score 67 hash"), 8, "score 68");
    const PageReplays::Check tampered = page->check(changed, "demo");
    EXPECT_FALSE(tampered.verified);
    EXPECT_EQ(tampered.line, "replay diverged at the end: expected ticks 9041 score 68, got ticks 9041 score 67 hash b4fc73613d557b39");
    EXPECT_EQ(page->checkFile((folder / "none.replay").string(), "none").line.rfind("none: cannot read replay: ", 0), 0u);
}
