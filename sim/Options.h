#pragma once

#include <map>
#include <string>
#include <vector>

#include "io/OptionTable.h"
#include "io/Problem.h"

/// What flipper-sim's command line asks for.
struct SimOptions {
    std::string model = "sphere.iv";
    long long idles = 1000;
    std::multimap<long long, char> keys;  ///< idle call -> keys, in command-line order
    std::string trace;
    long long every = 1;
    std::string replay;  ///< a recorded game to play instead of --idles and --key
    bool idlesGiven = false;
    bool everyGiven = false;
    bool help = false;        ///< --help: print the usage and do nothing else
    bool gameOver = false;    ///< --game-over: say at the end when the ball was lost
    bool modelGiven = false;  ///< --model names a file taken as given; the default ball is looked for
};

/// Every option flipper-sim takes, in the order the usage lists them.
const std::vector<OptionEntry<SimOptions>>& simOptionEntries();

/// Reads the command line (argv[0] is the program's name), from the defaults, and checks that the
/// options go together; --help stops the checks. Returns them, or the first problem in one line.
Result<SimOptions> parseSimOptions(int argc, char** argv);

/// The whole usage, ending in a line break.
std::string simUsage();
