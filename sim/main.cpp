// flipper-sim: the game's idle loop without a window, for tests, replays and benchmarks.
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/Game.h"
#include "io/InputFile.h"
#include "io/OutputFile.h"
#include "io/SystemError.h"
#include "sim/StateHash.h"

namespace {

constexpr const char* usage =
    "usage: flipper-sim [--model FILE] [--idles N] [--key I:K]... [--trace FILE] [--every K]\n"
    "  --model FILE   ball model to read (default sphere.iv)\n"
    "  --idles N      idle calls to perform, numbered 0 to N-1 (default 1000)\n"
    "  --key I:K      deliver the one-character key K before idle call I (repeatable)\n"
    "  --trace FILE   write a CSV row after every step\n"
    "  --every K      with --trace, only after steps whose tick count is a multiple of K\n";

struct Options {
    std::string model = "sphere.iv";
    long long idles = 1000;
    std::multimap<long long, char> keys;  // idle call -> keys, in command-line order
    std::string trace;
    long long every = 1;
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

// The options that take a value; every option does.
bool takesValue(const std::string& arg) {
    return arg == "--model" || arg == "--idles" || arg == "--key" || arg == "--trace" || arg == "--every";
}

Options parseOptions(int argc, char** argv) {
    Options options;
    bool everyGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            std::exit(0);
        }
        if (!takesValue(arg)) badUsage((arg.rfind('-', 0) == 0 ? "unknown option " : "unknown argument ") + arg);
        if (i + 1 >= argc) badUsage("missing value for " + arg);
        const std::string value = argv[++i];
        if (arg == "--model") {
            if (value.empty()) badUsage("empty file name for --model");
            options.model = value;
        } else if (arg == "--idles") {
            options.idles = parseCount(value, "idle count", 0);
        } else if (arg == "--key") {
            const std::size_t colon = value.find(':');
            if (colon == std::string::npos || value.size() != colon + 2) badUsage("bad key '" + value + "'");
            options.keys.emplace(parseCount(value.substr(0, colon), "key idle number", 0), value[colon + 1]);
        } else if (arg == "--trace") {
            if (value.empty()) badUsage("empty file name for --trace");
            options.trace = value;
        } else {
            options.every = parseCount(value, "--every", 1);
            everyGiven = true;
        }
    }
    if (everyGiven && options.trace.empty()) badUsage("--every needs --trace");
    // A key that would never be delivered is a mistake in the command line, not a quiet no-op.
    if (!options.keys.empty() && options.keys.rbegin()->first >= options.idles) {
        const auto& last = *options.keys.rbegin();
        badUsage("key '" + std::string(1, last.second) + "' at idle call " + std::to_string(last.first) +
                 " is past the last idle call (--idles " + std::to_string(options.idles) + " numbers them 0 to " +
                 std::to_string(options.idles - 1) + ")");
    }
    return options;
}

constexpr const char* traceHeader = "idle,tick,score,x,y,z,vx,vy,vz,radius,left,right,hash\n";

bool writeRow(OutputFile& out, long long idle, const World& world, int tick) {
    const Mass& c = world.masses[0];
    return out.print("%lld,%d,%d,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.17g,%.9g,%.9g,%016" PRIx64 "\n", idle, tick,
                     world.score, c.position[0], c.position[1], c.position[2], c.velocity[0], c.velocity[1],
                     c.velocity[2], world.boundingRadius, world.leftFlipper.swingAngle,
                     world.rightFlipper.swingAngle, stateHash(world));
}

/// Says why an output failed; the exit status for it.
int outputFailed(const OutputFile& out) {
    std::cerr << out.message() << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    const bool tracing = !options.trace.empty();

    // The trace is opened only after the model has been read, and never over it: opening it empties it.
    if (tracing && sameFile(options.trace, options.model)) {
        std::cerr << options.trace << ": cannot write trace: it is the model file " << options.model << '\n';
        return 1;
    }
    OutputFile trace(options.trace, "trace");
    auto openTrace = [&trace] { return trace.open() && trace.print("%s", traceHeader); };

    Game game;
    game.modelFileName = options.model.c_str();
    game.restartRequested = true;
    auto key = options.keys.begin();
    for (long long idle = 0; idle < options.idles; ++idle) {
        for (; key != options.keys.end() && key->first <= idle; ++key)
            if (key->first == idle) game.keyboard(static_cast<unsigned char>(key->second));
        const Game::IdleResult result = game.idle();
        if (result.rebuilt && !game.loadError.empty()) return 1;  // the game has already said why
        if (tracing && idle == 0 && !openTrace()) return outputFailed(trace);
        if (tracing && result.stepped && game.tickCount % options.every == 0 &&
            !writeRow(trace, idle, *game.currentWorld, game.tickCount))
            return outputFailed(trace);
    }
    if (tracing && options.idles == 0 && !openTrace()) return outputFailed(trace);
    if (tracing && !trace.close()) return outputFailed(trace);

    const std::uint64_t hash = game.currentWorld ? stateHash(*game.currentWorld) : fnvOffsetBasis;
    errno = 0;
    std::printf("ticks %d score %d hash %016" PRIx64 "\n", game.tickCount,
                game.currentWorld ? game.currentWorld->score : 0, hash);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno != 0 ? errno : EIO;
        std::cerr << "flipper-sim: cannot write the summary to standard output: " << systemReason(error) << '\n';
        return 1;
    }
    return 0;
}
