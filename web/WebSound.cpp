#include "web/WebSound.h"

#include <emscripten.h>

#include <iostream>
#include <memory>
#include <string>

#include "game/Game.h"
#include "front/OpenAlSound.h"
#include "sound/SoundObserver.h"
#include "sound/Synth.h"

namespace {

// 0 without an audio context, 1 while the browser holds it suspended, 2 once it runs. Emscripten's
// OpenAL resumes it itself on the first key, tap or click on the page.
EM_JS(int, audioContextState, (), {
    if (typeof AL === 'undefined' || !AL.currentCtx) return 0;
    return AL.currentCtx.audioCtx.state === 'running' ? 2 : 1;
});

// The gain of the context's output, where the listener's gain (the volume, 0 when muted) ends up.
EM_JS(double, audioContextGain, (), {
    if (typeof AL === 'undefined' || !AL.currentCtx) return -1;
    return AL.currentCtx.gain.gain.value;
});

/// Plays through the loudspeaker once the browser lets the page be heard.
class PageSpeaker : public SoundSink {
public:
    explicit PageSpeaker(OpenAlSound& speaker) : speaker_(speaker) {}
    void play(const SoundEvent& event) override {
        if (audioContextState() == 2) speaker_.play(event);
    }

private:
    OpenAlSound& speaker_;
};

/// Everything the page's sound needs, for as long as the page is open.
struct PageSound {
    SoundBank bank;
    OpenAlSound speaker{bank};
    PageSpeaker sink{speaker};
    std::unique_ptr<SoundObserver> observer;
};

OpenAlSound* speaker = nullptr;  // the page's, once started

}  // namespace

void startWebSound(Game& game) {
    static PageSound sound;
    const std::string reason = sound.speaker.open(100);
    if (!reason.empty()) {
        std::cerr << "no sound: " << reason << '\n' << std::flush;
        return;
    }
    speaker = &sound.speaker;
    sound.observer = std::make_unique<SoundObserver>(sound.sink, game.observer);
    game.observer = sound.observer.get();
}

extern "C" {

/// The page's #mute button: 1 silences every sound, 0 brings them back.
EMSCRIPTEN_KEEPALIVE void webSetMuted(int muted) {
    if (speaker != nullptr) speaker->setMuted(muted != 0);
}

/// The audio context's state: 0 none, 1 suspended (before the first key, tap or click), 2 running.
EMSCRIPTEN_KEEPALIVE int webSoundState() { return audioContextState(); }

/// Sounds started since the page opened.
EMSCRIPTEN_KEEPALIVE double webSoundsPlayed() { return speaker != nullptr ? double(speaker->played()) : 0.0; }

/// The gain at the audio context's output: the volume, 0 when muted; -1 without a context.
EMSCRIPTEN_KEEPALIVE double webSoundGain() { return audioContextGain(); }

}  // extern "C"
