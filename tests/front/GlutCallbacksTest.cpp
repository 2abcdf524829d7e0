#include "front/GlutCallbacks.h"

#include <gtest/gtest.h>

#include <string>

#include "front/Trackball.h"
#include "game/Game.h"
#include "game/Pacing.h"
#include "support/Capture.h"
#include "support/GlRecorder.h"

using namespace callbacks;  // the callbacks under test

namespace {

// The callbacks bound to a game of the shipped ball (no pictures) and a fresh trackball, with the
// reader's console lines kept out of the test output.
class GlutCallbacksTest : public testing::Test {
protected:
    void SetUp() override {
        game.modelFileName = modelPath.c_str();
        bindCallbacks(game, trackball);
    }

    // Builds the first World as the first idle call does.
    void buildWorld() {
        game.restartRequested = true;
        game.idle();
    }

    Console console;
    const std::string modelPath = std::string(FLIPPER_ASSETS) + "/sphere.iv";
    Game game;
    Trackball trackball{3.0, 256, 256};
};

const Calls identityTurn{{"glMultMatrixf", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

}  // namespace

TEST_F(GlutCallbacksTest, ReshapeSetsViewportCameraTiltAndTrackballSize) {
    GlRecorder gl;
    reshape(767, 511);
    EXPECT_EQ(gl.calls(), (Calls{{"glViewport", 0, 0, 767, 511},
                                 {"glMatrixMode", GL_PROJECTION},
                                 {"glLoadIdentity"},
                                 {"gluPerspective", 45.0, 767 / 511.0, 13.0, 128.0},
                                 {"glTranslatef", 0, 0, -38},
                                 {"glMatrixMode", GL_MODELVIEW},
                                 {"glLoadIdentity"},
                                 {"glRotatef", 15, 1, 0, 0}}));
    EXPECT_EQ(trackball.halfWidth, 383);
    EXPECT_EQ(trackball.halfHeight, 255);
}

TEST_F(GlutCallbacksTest, DisplayBeforeTheFirstWorldOnlyClearsAndSwaps) {
    GlRecorder gl;
    display();
    Calls expected{{"glClear", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}, {"glMatrixMode", GL_MODELVIEW}, {"glPushMatrix"}};
    expected.insert(expected.end(), identityTurn.begin(), identityTurn.end());
    expected.insert(expected.end(), {{"glPopMatrix"}, {"glFlush"}, {"glutSwapBuffers"}});
    EXPECT_EQ(gl.calls(), expected);
}

TEST_F(GlutCallbacksTest, DisplayDrawsTheWorldUnderTheTrackballTurn) {
    buildWorld();
    trackball.resize(768, 768);
    trackball.beginDrag(384, 384);
    trackball.drag(480, 384);
    // The one-step turn about y: cos and sin of 27.05 degrees, written row by row.
    const double turn[16] = {0.890620, 0, 0.454748, 0, 0, 1, 0, 0, -0.454748, 0, 0.890620, 0, 0, 0, 0, 1};

    GlRecorder gl;
    display();
    const Calls& calls = gl.calls();
    ASSERT_GT(calls.size(), 10u);
    ASSERT_EQ(calls[3].name, "glMultMatrixf");
    ASSERT_EQ(calls[3].args.size(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(calls[3].args[i], turn[i], 1e-6) << "element " << i;
    EXPECT_EQ(calls[4], (GlCall{"glPushMatrix"}));  // the first table element
    EXPECT_EQ(gl.bitmapText(), "0Score:Vantorello");
    EXPECT_EQ(calls[calls.size() - 3], (GlCall{"glPopMatrix"}));
    EXPECT_EQ(calls.back(), (GlCall{"glutSwapBuffers"}));
    EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 1);
}

// Which keys do what is the game's (GameTest); the callback only hands them on, wherever the pointer is.
TEST_F(GlutCallbacksTest, KeyboardHandsKeysToTheGame) {
    buildWorld();
    keyboard('f', 0, 0);
    EXPECT_NE(game.currentWorld->leftFlipper.swingActive, 0);
    keyboard('j', 0, 0);
    EXPECT_NE(game.currentWorld->rightFlipper.swingActive, 0);
    keyboard('n', 0, 0);
    EXPECT_TRUE(game.restartRequested);
}

TEST_F(GlutCallbacksTest, OnlyTheMiddleButtonDragsAndTheMouseNeverRedraws) {
    GlRecorder gl;
    trackball.resize(768, 768);
    for (int button : {GLUT_LEFT_BUTTON, GLUT_RIGHT_BUTTON})
        for (int state : {GLUT_DOWN, GLUT_UP}) mouse(button, state, 100, 100);
    EXPECT_FALSE(trackball.dragging);

    // A release with no press before it only ends the (absent) drag.
    mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 300, 300);
    EXPECT_FALSE(trackball.dragging);
    EXPECT_EQ(trackball.orientation, (Trackball::Quaternion{1, 0, 0, 0}));
    EXPECT_EQ(trackball.lastPoint, (Trackball::Point{0, 0, 0}));

    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 384, 384);
    EXPECT_TRUE(trackball.dragging);
    EXPECT_EQ(trackball.lastPoint, (Trackball::Point{0, 0, 3}));
    mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 480, 384);
    EXPECT_FALSE(trackball.dragging);
    EXPECT_EQ(trackball.orientation, (Trackball::Quaternion{1, 0, 0, 0}));
    EXPECT_TRUE(gl.calls().empty());
}

