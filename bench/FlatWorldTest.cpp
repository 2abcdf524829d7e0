#include "bench/FlatWorld.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bench/BenchWorlds.h"
#include "game/StateHash.h"
#include "tests/support/Capture.h"
#include "world/World.h"

namespace {

struct Scenario {
    std::string name;
    int subdivisions;
    int ticks;
    std::function<void(World&)> setUp;  // applied to the World before the flat copy is made
    std::set<int> leftSwings;           // ticks before which 'f' is pressed
    std::set<int> rightSwings;          // ticks before which 'j' is pressed
};

void nothing(World&) {}

void moveBall(World& world, float x, float y, float z) {
    Vector move(3);
    move[0] = x;
    move[1] = y;
    move[2] = z;
    world.translate(move);
}

}  // namespace

TEST(FlatWorldTest, FollowsWorldStepToTheBit) {
    const std::vector<Scenario> scenarios = {
        // Every benchmarked ball, from the start until the end of the measured stretch.
        {"42 masses", 1, landingTicks + stretchTicks, nothing, {}, {}},
        {"162 masses", 2, landingTicks + stretchTicks, nothing, {}, {}},
        {"642 masses", 3, landingTicks + stretchTicks, nothing, {}, {}},
        {"2562 masses", 4, landingTicks + stretchTicks, nothing, {}, {}},
        // The default game: a bumper at tick 650, the left flipper kicks the ball at 1800; the
        // right flipper is pressed again in mid-swing.
        {"game", 1, 2600, nothing, {1800, 2100}, {500, 540}},
        // Dropped onto the bumper at (3.5, -0.2, 5).
        {"bumper", 1, 300, [](World& w) { moveBall(w, 5.5f, -0.5f, 3.0f); }, {}, {}},
        // Spinning about the ball's vertical axis: the limiter acts on every tick for a while, and
        // the centre, pushed off the middle, has its force clamped.
        {"spin",
         1,
         200,
         [](World& w) {
             for (Mass& m : w.masses) {
                 m.velocity[0] = float(8.0 * (m.position[2] - 2.0));
                 m.velocity[2] = float(-8.0 * (m.position[0] + 2.0));
             }
             w.masses[0].position[0] += 0.3f;
         },
         {},
         {}},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        auto world = worldFrom(ballModel(s.subdivisions));
        s.setUp(*world);
        FlatWorld flat(*world);
        ASSERT_EQ(flat.stateHash(), stateHash(*world));
        std::optional<Capture> spinLines(std::in_place, std::cout);  // the spin limiter's lines
        int firstDifference = -1;
        for (int tick = 0; tick < s.ticks; ++tick) {
            if (s.leftSwings.count(tick) != 0) {
                world->leftFlipper.startSwing();
                flat.startLeftSwing();
            }
            if (s.rightSwings.count(tick) != 0) {
                world->rightFlipper.startSwing();
                flat.startRightSwing();
            }
            world->step();
            flat.step();
            if (flat.stateHash() != stateHash(*world) || flat.score() != world->score ||
                flat.boundingRadius() != world->boundingRadius ||
                flat.leftSwingAngle() != world->leftFlipper.swingAngle ||
                flat.rightSwingAngle() != world->rightFlipper.swingAngle) {
                firstDifference = tick;
                break;
            }
        }
        const std::string lines = spinLines->text();
        spinLines.reset();
        EXPECT_EQ(firstDifference, -1) << "the flat step first differs after this tick";
        // After a blow-up the two could differ only in the signs of NaNs, which nothing fixes.
        EXPECT_LT(world->boundingRadius, 3.0) << "the ball should stay sound";
        if (s.name == "spin") {
            EXPECT_NE(lines.find("Killing AngularMoment"), std::string::npos);
        }
        if (s.name == "game" || s.name == "bumper") {
            EXPECT_GT(world->score, 0);
        }
    }
}
