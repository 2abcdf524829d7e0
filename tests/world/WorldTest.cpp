#include "world/World.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "obstacles/Sphere.h"
#include "obstacles/TexturedPanel.h"
#include "support/Vectors.h"
#include "support/Worlds.h"

namespace {

// Two masses at (0,0,0) and (2,0,0): a centre mass at (1,0,0) and one centre spring.
constexpr const char* tinyModel = "Masses 2 0 0 0 2 0 0 Springs 1 0 1 Faces 0";

// Puts every mass of the ball at the same place with the same velocity.
void placeBall(World& world, const Vector& position, const Vector& velocity) {
    for (Mass& m : world.masses) {
        m.position = position;
        m.velocity = velocity;
    }
    world.updateBounds();
}

}  // namespace

TEST(WorldTest, TableIsLaidOutInOrder) {
    auto world = worldFromText(tinyModel);
    ASSERT_EQ(world->obstacles.size(), 15u);
    EXPECT_EQ(world->obstacles[11], &world->backWall);
    EXPECT_EQ(world->obstacles[13], &world->leftFlipper);
    EXPECT_EQ(world->obstacles[14], &world->rightFlipper);

    // Kinds and colours, row by row: boxes 1-5, pictures 6-7, spheres 8-11, back wall, bumper, flippers.
    const float wall[4] = {0, 0.1f, 0.9f, 1}, floorColour[4] = {0, 0, 0, 0}, standard[4] = {0.8f, 0.4f, 0, 1},
                back[4] = {0.7f, 0.2f, 0.1f, 1};
    const float* colours[15] = {wall, wall, wall, floorColour, wall, standard, standard, nullptr, nullptr,
                                nullptr, nullptr, back, nullptr, standard, standard};
    for (int i = 0; i < 15; ++i) {
        Obstacle* o = world->obstacles[i];
        const bool isSphere = dynamic_cast<Sphere*>(o) != nullptr;
        const bool isPanel = dynamic_cast<TexturedPanel*>(o) != nullptr;
        EXPECT_EQ(isSphere, (i >= 7 && i <= 10) || i == 12) << i;
        EXPECT_EQ(isPanel, i == 5 || i == 6) << i;
        if (colours[i] != nullptr) {
            for (int c = 0; c < 4; ++c) EXPECT_EQ(o->color[c], colours[i][c]) << i;
        }
    }

    const auto* floor = dynamic_cast<Box*>(world->obstacles[3]);
    ASSERT_NE(floor, nullptr);
    EXPECT_VEC_EQ(floor->origin, -5, 0, 0);
    EXPECT_VEC_EQ(floor->edgeV, 0, 0, 20);
    EXPECT_VEC_EQ(world->leftFlipper.origin, -5, 0, 16);
    EXPECT_VEC_EQ(world->rightFlipper.edgeU, 0, -3, 0);
    EXPECT_VEC_EQ(world->backWall.edgeV, 0, 6, 0);
    EXPECT_EQ(world->score, 0);
}

TEST(WorldTest, ThreeScoringBumpersInOrder) {
    auto world = worldFromText(tinyModel);
    ASSERT_EQ(world->scoringObstacles.size(), 3u);
    const float centres[3][3] = {{0, -0.2f, 5}, {3.5f, -0.2f, 5}, {0.6f, -0.3f, 15}};
    const double radii[3] = {1.5, 1.5, 1.0};
    for (int i = 0; i < 3; ++i) {
        const auto* bumper = dynamic_cast<Sphere*>(world->scoringObstacles[i]);
        ASSERT_NE(bumper, nullptr);
        EXPECT_VEC_EQ(bumper->centre, centres[i][0], centres[i][1], centres[i][2]);
        EXPECT_EQ(bumper->radius, radii[i]);
    }
    EXPECT_EQ(world->scoringObstacles[2], world->obstacles[12]);
}

