#include "app/GameSound.h"

#include <cstdlib>
#include <iostream>

#include "app/Game.h"
#include "app/Options.h"
#include "io/SystemError.h"

#include <cerrno>

void GameSound::start(Game& game, const GameOptions& options) {
    // A film is made as fast as it goes: its sound is mixed offline, tick by tick, not played.
    SoundSink* sink = nullptr;
    if (!options.frames.empty()) {
        track_ = std::make_unique<SoundTrack>(bank_);
        trackFile_ = options.frames + "/sound.wav";
        sink = track_.get();
    } else if (!options.mute && options.freezeAt < 0) {
        speaker_ = std::make_unique<OpenAlSound>(bank_);
        const std::string reason = speaker_->open(options.volume);
        if (!reason.empty()) std::cerr << "no sound: " << reason << '\n' << std::flush;
        if (const char* logName = std::getenv("FLIPPER_SOUND_LOG"); logName != nullptr && reason.empty()) {
            log_ = std::fopen(logName, "w");
            if (log_ == nullptr) std::cerr << logName << ": cannot write sound log: " << systemReason(errno) << '\n';
            speaker_->logTo(log_);
        }
        sink = speaker_.get();
    }
    if (sink == nullptr) return;
    observer_ = std::make_unique<SoundObserver>(*sink, game.observer);
    game.observer = observer_.get();
}

std::string GameSound::finish(const Game& game) {
    if (log_ != nullptr) std::fclose(log_);
    log_ = nullptr;
    if (speaker_ != nullptr) speaker_->logTo(nullptr);
    if (track_ == nullptr) return "";
    return track_->writeWav(trackFile_, game.tickCount);
}
