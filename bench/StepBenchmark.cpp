// What one tick of the game costs: the soft body alone (computeForces + integrate), the whole
// World step, and the same step over flat arrays, for balls of 42 to 2562 masses.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "bench/BenchWorlds.h"
#include "bench/FlatWorld.h"
#include "game/StateHash.h"
#include "world/World.h"

namespace {

constexpr int gameTicks = 2400;  // the default ball falls, scores on the left bumper and reaches the left flipper

// A ball still fit to measure: finite and about its own size.
bool sound(const World& world) {
    const Vector& c = world.masses[0].position;
    return std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]) && world.boundingRadius > 0.5 &&
           world.boundingRadius < 3.0;
}

// A World with the ball of the benchmark's subdivisions, stepped until it lies on the floor.
// Checks that a stretch from there keeps the ball sound and that the flat step follows the World
// step to the bit; on failure the benchmark is skipped with the reason.
std::unique_ptr<World> landedWorld(benchmark::State& state) {
    auto world = worldFrom(ballModel(int(state.range(0))));
    for (int t = 0; t < landingTicks; ++t) world->step();
    const BallSnapshot landed(*world);
    FlatWorld flat(*world);
    for (int t = 0; t < stretchTicks; ++t) {
        world->step();
        flat.step();
    }
    if (!sound(*world)) state.SkipWithError("the ball does not stay sound on the table");
    if (flat.stateHash() != stateHash(*world) || flat.score() != world->score)
        state.SkipWithError("the flat step differs from World::step");
    landed.restore(*world);
    state.counters["masses"] = double(world->masses.size());
    return world;
}

void SoftBodyTick(benchmark::State& state) {
    // The landed ball without the table: the same positions and velocities the World step sees.
    auto world = landedWorld(state);
    const BallSnapshot landed(*world);
    int ticks = 0;
    for (auto _ : state) {
        world->computeForces();
        world->integrate();
        if (++ticks == stretchTicks) {
            state.PauseTiming();
            landed.restore(static_cast<SoftBody&>(*world));
            ticks = 0;
            state.ResumeTiming();
        }
    }
}

void WorldStep(benchmark::State& state) {
    auto world = landedWorld(state);
    const BallSnapshot landed(*world);
    int ticks = 0;
    for (auto _ : state) {
        world->step();
        if (++ticks == stretchTicks) {
            state.PauseTiming();
            landed.restore(*world);
            ticks = 0;
            state.ResumeTiming();
        }
    }
}

void FlatWorldStep(benchmark::State& state) {
    auto world = landedWorld(state);
    const FlatWorld landed(*world);
    FlatWorld flat = landed;
    int ticks = 0;
    for (auto _ : state) {
        flat.step();
        if (++ticks == stretchTicks) {
            state.PauseTiming();
            flat = landed;
            ticks = 0;
            state.ResumeTiming();
        }
    }
}

// The default ball over the first 2400 ticks of a game: falling, rolling, bumper hits.
void WorldStepGame(benchmark::State& state) {
    auto world = worldFrom(ballModel(1));
    const BallSnapshot start(*world);
    int ticks = 0;
    for (auto _ : state) {
        world->step();
        if (++ticks == gameTicks) {
            state.PauseTiming();
            start.restore(*world);
            ticks = 0;
            state.ResumeTiming();
        }
    }
    state.counters["masses"] = double(world->masses.size());
}

void FlatWorldStepGame(benchmark::State& state) {
    auto world = worldFrom(ballModel(1));
    const FlatWorld start(*world);
    {
        FlatWorld flat = start;
        for (int t = 0; t < gameTicks; ++t) {
            world->step();
            flat.step();
        }
        if (flat.stateHash() != stateHash(*world) || flat.score() != world->score)
            state.SkipWithError("the flat step differs from World::step");
    }
    FlatWorld flat = start;
    int ticks = 0;
    for (auto _ : state) {
        flat.step();
        if (++ticks == gameTicks) {
            state.PauseTiming();
            flat = start;
            ticks = 0;
            state.ResumeTiming();
        }
    }
    state.counters["masses"] = double(world->masses.size());
}

}  // namespace

BENCHMARK(SoftBodyTick)->ArgName("S")->DenseRange(1, 4);
BENCHMARK(WorldStep)->ArgName("S")->DenseRange(1, 4);
BENCHMARK(FlatWorldStep)->ArgName("S")->DenseRange(1, 4);
BENCHMARK(WorldStepGame);
BENCHMARK(FlatWorldStepGame);
