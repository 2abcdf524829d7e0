#include "world/World.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

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

// The fifteen elements in collision order, every argument and colour, as the table was drawn up.
TEST(WorldTest, TableIsLaidOutInOrder) {
    enum Kind { box, panel, sphere };
    constexpr int none = -1;  // not a scoring bumper
    const float wall[4] = {0, 0.1f, 0.9f, 1}, black[4] = {0, 0, 0, 0}, standard[4] = {0.8f, 0.4f, 0, 1},
                brick[4] = {0.7f, 0.2f, 0.1f, 1};
    const struct {
        const char* name;
        Kind kind;
        float a[3];  // a box's or panel's origin, a sphere's centre
        float u[3];  // edgeU
        float v[3];  // edgeV
        double radius;
        int solid;
        const float* colour;  // nullptr: a sphere, whose colour is never used
        int scoring;          // place in scoringObstacles
    } rows[] = {
        {"left side wall", box, {-5, 3, 16}, {0, -3, 0}, {0, 0, -16}, 0, 1, wall, none},
        {"inner right wall", box, {5, 0, 13}, {0, 3, 0}, {0, 0, 3}, 0, 1, wall, none},
        {"right deflector", box, {5, 0, 13}, {0, 3, 0}, {1.5f, 0, -2}, 0, 1, wall, none},
        {"floor", box, {-5, 0, 0}, {12, 0, 0}, {0, 0, 20}, 0, 1, black, none},
        {"right side wall", box, {7, 0, 0}, {0, 3, 0}, {0, 0, 20}, 0, 1, wall, none},
        {"playfield picture", panel, {-5, 0.1f, 0}, {12, 0, 0}, {0, 0, 20}, 0, 1, standard, none},
        {"back picture", panel, {-5, 6, 0.1f}, {12, 0, 0}, {0, -6, 0}, 0, 1, standard, none},
        {"left bumper", sphere, {0, -0.2f, 5}, {}, {}, 1.5, 1, nullptr, 0},
        {"right bumper", sphere, {3.5f, -0.2f, 5}, {}, {}, 1.5, 1, nullptr, 1},
        {"far left corner post", sphere, {-5, 0, 0}, {}, {}, 1.5, 1, nullptr, none},
        {"far right corner post", sphere, {7, 0, 0}, {}, {}, 1.5, 1, nullptr, none},
        {"back wall", box, {-5, 0, 0}, {12, 0, 0}, {0, 6, 0}, 0, 1, brick, none},
        {"bumper before the flippers", sphere, {0.6f, -0.3f, 15}, {}, {}, 1.0, 1, nullptr, 2},
        {"left flipper", box, {-5, 0, 16}, {0, 3, 0}, {3.5f, 0, 2}, 0, 0, standard, none},
        {"right flipper", box, {5, 3, 16}, {0, -3, 0}, {-3.5f, 0, 2}, 0, 0, standard, none},
    };
    auto world = worldFromText(tinyModel);
    ASSERT_EQ(world->obstacles.size(), 15u);
    ASSERT_EQ(world->scoringObstacles.size(), 3u);
    EXPECT_EQ(world->obstacles[11], &world->backWall);
    EXPECT_EQ(world->obstacles[13], &world->leftFlipper);
    EXPECT_EQ(world->obstacles[14], &world->rightFlipper);
    for (int i = 0; i < 15; ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.name);
        const Obstacle* o = world->obstacles[i];
        EXPECT_EQ(o->solid, row.solid);
        EXPECT_EQ(o->hitCount, 0);
        if (row.colour != nullptr) {
            for (int c = 0; c < 4; ++c) EXPECT_EQ(o->color[c], row.colour[c]) << "colour " << c;
        }
        const Vector *origin = nullptr, *edgeU = nullptr, *edgeV = nullptr;
        if (row.kind == box) {
            const auto* b = dynamic_cast<const Box*>(o);
            ASSERT_NE(b, nullptr);
            origin = &b->origin, edgeU = &b->edgeU, edgeV = &b->edgeV;
        } else if (row.kind == panel) {
            const auto* p = dynamic_cast<const TexturedPanel*>(o);
            ASSERT_NE(p, nullptr);
            origin = &p->origin, edgeU = &p->edgeU, edgeV = &p->edgeV;
        } else {
            const auto* s = dynamic_cast<const Sphere*>(o);
            ASSERT_NE(s, nullptr);
            EXPECT_VEC_EQ(s->centre, row.a[0], row.a[1], row.a[2]);
            EXPECT_EQ(s->radius, row.radius);
        }
        if (origin != nullptr) {
            EXPECT_VEC_EQ(*origin, row.a[0], row.a[1], row.a[2]);
            EXPECT_VEC_EQ(*edgeU, row.u[0], row.u[1], row.u[2]);
            EXPECT_VEC_EQ(*edgeV, row.v[0], row.v[1], row.v[2]);
        }
        if (row.scoring != none) {
            EXPECT_EQ(world->scoringObstacles[row.scoring], o);
        }
    }
    EXPECT_EQ(world->score, 0);
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

TEST(WorldTest, WorldBuiltAfterAnotherPlaysTheSameGame) {
    // The first World's own game, before any other existed.
    auto first = shippedWorld();
    const std::size_t count = first->masses.size();
    for (int i = 0; i < 200; ++i) first->step();
    std::vector<Vector> positions, velocities;
    for (const Mass& m : first->masses) {
        positions.push_back(m.position);
        velocities.push_back(m.velocity);
    }
    first->leftFlipper.startSwing();
    first->step();
    first.reset();

    auto second = shippedWorld();
    ASSERT_EQ(second->masses.size(), count);
    for (int i = 0; i < 200; ++i) second->step();
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_TRUE(sameBits(second->masses[i].position, positions[i])) << "mass " << i;
        EXPECT_TRUE(sameBits(second->masses[i].velocity, velocities[i])) << "mass " << i;
    }
}
