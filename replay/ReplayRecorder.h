#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/Game.h"
#include "io/OutputFile.h"

/// Records a game as it is played. Each line is written and flushed as it happens: the header and the
/// model line on open, every key that reaches the game (even one that does nothing), a checkpoint after
/// every 1000 ticks, and the end line when the recording is finished.
///
/// The lines go to a file of its own beside the recording, partName(fileName), created new and held
/// under an advisory lock, which is renamed to fileName once the end line is written: a file already
/// at fileName is replaced only by a whole recording, and a second game recording to the same name is
/// refused. A game killed outright, or one whose disk fills up, leaves every key and checkpoint up to
/// then in the partial file.
class ReplayRecorder : public GameObserver {
public:
    /// Starts the recording of fileName (never one of inputs, never something other than a regular
    /// file) for the ball with the given hash. Returns "" or one line naming the file.
    [[nodiscard]] std::string open(const std::string& fileName, std::uint64_t modelHash, const std::vector<std::string>& inputs);
    /// The checks of open without making anything: "" when open would start, or why it would not.
    [[nodiscard]] static std::string check(const std::string& fileName, const std::vector<std::string>& inputs);
    /// Writes the end line from the game as it stands, closes the file and renames it into place.
    /// Returns "" or one line.
    [[nodiscard]] std::string finish(const Game& game);
    /// The name the recording of fileName has until it is finished: fileName + ".part".
    static std::string partName(const std::string& fileName);
    /// The first failure, as one line naming the file; none while all is well. Nothing more is
    /// written after a failure.
    const Problem& error() const { return error_; }

    /// Before an idle call that builds a new game: a game with another ball than the recording's
    /// ends the recording, with its end line, before that idle call (a replay could not play on).
    bool beforeIdle(Game& game, long long idle) override;
    void afterIdle(Game& game, long long idle, const Game::IdleResult& result) override;
    bool keyReached(Game& game, unsigned char key) override;

private:
    void write(const std::string& line);

    std::unique_ptr<OutputFile> out_;
    std::string fileName_;
    std::uint64_t modelHash_ = 0;
    Problem error_;
    int ticksSinceCheck_ = 0;
};
