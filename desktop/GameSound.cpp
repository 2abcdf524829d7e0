#include "desktop/GameSound.h"

#include <cstdlib>
#include <iostream>

#include "game/Game.h"
#include "desktop/FrameWriter.h"
#include "desktop/Options.h"
#include "io/SystemError.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

/// Puts the program's standard error aside for its lifetime. The audio libraries say on the console,
/// in several lines of their own, that they found no device; the game says it in one line.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    ~QuietStandardError() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

}  // namespace

GameSound::~GameSound() {
    if (game_ != nullptr && observer_ != nullptr && game_->observer == observer_.get()) game_->observer = inner_;
    if (log_ != nullptr) std::fclose(log_);
}

void GameSound::start(Game& game, const GameOptions& options) {
    // A film is made as fast as it goes: its sound is mixed offline, tick by tick, not played.
    SoundSink* sink = nullptr;
    if (!options.frames.empty()) {
        track_ = std::make_unique<SoundTrack>(bank_);
        trackFile_ = FrameWriter::soundTrackPath(options.frames);
        sink = track_.get();
    } else if (!options.mute && options.freezeAt < 0) {
        speaker_ = std::make_unique<OpenAlSound>(bank_);
        std::string reason;
        {
            const QuietStandardError quiet;
            reason = speaker_->open(options.volume);
        }
        if (!reason.empty()) std::cerr << "no sound: " << reason << '\n' << std::flush;
        if (const char* logName = std::getenv("FLIPPER_SOUND_LOG"); logName != nullptr && reason.empty()) {
            log_ = std::fopen(logName, "w");
            if (log_ == nullptr) std::cerr << logName << ": cannot write sound log: " << systemReason(errno) << '\n';
            speaker_->logTo(log_);
        }
        sink = speaker_.get();
    }
    if (sink == nullptr) return;
    game_ = &game;
    inner_ = game.observer;
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
