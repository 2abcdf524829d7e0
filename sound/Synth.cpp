#include "sound/Synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

constexpr double twoPi = 6.283185307179586;

int samplesFor(double seconds) { return int(seconds * sampleRate); }

/// A fixed white-noise sequence from -1 to 1 (a 32-bit linear congruential generator), the same
/// wherever it runs.
class Noise {
public:
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return float(double(state_ >> 8) / double(1u << 23) - 1.0);
    }

private:
    std::uint32_t state_ = 12345u;
};

/// Scales samples so that the loudest has magnitude peak, and fades the last 20 ms out so that the
/// sound ends in silence, not a click.
void normalise(std::vector<float>& samples, float peak) {
    const std::size_t fade = std::min(samples.size(), std::size_t(samplesFor(0.02)));
    for (std::size_t i = 0; i < fade; ++i) samples[samples.size() - 1 - i] *= float(double(i) / double(fade));
    float loudest = 0.0f;
    for (float s : samples) loudest = std::max(loudest, std::fabs(s));
    if (loudest > 0.0f)
        for (float& s : samples) s = s * (peak / loudest);
}

}  // namespace

std::vector<float> bell(double pitch) {
    // A struck bar or bell: partials at 1, 2.76 and 5.40 times the pitch, the higher ones quieter
    // and shorter; a 2 ms rise so the strike does not click.
    struct Partial {
        double ratio, amplitude, decay;  // decay: seconds to fall by e
    };
    constexpr Partial partials[] = {{1.0, 1.0, 0.30}, {2.76, 0.5, 0.12}, {5.40, 0.25, 0.05}};
    constexpr double rise = 0.002;
    std::vector<float> samples(samplesFor(0.9));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        double s = 0.0;
        for (const Partial& p : partials) s += p.amplitude * std::exp(-t / p.decay) * std::sin(twoPi * pitch * p.ratio * t);
        samples[i] = float(s * std::min(1.0, t / rise));
    }
    normalise(samples, 0.35f);
    return samples;
}

std::vector<float> clack() {
    // Wood and metal meeting: noise for the knock, a damped 1.9 kHz ring for the metal, both gone
    // within a few milliseconds.
    Noise noise;
    std::vector<float> samples(samplesFor(0.04));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double knock = noise.next() * std::exp(-t / 0.004);
        const double ring = 0.6 * std::sin(twoPi * 1900.0 * t) * std::exp(-t / 0.008);
        samples[i] = float(knock + ring);
    }
    normalise(samples, 0.8f);
    return samples;
}

std::vector<float> thud() {
    // A soft body on a hard table: a low tone whose pitch falls from 120 to 50 Hz as it dies, and
    // 8 ms of noise for the moment of contact. The phase is the integral of the falling pitch.
    Noise noise;
    constexpr double startPitch = 120.0, endPitch = 50.0, sweep = 0.05, decay = 0.06;
    std::vector<float> samples(samplesFor(0.25));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double phase = twoPi * (endPitch * t + (startPitch - endPitch) * sweep * (1.0 - std::exp(-t / sweep)));
        const double tone = std::sin(phase) * std::exp(-t / decay);
        const double knock = 0.4 * noise.next() * std::exp(-t / 0.002);
        samples[i] = float(tone + knock);
    }
    normalise(samples, 0.7f);
    return samples;
}

std::int16_t toPcm16(float sample) {
    const double clipped = std::clamp(double(sample), -1.0, 1.0);
    return std::int16_t(std::lround(clipped * 32767.0));
}

}  // namespace synth

SoundBank::SoundBank() : clack(synth::clack()), thud(synth::thud()) {
    for (int i = 0; i < bumperCount; ++i) bells[i] = synth::bell(bumperPitches[i]);
}
