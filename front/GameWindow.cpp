// The game's window as every front end with a window opens it: the desktop game and the page.
#include "front/GameWindow.h"

#include <GL/glut.h>

#include <iostream>
#include <string>

#include "front/GlutCallbacks.h"
#include "game/Game.h"
#include "picture/Pictures.h"

namespace {

constexpr int windowSize = 768;  // pixels, both ways
constexpr const char* windowTitle = "Flipper";

}  // namespace

void loadPicture(TexturedPanel& panel, const char* fileName) {
    const std::string problem = showPicture(panel, fileName);
    if (!problem.empty()) std::cerr << problem << '\n' << std::flush;
}

void openGameWindow(Game& game, Trackball& trackball) {
    glutInitWindowSize(windowSize, windowSize);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow(windowTitle);
    game.modelFileName = "sphere.iv";
    game.textureLoader = loadPicture;
    callbacks::bindCallbacks(game, trackball);
    callbacks::initGL();
    callbacks::registerCallbacks();
    game.restartRequested = true;
}
