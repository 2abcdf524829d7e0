// How the World draws the whole scene: the table, the ball's shadow, the ball and the score.
#include "world/World.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "obstacles/Obstacle.h"
#include "support/GlRecorder.h"
#include "support/Worlds.h"

namespace {


// The calls one piece of drawing makes on its own, recorded apart from the scene.
template <typename Draw>
Calls recordedAlone(GlRecorder& gl, Draw draw) {
    gl.clear();
    draw();
    Calls calls = gl.calls();
    gl.clear();
    return calls;
}

void append(Calls& to, const Calls& calls) { to.insert(to.end(), calls.begin(), calls.end()); }

void appendText(Calls& to, float x, float y, float z, const std::string& text) {
    to.push_back({"glRasterPos3f", x, y, z});
    for (char c : text) to.push_back({"glutBitmapCharacter", 18, c});
}

// Depth test, lighting, light and colour material on, as the window sets them, and the table tilted
// in the model-view, as the display callback hands it over.
void openingState() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glRotatef(15, 1, 0, 0);
}

}  // namespace

TEST(DrawSceneTest, TableThenShadowThenBallThenTexts) {
    auto world = shippedWorld();
    ASSERT_FALSE(world->faces.empty());
    GlRecorder gl;
    openingState();

    Calls expected;
    for (const Obstacle* o : world->obstacles) {
        expected.push_back({"glPushMatrix"});
        append(expected, recordedAlone(gl, [o] { o->draw(); }));
        expected.push_back({"glPopMatrix"});
    }
    const Calls ball = recordedAlone(gl, [&world] { world->SoftBody::draw(); });
    // The shadow flattens the ball onto y = -0.1 and is drawn over the table, whatever the depth.
    expected.push_back({"glDisable", GL_DEPTH_TEST});
    expected.push_back({"glPushMatrix"});
    expected.push_back({"glMultMatrixf", 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, -1, 0, 10});
    append(expected, ball);
    expected.push_back({"glPopMatrix"});
    expected.push_back({"glEnable", GL_DEPTH_TEST});
    append(expected, ball);
    appendText(expected, 2.0f, 2.5f, 1.0f, "0");
    appendText(expected, -1.5f, 2.5f, 1.0f, "Score:");
    appendText(expected, -1.5f, 4.0f, 1.0f, "Vantorello");

    world->drawScene();
    EXPECT_EQ(gl.calls(), expected);
    EXPECT_EQ(gl.pendingError(), GLenum(GL_NO_ERROR));

    // The ball and its shadow take the colour the right flipper, drawn last, left current.
    const Calls colours = gl.callsNamed("glColor4fv");
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(colours.back(), (GlCall{"glColor4fv", 0.8f, 0.4f, 0.0f, 1.0f}));
}

TEST(DrawSceneTest, ScoreIsWrittenInFull) {
    auto world = shippedWorld();
    for (int score : {0, 7, 12, 1234567}) {
        GlRecorder gl;
        openingState();
        world->score = score;
        world->drawScene();
        EXPECT_EQ(gl.bitmapText(), std::to_string(score) + "Score:Vantorello");
        for (const GlCall& c : gl.callsNamed("glutBitmapCharacter")) EXPECT_EQ(c.args[0], 18) << "Helvetica 18";
    }
}

TEST(DrawSceneTest, LeavesDepthTestOnAndTheStacksAsFoundAndDrawsTheSameTwice) {
    auto world = shippedWorld();
    GlRecorder gl;
    openingState();
    gl.clear();
    world->drawScene();
    const Calls first = gl.calls();
    EXPECT_TRUE(gl.isEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(gl.isEnabled(GL_LIGHTING));
    EXPECT_FALSE(gl.isEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(gl.matrixMode(), GLenum(GL_MODELVIEW));
    EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 2);
    EXPECT_EQ(gl.matrixDepth(GL_PROJECTION), 1);
    EXPECT_FALSE(gl.insideBeginEnd());

    // Drawing changes no game state: without a step in between the picture is the same.
    gl.clear();
    world->drawScene();
    EXPECT_EQ(gl.calls(), first);
}
