#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "game/Fnv1a.h"
#include "io/Problem.h"

/// A key that reached the game, before idle call `idle`.
struct ReplayKey {
    long long idle = 0;
    unsigned char key = 0;
};

/// The state hash after idle call `idle`, as flipper-sim's trace has it.
struct ReplayCheck {
    long long idle = 0;
    std::uint64_t hash = 0;
};

/// How the recorded game ended: idle calls made, then ticks, score and state hash as flipper-sim prints them.
struct ReplayEnd {
    long long idles = 0;
    int ticks = 0;
    int score = 0;
    std::uint64_t hash = 0;
};

/// A recorded game: the ball it was played with and every key with the idle call it came before.
struct Replay {
    std::uint64_t modelHash = 0;      ///< FNV-1a 64 of the model file's bytes
    std::vector<ReplayKey> keys;      ///< in the order they reached the game
    std::vector<ReplayCheck> checks;  ///< in increasing idle order
    bool hasEnd = false;              ///< false when the recording was cut short
    ReplayEnd end;                    ///< meaningful when hasEnd
    /// When the file ends inside a line (a disk that filled during the recording), where it ends:
    /// "FILE: line N: truncated: ..."; every whole line before it is kept. "" for a whole file.
    std::string cutNote;
    long long lastIdle = -1;          ///< the last idle call a whole key or check line names

    /// The recording was cut short: its file ends inside a line.
    bool cutShort() const { return !cutNote.empty(); }
};

/// The replay file's first line.
constexpr const char* replayHeader = "flipper-replay 1";
/// A recording writes a checkpoint after the idle call that completes each run of this many ticks.
constexpr int replayCheckEvery = 1000;
/// Longest line a reader takes, newline not counted; the longest line written is under 100.
constexpr std::size_t replayMaxLineLength = 200;

/// Reads a replay file whole. Returns the recorded game, or one line naming fileName, the line
/// number and the problem. Refuses anything it does not know, but
/// takes a file whose last line was cut off after its model line as a recording cut short. A
/// byte-order mark at the very start is skipped.
Result<Replay> readReplay(std::istream& in, const std::string& fileName);

/// The lines a recording writes, each ending in '\n'.
std::string modelLine(std::uint64_t modelHash);
std::string keyLine(long long idle, unsigned char key);
std::string checkLine(long long idle, std::uint64_t hash);
std::string endLine(const ReplayEnd& end);

/// 16 lowercase hex digits, as flipper-sim prints hashes.
std::string hexHash(std::uint64_t hash);

/// FNV-1a 64 of the model file's bytes; or one line naming the file and why it cannot be read.
Result<std::uint64_t> hashModelFile(const std::string& fileName);
