#include "game/Game.h"

#include "game/GameOver.h"
#include "io/DataFiles.h"
#include "io/InputFile.h"
#include "softbody/ModelReader.h"

#include <climits>
#include <iostream>
#include <sstream>
#include <utility>

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
    if (endedAtTick < 0 && ballIsLost(*currentWorld, tableBottom_)) {
        endedAtTick = tickCount;
        endScore = currentWorld->score;
    }
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
    endedAtTick = -1;
    endScore = 0;
    // Only a regular file of bounded size is read, whole, before the reader sees it: a FIFO, a
    // device or a huge file costs neither a hang nor memory.
    std::string text;
    std::string openError;
    if (!modelPlaces.empty()) {
        // The first read that finds the ball fixes where 'n' reads it again.
        DataFile found = findDataFile(modelFileName, modelPlaces);
        openError = found.problem;
        if (openError.empty()) {
            foundModel_ = found.path;
            modelFileName = foundModel_.c_str();
            modelPlaces.clear();
        }
    }
    if (openError.empty()) {
        Result<std::string> read = readRegularFile(modelFileName, maxModelFileBytes);
        if (read.ok()) text = std::move(read.value());
        openError = read.problem().line();
    }
    std::istringstream model(text);
    if (!openError.empty()) model.setstate(std::ios::failbit);
    currentWorld = std::make_unique<World>(model, textureLoader);
    tableBottom_ = tableBottom(*currentWorld);
    loadError.clear();
    if (!currentWorld->hasBall()) {
        const std::string reason = !openError.empty() ? openError : currentWorld->modelError;
        loadError = std::string(modelFileName) + ": cannot read model: " + reason;
        std::cerr << loadError << '\n' << std::flush;
    }
}
