#pragma once

#include "front/GameWindow.h"  // openGameWindow and loadPicture, which the shell uses

class Game;
class Trackball;

/// The program behind main: takes the toolkit's options, then its own, opens the window, sets the
/// OpenGL state, registers the callbacks over game and trackball, asks for the first World and runs
/// the toolkit's event loop. Returns the exit status: 0 (after --help too), 1 for a file it cannot
/// read or write or a replay that did not verify, 2 for a command line it cannot use. game and
/// trackball must outlive the event loop.
int runGame(int argc, char** argv, Game& game, Trackball& trackball);
