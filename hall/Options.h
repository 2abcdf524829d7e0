#pragma once

#include <string>
#include <vector>

#include "hall/Server.h"
#include "io/OptionTable.h"
#include "io/Problem.h"

/// What flipper-hall's command line asks for.
struct HallOptions {
    std::string site;        ///< the page's folder, with the ball (sphere.iv) every game is played with
    std::string db;          ///< the SQLite database file
    long long removeId = 0;  ///< --remove: take this game out and stop; 0 to serve
    bool help = false;
    ServerSettings server;
};

/// Every option flipper-hall takes, in the order the usage lists them.
const std::vector<OptionEntry<HallOptions>>& hallOptionEntries();
/// Reads the command line and checks the options go together; the options or the first problem.
Result<HallOptions> parseHallOptions(int argc, char** argv);
/// The whole usage, ending in a line break.
std::string hallUsage();
