#include "game/Pacing.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "game/Game.h"
#include "game/StateHash.h"
#include "replay/ReplayFile.h"
#include "support/Recording.h"

namespace {

namespace fs = std::filesystem;

using PacedRecordingTest = RecordingTest;

}  // namespace

TEST_F(PacedRecordingTest, PacedGameRecordsItsOwnIdleNumbers) {
    // A paced game runs up to eight idle calls per call of the toolkit, more at a rebuild; the keys
    // arrive between the toolkit's calls. The recording must number them by the game's own idle calls,
    // the numbering flipper-sim's --key uses.
    const fs::path file = folder / "paced.replay";
    ASSERT_EQ(recorder.open(file.string(), modelHash, {}), "");
    double now = 0.0;
    Pacing pacing(
        900.0, [&now] { return Pacing::Seconds(now); }, [](Pacing::Seconds) {});
    std::multimap<long long, char> pressedAt;
    const char keys[] = {'f', 'j', 'n', 'x', 'f', 'j'};
    for (int call = 0; call < 600; ++call) {
        now += (call % 7 + 1) / 900.0;  // one to seven ticks due, whatever the game's own count
        pacing.idle(game);
        if (call % 100 == 50) {
            const char key = keys[call / 100];
            pressedAt.emplace(game.idleCount, key);
            game.keyboard(static_cast<unsigned char>(key));
        }
    }
    ASSERT_EQ(recorder.finish(game), "");

    std::ifstream in(file);
    const Result<Replay> read = readReplay(in, file.string());
    ASSERT_TRUE(read.ok()) << read.problem().line();
    const Replay& replay = read.value();
    std::multimap<long long, char> recorded;
    for (const ReplayKey& key : replay.keys) recorded.emplace(key.idle, char(key.key));
    EXPECT_EQ(recorded, pressedAt);
    // The same keys before the same idle numbers, one idle call at a time, give the same game.
    PlainGame plain;
    plain.run(replay.end.idles, recorded);
    EXPECT_EQ(replay.end.idles, game.idleCount);
    EXPECT_EQ(replay.end.hash, stateHash(*game.currentWorld));
    EXPECT_EQ(plain.game.tickCount, game.tickCount);
    EXPECT_EQ(stateHash(*plain.game.currentWorld), stateHash(*game.currentWorld));
    for (const ReplayCheck& check : replay.checks) EXPECT_EQ(check.hash, plain.hashes[check.idle]) << check.idle;
    EXPECT_FALSE(replay.checks.empty());
}
