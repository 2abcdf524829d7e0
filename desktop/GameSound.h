#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "front/OpenAlSound.h"
#include "sound/SoundObserver.h"
#include "sound/SoundTrack.h"
#include "sound/Synth.h"

class Game;
struct GameOptions;

/// The desktop game's sound: the loudspeaker while playing or watching a replay, the sound track of
/// a film (written beside its frames as sound.wav), or nothing with --mute or --freeze-at.
class GameSound {
public:
    GameSound() = default;
    /// Gives the game back the observer it had before start, if it still has the sound's.
    ~GameSound();
    GameSound(const GameSound&) = delete;
    GameSound& operator=(const GameSound&) = delete;

    /// Listens to game from now on, beside any observer it already has; game must outlive it.
    /// Without an audio device it says "no sound: REASON" once and the game plays silently.
    /// FLIPPER_SOUND_LOG names a file for a line per sound played (OpenAlSound::logTo).
    void start(Game& game, const GameOptions& options);
    /// After the event loop: a film's sound track, the length of the ticks played, into the frames
    /// folder. Returns "" or one line naming the file.
    [[nodiscard]] std::string finish(const Game& game);

private:
    SoundBank bank_;
    std::unique_ptr<OpenAlSound> speaker_;
    std::unique_ptr<SoundTrack> track_;
    std::unique_ptr<SoundObserver> observer_;
    Game* game_ = nullptr;
    GameObserver* inner_ = nullptr;  // the observer the game had before
    std::string trackFile_;
    std::FILE* log_ = nullptr;
};
