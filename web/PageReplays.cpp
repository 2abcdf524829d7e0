#include "web/PageReplays.h"

#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "io/InputFile.h"
#include "replay/ReplayFile.h"
#include "game/StateHash.h"

namespace {

// A replay handed to the page is at most this long: a link inflates to less, and a file longer
// than this is hours of play.
constexpr long long maxPageReplayBytes = 16LL * 1024 * 1024;

}  // namespace

void PageReplays::restart() {
    if (recorder_ != nullptr) (void)recorder_->finish(game_);
    recorder_.reset();
    player_.reset();
    divergenceShown_ = verdictShown_ = false;
    game_.idleCount = 0;
    game_.tickCount = 0;
    // Until its first idle call builds one, the new game has no World, as the program's first has not:
    // a snapshot taken then says so, and is played back so.
    game_.currentWorld.reset();
    game_.restartRequested = true;
}

std::string PageReplays::newGame() {
    restart();
    // Without a ball there is no game to record: the game has already said why.
    const Result<std::uint64_t> modelHash = hashModelFile(game_.modelFileName);
    if (!modelHash.ok()) return "";
    recorder_ = std::make_unique<ReplayRecorder>();
    const std::vector<std::string> inputs{game_.modelFileName, "woman.bmp", "head.bmp"};
    std::string problem = recorder_->open(recordingFile_, modelHash.value(), inputs);
    if (!problem.empty()) {
        recorder_.reset();
        return problem;
    }
    return "";
}

std::string PageReplays::snapshot() {
    if (recorder_ == nullptr) return "no game is being recorded";
    if (recorder_->error()) return recorder_->error().line();
    // The recording so far is in its partial file until the game ends.
    const std::string live = ReplayRecorder::partName(recordingFile_);
    const Result<std::string> text = readRegularFile(live, maxPageReplayBytes);
    if (!text.ok()) return live + ": cannot read replay: " + text.problem().line();
    ReplayEnd end;
    end.idles = game_.idleCount;
    end.ticks = game_.tickCount;
    end.score = game_.currentWorld ? game_.currentWorld->score : 0;
    end.hash = stateHash(game_);
    std::ofstream out(snapshotFile_, std::ios::binary | std::ios::trunc);
    out << text.value() << endLine(end);
    out.close();
    if (!out) return snapshotFile_ + ": cannot write replay";
    return "";
}

Result<Replay> PageReplays::read(const std::string& text, const std::string& name) const {
    if (static_cast<long long>(text.size()) > maxPageReplayBytes)
        return Problem(name + ": cannot read replay: file too large");
    std::istringstream in(text);
    Result<Replay> replay = readReplay(in, name);
    if (!replay.ok()) return replay;
    const std::string problem = checkReplayModel(replay.value(), name, game_.modelFileName);
    if (!problem.empty()) return Problem(problem);
    return replay;
}

std::string PageReplays::play(const std::string& text, const std::string& name) {
    Result<Replay> replay = read(text, name);
    if (!replay.ok()) return replay.problem().line();
    restart();
    player_ = std::make_unique<ReplayPlayer>(std::move(replay.value()));
    return "";
}

PageReplays::Check PageReplays::check(const std::string& text, const std::string& name) const {
    Check found;
    Result<Replay> replay = read(text, name);
    if (!replay.ok()) {
        found.line = replay.problem().line();
        return found;
    }
    Game game;
    game.modelFileName = game_.modelFileName;
    game.restartRequested = true;
    ReplayPlayer player(std::move(replay.value()));
    game.observer = &player;
    while (!player.over(game) && !player.diverged()) game.idle();
    found.line = player.verdict();
    found.verified = player.verified();
    found.ticks = game.tickCount;
    found.score = game.currentWorld ? game.currentWorld->score : 0;
    found.endedAtTick = game.endedAtTick;
    found.endScore = game.endScore;
    return found;
}

PageReplays::Check PageReplays::checkFile(const std::string& path, const std::string& name) const {
    const Result<std::string> text = readRegularFile(path, maxPageReplayBytes);
    if (text.ok()) return check(text.value(), name);
    Check found;
    found.line = name + ": cannot read replay: " + text.problem().line();
    return found;
}

std::string PageReplays::playFile(const std::string& path, const std::string& name) {
    const Result<std::string> text = readRegularFile(path, maxPageReplayBytes);
    if (!text.ok()) return name + ": cannot read replay: " + text.problem().line();
    return play(text.value(), name);
}

std::string PageReplays::takeVerdict() {
    if (player_ == nullptr) return "";
    // A divergence as it happens, the verdict at the end: each once, as the desktop's --replay says them.
    if (player_->diverged() && !divergenceShown_) {
        divergenceShown_ = verdictShown_ = true;
        return player_->verdict();
    }
    if (player_->over(game_) && !verdictShown_) {
        // A divergence found at the end is the verdict itself.
        divergenceShown_ = verdictShown_ = true;
        return player_->verdict();
    }
    return "";
}

GameObserver* PageReplays::current() const {
    if (player_ != nullptr) return player_.get();
    return recorder_.get();
}

bool PageReplays::beforeIdle(Game& game, long long idle) {
    GameObserver* observer = current();
    return observer == nullptr || observer->beforeIdle(game, idle);
}

void PageReplays::afterIdle(Game& game, long long idle, const Game::IdleResult& result) {
    if (GameObserver* observer = current()) observer->afterIdle(game, idle, result);
}

bool PageReplays::keyReached(Game& game, unsigned char key) {
    GameObserver* observer = current();
    return observer == nullptr || observer->keyReached(game, key);
}
