#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "support/Capture.h"
#include "world/World.h"

/// A World built from model text, without textures; the reader's console lines are kept out of
/// the test output.
inline std::unique_ptr<World> worldFromText(const std::string& text) {
    std::istringstream model(text);
    const Console console;
    return std::make_unique<World>(model);
}

/// A World with the game's own ball, without textures.
inline std::unique_ptr<World> shippedWorld() {
    std::ifstream model(std::string(FLIPPER_ASSETS) + "/sphere.iv");
    std::ostringstream text;
    text << model.rdbuf();
    auto world = worldFromText(text.str());
    EXPECT_TRUE(world->hasBall());
    return world;
}
