// flipper-sim: the game's idle loop without a window, for tests, replays and benchmarks.
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/Game.h"
#include "io/OutputFile.h"
#include "replay/ReplayPlayer.h"
#include "sim/StateHash.h"

namespace {

constexpr const char* usage =
    "usage: flipper-sim [--model FILE] [--idles N] [--key I:K]... [--trace FILE] [--every K]\n"
    "       flipper-sim --replay FILE [--model FILE] [--trace FILE] [--every K]\n"
    "  --model FILE   ball model to read (default sphere.iv)\n"
    "  --idles N      idle calls to perform, numbered 0 to N-1 (default 1000)\n"
    "  --key I:K      deliver the one-character key K before idle call I (repeatable)\n"
    "  --trace FILE   write a CSV row after every step\n"
    "  --every K      with --trace, only after steps whose tick count is a multiple of K\n"
    "  --replay FILE  play a recorded game again and check it against its checkpoints and end;\n"
    "                 exit status 0 when it agrees, 1 when it diverges or the file is bad\n";

struct Options {
    std::string model = "sphere.iv";
    long long idles = 1000;
    std::multimap<long long, char> keys;  // idle call -> keys, in command-line order
    std::string trace;
    long long every = 1;
    std::string replay;  // a recorded game to play instead of --idles and --key
    bool idlesGiven = false;
};

[[noreturn]] void badUsage(const std::string& message) {
    std::cerr << "flipper-sim: " << message << '\n' << usage;
    std::exit(2);
}

long long parseCount(const std::string& text, const char* what, long long minimum) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < minimum)
        badUsage(std::string("bad ") + what + " '" + text + "'");
    return value;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            std::exit(0);
        }
        if (i + 1 >= argc) badUsage(arg.rfind("--", 0) == 0 ? "missing value for " + arg : "unknown argument " + arg);
        const std::string value = argv[++i];
        if (arg == "--model") {
            options.model = value;
        } else if (arg == "--idles") {
            options.idles = parseCount(value, "idle count", 0);
            options.idlesGiven = true;
        } else if (arg == "--key") {
            const std::size_t colon = value.find(':');
            if (colon == std::string::npos || value.size() != colon + 2) badUsage("bad key '" + value + "'");
            options.keys.emplace(parseCount(value.substr(0, colon), "key idle number", 0), value[colon + 1]);
        } else if (arg == "--trace") {
            options.trace = value;
        } else if (arg == "--replay") {
            options.replay = value;
        } else if (arg == "--every") {
            options.every = parseCount(value, "--every", 1);
        } else {
            badUsage("unknown option " + arg);
        }
    }
    return options;
}

void writeRow(std::FILE* out, long long idle, const World& world, int tick) {
    const Mass& c = world.masses[0];
    std::fprintf(out, "%lld,%d,%d,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.17g,%.9g,%.9g,%016" PRIx64 "\n", idle, tick,
                 world.score, c.position[0], c.position[1], c.position[2], c.velocity[0], c.velocity[1],
                 c.velocity[2], world.boundingRadius, world.leftFlipper.swingAngle, world.rightFlipper.swingAngle,
                 stateHash(world));
}

// Opens the trace with its header, or says why it cannot (or must not: it would overwrite an input)
// and returns false.
bool openTrace(const Options& options, std::FILE*& trace) {
    trace = nullptr;
    if (options.trace.empty()) return true;
    std::vector<std::string> inputs{options.model};
    if (!options.replay.empty()) inputs.push_back(options.replay);
    const std::string clobber = refuseInput(options.trace, inputs);
    if (!clobber.empty()) {
        std::cerr << clobber << '\n';
        return false;
    }
    trace = std::fopen(options.trace.c_str(), "w");
    if (trace == nullptr) {
        std::cerr << options.trace << ": cannot write trace: " << std::strerror(errno) << '\n';
        return false;
    }
    std::fputs("idle,tick,score,x,y,z,vx,vy,vz,radius,left,right,hash\n", trace);
    return true;
}

// --replay: the recorded game again, as fast as it goes, checked at every checkpoint and at the end.
// The recording's keys drive the game; it stops at the first checkpoint that disagrees.
int replayGame(const Options& options) {
    if (options.idlesGiven || !options.keys.empty())
        badUsage("--replay plays the recorded keys: --idles and --key do not go with it");
    Replay replay;
    std::string problem = loadReplay(options.replay, replay);
    if (problem.empty()) problem = checkReplayModel(replay, options.replay, options.model);
    if (!problem.empty()) {
        std::cerr << problem << '\n';
        return 1;
    }
    std::FILE* trace = nullptr;
    if (!openTrace(options, trace)) return 1;

    Game game;
    game.modelFileName = options.model.c_str();
    game.restartRequested = true;
    ReplayPlayer player(std::move(replay));
    game.observer = &player;
    while (!player.over(game) && !player.diverged()) {
        const long long idle = game.idleCount;
        const Game::IdleResult result = game.idle();
        if (trace != nullptr && result.stepped && game.tickCount % options.every == 0)
            writeRow(trace, idle, *game.currentWorld, game.tickCount);
    }
    if (trace != nullptr && std::fclose(trace) != 0) {
        std::cerr << options.trace << ": cannot write trace: " << std::strerror(errno) << '\n';
        return 1;
    }
    std::cout << player.verdict() << '\n' << std::flush;
    return player.verified() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    if (!options.replay.empty()) return replayGame(options);

    std::FILE* trace = nullptr;
    if (!openTrace(options, trace)) return 1;

    Game game;
    game.modelFileName = options.model.c_str();
    game.restartRequested = true;
    auto key = options.keys.begin();
    for (long long idle = 0; idle < options.idles; ++idle) {
        for (; key != options.keys.end() && key->first <= idle; ++key)
            if (key->first == idle) game.keyboard(static_cast<unsigned char>(key->second));
        const Game::IdleResult result = game.idle();
        if (result.rebuilt && !game.loadError.empty()) {
            if (trace != nullptr) std::fclose(trace);
            return 1;  // the game has already said why
        }
        if (trace != nullptr && result.stepped && game.tickCount % options.every == 0)
            writeRow(trace, idle, *game.currentWorld, game.tickCount);
    }
    if (trace != nullptr && std::fclose(trace) != 0) {
        std::cerr << options.trace << ": cannot write trace: " << std::strerror(errno) << '\n';
        return 1;
    }

    const std::uint64_t hash = game.currentWorld ? stateHash(*game.currentWorld) : fnvOffsetBasis;
    std::printf("ticks %d score %d hash %016" PRIx64 "\n", game.tickCount,
                game.currentWorld ? game.currentWorld->score : 0, hash);
    return 0;
}
