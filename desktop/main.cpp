// Flipper: a pinball game whose ball is a soft body.
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

}  // namespace

int main(int argc, char** argv) {
    reportFileSizeLimitAsAnError();
    useDataPlaces(dataPlaces(programDirectory(argv[0])));
    return runGame(argc, argv, game, trackball);
}
