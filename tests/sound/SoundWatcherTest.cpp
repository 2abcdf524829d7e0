#include "sound/SoundWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/Game.h"
#include "obstacles/Sphere.h"
#include "replay/ReplayPlayer.h"
#include "game/StateHash.h"
#include "support/Worlds.h"

namespace {

using Kind = SoundEvent::Kind;
constexpr int floorElement = 3;    // the floor's place in the table's elements
constexpr int flipperBumper = 2;   // the bumper in front of the flippers, third to score

/// Steps world ticks times with the watcher beside it; keys[t] (if given) is pressed before tick t.
std::vector<SoundEvent> listen(World& world, int ticks, const std::vector<std::pair<int, char>>& keys = {}) {
    SoundWatcher watcher;
    std::vector<SoundEvent> events;
    for (int tick = 1; tick <= ticks; ++tick) {
        for (const auto& [at, key] : keys)
            if (at == tick) (key == 'f' ? world.leftFlipper : world.rightFlipper).startSwing();
        watcher.beforeTick(world);
        world.step();
        watcher.afterTick(tick, events);
    }
    return events;
}

std::vector<SoundEvent> only(const std::vector<SoundEvent>& events, Kind kind) {
    std::vector<SoundEvent> kept;
    std::copy_if(events.begin(), events.end(), std::back_inserter(kept), [kind](const SoundEvent& e) { return e.kind == kind; });
    return kept;
}

/// Moves the ball by offset and gives every mass the velocity v.
void throwBall(World& world, const Vector& offset, const Vector& v) {
    world.translate(offset);
    for (Mass& m : world.masses) m.velocity = v;
}

}  // namespace

TEST(SoundWatcherTest, BumperTouchedTicksInARowRingsOnce) {
    // The ball thrown into the bumper before the flippers (radius 1): masses inside keep part of
    // their inward speed, so it is touched, and scores, in several ticks in a row.
    auto world = shippedWorld();
    const Vector& centre = world->masses[0].position;
    throwBall(*world, vector3(0.6f - centre[0] - 1.9f, -0.3f - centre[1] + 1.0f, 15.0f - centre[2]), vector3(4, 0, 0));
    const std::vector<SoundEvent> events = listen(*world, 12);
    ASSERT_GE(world->score, 2) << "the bumper was not touched in ticks in a row";
    const std::vector<SoundEvent> bells = only(events, Kind::bell);
    ASSERT_EQ(bells.size(), 1u);
    EXPECT_EQ(bells[0].index, flipperBumper);
    EXPECT_FLOAT_EQ(bells[0].loudness, 1.0f);
}

TEST(SoundWatcherTest, RestingBallIsSilentAndADropThudsOnce) {
    // Laid on the floor at rest, the ball presses on it every tick without a sound.
    auto resting = shippedWorld();
    float lowest = 1e9f;
    for (const Mass& m : resting->masses) lowest = std::min(lowest, m.position[1]);
    throwBall(*resting, vector3(0, 0.05f - lowest, 0), vector3(0, 0, 0));
    EXPECT_TRUE(listen(*resting, 150).empty());
    lowest = 1e9f;
    for (const Mass& m : resting->masses) lowest = std::min(lowest, m.position[1]);
    EXPECT_LT(lowest, 0.1f) << "the ball left the floor";

    // Dropped from its start point, it lands once, hard enough to be heard: one thud, on the floor.
    auto dropped = shippedWorld();
    const std::vector<SoundEvent> thuds = only(listen(*dropped, 300), Kind::thud);
    ASSERT_EQ(thuds.size(), 1u);
    EXPECT_EQ(thuds[0].index, floorElement);
    EXPECT_GT(thuds[0].loudness, 0.2f);
    EXPECT_LT(thuds[0].loudness, 1.0f);
}

TEST(SoundWatcherTest, FlipperClacksOncePerSwingItsKeyStarts) {
    struct Case {
        std::vector<std::pair<int, char>> keys;
        std::vector<std::pair<int, int>> clacks;  // tick, flipper
    };
    // A swing takes 100 ticks; a key during it changes nothing.
    const Case cases[] = {
        {{{5, 'f'}}, {{5, 0}}},
        {{{5, 'j'}, {6, 'f'}}, {{5, 1}, {6, 0}}},
        {{{5, 'f'}, {40, 'f'}, {104, 'f'}}, {{5, 0}}},
        {{{5, 'f'}, {105, 'f'}}, {{5, 0}, {105, 0}}},
    };
    for (const Case& c : cases) {
        auto world = shippedWorld();
        std::vector<std::pair<int, int>> clacks;
        for (const SoundEvent& e : only(listen(*world, 220, c.keys), Kind::clack)) clacks.push_back({e.tick, e.index});
        EXPECT_EQ(clacks, c.clacks) << "first key at " << c.keys[0].first;
    }
}

TEST(SoundWatcherTest, ListensToTheDemoWithoutChangingIt) {
    // Every tick in which the watcher foresees bumper touches scores exactly that many points, and
    // the game still ends as it was recorded.
    struct Check : GameObserver {
        ReplayPlayer player;
        SoundWatcher watcher;
        std::vector<SoundEvent> events;
        int lastScore = 0, mismatches = 0;
        explicit Check(Replay replay) : player(std::move(replay)) {}
        bool beforeIdle(Game& game, long long idle) override {
            if (!player.beforeIdle(game, idle)) return false;
            if (game.currentWorld && !game.restartRequested) watcher.beforeTick(*game.currentWorld);
            return true;
        }
        void afterIdle(Game& game, long long idle, const Game::IdleResult& result) override {
            player.afterIdle(game, idle, result);
            if (!result.stepped) return;
            watcher.afterTick(game.tickCount, events);
            mismatches += game.currentWorld->score - lastScore != watcher.bumpersTouched() ? 1 : 0;
            lastScore = game.currentWorld->score;
        }
        bool keyReached(Game& game, unsigned char key) override { return player.keyReached(game, key); }
    };
    Result<Replay> replay = loadReplay(std::string(FLIPPER_SOURCE_DIR) + "/docs/demo.replay");
    ASSERT_TRUE(replay.ok()) << replay.problem().line();
    Check check(std::move(replay.value()));
    Game game;
    const std::string model = std::string(FLIPPER_ASSETS) + "/sphere.iv";
    game.modelFileName = model.c_str();
    game.restartRequested = true;
    game.observer = &check;
    {
        const Console console;
        while (!check.player.over(game)) game.idle();
    }
    EXPECT_TRUE(check.player.verified()) << check.player.verdict();
    EXPECT_EQ(check.mismatches, 0);
    EXPECT_EQ(check.lastScore, 67);
    // The ball lands on the floor at tick 237, then rolls on it, pressing on it at 0.5 to 0.8 a
    // tick, until it meets the left bumper at tick 628: silence in between.
    std::vector<std::pair<int, Kind>> opening;
    for (const SoundEvent& e : check.events)
        if (e.tick <= 628) opening.push_back({e.tick, e.kind});
    EXPECT_EQ(opening, (std::vector<std::pair<int, Kind>>{{237, Kind::thud}, {628, Kind::bell}}));
    // The demo's three keys, each heard in the tick its swing starts.
    std::vector<int> clacks;
    for (const SoundEvent& e : only(check.events, Kind::clack)) clacks.push_back(e.tick);
    EXPECT_EQ(clacks, (std::vector<int>{1785, 4369, 7617}));
}
