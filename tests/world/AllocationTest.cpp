// The World step runs on every idle call for as long as the game runs: it must not touch the heap,
// whatever the ball meets on the table.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "support/AllocationCounter.h"
#include "support/Worlds.h"
#include "world/World.h"


TEST(WorldAllocationTest, GameWithBumperHitsAndFlipperSwingsAllocatesNothing) {
    // The ball drops onto the floor, rolls past the left bumper (scoring), comes to lie against the
    // left flipper around tick 1800 and is kicked back up the table by its swing. The right
    // flipper swings on its own, and is pressed again in mid-swing.
    auto world = shippedWorld();
    float fastestUpTable = 0.0f;  // most negative z speed of the centre mass after the kick
    long allocations;
    {
        AllocationCounter counter;
        for (int tick = 0; tick < 2400; ++tick) {
            if (tick == 1800) world->leftFlipper.startSwing();
            if (tick == 500 || tick == 540) world->rightFlipper.startSwing();
            world->step();
            if (tick > 1800 && world->masses[0].velocity[2] < fastestUpTable)
                fastestUpTable = world->masses[0].velocity[2];
        }
        allocations = counter.count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(world->score, 0) << "the ball should have hit a bumper";
    // Rolling down the table the ball moves towards +z; the kick sends it the other way.
    EXPECT_LT(fastestUpTable, -1.5f) << "the left flipper should have kicked the ball";
}

TEST(WorldAllocationTest, BallDroppedOnBumperScoresWithoutAllocating) {
    // The ball starts at (-2, 3, 2); moved above the bumper at (3.5, -0.2, 5) it falls onto it.
    auto world = shippedWorld();
    Vector move(3);
    move[0] = 5.5f;
    move[1] = -0.5f;
    move[2] = 3.0f;
    world->translate(move);
    long allocations;
    {
        AllocationCounter counter;
        for (int tick = 0; tick < 300; ++tick) world->step();
        allocations = counter.count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(world->score, 0) << "the ball should have hit the bumper";
}
