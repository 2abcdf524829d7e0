// make-ball: writes the ball's model file, a geodesic icosphere of point masses
// joined by springs along its edges.

#include "tools/Icosphere.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int exitUsage = 2;    // bad command line or out-of-range values
constexpr int exitIoError = 1;  // the output file could not be written

constexpr const char* usage =
    "usage: make-ball [--subdivisions S] [--radius R] [--output FILE]\n"
    "  --subdivisions S  times each triangle of the icosahedron is split in four,\n"
    "                    0 to 6 (default 1: 42 masses)\n"
    "  --radius R        radius of the ball, above 0 (default 1.0)\n"
    "  --output FILE     file to write (default: standard output)\n";

int badUsage(const std::string& message) {
    std::cerr << "make-ball: " << message << '\n' << usage;
    return exitUsage;
}

bool parseInt(const std::string& text, int& value) {
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || parsed < -1000000 || parsed > 1000000) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool parseDouble(const std::string& text, double& value) {
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && errno == 0;
}

}  // namespace

int main(int argc, char** argv) {
    int subdivisions = 1;
    double radius = 1.0;
    std::string outputPath;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::cout << usage;
            return 0;
        }
        if (option != "--subdivisions" && option != "--radius" && option != "--output") {
            return badUsage("unknown argument '" + option + "'");
        }
        if (i + 1 >= argc) return badUsage(option + " needs a value");
        const std::string value = argv[++i];
        if (option == "--subdivisions") {
            if (!parseInt(value, subdivisions)) return badUsage("--subdivisions wants a whole number, got '" + value + "'");
        } else if (option == "--radius") {
            if (!parseDouble(value, radius)) return badUsage("--radius wants a number, got '" + value + "'");
        } else {
            outputPath = value;
        }
    }

    // Build the whole text first, so that bad values never leave a half-written file.
    std::ostringstream model;
    try {
        writeIcosphereModel(model, subdivisions, radius);
    } catch (const std::invalid_argument& e) {
        std::cerr << "make-ball: " << e.what() << '\n';
        return exitUsage;
    }

    if (outputPath.empty()) {
        std::cout << model.str();
        std::cout.flush();
        return std::cout ? 0 : exitIoError;
    }
    std::ofstream file(outputPath, std::ios::binary);
    file << model.str();
    file.close();
    if (!file) {
        std::cerr << "make-ball: cannot write '" << outputPath << "'\n";
        return exitIoError;
    }
    return 0;
}
