#pragma once

class Game;
class TexturedPanel;
class Trackball;

/// The program behind main: takes the toolkit's options, then its own, opens the window, sets the
/// OpenGL state, registers the callbacks over game and trackball, asks for the first World and runs
/// the toolkit's event loop. Returns the exit status: 0 (after --help too), 1 for a file it cannot
/// read or write or a replay that did not verify, 2 for a command line it cannot use. game and
/// trackball must outlive the event loop.
int runGame(int argc, char** argv, Game& game, Trackball& trackball);

/// Opens the game's window after glutInit, sets the OpenGL state, registers the callbacks over game
/// and trackball (no idle callback yet) and asks for the first World.
void openGameWindow(Game& game, Trackball& trackball);

/// The game's picture loader: uploads the file as the panel's texture, or writes one line to the
/// console saying why it could not, and the panel stays untextured.
void loadPicture(TexturedPanel& panel, const char* fileName);
