#pragma once

#include <cstdlib>
#include <string>
#include <vector>

/// The folder the program runs from: where selfLink (the system's link to the running program) leads
/// when there is one; else argv0: a name with a slash from the working directory, a bare name looked
/// for along searchPath (PATH) as a shell finds a command, the first executable file of that name.
/// "" when none of them tells (a bare name with no PATH, or in none of its folders).
std::string programDirectory(const std::string& argv0, const char* searchPath = std::getenv("PATH"),
                             const std::string& selfLink = "/proc/self/exe");

/// The folders where a data file given by a bare name (the ball, the pictures) is looked for, first
/// to last: the working directory (written ""), the data folder of an installed or unpacked game
/// beside the program (programDir/../share/games/flipper) and the program's own folder, where the
/// build puts its copy. With no programDir, the working directory alone.
std::vector<std::string> dataPlaces(const std::string& programDir);

/// Where a data file was found, or why not.
struct DataFile {
    std::string path;     ///< the name in the first place that has it (the bare name in the working directory)
    std::string problem;  ///< "" when found; else one line without the file name: every place looked, or the
                          ///< place that could not be looked in and why ("/usr/share/games/flipper: permission denied")
};

/// Looks for name in each of places in turn; a place has it when something of that name exists
/// there, even a file that cannot be read, so a broken file in the working directory is reported
/// rather than passed over; so is a place that cannot be looked in.
[[nodiscard]] DataFile findDataFile(const std::string& name, const std::vector<std::string>& places);
