#include "io/DataFiles.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr const char* installedData = "../share/games/flipper";  // from the program's folder

std::string inPlace(const std::string& place, const std::string& name) {
    return place.empty() ? name : place + "/" + name;
}

}  // namespace

std::vector<std::string> dataPlaces(const std::string& programDir) {
    std::vector<std::string> places{""};
    if (programDir.empty()) return places;
    const std::filesystem::path program(programDir);
    places.push_back((program / installedData).lexically_normal().string());
    places.push_back(program.lexically_normal().string());
    return places;
}

DataFile findDataFile(const std::string& name, const std::vector<std::string>& places) {
    DataFile found;
    std::string looked;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::string path = inPlace(places[i], name);
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
            found.path = path;
            return found;
        }
        if (i > 0) looked += i + 1 == places.size() ? " or " : ", ";
        looked += places[i].empty() ? "the working directory" : places[i];
    }
    found.problem = "not found in " + looked;
    return found;
}
