#include "desktop/GameData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "desktop/Options.h"
#include "game/Game.h"
#include "support/Files.h"
#include "obstacles/TexturedPanel.h"
#include "support/Capture.h"
#include "support/Vectors.h"

namespace {

// The desktop game with one data place, a scratch folder holding the shipped ball.
class GameDataTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(std::string(FLIPPER_ASSETS) + "/sphere.iv", dir / "sphere.iv");
        useDataPlaces({dir.path()});
    }
    void TearDown() override { useDataPlaces({}); }

    ScratchFolder dir;
};

}  // namespace

TEST_F(GameDataTest, TheDefaultBallIsLookedForAndANamedOneTakenAsGiven) {
    struct Case {
        std::vector<const char*> argv;
        std::string model;    // where the game reads the ball
        std::string missing;  // what locateModel says
    };
    const std::vector<Case> cases = {
        {{"flipper"}, dir / "sphere.iv", ""},
        {{"flipper", "--model", "sphere.iv"}, "sphere.iv", ""},
        {{"flipper", "--model", "mine.iv"}, "mine.iv", ""},
    };
    for (const Case& c : cases) {
        const Result<GameOptions> parsed = parseGameOptions(int(c.argv.size()), const_cast<char**>(c.argv.data()));
        ASSERT_TRUE(parsed.ok()) << parsed.problem().line();
        GameOptions options = parsed.value();
        EXPECT_EQ(locateModel(options).line(), c.missing) << c.argv.size();
        EXPECT_EQ(options.model, c.model) << c.argv.size();
    }
    GameOptions gone;
    gone.model = "gone.iv";
    EXPECT_EQ(locateModel(gone).line(), "not found in " + dir.path());
}

TEST_F(GameDataTest, TheGameLooksForWhatWasNotFoundAndSaysWherePicturesAreNot) {
    Game game;
    lookForDataIn(game, true);
    EXPECT_EQ(game.modelPlaces, std::vector<std::string>{dir.path()});
    EXPECT_EQ(game.textureLoader, loadDataPicture);

    Console console;
    TexturedPanel panel(vec(0, 0, 0), vec(2, 0, 0), vec(0, 3, 0), 1);
    loadDataPicture(panel, "woman.bmp");
    EXPECT_EQ(console.err.text(), "woman.bmp: cannot load picture: not found in " + dir.path() + "\n");
}
