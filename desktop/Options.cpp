#include "desktop/Options.h"

#include "game/Freeze.h"
#include "game/Pacing.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int usageColumn = 23;  // where the descriptions start in the usage

/// A rate must be a number written in full ("900", "62.5") that the pacing accepts: 1 to 1000000.
std::string takeTickRate(const char* text, GameOptions& options) {
    char* end = nullptr;
    const double value = *text == '\0' ? 0.0 : std::strtod(text, &end);
    if (*text == '\0' || *end != '\0' || !(value >= Pacing::minTicksPerSecond && value <= Pacing::maxTicksPerSecond))
        return std::string("bad tick rate '") + text + "': it must be a number from 1 to 1000000";
    options.tickRate = value;
    return "";
}

// A file or folder name: anything but nothing.
std::string takeName(const char* text, std::string& name, const char* what) {
    if (*text == '\0') return std::string("empty ") + what + " name";
    name = text;
    return "";
}

std::string takeModel(const char* text, GameOptions& o) {
    o.modelGiven = true;
    return takeName(text, o.model, "model file");
}
std::string takeRecord(const char* text, GameOptions& o) { return takeName(text, o.record, "replay file"); }
std::string takeReplay(const char* text, GameOptions& o) { return takeName(text, o.replay, "replay file"); }
std::string takeFrames(const char* text, GameOptions& o) { return takeName(text, o.frames, "frames folder"); }

std::string takeFreezeAt(const char* text, GameOptions& options) { return parseFreezeAt(text, options.freezeAt); }

/// A volume: a whole number from 0 to 100, digits only.
std::string takeVolume(const char* text, GameOptions& options) {
    char* end = nullptr;
    const long value = (*text >= '0' && *text <= '9') ? std::strtol(text, &end, 10) : -1;
    if (value < 0 || value > 100 || *end != '\0')
        return std::string("bad volume '") + text + "': it must be a whole number from 0 to 100";
    options.volume = int(value);
    return "";
}

std::string takeMute(const char*, GameOptions& options) {
    options.mute = true;
    return "";
}

std::string takeNoGamepad(const char*, GameOptions& options) {
    options.gamepad = false;
    return "";
}

const std::vector<OptionEntry> entries = {
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

const OptionEntry* find(const std::string& name) {
    for (const OptionEntry& entry : entries)
        if (name == entry.name) return &entry;
    return nullptr;
}

// Options that each make sense alone but not together.
std::string checkTogether(const GameOptions& o) {
    if (!o.record.empty() && !o.replay.empty()) return "--record and --replay do not go together";
    if (!o.frames.empty() && o.replay.empty()) return "--frames films a replay: it needs --replay FILE";
    if (o.freezeAt >= 0 && (!o.record.empty() || !o.replay.empty()))
        return "--freeze-at stops the game at a tick: it does not go with --record or --replay";
    if (!o.frames.empty() && o.tickRate > 0.0)
        return "--frames films as fast as it goes: --tick-rate does not go with it";
    return "";
}

}  // namespace

const std::vector<OptionEntry>& gameOptionEntries() { return entries; }

bool takesNextArgument(const char* arg) {
    const OptionEntry* entry = find(arg);
    return std::strchr(arg, '=') == nullptr && entry != nullptr && entry->valueName != nullptr;
}

std::string parseGameOptions(int argc, char** argv, GameOptions& options) {
    options = GameOptions{};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionEntry* entry = arg.rfind("--", 0) == 0 ? find(name) : nullptr;
        if (entry == nullptr) return "unknown option '" + arg + "'";
        const char* value = nullptr;
        if (entry->valueName == nullptr) {
            if (equals != std::string::npos) return name + " takes no value";
        } else if (equals != std::string::npos) {
            value = argv[i] + equals + 1;
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return name + " needs " + entry->valueNeeds;
        }
        const std::string problem = entry->take(value, options);
        if (!problem.empty()) return problem;
    }
    return checkTogether(options);
}

std::string gameOptionsUsage() {
    std::string usage;
    for (const OptionEntry& entry : entries) {
        std::string line = std::string("  ") + entry.name;
        if (entry.valueName != nullptr) line += std::string(" ") + entry.valueName;
        line.resize(usageColumn - 1, ' ');
        line += ' ';
        for (const char* c = entry.help; *c != '\0'; ++c) {
            line += *c;
            if (*c == '\n') line += std::string(usageColumn, ' ');
        }
        usage += line + "\n";
    }
    return usage;
}
