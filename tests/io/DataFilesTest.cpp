#include "io/DataFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/Game.h"
#include "support/Files.h"
#include "support/Capture.h"

namespace {

namespace fs = std::filesystem;

// Three data places, each a folder that holds a file only when a test puts one there.
class DataFilesTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* place : {"first", "second", "third"}) {
            fs::create_directory(dir / place);
            places.push_back(dir / place);
        }
    }
    void put(const std::string& place, const std::string& name) {
        fs::copy_file(fs::path(FLIPPER_ASSETS) / "sphere.iv", dir / (place + "/" + name));
    }

    ScratchFolder dir;
    std::vector<std::string> places;
};

}  // namespace

TEST(DataPlacesTest, WorkingDirectoryThenInstalledDataThenTheProgramsFolder) {
    EXPECT_EQ(dataPlaces("/usr/games"), (std::vector<std::string>{"", "/usr/share/games/flipper", "/usr/games"}));
    EXPECT_EQ(dataPlaces("/tmp/x/usr/games/"),
              (std::vector<std::string>{"", "/tmp/x/usr/share/games/flipper", "/tmp/x/usr/games/"}));
    EXPECT_EQ(dataPlaces(""), (std::vector<std::string>{""}));
}

TEST_F(DataFilesTest, TheFirstPlaceHoldingTheFileWins) {
    put("second", "ball.iv");
    put("third", "ball.iv");
    EXPECT_EQ(findDataFile("ball.iv", places).path, dir / "second/ball.iv");
    fs::create_directory(dir / "first/ball.iv");  // a broken file still wins, to be reported
    EXPECT_EQ(findDataFile("ball.iv", places).path, dir / "first/ball.iv");
    EXPECT_EQ(findDataFile("ball.iv", places).problem, "");
}

TEST_F(DataFilesTest, NotFoundNamesEveryPlaceLooked) {
    places.insert(places.begin(), "");
    const DataFile found = findDataFile("ball.iv", places);
    EXPECT_EQ(found.path, "");
    EXPECT_EQ(found.problem, "not found in the working directory, " + dir / "first" + ", " + dir / "second" +
                                 " or " + dir / "third");
}

// 'n' reads the ball again where the first read found it, even once an earlier place has one too;
// until a read finds it, every restart looks again.
TEST_F(DataFilesTest, GameLooksUntilFoundThenKeepsThePlace) {
    Console console;
    Game game;
    game.modelPlaces = places;
    game.restartRequested = true;
    game.idle();
    EXPECT_FALSE(game.currentWorld->hasBall());
    EXPECT_EQ(game.loadError, "sphere.iv: cannot read model: not found in " + dir / "first" + ", " + dir / "second" +
                                  " or " + dir / "third");

    put("third", "sphere.iv");
    game.keyboard('n');
    game.idle();
    EXPECT_TRUE(game.currentWorld->hasBall());
    EXPECT_EQ(std::string(game.modelFileName), dir / "third/sphere.iv");

    put("first", "sphere.iv");
    fs::remove(dir / "third/sphere.iv");
    game.keyboard('n');
    game.idle();
    EXPECT_EQ(game.loadError, dir / "third/sphere.iv" + ": cannot read model: no such file or directory");
}
