#pragma once

#include <memory>
#include <string>

#include "world/World.h"

/// The game loop without a window: what every idle call and every key does. The GLUT callbacks
/// forward to it, and the simulator drives it directly, so a replay is the game a player saw.
class Game {
public:
    /// What one idle call did.
    struct IdleResult {
        bool stepped = false;     ///< the World advanced one tick (false on a rebuild)
        bool redisplay = false;   ///< the picture is due: every 15th tick
        bool rebuilt = false;     ///< a new World was built
    };

    std::unique_ptr<World> currentWorld;       ///< null until the first idle call
    bool restartRequested = false;             ///< the next idle call rebuilds the World
    int tickCount = 0;                         ///< step ticks since the program started; never reset
    const char* modelFileName = "sphere.iv";   ///< opened on every (re)start, relative to the working directory
    TextureLoader textureLoader = nullptr;     ///< how the table's pictures are loaded; none without a window
    std::string loadError;                     ///< why the last rebuild has no ball; empty when it has one

    /// One idle call: a pending restart rebuilds the World (no step, no count); otherwise one tick,
    /// and a redisplay on every 15th.
    IdleResult idle();
    /// 'f' and 'j' start the flipper swings, 'n' asks for a restart; every other key does nothing.
    void keyboard(unsigned char key);

private:
    void rebuild();
};
