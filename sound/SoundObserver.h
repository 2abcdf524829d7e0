#pragma once

#include <vector>

#include "game/Game.h"
#include "sound/SoundWatcher.h"

/// Where the game's sounds go: a loudspeaker, or a film's sound track.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    /// Sounds one event, right after its tick was stepped.
    virtual void play(const SoundEvent& event) = 0;
};

/// Listens to the game loop for its sounds and hands each to a sink as soon as its tick is stepped.
/// It watches beside another observer (a recording or a replay), which it asks first and obeys; it
/// never holds the game or a key back itself.
class SoundObserver : public GameObserver {
public:
    /// Hands the sounds to sink; inner (null for none) is the game's other observer. Neither is owned.
    SoundObserver(SoundSink& sink, GameObserver* inner);

    bool beforeIdle(Game& game, long long idle) override;
    void afterIdle(Game& game, long long idle, const Game::IdleResult& result) override;
    bool keyReached(Game& game, unsigned char key) override;

private:
    SoundSink& sink_;
    GameObserver* inner_;
    SoundWatcher watcher_;
    std::vector<SoundEvent> events_;
};
