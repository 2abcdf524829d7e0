#pragma once

#include <cstdint>
#include <vector>

/// The game's sounds, made by code at start-up: no sample files. Every sound is mono float samples
/// from -1 to 1 at sampleRate, the same on every machine, so a film's sound track can be rendered
/// offline to the sample. Each ends with a 20 ms fade to silence.
namespace synth {

constexpr int sampleRate = 44100;    ///< samples per second: 49 per tick at 900 ticks a second
constexpr int samplesPerTick = 49;   ///< a film plays 900 ticks a second

/// A bell-like tone: three inharmonic partials over pitch, each dying away on its own, the highest
/// first. About 0.9 s; peak 0.35.
std::vector<float> bell(double pitch);
/// A flipper's mechanical clack: a burst of noise and a 1.9 kHz click that die within 40 ms; peak
/// 0.8, the loudest sound, as a flipper is the loudest thing on a table.
std::vector<float> clack();
/// A thud of the ball on the table: a low tone sweeping down from 120 to 50 Hz with a short knock
/// of noise at its start, over 0.25 s; peak 0.7 (scaled by the hit's loudness when played).
std::vector<float> thud();

/// One sample as 16-bit PCM: clipped to -1..1, scaled by 32767 and rounded to nearest.
std::int16_t toPcm16(float sample);

}  // namespace synth

/// Every sound of the game, synthesised once.
struct SoundBank {
    static constexpr int bumperCount = 3;  ///< the scoring bumpers, in the World's scoring order
    /// The bumpers' pitches in Hz: an A major chord (A5, C#6, E6), so any two bells together sound well.
    static constexpr double bumperPitches[bumperCount] = {880.0, 1108.73, 1318.51};

    std::vector<float> bells[bumperCount];  ///< one bell per scoring bumper, each its own pitch
    std::vector<float> clack;               ///< a flipper starting its swing
    std::vector<float> thud;                ///< the ball striking a wall, a flipper or the floor

    SoundBank();
};
