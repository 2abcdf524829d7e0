#include "obstacles/Box.h"

#include <gtest/gtest.h>

#include "softbody/Mass.h"
#include "support/Vectors.h"

namespace {

// The floor-like box of the examples: corner at the origin, 2 along x, 3 along z, normal -y.
Box exampleBox() { return Box(vec(0, 0, 0), vec(2, 0, 0), vec(0, 0, 3), 1); }

const Vector zero(3);

}  // namespace

TEST(BoxTest, FrameFromCornerAndEdges) {
    const Box box = exampleBox();
    EXPECT_VEC_EQ(box.normal, 0, -1, 0);
    EXPECT_EQ(box.lengthU, 2.0f);
    EXPECT_EQ(box.lengthV, 3.0f);
    EXPECT_VEC_EQ(box.axisU, 1, 0, 0);
    EXPECT_VEC_EQ(box.axisV, 0, 0, 1);
    EXPECT_VEC_EQ(box.faceNormal, 0, -1, 0);
    EXPECT_VEC_EQ(box.faceAxis, 0, 0, 1);
    const float frame[16] = {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(box.frame[i], frame[i]) << i;
    const float color[4] = {0.8f, 0.4f, 0.0f, 1.0f};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(box.color[i], color[i]);
    EXPECT_EQ(box.texture, 0u);
    EXPECT_EQ(box.swingActive, 0);
    EXPECT_EQ(box.hitCount, 0);
    EXPECT_EQ(box.solid, 1);
}

TEST(BoxTest, DistanceIsFromTheUnboundedPlane) {
    // On either side of the plane y = 0, inside the rectangle or far outside it.
    for (const Vector& point : {vec(5, 0.05f, 7), vec(5, -0.05f, 7), vec(1, -0.05f, 1)})
        EXPECT_EQ(exampleBox().distance(point), double(0.05f)) << point[1];
}

TEST(BoxTest, RestingBoxStopsApproachingMass) {
    Box box = exampleBox();
    Mass m = massAt(vec(1, 0.05f, 1), vec(0, -1, 0), vec(0, -98.1f, 0));
    EXPECT_TRUE(box.collide(m, zero));
    EXPECT_VEC_EQ(m.velocity, 0, 0, 0);
    EXPECT_VEC_EQ(m.force, 0, -98.1f, 0);
    EXPECT_VEC_EQ(m.position, 1, 0.05f, 1);

    Mass leaving = massAt(vec(1, 0.05f, 1), vec(0, 1, 0), vec(0, -98.1f, 0));
    EXPECT_FALSE(box.collide(leaving, zero));
    EXPECT_VEC_EQ(leaving.velocity, 0, 1, 0);
    EXPECT_VEC_EQ(leaving.force, 0, -98.1f, 0);
}

TEST(BoxTest, FrictionBrakesSlidingMass) {
    // Sliding along x at 1: the force loses 0.6 (the float, widened) times how hard it presses on
    // the slab, 98.1, from its x: 58.86, whichever way it presses.
    for (const float pressing : {-98.1f, 98.1f}) {
        SCOPED_TRACE(pressing);
        Box box = exampleBox();
        Mass m = massAt(vec(1, 0.05f, 1), vec(1, -1, 0), vec(0, pressing, 0));
        EXPECT_TRUE(box.collide(m, zero));
        EXPECT_VEC_EQ(m.velocity, 1, 0, 0);
        EXPECT_VEC_EQ(m.force, -58.8600006f, pressing, 0);
    }
}

TEST(BoxTest, ContactBandAndRectangleBorders) {
    Box box = exampleBox();
    struct Case {
        Vector position;
        bool contact;
    };
    const Case cases[] = {
        {vec(1, 0.1f, 1), false},     // |dn| exactly the band: not in contact
        {vec(1, 0.099f, 1), true},
        {vec(0, 0.05f, 1), true},     // su = 0, on the border
        {vec(2, 0.05f, 1), true},     // su = lengthU
        {vec(2.01f, 0.05f, 1), false},
        {vec(1, 0.05f, 3), true},     // sv = lengthV
        {vec(1, 0.05f, -0.01f), false},
        {vec(1, -0.05f, 1), false},   // on the other side, moving away
    };
    for (const Case& c : cases) {
        Mass m = massAt(c.position, vec(0, -1, 0), vec(0, 0, 0));
        EXPECT_EQ(box.collide(m, zero), c.contact) << c.position[0] << "," << c.position[1] << "," << c.position[2];
    }
}

TEST(BoxTest, SwingingFlipperKicksAlongFaceNormal) {
    Box box = exampleBox();
    box.startSwing();
    box.hitCount = 3;
    Mass m = massAt(vec(1, 0.5f, 1), vec(0.5f, -1, 0), vec(0, -98.1f, 0));  // within the wide band 0.58
    EXPECT_TRUE(box.collide(m, zero));
    EXPECT_VEC_EQ(m.velocity, 0.5f, -2.8f, 0);
    EXPECT_VEC_EQ(m.force, 0, -98.1f, 0);
    EXPECT_EQ(box.hitCount, 0);
}

TEST(BoxTest, SwingAngleTurnsFaceAboutHinge) {
    Box box = exampleBox();
    box.setSwingAngle(90.0f);
    // The game's pi is 3.1415, so a quarter turn is not quite exact.
    EXPECT_VEC_NEAR(box.faceNormal, 0, -0.0000463, -1, 1e-6);
    EXPECT_VEC_NEAR(box.faceAxis, 0, -1, 0.0000463, 1e-6);
    EXPECT_NE(box.faceNormal[1], 0.0f);
    box.setSwingAngle(0.0f);
    EXPECT_VEC_EQ(box.faceNormal, 0, -1, 0);
    EXPECT_VEC_EQ(box.faceAxis, 0, 0, 1);
}

TEST(FlipperTest, FullSwingTakesOneHundredUpdates) {
    Box flipper(vec(-5, 0, 16), vec(0, 3, 0), vec(3.5f, 0, 2), 0);
    const Vector restingNormal = flipper.faceNormal;
    flipper.startSwing();
    EXPECT_EQ(flipper.swingAngle, 0.0f);  // the swing moves only with the next update
    EXPECT_TRUE(sameBits(flipper.faceNormal, restingNormal));
    float expected = 0.0f;
    for (int i = 1; i <= 99; ++i) {
        flipper.updateSwing();
        expected = float(double(expected) + double(0.4f));
        ASSERT_EQ(flipper.swingAngle, expected) << i;
        ASSERT_NE(flipper.swingActive, 0) << i;
    }
    EXPECT_EQ(flipper.swingAngle, 39.600006f);
    flipper.updateSwing();
    EXPECT_EQ(flipper.swingAngle, 0.0f);
    EXPECT_EQ(flipper.swingActive, 0);
    EXPECT_TRUE(sameBits(flipper.faceNormal, flipper.normal));
}

TEST(FlipperTest, SecondPressDoesNotRestartTheSwing) {
    Box once(vec(-5, 0, 16), vec(0, 3, 0), vec(3.5f, 0, 2), 0);
    Box twice = once;
    once.startSwing();
    twice.startSwing();
    for (int i = 1; i <= 100; ++i) {
        if (i == 50) twice.startSwing();  // at angle 19.6
        once.updateSwing();
        twice.updateSwing();
        ASSERT_EQ(once.swingAngle, twice.swingAngle) << i;
        ASSERT_EQ(once.swingActive, twice.swingActive) << i;
    }
    EXPECT_EQ(twice.swingActive, 0);
}

TEST(FlipperTest, RestingFlipperStaysAtRest) {
    Box flipper(vec(5, 3, 16), vec(0, -3, 0), vec(-3.5f, 0, 2), 0);
    flipper.hitCount = 2;
    flipper.updateSwing();
    EXPECT_EQ(flipper.swingAngle, 0.0f);
    EXPECT_EQ(flipper.hitCount, 0);
    EXPECT_TRUE(sameBits(flipper.faceNormal, flipper.normal));
}
