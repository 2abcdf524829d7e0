// The game's picture loader (loadPicture, as the window sets it) when woman.bmp or head.bmp is bad:
// one line naming the file, and the game plays on without the picture until a restart finds it.
// What the panel itself does with a bad picture is TexturedPanelTest's business.
#include "front/GameWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "game/Game.h"
#include "obstacles/TexturedPanel.h"
#include "picture/Pictures.h"
#include "support/Capture.h"
#include "support/Files.h"
#include "support/GlRecorder.h"

namespace {

namespace fs = std::filesystem;

/// The lines of text that mention the pictures, each with its line end.
std::string pictureLines(const std::string& console) {
    std::istringstream in(console);
    std::string line;
    std::string found;
    while (std::getline(in, line))
        if (line.find("cannot load picture") != std::string::npos) found += line + '\n';
    return found;
}

/// The test works in a scratch folder, which is also the working directory while it runs, as the
/// game's folder is: the table asks for its pictures by bare name.
class GameWindowTest : public testing::Test {
protected:
    void SetUp() override { fs::current_path(scratch.path()); }
    void TearDown() override {
        releasePictures();  // each test's recorder is a context of its own: nothing kept for the next
        fs::current_path(previousDirectory);
    }

    const fs::path assets = FLIPPER_ASSETS;
    const fs::path previousDirectory = fs::current_path();
    ScratchFolder scratch;
};

}  // namespace

TEST_F(GameWindowTest, GamePlaysOnWithoutItsPicturesAndPicksThemUpOnRestart) {
    fs::copy_file(assets / "sphere.iv", "sphere.iv");
    // The playfield picture is missing and the back picture was cut off while being copied.
    writeFile("head.bmp", readFile(assets / "head.bmp").substr(0, 1000));

    GlRecorder gl;
    const long texturesBefore = GlRecorder::liveTextures();
    Game game;
    game.textureLoader = loadPicture;
    game.restartRequested = true;

    Console console;
    const Game::IdleResult built = game.idle();
    ASSERT_TRUE(built.rebuilt);
    ASSERT_TRUE(game.loadError.empty()) << game.loadError;
    EXPECT_EQ(pictureLines(console.err.text()),
              "woman.bmp: cannot load picture: no such file or directory\n"
              "head.bmp: cannot load picture: the file is cut short: 1000 bytes of the 98358 its picture needs\n");
    EXPECT_EQ(GlRecorder::liveTextures(), texturesBefore);
    EXPECT_TRUE(gl.texImages().empty());

    // The ball plays and the table is drawn, both pictures as plain quads.
    for (int tick = 0; tick < 300; ++tick) {
        if (tick % 50 == 10) game.keyboard('f');
        ASSERT_TRUE(game.idle().stepped);
    }
    int panels = 0;
    for (const Obstacle* element : game.currentWorld->obstacles) {
        if (const auto* panel = dynamic_cast<const TexturedPanel*>(element)) {
            ++panels;
            EXPECT_EQ(panelTexture(*panel), 0u);
        }
    }
    EXPECT_EQ(panels, 2);
    gl.clear();
    game.currentWorld->drawScene();
    for (const GlCall& bind : gl.callsNamed("glBindTexture")) EXPECT_EQ(bind.args.at(1), 0.0) << bind;
    EXPECT_EQ(gl.pendingError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 1);

    // Good pictures put in place are loaded by the next restart, without a word.
    fs::copy_file(assets / "woman.bmp", "woman.bmp");
    fs::copy_file(assets / "head.bmp", "head.bmp", fs::copy_options::overwrite_existing);
    const std::string linesBefore = pictureLines(console.err.text());
    game.keyboard('n');
    EXPECT_TRUE(game.idle().rebuilt);
    EXPECT_EQ(pictureLines(console.err.text()), linesBefore);
    EXPECT_EQ(GlRecorder::liveTextures(), texturesBefore + 2);
    ASSERT_EQ(gl.texImages().size(), 2u);
    EXPECT_EQ(gl.texImages()[0].width, 192);
    EXPECT_EQ(gl.texImages()[1].width, 256);
    game.currentWorld.reset();
}
