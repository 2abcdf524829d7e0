// The game's own drawing layer through our GL layer, natively: what the page's backend is handed
// for the real table, ball, shadow and texts.
#include <gtest/gtest.h>

#include <GL/glut.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "obstacles/TexturedPanel.h"
#include "picture/Pictures.h"
#include "web/gl/GlContext.h"
#include "softbody/Mass.h"
#include "world/World.h"

namespace {

// The page's font is taken from freeglut when the page is built; here every character is a block
// of 2 x 2 pixels, 3 pixels apart: one run of set bits in each of its two rows.
const unsigned char block[] = {3, 0xC0, 0xC0};

const std::array<const unsigned char*, 128>& blockGlyphs() {
    static std::array<const unsigned char*, 128> glyphs;
    glyphs.fill(block);
    return glyphs;
}

struct Uploads : fixedgl::TextureSink {
    std::vector<std::array<int, 3>> uploads;  // name, width, height
    void upload(unsigned name, int width, int height, const std::vector<std::uint8_t>&) override {
        uploads.push_back({static_cast<int>(name), width, height});
    }
    void release(unsigned) override {}
};

void loadPicture(TexturedPanel& panel, const char* fileName) { EXPECT_EQ(showPicture(panel, fileName), ""); }

}  // namespace

const BitmapFont helvetica18{128, 2, 0, 0, blockGlyphs().data()};

TEST(SceneTest, TheTableShadowBallAndTextsReachTheBackend) {
    namespace fs = std::filesystem;
    const fs::path previous = fs::current_path();
    fs::current_path(FLIPPER_ASSETS);  // the pictures are read by bare name, as the game reads them
    Uploads sink;
    fixedgl::Pipeline& gl = fixedgl::context();
    gl.setTextureSink(&sink);

    // The desktop game's state and view: its reshape at 768 x 768 and its initGL.
    glViewport(0, 0, 768, 768);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 13.0, 128.0);
    glTranslatef(0, 0, -38);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(15, 1, 0, 0);
    for (GLenum cap : {GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0, GL_COLOR_MATERIAL}) glEnable(cap);

    std::ifstream model("sphere.iv");
    World world(model, loadPicture);
    fs::current_path(previous);
    ASSERT_TRUE(world.hasBall());
    ASSERT_EQ(world.faces.size(), 80u);
    // Both pictures, at their own sizes.
    ASSERT_EQ(sink.uploads.size(), 2u);
    EXPECT_EQ(sink.uploads[0][1], 192);
    EXPECT_EQ(sink.uploads[0][2], 320);
    EXPECT_EQ(sink.uploads[1][1], 256);
    EXPECT_EQ(sink.uploads[1][2], 128);

    const fixedgl::Matrix view = gl.modelview();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    world.drawScene();
    EXPECT_EQ(gl.modelview(), view);
    EXPECT_TRUE(gl.isEnabled(GL_DEPTH_TEST));
    const std::vector<fixedgl::Batch> frame = gl.batches();

    // Each picture is drawn with its texture replacing the lit colour: one quad, two triangles.
    for (int picture = 0; picture < 2; ++picture) {
        int vertices = 0;
        for (const auto& b : frame)
            if (b.texture == static_cast<unsigned>(sink.uploads[picture][0])) {
                EXPECT_EQ(b.shading, fixedgl::Shading::replace);
                vertices += static_cast<int>(b.count);
            }
        EXPECT_EQ(vertices, 6) << "picture " << picture;
    }
    // The shadow: the one batch without depth test, one triangle per face.
    int shadows = 0;
    for (const auto& b : frame)
        if (!b.depthTest) {
            ++shadows;
            EXPECT_EQ(b.count, 3u * 80);
            EXPECT_FALSE(b.lines);
        }
    EXPECT_EQ(shadows, 1);
    // Last, the ball and the three texts, all in their one state: 80 triangles, then "0",
    // "Score:" and "Vantorello", every character two runs of two triangles.
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(frame.back().count, 3u * 80 + (1 + 6 + 10) * 2 * 6);
    EXPECT_TRUE(frame.back().depthTest);
    EXPECT_EQ(frame.back().shading, fixedgl::Shading::colour);
    // The wire flippers are line loops: six faces of four edges each, two vertices an edge.
    int lineVertices = 0;
    for (const auto& b : frame)
        if (b.lines) lineVertices += static_cast<int>(b.count);
    EXPECT_EQ(lineVertices % (6 * 4 * 2), 0);
    EXPECT_GE(lineVertices, 2 * 6 * 4 * 2);

    // From the second frame on (the first began with the set-up's texture coordinate, not the last
    // panel's) nothing is written again until the ball moves: then only it and its shadow, 240
    // vertices each. A score of one more digit writes the texts from its second character on
    // (every glyph here is the same block).
    const std::size_t ballStart = frame.back().first;
    const auto redraw = [&] {
        gl.finishFrame();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        world.drawScene();
        std::size_t n = 0;
        for (const auto& r : gl.changedVertices()) n += r.last - r.first;
        return n;
    };
    redraw();
    EXPECT_EQ(redraw(), 0u);
    for (Mass& m : world.masses) m.position[0] += 0.25f;
    EXPECT_EQ(redraw(), 2 * 3u * 80);
    world.score = 10;
    EXPECT_EQ(redraw(), (1 + 6 + 10) * 2 * 6u);
    EXPECT_EQ(gl.changedVertices().front().first, ballStart + 3 * 80 + 2 * 6);
    gl.finishFrame();
    releasePictures();
}
