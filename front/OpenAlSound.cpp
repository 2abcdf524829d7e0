#include "front/OpenAlSound.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <cstdint>

namespace {

// The device clock (ALC_SOFT_device_clock), asked for by name: not every OpenAL has it.
constexpr ALCenum deviceClock = 0x1600;    // ALC_DEVICE_CLOCK_SOFT: nanoseconds of samples mixed
constexpr ALCenum deviceLatency = 0x1601;  // ALC_DEVICE_LATENCY_SOFT: nanoseconds until heard
constexpr ALCint refreshRate = 100;        // mixes a second asked of the device: 10 ms each
using Integer64Query = void (*)(ALCdevice*, ALCenum, ALCsizei, std::int64_t*);

// The buffers in the order open() fills them: a bell for each scoring bumper, the clack, the thud.
constexpr std::size_t clackBuffer = SoundBank::bumperCount;
constexpr std::size_t thudBuffer = clackBuffer + 1;

}  // namespace

OpenAlSound::~OpenAlSound() { close(); }

std::string OpenAlSound::open(int volume) {
    close();
    device_ = alcOpenDevice(nullptr);
    if (device_ == nullptr) return "no audio device";
    // A short mix period keeps a sound within a frame of its tick; an OpenAL that does not take the
    // request (the browser's) gets none.
    const ALCint attributes[] = {ALC_REFRESH, refreshRate, 0};
    context_ = alcCreateContext(device_, attributes);
    if (context_ == nullptr) context_ = alcCreateContext(device_, nullptr);
    if (context_ == nullptr || alcMakeContextCurrent(context_) == ALC_FALSE) {
        close();
        return "the audio device refused a context";
    }
    opened_ = std::chrono::steady_clock::now();
    if (alcIsExtensionPresent(device_, "ALC_SOFT_device_clock") == ALC_TRUE)
        clockQuery_ = alcGetProcAddress(device_, "alcGetInteger64vSOFT");

    const std::vector<float>* sounds[] = {&bank_.bells[0], &bank_.bells[1], &bank_.bells[2], &bank_.clack, &bank_.thud};
    buffers_.assign(std::size(sounds), 0);
    alGenBuffers(ALsizei(buffers_.size()), buffers_.data());
    std::vector<std::int16_t> pcm;
    for (std::size_t i = 0; i < buffers_.size(); ++i) {
        pcm.resize(sounds[i]->size());
        std::transform(sounds[i]->begin(), sounds[i]->end(), pcm.begin(), synth::toPcm16);
        alBufferData(buffers_[i], AL_FORMAT_MONO16, pcm.data(), ALsizei(pcm.size() * 2), synth::sampleRate);
    }
    sources_.assign(sourceCount, 0);
    alGenSources(ALsizei(sources_.size()), sources_.data());
    for (unsigned source : sources_) {
        // Every sound at the listener: no distance, no panning.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    }
    if (alGetError() != AL_NO_ERROR) {
        close();
        return "the audio device would not take the sounds";
    }
    volume_ = float(std::clamp(volume, 0, 100)) / 100.0f;
    setMuted(muted_);
    return "";
}

void OpenAlSound::setMuted(bool muted) {
    muted_ = muted;
    if (context_ != nullptr) alListenerf(AL_GAIN, muted ? 0.0f : volume_);
}

void OpenAlSound::play(const SoundEvent& event) {
    if (context_ == nullptr || muted_) return;
    std::size_t sound = thudBuffer;
    if (event.kind == SoundEvent::Kind::bell) sound = std::size_t(std::clamp(event.index, 0, SoundBank::bumperCount - 1));
    if (event.kind == SoundEvent::Kind::clack) sound = clackBuffer;

    // A free source, or else the one that started longest ago.
    std::size_t pick = nextSource_;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        const std::size_t candidate = (nextSource_ + i) % sources_.size();
        ALint state = AL_STOPPED;
        alGetSourcei(sources_[candidate], AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) {
            pick = candidate;
            break;
        }
    }
    nextSource_ = (pick + 1) % sources_.size();
    const unsigned source = sources_[pick];
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, ALint(buffers_[sound]));
    alSourcef(source, AL_GAIN, event.loudness);
    const auto before = std::chrono::steady_clock::now();
    alSourcePlay(source);
    const auto after = std::chrono::steady_clock::now();
    ++played_;
    if (log_ != nullptr) {
        using Seconds = std::chrono::duration<double>;
        std::fprintf(log_, "tick %d sound %zu before %.6f after %.6f clock %.6f latency %.6f\n", event.tick, sound,
                     Seconds(before - opened_).count(), Seconds(after - opened_).count(), deviceSeconds(deviceClock),
                     deviceSeconds(deviceLatency));
        std::fflush(log_);
    }
}

double OpenAlSound::deviceSeconds(int what) const {
    if (clockQuery_ == nullptr) return -1.0;
    std::int64_t nanoseconds = -1;
    reinterpret_cast<Integer64Query>(clockQuery_)(device_, what, 1, &nanoseconds);
    return nanoseconds < 0 ? -1.0 : double(nanoseconds) / 1e9;
}

void OpenAlSound::close() {
    if (context_ != nullptr) {
        alDeleteSources(ALsizei(sources_.size()), sources_.data());
        alDeleteBuffers(ALsizei(buffers_.size()), buffers_.data());
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
    }
    if (device_ != nullptr) alcCloseDevice(device_);
    context_ = nullptr;
    device_ = nullptr;
    clockQuery_ = nullptr;
    sources_.clear();
    buffers_.clear();
}
