#include "replay/ReplayRecorder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/StateHash.h"
#include "replay/ReplayFile.h"
#include "support/Files.h"
#include "support/Recording.h"

namespace {

namespace fs = std::filesystem;


using ReplayRecorderTest = RecordingTest;

}  // namespace

TEST_F(ReplayRecorderTest, WritesKeysBeforeTheirIdleChecksEveryThousandTicksAndTheEnd) {
    const fs::path file = folder / "game.replay";
    ASSERT_EQ(recorder.open(file.string(), modelHash, {}), "");
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
                                 + modelLine(modelHash) +
                                 "key 0 x\n"
                                 "key 5 f\n"
                                 "key 5 F\n"
                                 "check 1000 " + hexHash(plain.hashes[1000]) + "\n"
                                 "key 1500 n\n"
                                 "check 2001 " + hexHash(plain.hashes[2001]) + "\n"
                                 "end 2500 ticks 2498 score " + std::to_string(plain.game.currentWorld->score) +
                                 " hash " + hexHash(plain.hashes[2499]) + "\n";
    // clang-format on
    EXPECT_EQ(readFile(file), expected);
    EXPECT_EQ(plain.game.tickCount, 2498);
}

TEST_F(ReplayRecorderTest, EveryLineIsInTheFileAsSoonAsItHappens) {
    // A game killed outright never writes its end: what it wrote must already be in the file.
    const fs::path file = folder / "killed.replay";
    ASSERT_EQ(recorder.open(file.string(), modelHash, {}), "");
    for (long long idle = 0; idle < 1200; ++idle) {
        if (idle == 7) game.keyboard('j');
        game.idle();
    }
    EXPECT_FALSE(fs::exists(file));  // only a whole recording takes the name
    std::ifstream in(ReplayRecorder::partName(file.string()));
    const Result<Replay> read = readReplay(in, file.string());
    ASSERT_TRUE(read.ok()) << read.problem().line();
    const Replay& replay = read.value();
    EXPECT_FALSE(replay.hasEnd);
    ASSERT_EQ(replay.keys.size(), 1u);
    EXPECT_EQ(replay.keys[0].idle, 7);
    ASSERT_EQ(replay.checks.size(), 1u);
    EXPECT_EQ(replay.checks[0].idle, 1000);
}

TEST_F(ReplayRecorderTest, WriteFailuresAndInputsAreReported) {
    if (fs::exists("/dev/full")) {
        ReplayRecorder full;
        EXPECT_EQ(full.open("/dev/full", 1, {}), "/dev/full: cannot write replay: is a device, not a regular file");
        EXPECT_EQ(full.finish(game), "/dev/full: cannot write replay: is a device, not a regular file");
    }
    const fs::path fifo = folder / "fifo.replay";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ReplayRecorder intoFifo;  // refused at once, not held in open until a reader comes
    EXPECT_EQ(intoFifo.open(fifo.string(), 1, {}), fifo.string() + ": cannot write replay: is a FIFO, not a regular file");
    ReplayRecorder noFolder;
    const std::string lost = (folder / "no-such-folder" / "game.replay").string();
    EXPECT_EQ(noFolder.open(lost, 1, {}), lost + ": cannot write replay: no such file or directory");

    // The ball is never written over, however it is named.
    const fs::path model = folder / "sphere.iv";
    fs::copy_file(plainGameModel, model);
    const std::string ball = readFile(model);
    ReplayRecorder over;
    const std::string otherName = (folder / "." / "sphere.iv").string();
    EXPECT_EQ(over.open(otherName, 1, {model.string()}),
              otherName + ": will not write there: it is " + model.string() + ", which the game reads");
    EXPECT_EQ(readFile(model), ball);
}

TEST_F(ReplayRecorderTest, OneRecordingAFileAndThatOnlyReplacedByAWholeRecording) {
    const std::string file = (folder / "precious.replay").string();
    const std::string partial = file + ".part";
    { std::ofstream(file) << "an earlier game\n"; }
    ASSERT_EQ(recorder.open(file, modelHash, {}), "");
    ReplayRecorder second;
    EXPECT_EQ(second.open(file, 1, {}),
              file + ": cannot write replay: another game is recording it (into " + partial + ")");
    game.idle();
    EXPECT_EQ(readFile(file), "an earlier game\n");
    ASSERT_EQ(recorder.finish(game), "");
    EXPECT_EQ(readFile(file).rfind("flipper-replay 1\n", 0), 0u);
    EXPECT_FALSE(fs::exists(partial));

    // A partial recording left by a game that died is kept, not written over.
    { std::ofstream(partial) << "flipper-replay 1\n"; }
    ReplayRecorder third;
    EXPECT_EQ(third.open(file, 1, {}), file + ": cannot write replay: " + partial +
                                           " is left from a recording that did not finish; replay it, move it or "
                                           "remove it first");
    EXPECT_EQ(readFile(partial), "flipper-replay 1\n");
}

TEST_F(ReplayRecorderTest, ANewGameWithAnotherBallEndsTheRecordingThere) {
    // The ball file edited during the game, then 'n': the recording ends whole before the rebuild.
    const fs::path model = folder / "sphere.iv";
    fs::copy_file(plainGameModel, model);
    game.modelFileName = model.c_str();
    const std::string file = (folder / "game.replay").string();
    ASSERT_EQ(recorder.open(file, modelHash, {}), "");
    for (long long idle = 0; idle < 300; ++idle) {
        if (idle == 100) game.keyboard('n');  // the same ball: the recording goes on
        if (idle == 250) {
            std::ofstream(model, std::ios::app) << "\n";
            game.keyboard('n');
        }
        game.idle();
    }
    EXPECT_EQ(recorder.finish(game), "");
    PlainGame plain;
    plain.run(250, {{100, 'n'}});
    const std::string text = readFile(file);
    EXPECT_EQ(text.substr(text.find("key 250 n\n")),
              "key 250 n\nend 250 ticks 248 score 0 hash " + hexHash(plain.hashes[249]) + "\n");
    const std::string line =
        file + ": the recording ends at idle 250: the new game reads another ball (" + model.string() + " changed)\n";
    EXPECT_NE(console.err.take().find("80 faces read.\n" + line + "42 masses read.\n"), std::string::npos);
}
