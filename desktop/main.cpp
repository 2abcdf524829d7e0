// Flipper: a pinball game whose ball is a soft body.
#include <filesystem>
#include <system_error>

#include "desktop/GameData.h"
#include "desktop/Shell.h"
#include "front/Trackball.h"
#include "game/Game.h"
#include "io/DataFiles.h"
#include "io/OutputFile.h"

namespace {

// The state the toolkit's callbacks share; built before main, alive as long as the event loop.
Trackball trackball(3.0, 256, 256);
Game game;

// The folder the program was started from: /proc/self/exe where there is one, else argv[0].
std::string programDirectory(const char* argv0) {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) program = std::filesystem::absolute(argv0, error);
    return error ? std::string() : program.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
    reportFileSizeLimitAsAnError();
    useDataPlaces(dataPlaces(programDirectory(argv[0])));
    return runGame(argc, argv, game, trackball);
}
