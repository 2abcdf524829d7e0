#include "obstacles/Sphere.h"

#include <gtest/gtest.h>

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

// Worked by hand. Just inside at depth 1.4, moving (-2, 1, 0): vr = -2, the velocity loses
// rel * vr = (-2.8, 0, 0) and its x becomes 0.8 (1 - r times the normal speed); w becomes
// (-4.8, 1, 0). The force (-10, 0, 0) presses with |rel . force| = 14 and loses 0.6 * 14 * w.
// With a pull of (0, 1, 0) at depth 1, moving (-2, 0, 0): w = (-2, 1, 0), vr = -2, the velocity
// stops, w becomes (-4, 1, 0), and the force (-10, 0, 0) presses with 10 and loses 6 * w.
TEST(SphereTest, BounceScalesWithDepthAndBrakesPressingForce) {
    const struct {
        const char* name;
        Mass mass;
        Vector pull;
        float velocity[3];
        float force[3];
    } cases[] = {
        {"depth 1.4", massAt(vec(1.4f, 0, 0), vec(-2, 1, 0), vec(-10, 0, 0)), zero, {0.79999995f, 1, 0},
         {30.3199997f, -8.40000057f, 0}},
        {"pulled", massAt(vec(1, 0, 0), vec(-2, 0, 0), vec(-10, 0, 0)), vec(0, 1, 0), {0, 0, 0}, {14, -6, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sphere sphere(vec(0, 0, 0), 1.5, 1);
        Mass m = c.mass;
        EXPECT_TRUE(sphere.collide(m, c.pull));
        EXPECT_VEC_EQ(m.velocity, c.velocity[0], c.velocity[1], c.velocity[2]);
        EXPECT_VEC_EQ(m.force, c.force[0], c.force[1], c.force[2]);
        EXPECT_VEC_EQ(m.position, c.mass.position[0], 0, 0);
    }
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