TEST(WorldTest, BallStartsMovedFromWhereTheReaderPutIt) {
    auto world = worldFromText(tinyModel);
    ASSERT_EQ(world->masses.size(), 3u);
    EXPECT_VEC_EQ(world->masses[0].position, -1, 3, 2);
    EXPECT_VEC_EQ(world->masses[1].position, -2, 3, 2);
    EXPECT_VEC_EQ(world->masses[2].position, 0, 3, 2);
    EXPECT_VEC_EQ(world->boxMin, -1, 0, 0);
    EXPECT_VEC_EQ(world->boxMax, 1, 0, 0);
    EXPECT_EQ(world->boundingRadius, 1.0);
}

TEST(WorldTest, UnreadableModelGivesFullTableAndNoBall) {
    auto world = worldFromText("Masses 3 0 0 0");
    EXPECT_FALSE(world->hasBall());
    EXPECT_FALSE(world->modelError.empty());
    EXPECT_EQ(world->obstacles.size(), 15u);
    world->leftFlipper.startSwing();
    world->step();  // does nothing, and above all does not touch a missing centre mass
    EXPECT_EQ(world->leftFlipper.swingAngle, 0.0f);
    EXPECT_EQ(world->score, 0);
}

TEST(WorldTest, OnePointPerBumperPerTick) {
    auto world = shippedWorld();
    // Every mass inside the first bumper, moving inwards.
    placeBall(*world, vec(0, 0.9f, 5), vec(0, -1, 0));
    world->step();
    EXPECT_EQ(world->score, 1);
    EXPECT_EQ(world->scoringObstacles[0]->hitCount, 0);

    // Between the two upper bumpers, touching both.
    placeBall(*world, vec(1.75f, -0.2f, 5), vec(0, 0, 0));
    for (std::size_t i = 0; i < world->masses.size(); ++i) {
        Mass& m = world->masses[i];
        m.position = vec(i % 2 == 0 ? 0.9f : 2.6f, -0.2f, 5);
        m.velocity = vec(i % 2 == 0 ? -1.0f : 1.0f, 0, 0);
    }
    world->boundingRadius = 2.0;
    world->step();
    EXPECT_EQ(world->score, 3);
}

TEST(WorldTest, CornerPostsNeverScore) {
    auto world = shippedWorld();
    placeBall(*world, vec(-4, 0.5f, 0.5f), vec(-1, 0, 0));
    world->step();
    EXPECT_EQ(world->score, 0);
    EXPECT_GT(world->obstacles[9]->hitCount, 0);  // touched, but not listed for scoring
}

TEST(WorldTest, ElementExactlyAtBoundingRadiusIsSkipped) {
    auto world = shippedWorld();
    // Centre mass inside the first bumper, the bumper's distance made exactly the radius.
    placeBall(*world, vec(0, 0.9f, 5), vec(0, -1, 0));
    world->boundingRadius = world->obstacles[7]->distance(world->masses[0].position);
    ASSERT_LT(world->boundingRadius, 0.0);  // inside: the distance is negative
    world->step();
    EXPECT_EQ(world->score, 0);
}

TEST(WorldTest, FlipperSwingAdvancesAtTheEndOfTheStep) {
    auto world = shippedWorld();
    world->rightFlipper.startSwing();
    world->step();
    EXPECT_EQ(world->rightFlipper.swingAngle, 0.4f);
    EXPECT_EQ(world->leftFlipper.swingAngle, 0.0f);
}

TEST(WorldTest, RebuiltWorldIsIdentical) {
    auto first = shippedWorld();
    for (int i = 0; i < 50; ++i) first->step();
    first.reset();
    auto second = shippedWorld();
    auto third = shippedWorld();
    ASSERT_EQ(second->masses.size(), third->masses.size());
    for (std::size_t i = 0; i < second->masses.size(); ++i)
        EXPECT_TRUE(sameBits(second->masses[i].position, third->masses[i].position));
    for (int i = 0; i < 200; ++i) {
        second->step();
        third->step();
    }
    for (std::size_t i = 0; i < second->masses.size(); ++i)
        EXPECT_TRUE(sameBits(second->masses[i].velocity, third->masses[i].velocity));
}
