#include "obstacles/Sphere.h"

#include <gtest/gtest.h>

#include <cmath>

#include "softbody/Mass.h"
#include "support/Vectors.h"

namespace {

const Vector zero(3);

}  // namespace

TEST(SphereTest, DistanceIsSignedFromTheSurface) {
    const Sphere sphere(vec(0, 0, 0), 1.5, 1);
    EXPECT_EQ(sphere.distance(vec(3, 0, 0)), 1.5);
    EXPECT_EQ(sphere.distance(vec(1, 0, 0)), -0.5);
    EXPECT_EQ(sphere.distance(vec(0, 0, 0)), -1.5);
}

TEST(SphereTest, BounceCountsAHit) {
    Sphere sphere(vec(0, 0, 0), 1.5, 1);
    Mass m = massAt(vec(1, 0, 0), vec(-2, 0, 0), vec(0, -98.1f, 0));
    EXPECT_TRUE(sphere.collide(m, zero));
    EXPECT_VEC_EQ(m.velocity, 0, 0, 0);
    EXPECT_VEC_EQ(m.force, 0, -98.1f, 0);  // no pressing along the contact: no friction
    EXPECT_VEC_EQ(m.position, 1, 0, 0);
    EXPECT_EQ(sphere.hitCount, 1);

    Mass second = massAt(vec(0, 1.2f, 0), vec(0, -1, 0), vec(0, 0, 0));
    EXPECT_TRUE(sphere.collide(second, zero));
    EXPECT_EQ(sphere.hitCount, 2);
}

TEST(SphereTest, BounceScalesWithDepthAndBrakesPressingForce) {
    Sphere sphere(vec(0, 0, 0), 1.5, 1);
    // Just inside at depth 1.4: the normal speed -2 becomes +0.8 (times 1 - r).
    Mass m = massAt(vec(1.4f, 0, 0), vec(-2, 1, 0), vec(-10, 0, 0));
    EXPECT_TRUE(sphere.collide(m, zero));
    const double vr = double(-2.0f) * double(1.4f) / double(1.4f);
    EXPECT_VEC_EQ(m.velocity, float(-2.0 - double(float(1.4f * vr))), 1, 0);
    // w = velocity + rel * vr = (-2 + rel*vr, 1, 0); the force loses 0.6 * w * |rel . force|.
    const float wx = float(-2.0 + double(float(double(1.4f) * vr)));
    const double pressing = std::fabs(double(1.4f) * -10.0);
    EXPECT_EQ(m.force[0], float(-10.0 - double(float(double(float(wx * double(0.6f))) * pressing))));
    EXPECT_EQ(m.force[1], float(-double(float(double(float(1.0 * double(0.6f))) * pressing))));
}

TEST(SphereTest, NoContactLeavesEverythingAlone) {
    Sphere sphere(vec(0, 0, 0), 1.5, 1);
    const Mass cases[] = {
        massAt(vec(1, 0, 0), vec(2, 0, 0), vec(0, -98.1f, 0)),    // moving outwards
        massAt(vec(1.5f, 0, 0), vec(-2, 0, 0), vec(0, 0, 0)),     // exactly on the surface
        massAt(vec(0, 0, 0), vec(-2, 0, 0), vec(0, 0, 0)),        // at the centre: no direction
    };
    for (const Mass& c : cases) {
        Mass m = c;
        EXPECT_FALSE(sphere.collide(m, zero));
        EXPECT_TRUE(sameBits(m.velocity, c.velocity));
        EXPECT_TRUE(sameBits(m.force, c.force));
    }
    EXPECT_EQ(sphere.hitCount, 0);
}
