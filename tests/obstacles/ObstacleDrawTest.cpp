// How a box and a sphere bumper draw themselves.
#include <gtest/gtest.h>

#include "obstacles/Box.h"
#include "obstacles/Sphere.h"
#include "support/GlRecorder.h"
#include "support/Vectors.h"

namespace {

// The frame of a box at (1, 2, 3) with edges 2 along x and 3 along z: columns normal (0, -1, 0),
// axisU (1, 0, 0), axisV (0, 0, 1) and the corner.
GlCall exampleFrame() {
    return {"glMultMatrixf", 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
}

}  // namespace

TEST(BoxDrawTest, MarkerThenSlabInTheBoxColourOverItsTexture) {
    GlRecorder gl;
    const Box box(vec(1, 2, 3), vec(2, 0, 0), vec(0, 0, 3), 1);
    box.draw();
    EXPECT_EQ(gl.calls(), (Calls{{"glEnable", GL_TEXTURE_2D},
                                 {"glTexEnvf", GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE},
                                 {"glBindTexture", GL_TEXTURE_2D, 0},
                                 {"glColor4fv", 0.8f, 0.4f, 0.0f, 1.0f},
                                 {"glPushMatrix"},
                                 {"glTranslatef", 1, 2, 3},
                                 {"glutSolidCube", 0.3},
                                 {"glPopMatrix"},
                                 {"glPushMatrix"},
                                 exampleFrame(),
                                 {"glRotatef", 0, 0, 1, 0},
                                 {"glScalef", 0.1f, 2, 3},
                                 {"glTranslatef", 0, 0.5f, 0.5f},
                                 {"glutSolidCube", 1.0},
                                 {"glPopMatrix"},
                                 {"glDisable", GL_TEXTURE_2D}}));
    EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 1);
    EXPECT_FALSE(gl.isEnabled(GL_TEXTURE_2D));
}

TEST(BoxDrawTest, SwungWireFlipperTurnsAboutItsHingeInsideTheFrame) {
    GlRecorder gl;
    Box flipper(vec(1, 2, 3), vec(2, 0, 0), vec(0, 0, 3), 0);
    flipper.setSwingAngle(30.0f);
    flipper.color[0] = 0.0f;
    flipper.color[1] = 0.1f;
    flipper.color[2] = 0.9f;
    flipper.draw();
    const Calls& calls = gl.calls();
    ASSERT_EQ(calls.size(), 16u);
    EXPECT_EQ(calls[3], (GlCall{"glColor4fv", 0.0f, 0.1f, 0.9f, 1.0f}));
    // The corner marker stays solid whatever the box is.
    EXPECT_EQ(calls[6], (GlCall{"glutSolidCube", 0.3}));
    // The frame is fixed at construction; only the turn inside it follows the swing.
    EXPECT_EQ(calls[9], exampleFrame());
    EXPECT_EQ(calls[10], (GlCall{"glRotatef", 30, 0, 1, 0}));
    EXPECT_EQ(calls[13], (GlCall{"glutWireCube", 1.0}));
}

TEST(SphereDrawTest, SolidOrWireWithEightSlicesAndStacksInTheCurrentColour) {
    for (int solid : {1, 0}) {
        GlRecorder gl;
        Sphere(vec(0.6f, -0.3f, 15), 1.0, solid).draw();
        EXPECT_EQ(gl.calls(), (Calls{{"glPushMatrix"},
                                     {"glTranslatef", 0.6f, -0.3f, 15},
                                     {solid ? "glutSolidSphere" : "glutWireSphere", 1.0, 8, 8},
                                     {"glPopMatrix"}}))
            << "solid " << solid;
    }
}
