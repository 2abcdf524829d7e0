#pragma once

#include <string>
#include <vector>

#include "io/OptionTable.h"
#include "io/Problem.h"

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

/// One of the game's own options.
using GameOptionEntry = OptionEntry<GameOptions>;

/// Every option the game takes itself, in the order the usage lists them.
const std::vector<GameOptionEntry>& gameOptionEntries();
/// True for one of the game's own options written without "=VALUE": the next argument is its value.
bool takesNextArgument(const char* arg);
/// Parses the game's own options (argv[0] is the program's name), from their defaults, and checks
/// that they go together. Returns them, or the first problem in one line.
Result<GameOptions> parseGameOptions(int argc, char** argv);
/// The usage lines of the game's own options.
std::string gameOptionsUsage();
