#include "desktop/Shell.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "front/GlutCallbacks.h"
#include "front/Trackball.h"
#include "game/Game.h"
#include "picture/Pictures.h"
#include "replay/ReplayFile.h"
#include "support/Capture.h"
#include "support/Files.h"
#include "support/GlRecorder.h"

namespace {

namespace fs = std::filesystem;

// Runs the program in a working folder holding the shipped ball and pictures, as the game is run.
// The recorder's glutMainLoop returns at once, so runGame comes back with the callbacks registered.
class ShellTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* asset : {"sphere.iv", "woman.bmp", "head.bmp"})
            fs::copy_file(fs::path(FLIPPER_ASSETS) / asset, folder / asset);
        previous = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        releasePictures();  // each test's recorder is a context of its own: nothing kept for the next
        fs::current_path(previous);
    }

    int run(const std::vector<const char*>& arguments) {
        storage.assign({"flipper"});
        storage.insert(storage.end(), arguments.begin(), arguments.end());
        argv.clear();
        for (std::string& s : storage) argv.push_back(s.data());
        argv.push_back(nullptr);
        return runGame(static_cast<int>(storage.size()), argv.data(), game, trackball);
    }

    ScratchFolder scratch;
    const fs::path folder = scratch.path();
    fs::path previous;
    Console console;
    std::vector<std::string> storage;
    std::vector<char*> argv;
    Game game;
    Trackball trackball{3.0, 256, 256};
};

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace

TEST_F(ShellTest, StartsTheToolkitWindowStateAndCallbacksInOrder) {
    GlRecorder gl;
    EXPECT_EQ(run({}), 0);
    EXPECT_EQ(gl.calls(), (Calls{{"glutInit", 1},
                                 {"glutInitWindowSize", 768, 768},
                                 {"glutInitDisplayMode", 18},
                                 {"glutCreateWindow"},
                                 {"glEnable", GL_DEPTH_TEST},
                                 {"glEnable", GL_LIGHTING},
                                 {"glEnable", GL_LIGHT0},
                                 {"glEnable", GL_COLOR_MATERIAL},
                                 {"glClearColor", 0, 0, 0, 0},
                                 {"glutDisplayFunc", 1},
                                 {"glutReshapeFunc", 1},
                                 {"glutKeyboardFunc", 1},
                                 {"glutMouseFunc", 1},
                                 {"glutMotionFunc", 1},
                                 {"glutPassiveMotionFunc", 0},
                                 {"glutIdleFunc", 1},
                                 {"glutMainLoop"}}));
    EXPECT_EQ(gl.windowTitle(), "Flipper");
    const GlutCallbacks& registered = gl.callbacks();
    EXPECT_EQ(registered.display, &callbacks::display);
    EXPECT_EQ(registered.reshape, &callbacks::reshape);
    EXPECT_EQ(registered.keyboard, &callbacks::keyboard);
    EXPECT_EQ(registered.mouse, &callbacks::mouse);
    EXPECT_EQ(registered.motion, &callbacks::motion);
    EXPECT_EQ(registered.passiveMotion, nullptr);
    EXPECT_EQ(registered.idle, &callbacks::idle);
    EXPECT_TRUE(game.restartRequested);
    EXPECT_EQ(game.currentWorld, nullptr);
    EXPECT_EQ(std::string(game.modelFileName), "sphere.iv");

    // The first idle call builds the World with both pictures and neither steps nor redraws.
    registered.idle();
    ASSERT_NE(game.currentWorld, nullptr);
    EXPECT_EQ(game.tickCount, 0);
    EXPECT_EQ(gl.redisplayCount(), 0);
    EXPECT_EQ(gl.texImages().size(), 2u);
    EXPECT_EQ(occurrences(console.out.text(), "Read in "), 1);
    EXPECT_EQ(console.err.text().find("cannot"), std::string::npos) << console.err.text();
}

