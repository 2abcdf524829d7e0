#include "front/GlutCallbacks.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <algorithm>

#include "game/Game.h"
#include "game/Pacing.h"
#include "front/Trackball.h"

namespace {

Game* boundGame = nullptr;
Trackball* boundTrackball = nullptr;
Pacing* boundPacing = nullptr;
void (*frameHook)() = nullptr;
bool pictureAsked = false;  // the game asked for a picture that is not drawn yet

constexpr double fieldOfView = 45.0;   // degrees, vertical
constexpr double nearPlane = 13.0;
constexpr double farPlane = 128.0;
constexpr float cameraDistance = 38.0f;
constexpr float tableTilt = 15.0f;     // degrees about x

#ifndef __EMSCRIPTEN__
// A window larger than the renderer can draw is drawn at the size it can. Every renderer takes this
// many pixels a side; above it the renderer is asked, and never more than largestWindowSide is used:
// that is beyond any screen, while a 16000-pixel window already costs a software renderer 2 GB.
constexpr int sideEveryRendererTakes = 4096;
constexpr int largestWindowSide = 8192;

/// The most pixels a side the game draws, given the renderer's viewport limit (0 when it gave none).
int largestDrawableSide(GLint rendererLimit) {
    return rendererLimit > 0 && rendererLimit < largestWindowSide ? int(rendererLimit) : largestWindowSide;
}
#endif

/// Fits a window size to what the renderer can draw; a window too large is asked to shrink back.
void fitToRenderer(int& width, int& height) {
#ifndef __EMSCRIPTEN__
    if (width <= sideEveryRendererTakes && height <= sideEveryRendererTakes) return;
    GLint limits[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, limits);
    const int fittedWidth = std::min(width, largestDrawableSide(limits[0]));
    const int fittedHeight = std::min(height, largestDrawableSide(limits[1]));
    if (fittedWidth == width && fittedHeight == height) return;
    glutReshapeWindow(fittedWidth, fittedHeight);
    width = fittedWidth;
    height = fittedHeight;
#else
    // In the browser the page sizes the canvas itself, and its GL layer has no limit to ask.
    (void)width;
    (void)height;
#endif
}

}  // namespace

void bindCallbacks(Game& game, Trackball& trackball) {
    boundGame = &game;
    boundTrackball = &trackball;
    boundPacing = nullptr;
}

void bindPacing(Pacing* pacing) { boundPacing = pacing; }

void bindFrameHook(void (*hook)()) { frameHook = hook; }

bool framePending() { return pictureAsked; }

void initGL() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

void registerCallbacks() {
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(nullptr);
}

void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const auto rotation = boundTrackball->rotationMatrix();
    glMultMatrixf(rotation.data());
    // Until the first idle call has built a World there is nothing but the cleared window.
    if (boundGame->currentWorld) boundGame->currentWorld->drawScene();
    glPopMatrix();
    glFlush();
    if (pictureAsked && frameHook != nullptr && boundGame->currentWorld) frameHook();
    pictureAsked = false;
    glutSwapBuffers();
}

void reshape(int width, int height) {
    // A window too large is asked to shrink back, and until it does the game draws into the part of it
    // the renderer can take, so the driver is never handed a viewport beyond its limits.
    fitToRenderer(width, height);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    boundTrackball->resize(width, height);
    glLoadIdentity();
    gluPerspective(fieldOfView, double(width) / double(height), nearPlane, farPlane);
    glTranslatef(0.0f, 0.0f, -cameraDistance);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(tableTilt, 1.0f, 0.0f, 0.0f);
}

void keyboard(unsigned char key, int /*x*/, int /*y*/) { boundGame->keyboard(key); }

void mouse(int button, int state, int x, int y) {
    if (button != GLUT_MIDDLE_BUTTON) return;
    if (state == GLUT_DOWN)
        boundTrackball->beginDrag(x, y);
    else if (state == GLUT_UP)
        boundTrackball->endDrag();
}

void motion(int x, int y) {
    boundTrackball->drag(x, y);
    glutPostRedisplay();
}

void idle() {
    const bool redisplay =
        boundPacing != nullptr ? boundPacing->idle(*boundGame).redisplay : boundGame->idle().redisplay;
    if (redisplay) {
        pictureAsked = true;
        glutPostRedisplay();
    }
}
