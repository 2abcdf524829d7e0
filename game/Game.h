#pragma once

#include <memory>
#include <string>
#include <vector>

#include "world/World.h"

class GameObserver;

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
    std::vector<std::string> modelPlaces;      ///< where modelFileName is looked for until a read finds it there
                                               ///< (io/DataFiles); empty: opened as it is written
    TextureLoader textureLoader = nullptr;     ///< how the table's pictures are loaded; none without a window
    std::string loadError;                     ///< why the last rebuild has no ball; empty when it has one
    long long idleCount = 0;                   ///< idle calls made so far; the next one has this number
    GameObserver* observer = nullptr;          ///< a recording or a replay watching the loop; not owned
    int endedAtTick = -1;                      ///< tickCount after the step in which this World's ball was
                                               ///< lost (ballIsLost); -1 while it can still come back
    int endScore = 0;                          ///< the score at that step; the game steps on, as before

    /// One idle call: a pending restart rebuilds the World (no step, no count); otherwise one tick,
    /// and a redisplay on every 15th.
    IdleResult idle();
    /// A key from the player. The observer sees it first and may hold it back (a replay does);
    /// otherwise it goes to pressKey.
    void keyboard(unsigned char key);
    /// 'f' and 'j' start the flipper swings, 'n' asks for a restart; every other key does nothing.
    void pressKey(unsigned char key);

private:
    IdleResult advance();
    void rebuild();

    std::string foundModel_;
    double tableBottom_ = 0.0;  // the current World's tableBottom, worked out when it is built  // where modelPlaces found the ball; every later read goes there
};

/// Watches the game loop from inside, one idle call at a time: a recording writes down what the
/// player did, a replay does it again. Idle calls are numbered from 0 by Game::idleCount.
class GameObserver {
public:
    virtual ~GameObserver() = default;
    /// Before idle call `idle`. Returning false holds the game still: that call does nothing and is
    /// not counted (a replay at its end).
    virtual bool beforeIdle(Game& game, long long idle) = 0;
    /// After idle call `idle` did what result says.
    virtual void afterIdle(Game& game, long long idle, const Game::IdleResult& result) = 0;
    /// A key from the player, before idle call game.idleCount. Returning false keeps it from the game.
    virtual bool keyReached(Game& game, unsigned char key) = 0;
};