TEST_F(ShellTest, HelpPrintsTheUsageWithoutOpeningADisplay) {
    GlRecorder gl;
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_TRUE(gl.calls().empty());
    const std::string& out = console.out.text();
    EXPECT_EQ(out.rfind("usage: flipper [--tick-rate N]", 0), 0u) << out;
    for (const char* option : {"--tick-rate N", "-display", "-geometry"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
    EXPECT_EQ(console.err.text(), "");
}

TEST_F(ShellTest, BadCommandLineGetsTheUsageAndStatusTwo) {
    struct Case {
        std::vector<const char*> arguments;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--tick-rate", "0"}, "bad tick rate '0'"},
        {{"--tick-rate", "-5"}, "bad tick rate '-5'"},
        {{"--tick-rate", "abc"}, "bad tick rate 'abc'"},
        {{"--tick-rate", "90x"}, "bad tick rate '90x'"},
        {{"--tick-rate", ""}, "bad tick rate ''"},
        {{"--tick-rate", "inf"}, "bad tick rate 'inf'"},
        {{"--tick-rate", "nan"}, "bad tick rate 'nan'"},
        {{"--tick-rate=0"}, "bad tick rate '0'"},
        {{"--tick-rate", "0.5"}, "bad tick rate '0.5': it must be a number from 1 to 1000000"},
        {{"--tick-rate", "1000000.5"}, "bad tick rate '1000000.5': it must be a number from 1 to 1000000"},
        {{"--tick-rate", "1e22"}, "bad tick rate '1e22': it must be a number from 1 to 1000000"},
        {{"--tick-rate"}, "--tick-rate needs a number"},
        {{"--tickrate", "900"}, "unknown option '--tickrate'"},
        {{"900"}, "unknown option '900'"},
    };
    for (const Case& c : cases) {
        GlRecorder gl;
        const int status = run(c.arguments);
        const std::string stdoutText = console.out.take();
        const std::string stderrText = console.err.take();
        EXPECT_EQ(status, 2) << c.message;
        EXPECT_EQ(stderrText.rfind(std::string("flipper: ") + c.message, 0), 0u) << stderrText;
        EXPECT_NE(stderrText.find("usage: flipper"), std::string::npos) << c.message;
        EXPECT_EQ(stdoutText, "") << c.message;
        // A mistake in the game's own "--" options is caught before the toolkit opens the display;
        // anything else after the toolkit has taken its options. Either way no window opens.
        if (std::string(c.arguments[0]).rfind("--", 0) == 0) {
            EXPECT_EQ(gl.calls(), Calls{}) << c.message;
        } else {
            EXPECT_EQ(gl.calls(), (Calls{{"glutInit", int(storage.size())}})) << c.message;
        }
    }
}

TEST_F(ShellTest, TickRatePacesTheIdleCallback) {
    for (const bool paced : {false, true}) {
        GlRecorder gl;
        game.currentWorld.reset();
        game.tickCount = 0;
        EXPECT_EQ(paced ? run({"--tick-rate", "900"}) : run({}), 0);
        // The first idle call builds the World. Paced, tick 0 is due at once, so the same call steps it
        // too; unpaced, one idle call is one Game::idle.
        gl.callbacks().idle();
        EXPECT_NE(game.currentWorld, nullptr);
        EXPECT_EQ(game.tickCount, paced ? 1 : 0) << (paced ? "paced" : "unpaced");
    }
    GlRecorder gl;
    EXPECT_EQ(run({"--tick-rate=62.5"}), 0);
    EXPECT_EQ(run({"--tick-rate", "1"}), 0);        // the slowest rate accepted
    EXPECT_EQ(run({"--tick-rate", "1e6"}), 0);      // and the fastest
}

// --freeze-at: the game plays unpaced to a tick, then only redraws.
TEST_F(ShellTest, FreezeAtPlaysToTheTickThenOnlyRedraws) {
    for (const std::vector<const char*>& arguments :
         {std::vector<const char*>{"--freeze-at", "20"}, {"--freeze-at=20"}, {"--tick-rate", "900", "--freeze-at", "20"}}) {
        GlRecorder gl;
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

TEST_F(ShellTest, FreezeAtZeroDrawsTheFirstWorldUnstepped) {
    GlRecorder gl;
    ASSERT_EQ(run({"--freeze-at", "0"}), 0);
    gl.callbacks().idle();  // builds the World
    gl.callbacks().idle();
    EXPECT_NE(game.currentWorld, nullptr);
    EXPECT_EQ(game.tickCount, 0);
    EXPECT_EQ(gl.redisplayCount(), 1);
}

TEST_F(ShellTest, FreezeAtBadTicksGetTheUsageAndStatusTwo) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"--freeze-at", "-1"}, "bad tick '-1' for --freeze-at"},
        {{"--freeze-at", "ten"}, "bad tick 'ten' for --freeze-at"},
        {{"--freeze-at", "12x"}, "bad tick '12x' for --freeze-at"},
        {{"--freeze-at", "+5"}, "bad tick '+5' for --freeze-at"},
        {{"--freeze-at", "2147483648"}, "bad tick '2147483648' for --freeze-at"},
        {{"--freeze-at="}, "bad tick '' for --freeze-at"},
        {{"--freeze-at"}, "--freeze-at needs a tick number"},
    };
    for (const auto& [arguments, message] : cases) {
        GlRecorder gl;
        EXPECT_EQ(run(arguments), 2) << message;
        const std::string errors = console.err.take();
        EXPECT_EQ(errors.rfind("flipper: " + message, 0), 0u) << errors;
        EXPECT_NE(errors.find("--freeze-at N"), std::string::npos);
        EXPECT_EQ(gl.calls(), Calls{}) << message;
    }
}

