#include "sound/SoundObserver.h"

SoundObserver::SoundObserver(SoundSink& sink, GameObserver* inner) : sink_(sink), inner_(inner) {}

bool SoundObserver::beforeIdle(Game& game, long long idle) {
    if (inner_ != nullptr && !inner_->beforeIdle(game, idle)) return false;
    // The idle call steps unless it rebuilds the World first.
    if (game.currentWorld && !game.restartRequested) watcher_.beforeTick(*game.currentWorld);
    return true;
}

void SoundObserver::afterIdle(Game& game, long long idle, const Game::IdleResult& result) {
    if (inner_ != nullptr) inner_->afterIdle(game, idle, result);
    if (result.rebuilt) watcher_.forget();
    if (!result.stepped) return;
    events_.clear();
    watcher_.afterTick(game.tickCount, events_);
    for (const SoundEvent& event : events_) sink_.play(event);
}

bool SoundObserver::keyReached(Game& game, unsigned char key) {
    return inner_ == nullptr || inner_->keyReached(game, key);
}
