#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "game/Game.h"
#include "replay/ReplayFile.h"

/// Plays a recorded game again: hands each recorded key to the game before its idle call, compares
/// the state with every checkpoint after its idle call, holds the game still once the recording is
/// over and keeps the player's own keys from the game. Without an end line it plays to the last
/// checkpoint.
class ReplayPlayer : public GameObserver {
public:
    explicit ReplayPlayer(Replay replay);

    /// The recording has been played to its end, or to its last checkpoint, and judged.
    bool over(const Game& game);
    /// A checkpoint (or the end) disagreed with the game.
    bool diverged() const { return diverged_; }
    /// Over and in agreement with every checkpoint and the end.
    bool verified() const { return settled_ && verifiedAll_; }
    /// One line: "replay verified: ...", "replay diverged at idle ...", or why nothing could be checked.
    /// Empty while the replay goes on without a divergence.
    const std::string& verdict() const { return verdict_; }
    /// Idle calls the replay makes: the end's count, or up to the last checkpoint.
    long long idlesToPlay() const { return idlesToPlay_; }

    bool beforeIdle(Game& game, long long idle) override;
    void afterIdle(Game& game, long long idle, const Game::IdleResult& result) override;
    bool keyReached(Game& game, unsigned char key) override;

private:
    void settle(const Game& game);
    void diverge(long long idle, std::uint64_t expected, std::uint64_t got);

    Replay replay_;
    long long idlesToPlay_ = 0;
    std::size_t nextKey_ = 0;
    std::size_t nextCheck_ = 0;
    bool diverged_ = false;
    bool settled_ = false;
    bool verifiedAll_ = false;
    std::string verdict_;
};

/// Reads the replay file fileName whole. Returns the recorded game or one line naming the file (and
/// the line, for a bad one).
Result<Replay> loadReplay(const std::string& fileName);
/// Returns "" when the model file is the ball the replay was recorded with, or one line saying it is not.
[[nodiscard]] std::string checkReplayModel(const Replay& replay, const std::string& replayFile, const std::string& modelFile);

/// What playing a recorded game again to its end found.
struct ReplayOutcome {
    bool verified = false;  ///< every checkpoint and the end agreed with the game
    bool stopped = false;   ///< the caller's afterIdle stopped the play (it has said why)
    bool tooLong = false;   ///< the game went past maxTicks and was not played on
    std::string verdict;    ///< the player's line (ReplayPlayer::verdict), or why the play was cut off
    int ticks = 0;          ///< the tick the game ended at, or the ticks played when it did not end
    int score = 0;          ///< the game's score: when the ball was lost, or at the replay's end
    int endedAtTick = -1;   ///< Game::endedAtTick at the replay's end
    int endScore = 0;       ///< Game::endScore at the replay's end
};

/// Called after each idle call of a replay played again; returning false stops it.
using ReplayIdleWatcher = std::function<bool(long long idle, const Game& game, const Game::IdleResult& result)>;

/// Plays replay again with the ball in modelFile (read as given), as fast as it goes, until it is
/// over or diverges, or afterIdle stops it, or its ticks pass maxTicks (0: no limit).
ReplayOutcome playReplay(Replay replay, const std::string& modelFile, long long maxTicks = 0,
                         const ReplayIdleWatcher& afterIdle = {});
