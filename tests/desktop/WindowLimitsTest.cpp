// A window larger than the renderer can draw: reshape fits the drawing to the renderer and asks the
// window to shrink, before the driver is handed a framebuffer it may fail on.
#include "desktop/WindowFit.h"

#include <gtest/gtest.h>

#include "front/GlutCallbacks.h"
#include "front/Trackball.h"
#include "game/Game.h"
#include "support/GlRecorder.h"

using namespace callbacks;  // the callbacks under test

namespace {

class WindowLimitsTest : public testing::Test {
protected:
    void SetUp() override {
        bindCallbacks(game, trackball);
        bindWindowFit(fitToRenderer);
    }

    Game game;
    Trackball trackball{3.0, 256, 256};
};

}  // namespace

TEST_F(WindowLimitsTest, AHugeWindowIsDrawnAtTheCapAndAskedToShrink) {
    GlRecorder gl;  // answers GL_MAX_VIEWPORT_DIMS with 16384 by 16384, as Mesa's llvmpipe does
    reshape(32767, 32767);
    // 16384 is more than the 8192 the game ever draws; the aspect is that of what is drawn: 1.
    EXPECT_EQ(gl.calls(), (Calls{{"glGetIntegerv", GL_MAX_VIEWPORT_DIMS},
                                 {"glutReshapeWindow", 8192, 8192},
                                 {"glViewport", 0, 0, 8192, 8192},
                                 {"glMatrixMode", GL_PROJECTION},
                                 {"glLoadIdentity"},
                                 {"gluPerspective", 45.0, 1.0, 13.0, 128.0},
                                 {"glTranslatef", 0, 0, -38},
                                 {"glMatrixMode", GL_MODELVIEW},
                                 {"glLoadIdentity"},
                                 {"glRotatef", 15, 1, 0, 0}}));
    EXPECT_EQ(trackball.halfWidth, 4096);
    EXPECT_EQ(trackball.halfHeight, 4096);
}

TEST_F(WindowLimitsTest, EachSideIsFittedToTheRendererAndTheCap) {
    struct Case {
        int width, height;            // the window the toolkit reports
        int limitWidth, limitHeight;  // the renderer's GL_MAX_VIEWPORT_DIMS (0: no answer)
        int drawnWidth, drawnHeight;  // the viewport the game sets
        bool asked;                   // whether the query is made
        bool shrunk;                  // whether the window is asked to shrink
    };
    const Case cases[] = {
        {767, 511, 16384, 16384, 767, 511, false, false},        // the usual: no query at all
        {4096, 4096, 2048, 2048, 4096, 4096, false, false},      // every renderer takes 4096
        {4097, 300, 16384, 16384, 4097, 300, true, false},       // asked, and within the limits
        {8192, 8192, 16384, 16384, 8192, 8192, true, false},     // the cap itself
        {16000, 600, 16384, 16384, 8192, 600, true, true},       // one side too wide
        {600, 16000, 16384, 16384, 600, 8192, true, true},       // one side too tall
        {32767, 32767, 5000, 6000, 5000, 6000, true, true},      // a renderer below the cap
        {32767, 20000, 0, 0, 8192, 8192, true, true},            // a renderer that gives no answer
        {32767, 5000, 5000, 16384, 5000, 5000, true, true},      // each side on its own limit
    };
    for (const Case& c : cases) {
        GlRecorder gl;
        gl.setMaxViewportDims(c.limitWidth, c.limitHeight);
        reshape(c.width, c.height);
        const std::string label = std::to_string(c.width) + " x " + std::to_string(c.height);
        EXPECT_EQ(gl.callsNamed("glGetIntegerv").size(), c.asked ? 1u : 0u) << label;
        EXPECT_EQ(gl.callsNamed("glViewport"), (Calls{{"glViewport", 0, 0, c.drawnWidth, c.drawnHeight}})) << label;
        EXPECT_EQ(gl.callsNamed("glutReshapeWindow"),
                  c.shrunk ? (Calls{{"glutReshapeWindow", c.drawnWidth, c.drawnHeight}}) : Calls{})
            << label;
        EXPECT_EQ(trackball.halfWidth, c.drawnWidth / 2) << label;
        EXPECT_EQ(trackball.halfHeight, c.drawnHeight / 2) << label;
    }
}
