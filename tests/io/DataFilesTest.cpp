#include "io/DataFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// A place that cannot be searched may hide the file: it is said so, not passed over as "not found".
TEST_F(DataFilesTest, APlaceThatCannotBeSearchedIsPermissionDenied) {
    put("second", "ball.iv");
    fs::permissions(dir / "first", fs::perms::none);
    EXPECT_EXIT(
        {
            // The superuser searches any folder: the look is made as nobody.
            if (::geteuid() == 0 && (::chmod(dir.path().c_str(), 0755) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
            const DataFile found = findDataFile("ball.iv", places);
            std::fprintf(stderr, "path '%s', problem '%s'\n", found.path.c_str(), found.problem.c_str());
            std::_Exit(found.path.empty() && found.problem == dir / "first" + ": permission denied" ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    fs::permissions(dir / "first", fs::perms::owner_all);
}

// Without /proc (a chroot, a sandbox) a program started by a bare name is looked for along PATH as a
// shell finds it: the first executable file of that name.
TEST_F(DataFilesTest, WithoutProcABareNameIsLookedForAlongThePath) {
    const std::string noProc = dir / "no-such-link";
    fs::create_directory(dir / "bin");
    std::ofstream(dir / "first/flipper") << "";  // not executable: passed over
    std::ofstream(dir / "bin/flipper") << "";
    fs::permissions(dir / "bin/flipper", fs::perms::owner_all);
    const std::string path = dir / "none" + ":" + dir / "first" + ":" + dir / "bin";
    EXPECT_EQ(programDirectory("flipper", path.c_str(), noProc), dir / "bin");
    EXPECT_EQ(programDirectory("flipper", (dir / "first").c_str(), noProc), "");
    EXPECT_EQ(programDirectory("flipper", nullptr, noProc), "");  // no PATH: not even the working directory
    EXPECT_EQ(programDirectory("flipper", "", noProc), "");
    // A name with a folder is taken as given; the system's link, where there is one, before all.
    EXPECT_EQ(programDirectory(dir / "first/../bin/flipper", "", noProc), dir / "bin");
    fs::create_symlink(dir / "bin/flipper", dir / "self");
    EXPECT_EQ(programDirectory("flipper", "", dir / "self"), dir / "bin");
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
