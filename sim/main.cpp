// flipper-sim: the game's idle loop without a window, for tests, replays and benchmarks.
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "game/Game.h"
#include "game/StateHash.h"
#include "game/TraceFormat.h"
#include "io/OutputFile.h"
#include "io/SystemError.h"
#include "replay/ReplayPlayer.h"

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
    bool help = false;  // --help: print the usage and do nothing else
};

/// Says what is wrong with the command line, and the usage; returns the exit status for it.
int badUsage(const std::string& message) {
    std::cerr << "flipper-sim: " << message << '\n' << usage;
    return 2;
}

/// Reads a count of at least minimum into value. Returns "" or why the text is no such count.
[[nodiscard]] std::string parseCount(const std::string& text, const char* what, long long minimum, long long& value) {
    char* end = nullptr;
    errno = 0;
    const long long count = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || count < minimum)
        return std::string("bad ") + what + " '" + text + "'";
    value = count;
    return "";
}

// The options that take a value; every option does.
bool takesValue(const std::string& arg) {
    return arg == "--model" || arg == "--idles" || arg == "--key" || arg == "--trace" || arg == "--every" ||
           arg == "--replay";
}

// A file name given on the command line: anything but nothing. Returns "" or why not.
[[nodiscard]] std::string takeName(const std::string& option, const std::string& value, std::string& name) {
    if (value.empty()) return "empty file name for " + option;
    name = value;
    return "";
}

// One option and its value into options. Returns "" or why they cannot be used.
[[nodiscard]] std::string takeOption(const std::string& arg, const std::string& value, Options& options) {
    if (arg == "--model") return takeName(arg, value, options.model);
    if (arg == "--trace") return takeName(arg, value, options.trace);
    if (arg == "--replay") return takeName(arg, value, options.replay);
    if (arg == "--every") return parseCount(value, "--every", 1, options.every);
    if (arg == "--idles") {
        options.idlesGiven = true;
        return parseCount(value, "idle count", 0, options.idles);
    }
    // --key I:K
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos || value.size() != colon + 2) return "bad key '" + value + "'";
    long long idle = 0;
    std::string problem = parseCount(value.substr(0, colon), "key idle number", 0, idle);
    if (problem.empty()) options.keys.emplace(idle, value[colon + 1]);
    return problem;
}

/// Reads the command line into options, stopping at --help. Returns "" or the one line that says
/// what is wrong with it.
[[nodiscard]] std::string parseOptions(int argc, char** argv, Options& options) {
    bool everyGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return "";
        }
        if (!takesValue(arg)) return (arg.rfind('-', 0) == 0 ? "unknown option " : "unknown argument ") + arg;
        if (i + 1 >= argc) return "missing value for " + arg;
        const std::string problem = takeOption(arg, argv[++i], options);
        if (!problem.empty()) return problem;
        if (arg == "--every") everyGiven = true;
    }
    if (everyGiven && options.trace.empty()) return "--every needs --trace";
    // A key that would never be delivered is a mistake in the command line, not a quiet no-op.
    if (options.replay.empty() && !options.keys.empty() && options.keys.rbegin()->first >= options.idles) {
        const auto& last = *options.keys.rbegin();
        return "key '" + std::string(1, last.second) + "' at idle call " + std::to_string(last.first) +
               " is past the last idle call (--idles " + std::to_string(options.idles) + " numbers them 0 to " +
               std::to_string(options.idles - 1) + ")";
    }
    return "";
}

/// The trace: opened only once the first idle call has read the model, every row checked, and
/// checked again at the close. A failure is said in one line and ends the run.
class Trace {
public:
    explicit Trace(const Options& options)
        : file_(options.trace, "trace"), every_(options.every), wanted_(!options.trace.empty()) {}

    /// After an idle call: opens the file after the first, and writes a row after every step on
    /// the --every rhythm. False when the file has failed.
    bool after(long long idle, const Game& game, const Game::IdleResult& result) {
        if (!wanted_) return true;
        if (!file_.isOpen() && !open()) return false;
        if (!result.stepped || game.tickCount % every_ != 0) return true;
        char row[traceRowCapacity];
        const int length = formatTraceRow(row, sizeof row, idle, *game.currentWorld, game.tickCount);
        return said(file_.write(row, std::size_t(length)));
    }

    /// Closes the file (opening it first if no idle call came); false when it has failed.
    bool finish() {
        if (!wanted_) return true;
        if (!file_.isOpen() && !open()) return false;
        return said(file_.close());
    }

private:
    bool open() {
        std::string problem = file_.open();
        if (problem.empty()) problem = file_.print("%s", header);
        return said(problem);
    }
    // True when all is well; otherwise says the problem and returns false.
    static bool said(const std::string& problem) {
        if (problem.empty()) return true;
        std::cerr << problem << '\n';
        return false;
    }

    static constexpr const char* header = "idle,tick,score,x,y,z,vx,vy,vz,radius,left,right,hash\n";
    OutputFile file_;
    long long every_;
    bool wanted_;
};

// --replay: the recorded game again, as fast as it goes, checked at every checkpoint and at the end.
// The recording's keys drive the game; it stops at the first checkpoint that disagrees.
int replayGame(const Options& options) {
    if (options.idlesGiven || !options.keys.empty())
        return badUsage("--replay plays the recorded keys: --idles and --key do not go with it");
    Replay replay;
    std::string problem = loadReplay(options.replay, replay);
    if (problem.empty()) problem = checkReplayModel(replay, options.replay, options.model);
    if (!problem.empty()) {
        std::cerr << problem << '\n';
        return 1;
    }
    Trace trace(options);
    Game game;
    game.modelFileName = options.model.c_str();
    game.restartRequested = true;
    ReplayPlayer player(std::move(replay));
    game.observer = &player;
    while (!player.over(game) && !player.diverged()) {
        const long long idle = game.idleCount;
        const Game::IdleResult result = game.idle();
        if (!trace.after(idle, game, result)) return 1;
    }
    if (!trace.finish()) return 1;
    std::cout << player.verdict() << '\n' << std::flush;
    return player.verified() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    useLfLineEnds();
    Options options;
    const std::string problem = parseOptions(argc, argv, options);
    if (!problem.empty()) return badUsage(problem);
    if (options.help) {
        std::cout << usage;
        return 0;
    }
    // A trace over an input would empty it before it is read: refused before anything is opened.
    if (!options.trace.empty()) {
        std::vector<std::string> inputs{options.model};
        if (!options.replay.empty()) inputs.push_back(options.replay);
        const std::string clobber = refuseInput(options.trace, inputs);
        if (!clobber.empty()) {
            std::cerr << clobber << '\n';
            return 1;
        }
    }
    if (!options.replay.empty()) return replayGame(options);

    Trace trace(options);
    Game game;
    game.modelFileName = options.model.c_str();
    game.restartRequested = true;
    auto key = options.keys.begin();
    for (long long idle = 0; idle < options.idles; ++idle) {
        for (; key != options.keys.end() && key->first <= idle; ++key)
            if (key->first == idle) game.keyboard(static_cast<unsigned char>(key->second));
        const Game::IdleResult result = game.idle();
        if (result.rebuilt && !game.loadError.empty()) return 1;  // the game has already said why
        if (!trace.after(idle, game, result)) return 1;
    }
    if (!trace.finish()) return 1;

    const std::uint64_t hash = stateHash(game);
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
