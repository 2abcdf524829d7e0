#include "desktop/Options.h"

#include "game/Freeze.h"
#include "game/Pacing.h"
#include "io/Count.h"

#include <cstdlib>

namespace {

constexpr int usageColumn = 23;  // where the descriptions start in the usage

/// A rate must be a number written in full ("900", "62.5") that the pacing accepts: 1 to 1000000.
Problem takeTickRate(const char* text, GameOptions& options) {
    char* end = nullptr;
    const double value = *text == '\0' ? 0.0 : std::strtod(text, &end);
    if (*text == '\0' || *end != '\0' || !(value >= Pacing::minTicksPerSecond && value <= Pacing::maxTicksPerSecond))
        return std::string("bad tick rate '") + text + "': it must be a number from 1 to 1000000";
    options.tickRate = value;
    return {};
}

// A file or folder name: anything but nothing.
Problem takeName(const char* text, std::string& name, const char* what) {
    if (*text == '\0') return std::string("empty ") + what + " name";
    name = text;
    return {};
}

Problem takeModel(const char* text, GameOptions& o) {
    o.modelGiven = true;
    return takeName(text, o.model, "model file");
}
Problem takeRecord(const char* text, GameOptions& o) { return takeName(text, o.record, "replay file"); }
Problem takeReplay(const char* text, GameOptions& o) { return takeName(text, o.replay, "replay file"); }
Problem takeFrames(const char* text, GameOptions& o) { return takeName(text, o.frames, "frames folder"); }

Problem takeFreezeAt(const char* text, GameOptions& options) {
    const Result<long long> tick = parseFreezeAt(text);
    if (tick.ok()) options.freezeAt = tick.value();
    return tick.problem();
}

Problem takeVolume(const char* text, GameOptions& options) {
    const Result<long long> volume = parseCount(text, 0, 100);
    if (!volume.ok()) return std::string("bad volume '") + text + "': " + volume.problem().line();
    options.volume = int(volume.value());
    return {};
}

Problem takeMute(const char*, GameOptions& options) {
    options.mute = true;
    return {};
}

Problem takeNoGamepad(const char*, GameOptions& options) {
    options.gamepad = false;
    return {};
}

const std::vector<GameOptionEntry> entries = {
    {"--tick-rate", "N", "a number of ticks per second",
     "advance the game N ticks per wall-clock second, 1 to 1000000 (900 plays\n"
     "at a human pace); without it, one tick per idle call, as fast as the\n"
     "machine runs",
     takeTickRate},
    {"--model", "FILE", "a model file", "the ball to play with (default sphere.iv)", takeModel},
    {"--record", "FILE", "a file to record in", "record the game in FILE as it is played", takeRecord},
    {"--replay", "FILE", "a replay file",
     "show the game recorded in FILE (at 900 ticks a second unless --tick-rate\n"
     "says otherwise) and check it against its checkpoints; f, j and n are ignored",
     takeReplay},
    {"--frames", "DIR", "a folder",
     "with --replay: write every picture as DIR/frame-NNNNNN.png, as fast as\nit goes, and quit at the end",
     takeFrames},
    {"--freeze-at", "N", "a tick number",
     "play unpaced up to tick N, then stop stepping and keep drawing, so the\n"
     "picture at tick N can be compared (overrides --tick-rate)",
     takeFreezeAt},
    {"--mute", nullptr, nullptr, "play without sound (the audio device is left alone)", takeMute},
    {"--volume", "N", "a volume from 0 to 100", "how loud the sounds are, 0 to 100 (default 100)", takeVolume},
    {"--no-gamepad", nullptr, nullptr, "leave game controllers alone: only the keys work the game", takeNoGamepad},
};

// Options that each make sense alone but not together.
Problem checkTogether(const GameOptions& o) {
    if (!o.record.empty() && !o.replay.empty()) return "--record and --replay do not go together";
    if (!o.frames.empty() && o.replay.empty()) return "--frames films a replay: it needs --replay FILE";
    if (o.freezeAt >= 0 && (!o.record.empty() || !o.replay.empty()))
        return "--freeze-at stops the game at a tick: it does not go with --record or --replay";
    if (!o.frames.empty() && o.tickRate > 0.0)
        return "--frames films as fast as it goes: --tick-rate does not go with it";
    return {};
}

}  // namespace

const std::vector<GameOptionEntry>& gameOptionEntries() { return entries; }

bool takesNextArgument(const char* arg) { return takesNextArgument(entries, arg); }

Result<GameOptions> parseGameOptions(int argc, char** argv) {
    GameOptions options;
    Problem problem = parseOptionTable(entries, argc, argv, options);
    if (!problem) problem = checkTogether(options);
    if (problem) return problem;
    return options;
}

std::string gameOptionsUsage() { return optionTableUsage(entries, usageColumn); }
