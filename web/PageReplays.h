#pragma once

#include <memory>
#include <string>

#include "game/Game.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

/// The page's games and replays. Every game the player starts is recorded, from its first idle
/// call, by the desktop's recorder into the page's own file system; a replay handed in (from a
/// link or a file) is played by the desktop's player in a game of its own. Either way the game
/// starts as the program does: idle and tick counts at 0 and the World built by the first idle call.
/// It is the game's one observer for as long as the page is open, and hands each call to the
/// recording or the replay of the moment, so that others (the sound) can watch beside it.
class PageReplays : public GameObserver {
public:
    /// Records in folder/recording.replay and writes snapshots to folder/game.replay.
    PageReplays(Game& game, const std::string& folder)
        : game_(game), recordingFile_(folder + "/recording.replay"), snapshotFile_(folder + "/game.replay") {}

    /// A new game, recorded: what 'n' and the new-game button do in the page. A replay being
    /// played stops. Returns "" or one line about the recording (the game plays on without one).
    [[nodiscard]] std::string newGame();
    /// The current game so far as a whole replay file (its lines up to now and an end line as the
    /// game stands) in snapshotFile(). Returns "" or one line saying why there is none.
    [[nodiscard]] std::string snapshot();
    /// Plays the replay text, named name in messages, in a new game. Returns "" once it plays, or
    /// one line naming name and the problem; then nothing changes and the current game goes on.
    [[nodiscard]] std::string play(const std::string& text, const std::string& name);
    /// The same for the replay in the file path (bounded in size).
    [[nodiscard]] std::string playFile(const std::string& path, const std::string& name);

    /// What a check of a replay found: the verdict line (or one line naming name and the problem
    /// when it cannot be played), and where the checked game's ball was lost.
    struct Check {
        std::string line;
        bool verified = false;
        int ticks = 0;          ///< the ticks played
        int score = 0;          ///< the score at the end
        int endedAtTick = -1;   ///< as Game::endedAtTick of the checked game
        int endScore = 0;
    };
    /// Plays the replay text to its end, as fast as it goes, in a game of its own beside the page's,
    /// which goes on untouched.
    [[nodiscard]] Check check(const std::string& text, const std::string& name) const;
    /// The same for the replay in the file path (bounded in size).
    [[nodiscard]] Check checkFile(const std::string& path, const std::string& name) const;

    const std::string& snapshotFile() const { return snapshotFile_; }

    /// A replay is being played or is held at its end.
    bool replaying() const { return player_ != nullptr; }
    /// After a batch of idle calls: the verdict, the first time there is one; "" otherwise.
    std::string takeVerdict();
    /// The replay is over: the game is held still.
    bool holding() const { return player_ != nullptr && player_->over(game_); }

    bool beforeIdle(Game& game, long long idle) override;
    void afterIdle(Game& game, long long idle, const Game::IdleResult& result) override;
    bool keyReached(Game& game, unsigned char key) override;

private:
    void restart();
    /// The replay of text, or one line naming name and why it is none for this game's ball.
    Result<Replay> read(const std::string& text, const std::string& name) const;
    /// The recording or the replay of the moment; null for neither.
    GameObserver* current() const;

    Game& game_;
    std::string recordingFile_;
    std::string snapshotFile_;
    std::unique_ptr<ReplayRecorder> recorder_;
    std::unique_ptr<ReplayPlayer> player_;
    bool divergenceShown_ = false;
    bool verdictShown_ = false;
};
