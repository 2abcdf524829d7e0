#include "desktop/GameData.h"

#include <iostream>
#include <utility>

#include "desktop/Options.h"
#include "front/GameWindow.h"
#include "game/Game.h"
#include "io/DataFiles.h"

namespace {

std::vector<std::string> places;  // empty: the files as written

}  // namespace

void useDataPlaces(std::vector<std::string> dataPlaces) { places = std::move(dataPlaces); }

Problem locateModel(GameOptions& options) {
    if (places.empty() || options.modelGiven) return {};
    const DataFile found = findDataFile(options.model, places);
    if (found.problem.empty()) options.model = found.path;
    return found.problem;
}

void lookForDataIn(Game& game, bool modelMissing) {
    if (places.empty()) return;
    game.textureLoader = loadDataPicture;
    if (modelMissing) game.modelPlaces = places;
}

void loadDataPicture(TexturedPanel& panel, const char* fileName) {
    const DataFile found = findDataFile(fileName, places);
    if (found.problem.empty()) {
        loadPicture(panel, found.path.c_str());
        return;
    }
    std::cerr << fileName << ": cannot load picture: " << found.problem << '\n' << std::flush;
}
