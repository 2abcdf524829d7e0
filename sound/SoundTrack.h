#pragma once

#include <string>
#include <vector>

#include "sound/SoundObserver.h"
#include "sound/Synth.h"

/// A film's sound track, mixed offline from the game's sounds: the sound of tick t starts at sample
/// (t - 1) * 49, since a film shows tick 1 at its start and plays 900 ticks a second. The same game
/// gives the same samples, however fast it was filmed.
class SoundTrack : public SoundSink {
public:
    explicit SoundTrack(const SoundBank& bank) : bank_(bank) {}
    void play(const SoundEvent& event) override;
    /// The track of ticks 1 to ticks (49 samples each) mixed from every sound played so far.
    std::vector<float> mix(int ticks) const;
    /// Writes mix(ticks) as a 16-bit mono WAV file at 44.1 kHz, made new: never over a file, never
    /// through a link. Returns "" or one line naming the file.
    [[nodiscard]] std::string writeWav(const std::string& fileName, int ticks) const;

private:
    const SoundBank& bank_;
    std::vector<SoundEvent> events_;
};

/// The samples an event sounds: one of the bank's sounds; its loudness scales them.
const std::vector<float>& soundOf(const SoundBank& bank, const SoundEvent& event);
