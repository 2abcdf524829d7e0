#include "app/Game.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

constexpr int redisplayEvery = 15;  // ticks between two pictures

// The next tick count. Past the largest int it starts again from a smaller number with the same
// remainder by 15, so the redisplay rhythm goes on unbroken.
int nextTickCount(int count) {
    if (count == INT_MAX) return INT_MAX % redisplayEvery + 1;
    return count + 1;
}

}  // namespace

Game::IdleResult Game::idle() {
    const long long number = idleCount;
    if (observer != nullptr && !observer->beforeIdle(*this, number)) return IdleResult{};
    ++idleCount;
    const IdleResult result = advance();
    if (observer != nullptr) observer->afterIdle(*this, number, result);
    return result;
}

Game::IdleResult Game::advance() {
    IdleResult result;
    if (restartRequested) {
        restartRequested = false;  // cleared first: an 'n' during the rebuild counts for later
        rebuild();
        result.rebuilt = true;
        return result;
    }
    if (!currentWorld) return result;
    currentWorld->step();
    const int r = tickCount % redisplayEvery;
    tickCount = nextTickCount(tickCount);
    result.stepped = true;
    result.redisplay = r == 0;
    return result;
}

void Game::keyboard(unsigned char key) {
    if (observer != nullptr && !observer->keyReached(*this, key)) return;
    pressKey(key);
}

void Game::pressKey(unsigned char key) {
    switch (key) {
    case 'f':
        if (currentWorld) currentWorld->leftFlipper.startSwing();
        break;
    case 'j':
        if (currentWorld) currentWorld->rightFlipper.startSwing();
        break;
    case 'n':
        restartRequested = true;
        break;
    default:
        break;
    }
}

void Game::rebuild() {
    currentWorld.reset();
    std::ifstream model(modelFileName);
    const int openError = model.is_open() ? 0 : (errno != 0 ? errno : EIO);
    currentWorld = std::make_unique<World>(model, textureLoader);
    loadError.clear();
    if (!currentWorld->hasBall()) {
        const std::string reason = openError != 0 ? std::strerror(openError) : currentWorld->modelError;
        loadError = std::string(modelFileName) + ": cannot read model: " + reason;
        std::cerr << loadError << '\n' << std::flush;
    }
}
