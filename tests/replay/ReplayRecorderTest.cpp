#include "replay/ReplayRecorder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/StateHash.h"
#include "replay/ReplayFile.h"
#include "support/Recording.h"

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

using ReplayRecorderTest = RecordingTest;

}  // namespace

TEST_F(ReplayRecorderTest, WritesKeysBeforeTheirIdleChecksEveryThousandTicksAndTheEnd) {
    const fs::path file = folder / "game.replay";
    ASSERT_EQ(recorder.open(file.string(), 0x00000000000abcdeull, {}), "");
    const std::multimap<long long, char> keys = {{0, 'x'}, {5, 'f'}, {5, 'F'}, {1500, 'n'}};
    for (long long idle = 0; idle < 2500; ++idle) {
        for (auto [at, end] = keys.equal_range(idle); at != end; ++at) game.keyboard(at->second);
        game.idle();
    }
    ASSERT_EQ(recorder.finish(game), "");

    // The checkpoints: idle 0 builds the ball and idles 1 to 1000 are the first thousand ticks; then
    // 499 ticks, the rebuild of the 'n' at idle 1500, and 501 ticks more up to idle 2001. The end:
    // 2500 idle calls of which two were rebuilds.
    PlainGame plain;
    plain.run(2500, keys);
    // One line of the file a line.
    // clang-format off
    const std::string expected = "flipper-replay 1\n"
                                 "model 00000000000abcde\n"
                                 "key 0 x\n"
                                 "key 5 f\n"
                                 "key 5 F\n"
                                 "check 1000 " + hexHash(plain.hashes[1000]) + "\n"
                                 "key 1500 n\n"
                                 "check 2001 " + hexHash(plain.hashes[2001]) + "\n"
                                 "end 2500 ticks 2498 score " + std::to_string(plain.game.currentWorld->score) +
                                 " hash " + hexHash(plain.hashes[2499]) + "\n";
    // clang-format on
    EXPECT_EQ(slurp(file), expected);
    EXPECT_EQ(plain.game.tickCount, 2498);
}

TEST_F(ReplayRecorderTest, EveryLineIsInTheFileAsSoonAsItHappens) {
    // A game killed outright never writes its end: what it wrote must already be in the file.
    const fs::path file = folder / "killed.replay";
    ASSERT_EQ(recorder.open(file.string(), 2, {}), "");
    for (long long idle = 0; idle < 1200; ++idle) {
        if (idle == 7) game.keyboard('j');
        game.idle();
    }
    std::ifstream in(file);
    Replay replay;
    ASSERT_EQ(readReplay(in, file.string(), replay), "");
    EXPECT_FALSE(replay.hasEnd);
    ASSERT_EQ(replay.keys.size(), 1u);
    EXPECT_EQ(replay.keys[0].idle, 7);
    ASSERT_EQ(replay.checks.size(), 1u);
    EXPECT_EQ(replay.checks[0].idle, 1000);
}

TEST_F(ReplayRecorderTest, WriteFailuresAndInputsAreReported) {
    if (fs::exists("/dev/full")) {
        ReplayRecorder full;
        EXPECT_EQ(full.open("/dev/full", 1, {}), "/dev/full: cannot write replay: no space left on device");
        EXPECT_EQ(full.finish(game), "/dev/full: cannot write replay: no space left on device");
    }
    ReplayRecorder noFolder;
    const std::string lost = (folder / "no-such-folder" / "game.replay").string();
    EXPECT_EQ(noFolder.open(lost, 1, {}), lost + ": cannot write replay: no such file or directory");

    // The ball is never written over, however it is named.
    const fs::path model = folder / "sphere.iv";
    fs::copy_file(plainGameModel, model);
    const std::string ball = slurp(model);
    ReplayRecorder over;
    const std::string otherName = (folder / "." / "sphere.iv").string();
    EXPECT_EQ(over.open(otherName, 1, {model.string()}),
              otherName + ": will not write there: it is " + model.string() + ", which the game reads");
    EXPECT_EQ(slurp(model), ball);
}
