#pragma once

#include <string>
#include <vector>

#include "io/Problem.h"

class Game;
class TexturedPanel;
struct GameOptions;

/// Where the desktop game looks for its ball and pictures (io/DataFiles); main sets them once,
/// before runGame. Until then there are none, and every file is opened as it is written.
void useDataPlaces(std::vector<std::string> places);

/// Points options.model at the ball in the first data place that has it, unless --model named it
/// (a named file is taken as given). When no place has it, the problem names them all.
Problem locateModel(GameOptions& options);

/// Once the window is open: the table's pictures are looked for in the data places, and a ball that
/// locateModel did not find (modelMissing) is looked for there again at every restart.
void lookForDataIn(Game& game, bool modelMissing);

/// The picture loader over the data places: loadPicture with the first place that has the file, or
/// one line naming every place looked.
void loadDataPicture(TexturedPanel& panel, const char* fileName);
