#pragma once

#include <string>
#include <vector>

/// What the game's own command line asks for, once the toolkit has taken its options.
struct GameOptions {
    double tickRate = 0.0;            ///< ticks per wall-clock second; 0 for no pacing
    std::string model = "sphere.iv";  ///< the ball, read at start and on every restart
    bool modelGiven = false;          ///< --model named the ball: it is taken as given, never looked for
    std::string record;               ///< replay file to record the game in; empty for none
    std::string replay;               ///< replay file to play instead of the player's keys; empty for none
    std::string frames;               ///< folder for a film of the replay, one PNG a picture; empty for none
    long long freezeAt = -1;          ///< the tick to stop stepping at (then only redraw); -1 to play on
    bool mute = false;                ///< no sound at all: the audio device is not even opened
    int volume = 100;                 ///< loudness of the sounds, 0 to 100
    bool gamepad = true;              ///< game controllers work the flippers; --no-gamepad leaves them alone
};

/// One of the game's own options, written "--name VALUE" or "--name=VALUE", or a switch ("--mute")
/// written alone.
struct OptionEntry {
    const char* name;        ///< "--tick-rate"
    const char* valueName;   ///< the value's name in the usage: "N", "FILE"; null for a switch
    const char* valueNeeds;  ///< what a missing value should have been: "a number of ticks per second"
    const char* help;        ///< the usage's description; further lines start with '\n'
    /// Stores value in options (null for a switch); returns "" or why the value cannot be used.
    std::string (*take)(const char* value, GameOptions& options);
};

/// Every option the game takes itself, in the order the usage lists them.
const std::vector<OptionEntry>& gameOptionEntries();
/// True for one of the game's own options written without "=VALUE": the next argument is its value.
bool takesNextArgument(const char* arg);
/// Parses the game's own options (argv[0] is the program's name) into options, from their defaults,
/// and checks that they go together. Returns "" or the first problem, in one line.
[[nodiscard]] std::string parseGameOptions(int argc, char** argv, GameOptions& options);
/// The usage lines of the game's own options.
std::string gameOptionsUsage();
