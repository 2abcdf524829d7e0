#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "app/Game.h"
#include "sim/StateHash.h"

/// The shipped ball, which the tests' games play with.
inline const std::string plainGameModel = std::string(FLIPPER_ASSETS) + "/sphere.iv";

/// The same game without any recording: keys pressed straight into it before the numbered idle call,
/// and the state hash noted after the idle calls asked for.
struct PlainGame {
    Game game;
    std::map<long long, std::uint64_t> hashes;

    PlainGame() {
        game.modelFileName = plainGameModel.c_str();
        game.restartRequested = true;
    }
    void run(long long idles, const std::multimap<long long, char>& keys) {
        for (long long idle = 0; idle < idles; ++idle) {
            for (auto [at, end] = keys.equal_range(idle); at != end; ++at) game.pressKey(at->second);
            game.idle();
            hashes[idle] = stateHash(*game.currentWorld);
        }
    }
};
