// Flipper: a pinball game whose ball is a soft body.
#include <GL/glut.h>

#include "app/Game.h"
#include "app/GlutCallbacks.h"
#include "app/Trackball.h"
#include "obstacles/TexturedPanel.h"

#include <iostream>

namespace {

Trackball trackball(3.0, 256, 256);
Game game;

void loadPicture(TexturedPanel& panel, const char* fileName) {
    const std::string problem = panel.loadTexture(fileName);
    if (!problem.empty()) std::cerr << problem << '\n' << std::flush;
}

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitWindowSize(768, 768);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("Flipper");
    game.modelFileName = "sphere.iv";
    game.textureLoader = loadPicture;
    bindCallbacks(game, trackball);
    initGL();
    registerCallbacks();
    game.restartRequested = true;
    glutIdleFunc(idle);
    glutMainLoop();
    return 0;
}
