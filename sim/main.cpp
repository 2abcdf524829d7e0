// flipper-sim: the game's idle loop without a window, for tests, replays and benchmarks.
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "game/Game.h"
#include "game/StateHash.h"
#include "game/TraceFormat.h"
#include "io/DataFiles.h"
#include "io/OutputFile.h"
#include "io/Platform.h"
#include "io/SystemError.h"
#include "replay/ReplayPlayer.h"
#include "sim/Options.h"

namespace {

// Standard output is checked like any file: a result that cannot be written is a failure, said on
// standard error. what: what was being written ("the summary"). Returns the exit status.
int flushStandardOutput(const char* what, int status) {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    const int error = errno != 0 ? errno : EIO;
    std::cerr << "flipper-sim: cannot write " << what << " to standard output: " << systemReason(error) << '\n';
    return 1;
}

/// Says what is wrong with the command line, and the usage; returns the exit status for it.
int badUsage(const std::string& message) {
    std::cerr << "flipper-sim: " << message << '\n' << simUsage();
    return 2;
}

/// The trace: opened only once the first idle call has read the model, every row checked, and
/// checked again at the close. A failure is said in one line and ends the run.
class Trace {
public:
    explicit Trace(const SimOptions& options)
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

// When the current game's ball was lost, and its score then; the game may have stepped on past it.
void printGameOver(int endedAtTick, int endScore) {
    if (endedAtTick < 0)
        std::printf("game not over\n");
    else
        std::printf("game over at tick %d score %d\n", endedAtTick, endScore);
}

// --replay: the recorded game again, as fast as it goes, checked at every checkpoint and at the end.
// The recording's keys drive the game; it stops at the first checkpoint that disagrees.
int replayGame(const SimOptions& options) {
    if (options.idlesGiven || !options.keys.empty())
        return badUsage("--replay plays the recorded keys: --idles and --key do not go with it");
    Result<Replay> loaded = loadReplay(options.replay);
    const std::string problem =
        loaded.ok() ? checkReplayModel(loaded.value(), options.replay, options.model) : loaded.problem().line();
    if (!problem.empty()) {
        std::cerr << problem << '\n';
        return 1;
    }
    Replay& replay = loaded.value();
    if (replay.cutShort()) std::cerr << replay.cutNote << '\n';
    Trace trace(options);
    const ReplayOutcome outcome =
        playReplay(std::move(replay), options.model, 0,
                   [&trace](long long idle, const Game& game, const Game::IdleResult& result) {
                       return trace.after(idle, game, result);
                   });
    if (outcome.stopped || !trace.finish()) return 1;
    std::printf("%s\n", outcome.verdict.c_str());
    if (options.gameOver) printGameOver(outcome.endedAtTick, outcome.endScore);
    return flushStandardOutput("the verdict", outcome.verified ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv) {
    useLfLineEnds();
    reportFileSizeLimitAsAnError();
    Result<SimOptions> parsed = parseSimOptions(argc, argv);
    if (!parsed.ok()) return badUsage(parsed.problem().line());
    SimOptions& options = parsed.value();
    if (options.help) {
        std::fputs(simUsage().c_str(), stdout);
        return flushStandardOutput("the usage", 0);
    }
    if (!options.modelGiven) {
        const DataFile found = findDataFile(options.model, dataPlaces(programDirectory(argv[0])));
        if (!found.problem.empty()) {
            std::cerr << options.model << ": cannot read model: " << found.problem << '\n';
            return 1;
        }
        options.model = found.path;
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
    std::printf("ticks %d score %d hash %016" PRIx64 "\n", game.tickCount,
                game.currentWorld ? game.currentWorld->score : 0, hash);
    if (options.gameOver) printGameOver(game.endedAtTick, game.endScore);
    return flushStandardOutput("the summary", 0);
}
