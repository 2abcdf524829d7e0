#include "replay/ReplayPlayer.h"

#include <cstring>
#include <sstream>
#include <utility>

#include "game/StateHash.h"
#include "io/InputFile.h"

namespace {

// The largest replay file read: far beyond hours of play with every key and checkpoint recorded.
constexpr long long maxReplayFileBytes = 256LL * 1024 * 1024;

std::string standing(const Game& game) {
    return "ticks " + std::to_string(game.tickCount) + " score " +
           std::to_string(game.currentWorld ? game.currentWorld->score : 0) + " hash " + hexHash(stateHash(game));
}

}  // namespace

ReplayPlayer::ReplayPlayer(Replay replay) : replay_(std::move(replay)) {
    if (replay_.hasEnd)
        idlesToPlay_ = replay_.end.idles;
    else if (!replay_.checks.empty())
        idlesToPlay_ = replay_.checks.back().idle + 1;
}

bool ReplayPlayer::over(const Game& game) {
    if (!settled_ && game.idleCount >= idlesToPlay_) settle(game);
    return settled_;
}

bool ReplayPlayer::beforeIdle(Game& game, long long idle) {
    if (idle >= idlesToPlay_) return false;
    for (; nextKey_ < replay_.keys.size() && replay_.keys[nextKey_].idle <= idle; ++nextKey_)
        game.pressKey(replay_.keys[nextKey_].key);
    return true;
}

void ReplayPlayer::afterIdle(Game& game, long long idle, const Game::IdleResult&) {
    if (nextCheck_ < replay_.checks.size() && replay_.checks[nextCheck_].idle == idle) {
        const std::uint64_t got = stateHash(game);
        if (got != replay_.checks[nextCheck_].hash) diverge(idle, replay_.checks[nextCheck_].hash, got);
        ++nextCheck_;
    }
    over(game);
}

bool ReplayPlayer::keyReached(Game&, unsigned char) { return false; }

void ReplayPlayer::diverge(long long idle, std::uint64_t expected, std::uint64_t got) {
    if (diverged_) return;
    diverged_ = true;
    verdict_ = "replay diverged at idle " + std::to_string(idle) + ": expected hash " + hexHash(expected) + ", got " +
               hexHash(got);
}

void ReplayPlayer::settle(const Game& game) {
    settled_ = true;
    if (diverged_) return;
    if (replay_.hasEnd) {
        const ReplayEnd& end = replay_.end;
        const std::uint64_t got = stateHash(game);
        const int score = game.currentWorld ? game.currentWorld->score : 0;
        if (got != end.hash) {
            diverge(end.idles - 1, end.hash, got);
        } else if (game.tickCount != end.ticks || score != end.score) {
            diverged_ = true;
            verdict_ = "replay diverged at the end: expected ticks " + std::to_string(end.ticks) + " score " +
                       std::to_string(end.score) + ", got " + standing(game);
        } else {
            verifiedAll_ = true;
            verdict_ = "replay verified: " + standing(game);
        }
        return;
    }
    if (replay_.cutShort()) {
        // Played as far as it can be checked, but not a whole verification.
        const long long at = replay_.lastIdle < 0 ? 0 : replay_.lastIdle;
        verdict_ = "replay cut short at idle " + std::to_string(at) + ": " +
                   (replay_.checks.empty() ? std::string("no checkpoint to verify")
                                           : "verified up to idle " + std::to_string(idlesToPlay_ - 1));
        return;
    }
    if (replay_.checks.empty()) {
        verdict_ = "replay not verified: the recording has no end line and no checkpoint";
        return;
    }
    verifiedAll_ = true;
    verdict_ = "replay verified to its last checkpoint, after idle " + std::to_string(idlesToPlay_ - 1) +
               " (the recording has no end line): " + standing(game);
}

Result<Replay> loadReplay(const std::string& fileName) {
    // Only a regular file of bounded size is read, whole: a FIFO, a device or a huge file costs
    // neither a hang nor memory.
    const Result<std::string> text = readRegularFile(fileName, maxReplayFileBytes);
    if (!text.ok()) return Problem(fileName + ": cannot read replay: " + text.problem().line());
    std::istringstream in(text.value());
    return readReplay(in, fileName);
}

std::string checkReplayModel(const Replay& replay, const std::string& replayFile, const std::string& modelFile) {
    const Result<std::uint64_t> modelHash = hashModelFile(modelFile);
    if (!modelHash.ok()) return modelHash.problem().line();
    const std::uint64_t hash = modelHash.value();
    if (hash == replay.modelHash) return "";
    return replayFile + ": recorded with another ball (model hash " + hexHash(replay.modelHash) + "), not " +
           modelFile + " (hash " + hexHash(hash) + ")";
}

ReplayOutcome playReplay(Replay replay, const std::string& modelFile, long long maxTicks,
                         const ReplayIdleWatcher& afterIdle) {
    ReplayOutcome outcome;
    Game game;
    game.modelFileName = modelFile.c_str();
    game.restartRequested = true;
    ReplayPlayer player(std::move(replay));
    game.observer = &player;
    while (!player.over(game) && !player.diverged()) {
        const long long idle = game.idleCount;
        const Game::IdleResult result = game.idle();
        if (afterIdle && !afterIdle(idle, game, result)) {
            outcome.stopped = true;
            break;
        }
        if (maxTicks > 0 && game.tickCount > maxTicks) {
            outcome.tooLong = true;
            outcome.verdict = "replay too long: past " + std::to_string(maxTicks) + " ticks of play";
            break;
        }
    }
    if (!outcome.stopped && !outcome.tooLong) {
        outcome.verified = player.verified();
        outcome.verdict = player.verdict();
    }
    outcome.endedAtTick = game.endedAtTick;
    outcome.endScore = game.endScore;
    // A game ends when its ball is lost; one that was still on at the replay's end counts as it stood.
    const bool ended = game.endedAtTick >= 0;
    outcome.ticks = ended ? game.endedAtTick : game.tickCount;
    outcome.score = ended ? game.endScore : (game.currentWorld ? game.currentWorld->score : 0);
    return outcome;
}
