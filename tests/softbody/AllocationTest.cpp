// The soft-body tick runs hundreds of times a second for the whole game: it must not touch the heap.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "softbody/ModelReader.h"
#include "softbody/SoftBody.h"
#include "support/AllocationCounter.h"
#include "support/Capture.h"

namespace {

// The game's own ball, read from its model file; the reader's progress lines are swallowed.
SoftBody defaultBall() {
    std::ifstream model(std::string(FLIPPER_ASSETS) + "/sphere.iv");
    const Console console;
    SoftBody body;
    EXPECT_EQ(readModel(model, body), "");
    return body;
}

long allocationsInTicks(SoftBody& body, int ticks) {
    AllocationCounter counter;
    for (int t = 0; t < ticks; ++t) {
        body.computeForces();
        body.integrate();
    }
    return counter.count();
}

}  // namespace

TEST(SoftBodyAllocationTest, TickAllocatesNothing) {
    // A resting ball: every spring at its rest length, no spin.
    SoftBody resting = defaultBall();
    ASSERT_EQ(resting.masses.size(), 43u);
    EXPECT_EQ(allocationsInTicks(resting, 200), 0);

    // A squashed, tumbling ball: stretched springs, damping, and the centre force clamped.
    SoftBody squashed = defaultBall();
    for (Mass& m : squashed.masses) {
        m.position[1] = float(m.position[1] * 0.5);
        m.velocity[0] = m.position[2];
    }
    squashed.masses[0].position[0] = 0.3f;
    squashed.computeForces();
    ASSERT_FLOAT_EQ(float(squashed.masses[0].force.norm()), 100.0f) << "the clamp should have acted";
    EXPECT_EQ(allocationsInTicks(squashed, 200), 0);
}

TEST(SoftBodyAllocationTest, SpinLimiterAllocatesNothing) {
    // A ball spinning fast about y: the limiter prints its line to the real standard output and
    // slows the ball on every tick.
    SoftBody spinning = defaultBall();
    for (Mass& m : spinning.masses) {
        m.velocity[0] = float(40.0 * m.position[2]);
        m.velocity[2] = float(-40.0 * m.position[0]);
    }
    const Capture out(std::cout);  // its room is taken before the count starts
    EXPECT_EQ(allocationsInTicks(spinning, 3), 0);
    EXPECT_EQ(out.text().rfind("Killing AngularMoment: ", 0), 0u) << "the limiter should have acted";
}