TEST_F(GlutCallbacksTest, EveryMotionDragsAndRedraws) {
    GlRecorder gl;
    trackball.resize(768, 768);
    // Motion with no middle button held (any other button) turns nothing but still redraws.
    motion(480, 384);
    EXPECT_EQ(trackball.orientation, (Trackball::Quaternion{1, 0, 0, 0}));
    EXPECT_EQ(gl.redisplayCount(), 1);

    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 384, 384);
    motion(480, 384);
    EXPECT_NEAR(trackball.orientation[0], 0.972271, 1e-6);
    EXPECT_NEAR(trackball.orientation[2], 0.233859, 1e-6);
    EXPECT_EQ(gl.redisplayCount(), 2);
    EXPECT_EQ(gl.calls(), (Calls{{"glutPostRedisplay"}, {"glutPostRedisplay"}}));
}

TEST_F(GlutCallbacksTest, IdleRedrawsOnTheFirstAndEveryFifteenthStep) {
    GlRecorder gl;
    game.restartRequested = true;
    std::string pattern;
    for (int call = 0; call < 33; ++call) {
        const int before = gl.redisplayCount();
        idle();
        pattern += gl.redisplayCount() > before ? '*' : '.';
    }
    // The first call builds the World; steps 1, 16 and 31 redraw.
    EXPECT_EQ(pattern, ".*..............*..............*.");
    EXPECT_EQ(game.tickCount, 32);
}

TEST_F(GlutCallbacksTest, PacedIdleRunsTheTicksDueAndRedrawsWhenOneHitsTheRhythm) {
    double now = 0.0;
    Pacing pacing(
        900.0, [&now] { return Pacing::Seconds(now); }, [](Pacing::Seconds) {});
    bindPacing(&pacing);
    buildWorld();
    GlRecorder gl;

    idle();  // tick 0 is due at once, and redraws
    EXPECT_EQ(game.tickCount, 1);
    EXPECT_EQ(gl.redisplayCount(), 1);

    now = 5.5 / 900.0;  // five more due: ticks 1 to 5, none a multiple of 15
    idle();
    EXPECT_EQ(game.tickCount, 6);
    EXPECT_EQ(gl.redisplayCount(), 1);

    now = 15.5 / 900.0;  // ten due, but one call catches up eight at most (ticks 6 to 13); the rest is dropped
    idle();
    EXPECT_EQ(game.tickCount, 14);
    now = 17.6 / 900.0;  // from there on one per period again: ticks 14 and 15, and 15 redraws
    idle();
    EXPECT_EQ(game.tickCount, 16);
    EXPECT_EQ(gl.redisplayCount(), 2);

    bindPacing(nullptr);
    idle();
    EXPECT_EQ(game.tickCount, 17);
}

namespace {
int framesTaken = 0;
void countFrame() { ++framesTaken; }
}  // namespace

TEST_F(GlutCallbacksTest, FrameHookSeesEveryPictureTheGameAskedForAndNoOther) {
    GlRecorder gl;
    framesTaken = 0;
    bindFrameHook(countFrame);
    display();  // the window uncovered before there is a World
    buildWorld();
    display();  // uncovered again: no picture was asked for
    EXPECT_EQ(framesTaken, 0);
    EXPECT_FALSE(framePending());
    idle();  // step 1 asks for a picture
    EXPECT_TRUE(framePending());
    display();
    EXPECT_FALSE(framePending());
    display();
    EXPECT_EQ(framesTaken, 1);
    for (int step = 2; step <= 31; ++step) {
        idle();
        if (framePending()) display();
    }
    EXPECT_EQ(framesTaken, 3);  // steps 1, 16 and 31
    bindFrameHook(nullptr);
}
