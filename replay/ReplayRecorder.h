#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/Game.h"
#include "io/OutputFile.h"

/// Records a game as it is played. Each line is written and flushed as it happens: the header and the
/// model line on open, every key that reaches the game (even one that does nothing), a checkpoint after
/// every 1000 ticks, and the end line when the recording is finished. A game killed outright leaves
/// a file with every key and checkpoint up to then.
class ReplayRecorder : public GameObserver {
public:
    /// Starts the recording in fileName (never one of inputs) for the ball with the given hash.
    /// Returns "" or one line naming the file.
    [[nodiscard]] std::string open(const std::string& fileName, std::uint64_t modelHash, const std::vector<std::string>& inputs);
    /// Writes the end line from the game as it stands and closes the file. Returns "" or one line.
    [[nodiscard]] std::string finish(const Game& game);
    /// The first write that failed, as one line naming the file; "" while all is well. Nothing more is
    /// written after a failure.
    const std::string& error() const { return error_; }

    bool beforeIdle(Game& game, long long idle) override;
    void afterIdle(Game& game, long long idle, const Game::IdleResult& result) override;
    bool keyReached(Game& game, unsigned char key) override;

private:
    void write(const std::string& line);

    std::unique_ptr<OutputFile> out_;
    std::string error_;
    int ticksSinceCheck_ = 0;
};
