#include "sound/Synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

float peakOf(const std::vector<float>& s, std::size_t from, std::size_t to) {
    float p = 0.0f;
    for (std::size_t i = from; i < to; ++i) p = std::max(p, std::fabs(s[i]));
    return p;
}

// Power of one frequency in the first tenth of a second (Goertzel).
double powerAt(const std::vector<float>& s, double frequency) {
    const double w = 2.0 * 3.141592653589793 * frequency / synth::sampleRate;
    double a = 0.0, b = 0.0;
    for (std::size_t i = 0; i < std::size_t(synth::sampleRate / 10); ++i) {
        const double c = s[i] + 2.0 * std::cos(w) * a - b;
        b = a;
        a = c;
    }
    return a * a + b * b - 2.0 * std::cos(w) * a * b;
}

}  // namespace

TEST(SynthTest, EachSoundHasItsLengthPeakAndDiesAway) {
    const SoundBank bank;
    struct Case {
        std::string name;
        const std::vector<float>& samples;
        double seconds;
        float peak;
    };
    const Case cases[] = {{"bell 0", bank.bells[0], 0.9, 0.35f}, {"bell 2", bank.bells[2], 0.9, 0.35f},
                          {"clack", bank.clack, 0.04, 0.8f},     {"thud", bank.thud, 0.25, 0.7f}};
    for (const Case& c : cases) {
        const std::vector<float>& s = c.samples;
        EXPECT_EQ(s.size(), std::size_t(c.seconds * 44100)) << c.name;
        EXPECT_NEAR(peakOf(s, 0, s.size()), c.peak, 1e-6) << c.name;
        // Loudest at its start, a tenth of that over its last tenth, silent at its end.
        const std::size_t tenth = s.size() / 10;
        EXPECT_NEAR(peakOf(s, 0, tenth), c.peak, 1e-6) << c.name;
        EXPECT_LT(peakOf(s, s.size() - tenth, s.size()), c.peak / 10) << c.name;
        EXPECT_EQ(s.back(), 0.0f) << c.name;
    }
}

TEST(SynthTest, EachBumperRingsAtItsOwnPitch) {
    const SoundBank bank;
    for (int i = 0; i < SoundBank::bumperCount; ++i) {
        for (int j = 0; j < SoundBank::bumperCount; ++j) {
            if (i == j) continue;
            EXPECT_GT(powerAt(bank.bells[i], SoundBank::bumperPitches[i]),
                      10 * powerAt(bank.bells[i], SoundBank::bumperPitches[j]))
                << "bell " << i << " against the pitch of bell " << j;
        }
    }
}

TEST(SynthTest, SamplesBecomeRoundedClippedPcm) {
    const std::pair<float, int> cases[] = {{0.0f, 0},        {1.0f, 32767},  {-1.0f, -32767}, {2.0f, 32767},
                                           {-3.0f, -32767}, {0.5f, 16384},  {-0.5f, -16384}, {1e-5f, 0}};
    for (const auto& [sample, pcm] : cases) EXPECT_EQ(synth::toPcm16(sample), pcm) << sample;
}