TEST_F(ShellTest, RecordingEndsItsFileWhenTheEventLoopReturns) {
    GlRecorder gl;
    // The stand-in's event loop returns at once, as the real one does when the window is closed.
    EXPECT_EQ(run({"--record", "game.replay"}), 0);
    const Calls calls = gl.calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(Calls(calls.end() - 3, calls.end()),
              (Calls{{"glutSetOption", GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS},
                     {"glutIdleFunc", 1},
                     {"glutMainLoop"}}));
    std::ifstream model("sphere.iv", std::ios::binary), replay("game.replay");
    const std::string ball((std::istreambuf_iterator<char>(model)), std::istreambuf_iterator<char>());
    const std::string recorded((std::istreambuf_iterator<char>(replay)), std::istreambuf_iterator<char>());
    EXPECT_EQ(recorded, "flipper-replay 1\nmodel " + hexHash(fnv1a64(ball)) +
                            "\nend 0 ticks 0 score 0 hash cbf29ce484222325\n");
}

TEST_F(ShellTest, FilesThatCannotBeUsedAreReportedBeforeAnyWindow) {
    std::ofstream("other.replay") << "flipper-replay 1\nmodel 0000000000000001\n";
    std::ofstream("bad.replay") << "flipper-replay 1\nmodel 0000000000000001\nkey 5 f\nkey 4 j\n";
    struct Case {
        std::vector<const char*> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--record", "sphere.iv"}, "sphere.iv: will not write there: it is sphere.iv, which the game reads"},
        {{"--record", "./woman.bmp"}, "./woman.bmp: will not write there: it is woman.bmp, which the game reads"},
        {{"--model", "missing.iv", "--record", "x.replay"}, "missing.iv: cannot read model: no such file or directory"},
        {{"--replay", "none.replay"}, "none.replay: cannot read replay: no such file or directory"},
        {{"--replay", "bad.replay"},
         "bad.replay: line 4: a key before idle call 4 comes after a key before idle call 5: lines must be in the "
         "order of the game"},
        {{"--replay", "other.replay"}, "other.replay: recorded with another ball (model hash 0000000000000001)"},
    };
    for (const Case& c : cases) {
        GlRecorder gl;
        console.err.take();
        EXPECT_EQ(run(c.arguments), 1) << c.message;
        const std::string stderrText = console.err.take();
        EXPECT_EQ(stderrText.rfind(c.message, 0), 0u) << stderrText;
        EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1) << stderrText;
        EXPECT_EQ(gl.calls(), Calls{}) << c.message;
    }
    std::ifstream model("sphere.iv");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(model), {}).rfind("Masses", 0), 0u);
}
