#include "io/DataFiles.h"

#include <filesystem>
#include <system_error>

#include "io/Platform.h"
#include "io/SystemError.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* installedData = "../share/games/flipper";  // from the program's folder

std::string inPlace(const std::string& place, const std::string& name) {
    return place.empty() ? name : place + "/" + name;
}

bool executableFile(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    constexpr fs::perms anyExec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return !error && fs::is_regular_file(status) && (status.permissions() & anyExec) != fs::perms::none;
}

// The first executable file called name in the folders of searchPath, as a shell looks for a
// command; an empty entry is the working directory. "" when there is none.
fs::path searchFor(const std::string& name, const std::string& searchPath) {
    for (std::size_t start = 0;;) {
        const std::size_t end = searchPath.find(searchPathSeparator(), start);
        const std::string folder = searchPath.substr(start, end - start);
        const fs::path candidate = fs::path(folder.empty() ? "." : folder) / name;
        if (executableFile(candidate)) return candidate;
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

}  // namespace

std::string programDirectory(const std::string& argv0, const char* searchPath, const std::string& selfLink) {
    std::error_code error;
    fs::path program = fs::read_symlink(selfLink, error);
    if (error) {
        const bool bare = !fs::path(argv0).has_parent_path();
        const bool searchable = searchPath != nullptr && *searchPath != '\0';
        program = !bare ? fs::path(argv0) : searchable ? searchFor(argv0, searchPath) : fs::path();
        if (program.empty()) return "";
        program = fs::absolute(program, error);
    }
    return error ? std::string() : program.parent_path().lexically_normal().string();
}

std::vector<std::string> dataPlaces(const std::string& programDir) {
    std::vector<std::string> places{""};
    if (programDir.empty()) return places;
    const fs::path program(programDir);
    places.push_back((program / installedData).lexically_normal().string());
    places.push_back(program.lexically_normal().string());
    return places;
}

DataFile findDataFile(const std::string& name, const std::vector<std::string>& places) {
    DataFile found;
    std::string looked;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::string path = inPlace(places[i], name);
        const std::string place = places[i].empty() ? "the working directory" : places[i];
        std::error_code error;
        const fs::file_status status = fs::symlink_status(path, error);
        if (fs::exists(status)) {
            found.path = path;
            return found;
        }
        // Only a place without the file is passed over: one that cannot be searched may hide it.
        if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory) {
            found.problem = place + ": " + systemReason(error.default_error_condition().value());
            return found;
        }
        if (i > 0) looked += i + 1 == places.size() ? " or " : ", ";
        looked += place;
    }
    found.problem = "not found in " + looked;
    return found;
}
