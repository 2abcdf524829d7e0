#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#include "game/Game.h"
#include "game/StateHash.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayRecorder.h"
#include "support/Capture.h"
#include "support/Files.h"

/// The shipped ball, which the tests' games play with.
inline const std::string plainGameModel = std::string(FLIPPER_ASSETS) + "/sphere.iv";

/// The same game without any recording: keys pressed straight into it before the numbered idle call,
/// and the state hash noted after the idle calls asked for.
struct PlainGame {
    Game game;
    std::map<long long, std::uint64_t> hashes;

    PlainGame() {
        game.modelFileName = plainGameModel.c_str();
        game.restartRequested = true;
    }
    void run(long long idles, const std::multimap<long long, char>& keys) {
        for (long long idle = 0; idle < idles; ++idle) {
            for (auto [at, end] = keys.equal_range(idle); at != end; ++at) game.pressKey(at->second);
            game.idle();
            hashes[idle] = stateHash(*game.currentWorld);
        }
    }
};

/// A game of the shipped ball watched by a recorder, a scratch folder for its files, and the
/// console lines kept out of the test output.
class RecordingTest : public testing::Test {
protected:
    void SetUp() override {
        game.modelFileName = plainGameModel.c_str();
        game.restartRequested = true;
        game.observer = &recorder;
        const Result<std::uint64_t> hash = hashModelFile(plainGameModel);
        ASSERT_TRUE(hash.ok()) << hash.problem().line();
        modelHash = hash.value();
    }

    Console console;
    ScratchFolder scratch;
    const std::filesystem::path folder = scratch.path();
    Game game;
    ReplayRecorder recorder;
    std::uint64_t modelHash = 0;  ///< the shipped ball's, which a recording of these games names
};
