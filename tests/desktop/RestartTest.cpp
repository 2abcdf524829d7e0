// A long evening of restarts: every 'n' throws a whole World away (ball and table) and builds the next from
// the files. Nothing of the old games may pile up: not texture names in the GL context, not memory, not state
// that makes a later game play differently from the first. The pictures, unchanged, are decoded and uploaded
// by the first game only.
#include "game/Game.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "desktop/Shell.h"
#include "game/StateHash.h"
#include "picture/Pictures.h"
#include "support/Capture.h"
#include "support/GlRecorder.h"

// AddressSanitizer holds freed blocks back in quarantine, so there the resident size grows with every
// restart whatever the game does; LeakSanitizer looks for lost memory instead.
#if defined(__SANITIZE_ADDRESS__)
#define FLIPPER_RSS_MEANINGFUL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FLIPPER_RSS_MEANINGFUL 0
#endif
#endif
#ifndef FLIPPER_RSS_MEANINGFUL
#define FLIPPER_RSS_MEANINGFUL 1
#endif

namespace {

constexpr int restarts = 1000;
constexpr int warmUpRestarts = 100;        // after these the allocator has its working set
constexpr long maxRssGrowthKb = 1024;      // from restart 100 to 1000: a kB or two lost per game shows
constexpr int openingSteps = 50;           // each game opens the same way, an 'f' at step 10

/// The resident set size of this process in kB, from /proc; -1 where there is no /proc.
long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

/// The state of a game after its opening: the ball's hash with the left flipper's angle and the score.
std::uint64_t playOpening(Game& game) {
    for (int step = 0; step < openingSteps; ++step) {
        if (step == 10) game.keyboard('f');
        game.idle();
    }
    const World& world = *game.currentWorld;
    std::uint32_t angle = 0;
    std::memcpy(&angle, &world.leftFlipper.swingAngle, sizeof angle);
    return (stateHash(world) * fnvPrime ^ angle) * fnvPrime ^ static_cast<std::uint32_t>(world.score);
}

/// The game runs in the folder of the shipped files, as the player's game does: the model and the two
/// pictures are opened by bare name.
class RestartTest : public testing::Test {
protected:
    void SetUp() override {
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(FLIPPER_ASSETS);
    }
    void TearDown() override { std::filesystem::current_path(previousDirectory); }

    std::filesystem::path previousDirectory;
};

}  // namespace

TEST_F(RestartTest, ThousandRestartsLeakNothingAndReplayTheSameGame) {
    long rssAfterWarmUp = 0;
    long rssAtEnd = 0;
    {
        // Both streams are emptied after every game, so a thousand games neither flood the test output
        // nor grow a buffer that would hide a leak.
        Console console;
        GlRecorder gl;
        const long texturesBefore = GlRecorder::liveTextures();
        Game game;
        game.textureLoader = loadPicture;

        std::uint64_t firstOpening = 0;
        for (int restart = 1; restart <= restarts; ++restart) {
            game.keyboard('n');
            ASSERT_TRUE(game.idle().rebuilt);
            ASSERT_TRUE(game.loadError.empty()) << game.loadError;
            console.out.take();
            const std::string errors = console.err.take();
            ASSERT_EQ(errors.find("cannot load picture"), std::string::npos) << errors;
            // The two pictures, uploaded for the first game and kept for the others.
            ASSERT_EQ(gl.texImages().size(), restart == 1 ? 2u : 0u) << "restart " << restart;
            ASSERT_EQ(GlRecorder::liveTextures(), texturesBefore + 2) << "restart " << restart;
            gl.clear();  // the recorder's copies of the uploads are the test's memory, not the game's

            const std::uint64_t opening = playOpening(game);
            if (restart == 1) firstOpening = opening;
            ASSERT_EQ(opening, firstOpening) << "restart " << restart << " plays differently from the first game";

            // Leave each game in a different state: flippers up or down, the ball anywhere.
            for (int step = 0; step < restart % 37; ++step) {
                if (step % 9 == 4) game.keyboard(step % 2 == 0 ? 'j' : 'f');
                game.idle();
            }

            if (restart == warmUpRestarts) rssAfterWarmUp = residentKb();
        }
        rssAtEnd = residentKb();

        game.currentWorld.reset();
        releasePictures();
        EXPECT_EQ(GlRecorder::liveTextures(), texturesBefore);
    }
    RecordProperty("rssAfterWarmUpKb", std::to_string(rssAfterWarmUp));
    RecordProperty("rssAtEndKb", std::to_string(rssAtEnd));

    if (FLIPPER_RSS_MEANINGFUL && rssAfterWarmUp >= 0) {
        EXPECT_LT(rssAtEnd - rssAfterWarmUp, maxRssGrowthKb)
            << "resident size " << rssAfterWarmUp << " kB after " << warmUpRestarts << " restarts, " << rssAtEnd
            << " kB after " << restarts;
    }
}
