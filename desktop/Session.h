#pragma once

#include <memory>
#include <string>

#include "desktop/FrameWriter.h"
#include "desktop/Options.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

class Game;

/// A recording or a replay (and its film) around the game in the window. Prepared before the toolkit
/// opens the display, so a bad file is reported anywhere; started once the window is open; finished
/// when the event loop returns, which it does when the window is closed, on SIGINT or SIGTERM while
/// recording, and at the end of a film.
class Session {
public:
    /// Opens what the options name: reads the replay and checks its ball, or starts the recording
    /// file; makes the frames folder. Returns "" or one line naming the file.
    [[nodiscard]] std::string prepare(const GameOptions& options);
    /// A recording or a replay is under way; false for a plain game.
    bool active() const { return recorder_ != nullptr || player_ != nullptr; }
    /// The pace the session plays at, in ticks per second (0 for none): a replay shows at 900 unless
    /// told otherwise, and a film is made as fast as it goes.
    double tickRate(const GameOptions& options) const;
    /// Watches game from now on and takes over the idle callback; game must outlive the session.
    /// Recording, SIGINT and SIGTERM end the event loop instead of the program.
    void start(Game& game);
    /// After the event loop: writes the recording's end line, or says how the replay ended. Returns the
    /// exit status: 0, or 1 when a file could not be written or the replay did not verify. Called
    /// after a signal, it ends the program by that signal once the files are closed.
    int finish();

private:
    friend void sessionIdle();
    friend void captureFrame();
    void idle();
    void report();

    std::unique_ptr<ReplayRecorder> recorder_;
    std::unique_ptr<ReplayPlayer> player_;
    std::unique_ptr<FrameWriter> frames_;
    Game* game_ = nullptr;
    std::string failure_;  // a write that failed during the game
    bool verdictShown_ = false;
    bool divergenceShown_ = false;
};

/// The idle callback of a session: the game's own, inside the session's checks.
void sessionIdle();
/// The frame hook of a film: writes the picture just drawn.
void captureFrame();
