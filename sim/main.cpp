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
#include <vector>

#include "app/Game.h"
#include "sim/StateHash.h"
#include "sim/TraceFormat.h"

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
        } else if (arg == "--key") {
            const std::size_t colon = value.find(':');
            if (colon == std::string::npos || value.size() != colon + 2) badUsage("bad key '" + value + "'");
            options.keys.emplace(parseCount(value.substr(0, colon), "key idle number", 0), value[colon + 1]);
        } else if (arg == "--trace") {
            options.trace = value;
        } else if (arg == "--every") {
            options.every = parseCount(value, "--every", 1);
        } else {
            badUsage("unknown option " + arg);
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    useLfLineEnds();
    const Options options = parseOptions(argc, argv);

    std::FILE* trace = nullptr;
    if (!options.trace.empty()) {
        trace = std::fopen(options.trace.c_str(), "wb");
        if (trace == nullptr) {
            std::cerr << options.trace << ": cannot write trace: " << std::strerror(errno) << '\n';
            return 1;
        }
        std::fputs("idle,tick,score,x,y,z,vx,vy,vz,radius,left,right,hash\n", trace);
    }

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
            writeTraceRow(trace, idle, *game.currentWorld, game.tickCount);
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
