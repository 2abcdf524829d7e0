// Checks the sound the game gave off, from 16-bit mono samples at 44.1 kHz (raw, as sox or ffmpeg
// write them):
//   flipper-sound-check onsets SAMPLES LOG   every bell and clack of the game's sound log must start
//                                            in the samples within one frame (17 ms) of the device
//                                            clock at which it was played; prints each delay (one
//                                            that starts while a loud sound still rings is not told
//                                            apart from it and is left out)
//   flipper-sound-check silent SAMPLES       no sample above 1/1000 of full scale
//   flipper-sound-check loudest SAMPLES N    the N strongest onsets (the jump of the 10 ms peak), as
//                                            film ticks (sample / 49 + 1), strongest first
// Exit 0 when the check holds, 1 when not, 2 for a file it cannot read.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double rate = 44100.0;
constexpr int block = 441;  // 10 ms

bool readSamples(const char* name, std::vector<float>& samples) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    std::int16_t s = 0;
    while (in.read(reinterpret_cast<char*>(&s), 2)) samples.push_back(float(s) / 32768.0f);
    return true;
}

float peak(const std::vector<float>& x, long from, long to) {
    float p = 0.0f;
    for (long i = std::max(0L, from); i < std::min(long(x.size()), to); ++i) p = std::max(p, std::fabs(x[std::size_t(i)]));
    return p;
}

// The first sample from `from` on that rises clearly above what rang in the 20 ms before it.
long onsetAfter(const std::vector<float>& x, long from, long to) {
    const float before = peak(x, from - 2 * block, from);
    const float threshold = std::max(0.01f, 1.3f * before + 0.01f);
    for (long i = std::max(0L, from); i < std::min(long(x.size()), to); ++i)
        if (std::fabs(x[std::size_t(i)]) > threshold) return i;
    return -1;
}

int onsets(const std::vector<float>& x, const char* logName) {
    std::ifstream log(logName);
    if (!log) {
        std::cerr << logName << ": cannot read\n";
        return 2;
    }
    std::string line;
    int checked = 0, late = 0, masked = 0;
    double worst = 0.0, sum = 0.0;
    while (std::getline(log, line)) {
        std::istringstream fields(line);
        std::string word;
        int tick = 0, sound = 0;
        double before = 0, after = 0, clock = 0, latency = 0;
        fields >> word >> tick >> word >> sound >> word >> before >> word >> after >> word >> clock >> word >> latency;
        if (!fields || sound > 3) continue;  // thuds are too soft and too many to find one by one
        const long at = long(std::lround(clock * rate));
        if (peak(x, at - 2 * block, at) > 0.1f) {
            ++masked;
            continue;
        }
        const long onset = onsetAfter(x, at - long(0.002 * rate), at + long(0.1 * rate));
        const double delay = onset < 0 ? 1e9 : double(onset - at) / rate * 1000.0;
        const bool inTime = delay >= -2.0 && delay <= 17.0;
        std::printf("tick %d sound %d: played at device clock %.4f s, starts %+.2f ms after it%s\n", tick, sound, clock,
                    delay, inTime ? "" : "  <-- not within a frame");
        ++checked;
        late += inTime ? 0 : 1;
        worst = std::max(worst, delay);
        sum += delay;
    }
    if (checked == 0) {
        std::printf("no bell or clack in %s\n", logName);
        return 1;
    }
    std::printf("%d sounds, mean %.2f ms, latest %.2f ms after the device clock at play; %d not within 17 ms; "
                "%d left out, starting over a louder one\n",
                checked, sum / checked, worst, late, masked);
    return late == 0 ? 0 : 1;
}

int loudest(const std::vector<float>& x, int count) {
    // Onset strength per 10 ms block: its peak minus the peak of the 20 ms before it.
    std::vector<std::pair<float, long>> jumps;
    for (long b = 2; b * block < long(x.size()); ++b)
        jumps.push_back({peak(x, b * block, (b + 1) * block) - peak(x, (b - 2) * block, b * block), b});
    std::sort(jumps.begin(), jumps.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<long> taken;  // one onset per 50 ms
    for (const auto& [strength, b] : jumps) {
        if (int(taken.size()) == count) break;
        if (std::any_of(taken.begin(), taken.end(), [&](long t) { return std::labs(t - b) < 5; })) continue;
        taken.push_back(b);
        const long start = onsetAfter(x, b * block - block, (b + 1) * block);
        std::printf("%ld %.3f\n", (start < 0 ? b * block : start) / 49 + 1, strength);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc < 3 || (mode == "onsets" && argc != 4) || (mode == "loudest" && argc != 4)) {
        std::cerr << "usage: flipper-sound-check onsets SAMPLES LOG | silent SAMPLES | loudest SAMPLES N\n";
        return 2;
    }
    std::vector<float> samples;
    if (!readSamples(argv[2], samples)) {
        std::cerr << argv[2] << ": cannot read\n";
        return 2;
    }
    if (mode == "onsets") return onsets(samples, argv[3]);
    if (mode == "loudest") return loudest(samples, std::atoi(argv[3]));
    if (mode == "silent") {
        const float p = peak(samples, 0, long(samples.size()));
        std::printf("%zu samples, peak %.5f\n", samples.size(), p);
        return p <= 0.001f ? 0 : 1;
    }
    std::cerr << "unknown mode " << mode << '\n';
    return 2;
}
