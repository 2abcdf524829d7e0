#include "sound/SoundTrack.h"

#include <cstdint>

#include "io/OutputFile.h"

namespace {

// A RIFF WAVE file's little-endian fields.
void put16(std::string& out, std::uint32_t value) {
    out += char(value & 0xff);
    out += char((value >> 8) & 0xff);
}
void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

}  // namespace

const std::vector<float>& soundOf(const SoundBank& bank, const SoundEvent& event) {
    switch (event.kind) {
    case SoundEvent::Kind::bell:
        return bank.bells[event.index >= 0 && event.index < SoundBank::bumperCount ? event.index : 0];
    case SoundEvent::Kind::clack:
        return bank.clack;
    case SoundEvent::Kind::thud:
        break;
    }
    return bank.thud;
}

void SoundTrack::play(const SoundEvent& event) { events_.push_back(event); }

std::vector<float> SoundTrack::mix(int ticks) const {
    std::vector<float> track(std::size_t(ticks > 0 ? ticks : 0) * synth::samplesPerTick, 0.0f);
    for (const SoundEvent& event : events_) {
        if (event.tick < 1) continue;
        const std::size_t start = std::size_t(event.tick - 1) * synth::samplesPerTick;
        const std::vector<float>& sound = soundOf(bank_, event);
        for (std::size_t i = 0; i < sound.size() && start + i < track.size(); ++i)
            track[start + i] += sound[i] * event.loudness;
    }
    return track;
}

std::string SoundTrack::writeWav(const std::string& fileName, int ticks) const {
    const std::vector<float> track = mix(ticks);
    const std::uint32_t dataBytes = std::uint32_t(track.size() * 2);
    std::string bytes;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    put32(bytes, 36 + dataBytes);
    bytes += "WAVEfmt ";
    put32(bytes, 16);                       // the format chunk's size
    put16(bytes, 1);                        // PCM
    put16(bytes, 1);                        // mono
    put32(bytes, synth::sampleRate);
    put32(bytes, synth::sampleRate * 2);    // bytes per second
    put16(bytes, 2);                        // bytes per sample frame
    put16(bytes, 16);                       // bits per sample
    bytes += "data";
    put32(bytes, dataBytes);
    for (float sample : track) put16(bytes, std::uint16_t(synth::toPcm16(sample)));

    OutputFile out(fileName, "sound track");
    std::string problem = out.open(OutputFile::Mode::createNew);
    if (problem.empty()) problem = out.write(bytes);
    if (problem.empty()) problem = out.close();
    return problem;
}
