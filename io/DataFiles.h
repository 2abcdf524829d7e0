#pragma once

#include <string>
#include <vector>

/// The folders where a data file given by a bare name (the ball, the pictures) is looked for, first
/// to last: the working directory (written ""), the data folder of an installed or unpacked game
/// beside the program (programDir/../share/games/flipper) and the program's own folder, where the
/// build puts its copy. With no programDir, the working directory alone.
std::vector<std::string> dataPlaces(const std::string& programDir);

/// Where a data file was found, or why not.
struct DataFile {
    std::string path;     ///< the name in the first place that has it (the bare name in the working directory)
    std::string problem;  ///< "" when found; else one line naming every place looked, without the file name
};

/// Looks for name in each of places in turn; a place has it when something of that name exists
/// there, even a file that cannot be read, so a broken file in the working directory is reported
/// rather than passed over.
[[nodiscard]] DataFile findDataFile(const std::string& name, const std::vector<std::string>& places);
