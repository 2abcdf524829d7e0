// What the table's picture panels, and the game around them, do when woman.bmp or head.bmp is bad:
// the panel says why in one line naming the file, uploads nothing and is drawn untextured, and the game
// plays on without the picture. Which files the decoder refuses, and why, is ImageTest's business;
// here three kinds of refusal stand for them all.
#include "obstacles/TexturedPanel.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "desktop/Shell.h"
#include "game/Game.h"
#include "picture/Pictures.h"
#include "support/Capture.h"
#include "support/GlRecorder.h"
#include "support/Vectors.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<unsigned char>;

Bytes readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

/// The 54 header bytes of a 24-bit BMP claiming width x height pixels, with no pixels after them.
Bytes bmpHeaderOnly(std::uint32_t width, std::uint32_t height) {
    Bytes bytes(54, 0);
    auto put = [&bytes](std::size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, 54, 4);     // file size
    put(10, 54, 4);    // pixels start after the headers
    put(14, 40, 4);    // info header size
    put(18, width, 4);
    put(22, height, 4);
    put(26, 1, 2);     // planes
    put(28, 24, 2);    // bits a pixel
    return bytes;
}

/// The lines of text that mention the pictures, each with its line end.
std::string pictureLines(const std::string& console) {
    std::istringstream in(console);
    std::string line;
    std::string found;
    while (std::getline(in, line))
        if (line.find("cannot load picture") != std::string::npos) found += line + '\n';
    return found;
}

/// Each test works in a scratch folder of its own, which is also the working directory while it runs,
/// as the game's folder is: the table asks for its pictures by bare name.
class PictureRobustnessTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = fs::temp_directory_path() / ("flipper-picture-test-" + name + "-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        previousDirectory = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        releasePictures();  // each test's recorder is a context of its own: nothing kept for the next
        fs::current_path(previousDirectory);
        fs::remove_all(folder);
    }

    const fs::path assets = FLIPPER_ASSETS;
    fs::path folder;
    fs::path previousDirectory;
};

}  // namespace

TEST_F(PictureRobustnessTest, BadPictureLeavesThePanelUntexturedWithOneLineNamingTheFile) {
    const Bytes woman = readBytes(assets / "woman.bmp");
    ASSERT_EQ(woman.size(), 184374u);  // 192 x 320 pixels, rows of 576 bytes, after 54 header bytes
    writeBytes("half.bmp", Bytes(woman.begin(), woman.begin() + 92187));  // a copy cut off half way
    writeBytes("huge.bmp", bmpHeaderOnly(100000, 100000));               // 30 GB of pixels, if believed

    const struct {
        const char* file;
        std::string reason;
    } cases[] = {
        {"missing.bmp", "no such file or directory"},
        {"half.bmp", "the file is cut short: 92187 bytes of the 184374 its picture needs"},
        {"huge.bmp", "100000 x 100000 pixels is too large"},
    };
    for (const auto& c : cases) {
        GlRecorder gl;
        const long texturesBefore = GlRecorder::liveTextures();
        TexturedPanel panel(vec(-5, 0.1f, 0), vec(12, 0, 0), vec(0, 0, 20), 1);
        EXPECT_EQ(showPicture(panel, c.file), std::string(c.file) + ": cannot load picture: " + c.reason);
        EXPECT_EQ(panelTexture(panel), 0u) << c.file;
        EXPECT_TRUE(gl.calls().empty()) << c.file << ": no GL call at all, not even a texture name";
        EXPECT_EQ(GlRecorder::liveTextures(), texturesBefore) << c.file;

        // Drawn untextured: texture 0 bound, the quad in full, the GL state as it was.
        panel.draw();
        EXPECT_EQ(gl.callsNamed("glBindTexture"), (Calls{{"glBindTexture", GL_TEXTURE_2D, 0}})) << c.file;
        EXPECT_EQ(gl.callsNamed("glVertex3f").size(), 4u) << c.file;
        EXPECT_FALSE(gl.isEnabled(GL_TEXTURE_2D)) << c.file;
        EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 1) << c.file;
        EXPECT_EQ(gl.pendingError(), GLenum(GL_NO_ERROR)) << c.file;
    }
}

TEST_F(PictureRobustnessTest, GamePlaysOnWithoutItsPicturesAndPicksThemUpOnRestart) {
    fs::copy_file(assets / "sphere.iv", "sphere.iv");
    // The playfield picture is missing and the back picture was cut off while being copied.
    const Bytes head = readBytes(assets / "head.bmp");
    writeBytes("head.bmp", Bytes(head.begin(), head.begin() + 1000));

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
