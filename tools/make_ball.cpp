// make-ball: writes the ball's model file, a geodesic icosphere of point masses
// joined by springs along its edges.

#include "io/OutputFile.h"
#include "io/SystemError.h"
#include "tools/Icosphere.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int exitUsage = 2;    // bad command line or out-of-range values
constexpr int exitIoError = 1;  // the output file could not be written

// The balls that play: measured by scripts/ball-playability, which plays each setting for 20000
// ticks on the table (docs/robustness.md has the table). Finer balls collapse flat or turn to NaN
// within a few hundred ticks; smaller ones flatten or go NaN, larger ones stick between the walls.
constexpr int maxPlayableSubdivisions = 2;
constexpr double minPlayableRadius = 1.0;
constexpr double maxPlayableRadius = 2.0;
constexpr const char* playableRange = "the balls that play have 0 to 2 subdivisions and a radius of 1 to 2";

constexpr const char* usage =
    "usage: make-ball [--subdivisions S] [--radius R] [--output FILE] [--allow-unplayable]\n"
    "  --subdivisions S    times each triangle of the icosahedron is split in four,\n"
    "                      0 to 2 (default 1: 42 masses)\n"
    "  --radius R          radius of the ball, 1 to 2 (default 1.0)\n"
    "  --output FILE       file to write (default: standard output)\n"
    "  --allow-unplayable  also write balls outside those ranges, up to 6 subdivisions and any\n"
    "                      radius above 0, with a warning: they collapse, stick or turn to NaN\n"
    "                      on the table (for benchmarks and experiments)\n";

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

/// Why a ball of these settings does not play on the table; empty when it does.
std::string unplayable(int subdivisions, double radius) {
    std::ostringstream why;
    if (subdivisions > maxPlayableSubdivisions)
        why << "a ball of " << subdivisions << " subdivisions collapses or turns to NaN on the table";
    else if (radius < minPlayableRadius)
        why << "a ball of radius " << radius << " flattens or turns to NaN on the table";
    else if (radius > maxPlayableRadius)
        why << "a ball of radius " << radius << " sticks between the walls or turns to NaN on the table";
    return why.str();
}

}  // namespace

int main(int argc, char** argv) {
    int subdivisions = 1;
    double radius = 1.0;
    std::string outputPath;
    bool allowUnplayable = false;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::cout << usage;
            return 0;
        }
        if (option == "--allow-unplayable") {
            allowUnplayable = true;
            continue;
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
            if (value.empty()) return badUsage("--output wants a file name");
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
    // Checked after the generator's own limits, so a setting it cannot make at all says so first.
    const std::string problem = unplayable(subdivisions, radius);
    if (!problem.empty() && !allowUnplayable) {
        std::cerr << "make-ball: " << problem << "; " << playableRange << " (--allow-unplayable writes it anyway)\n";
        return exitUsage;
    }
    if (!problem.empty())
        std::cerr << "make-ball: WARNING: " << problem << " within 20000 ticks; " << playableRange << '\n';

    const std::string text = model.str();
    if (outputPath.empty()) {
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
            std::cerr << "make-ball: cannot write standard output: " << systemReason(errno != 0 ? errno : EIO) << '\n';
            return exitIoError;
        }
        return 0;
    }
    OutputFile file(outputPath, "model");
    std::string unwritten = file.open();
    if (unwritten.empty()) unwritten = file.write(text.data(), text.size());
    if (unwritten.empty()) unwritten = file.close();
    if (!unwritten.empty()) {
        std::cerr << unwritten << '\n';
        return exitIoError;
    }
    return 0;
}
