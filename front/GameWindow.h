#pragma once

class Game;
class TexturedPanel;
class Trackball;

/// Opens the game's window after glutInit, sets the OpenGL state, registers the callbacks over game
/// and trackball (no idle callback yet) and asks for the first World.
void openGameWindow(Game& game, Trackball& trackball);

/// The game's picture loader: shows the file on the panel (picture/Pictures: decoded and uploaded
/// only when it changed), or writes one line to the console saying why it could not, and the panel
/// stays untextured.
void loadPicture(TexturedPanel& panel, const char* fileName);
