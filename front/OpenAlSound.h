#pragma once

#include <AL/alc.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/SoundObserver.h"
#include "sound/Synth.h"

/// The game's sounds out of the loudspeaker through OpenAL: OpenAL Soft on the desktop, the
/// browser's Web Audio in the page. Each of the bank's sounds is one buffer, loaded once; each event
/// starts it on a free source of a small pool (the oldest sound gives way when all are busy).
class OpenAlSound : public SoundSink {
public:
    static constexpr int sourceCount = 24;  ///< sounds that can ring at once

    explicit OpenAlSound(const SoundBank& bank) : bank_(bank) {}
    ~OpenAlSound() override;
    OpenAlSound(const OpenAlSound&) = delete;
    OpenAlSound& operator=(const OpenAlSound&) = delete;

    /// Opens the default audio device at volume (0 to 100) and loads the sounds. Returns "" or why
    /// there is no sound ("no audio device", ...); the game then plays silently.
    [[nodiscard]] std::string open(int volume);
    /// Silences or restores every sound, also those ringing.
    void setMuted(bool muted);
    bool muted() const { return muted_; }
    /// Starts the event's sound now; nothing when the device is not open.
    void play(const SoundEvent& event) override;
    /// Sounds started since open.
    long long played() const { return played_; }
    /// From now on writes one line per sound started to log (not owned; null for none): the tick,
    /// the sound, the seconds since open just before and after the play call, and the device's own
    /// clock and output latency in seconds where it reports them (-1 where not). The clock counts the
    /// samples the device has mixed since it opened: a sound played at clock c is heard from c on.
    void logTo(std::FILE* log) { log_ = log; }

private:
    void close();
    double deviceSeconds(int what) const;

    const SoundBank& bank_;
    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    std::vector<unsigned> buffers_;  // bells, clack, thud
    std::vector<unsigned> sources_;
    std::size_t nextSource_ = 0;
    float volume_ = 1.0f;
    bool muted_ = false;
    long long played_ = 0;
    std::FILE* log_ = nullptr;
    std::chrono::steady_clock::time_point opened_;
    void* clockQuery_ = nullptr;  // alcGetInteger64vSOFT where the device has a clock
};
