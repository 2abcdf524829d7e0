// --freeze-at: the desktop game plays unpaced to a tick, then only redraws.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/Shell.h"
#include "app/Trackball.h"
#include "support/Capture.h"
#include "support/GlRecorder.h"

namespace {

namespace fs = std::filesystem;

class FreezeAtTest : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("flipper-freeze-test-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        for (const char* asset : {"sphere.iv", "woman.bmp", "head.bmp"})
            fs::copy_file(fs::path(FLIPPER_ASSETS) / asset, folder / asset, fs::copy_options::overwrite_existing);
        previous = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(folder);
    }

    int run(const std::vector<std::string>& arguments) {
        storage = {"flipper"};
        storage.insert(storage.end(), arguments.begin(), arguments.end());
        argv.clear();
        for (std::string& s : storage) argv.push_back(s.data());
        argv.push_back(nullptr);
        return runGame(static_cast<int>(storage.size()), argv.data(), game, trackball);
    }

    fs::path folder, previous;
    std::vector<std::string> storage;
    std::vector<char*> argv;
    Game game;
    Trackball trackball{3.0, 256, 256};
};

}  // namespace

TEST_F(FreezeAtTest, PlaysToTheTickThenOnlyRedraws) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--freeze-at", "20"}, {"--freeze-at=20"}, {"--tick-rate", "900", "--freeze-at", "20"}}) {
        GlRecorder gl;
        Capture out(std::cout), err(std::cerr);
        game = Game();
        ASSERT_EQ(run(arguments), 0) << arguments[0];
        // One idle call builds the World, twenty step it (unpaced, even with a tick rate), and the
        // ones after that step no more but ask for a picture each.
        for (int call = 0; call < 21; ++call) gl.callbacks().idle();
        EXPECT_EQ(game.tickCount, 20) << arguments[0];
        const int before = gl.redisplayCount();  // ticks 1 and 16 asked for one each
        EXPECT_EQ(before, 2);
        for (int call = 0; call < 3; ++call) gl.callbacks().idle();
        EXPECT_EQ(game.tickCount, 20);
        EXPECT_EQ(gl.redisplayCount(), before + 3);
        // A restart builds a new World; the tick count has already reached the freeze tick.
        gl.callbacks().keyboard('n', 0, 0);
        gl.callbacks().idle();
        ASSERT_NE(game.currentWorld, nullptr);
        EXPECT_EQ(game.currentWorld->score, 0);
        EXPECT_EQ(game.tickCount, 20);
    }
}

TEST_F(FreezeAtTest, FreezeAtZeroDrawsTheFirstWorldUnstepped) {
    GlRecorder gl;
    Capture out(std::cout), err(std::cerr);
    ASSERT_EQ(run({"--freeze-at", "0"}), 0);
    gl.callbacks().idle();  // builds the World
    gl.callbacks().idle();
    EXPECT_NE(game.currentWorld, nullptr);
    EXPECT_EQ(game.tickCount, 0);
    EXPECT_EQ(gl.redisplayCount(), 1);
}

TEST_F(FreezeAtTest, BadTicksGetTheUsageAndStatusTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--freeze-at", "-1"}, "bad tick '-1' for --freeze-at"},
        {{"--freeze-at", "ten"}, "bad tick 'ten' for --freeze-at"},
        {{"--freeze-at", "12x"}, "bad tick '12x' for --freeze-at"},
        {{"--freeze-at", "+5"}, "bad tick '+5' for --freeze-at"},
        {{"--freeze-at", "2147483648"}, "bad tick '2147483648' for --freeze-at"},
        {{"--freeze-at="}, "bad tick '' for --freeze-at"},
        {{"--freeze-at"}, "bad tick '' for --freeze-at"},
    };
    for (const auto& [arguments, message] : cases) {
        GlRecorder gl;
        Capture out(std::cout), err(std::cerr);
        EXPECT_EQ(run(arguments), 2) << message;
        EXPECT_EQ(err.text().rfind("flipper: " + message, 0), 0u) << err.text();
        EXPECT_NE(err.text().find("--freeze-at N"), std::string::npos);
        EXPECT_EQ(gl.calls(), Calls{}) << message;
    }
}
