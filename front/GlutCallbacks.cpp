#include "front/GlutCallbacks.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include "front/Trackball.h"
#include "game/Game.h"
#include "game/Pacing.h"

namespace {

Game* boundGame = nullptr;
Trackball* boundTrackball = nullptr;
Pacing* boundPacing = nullptr;
void (*frameHook)() = nullptr;
void (*inputPoll)() = nullptr;
callbacks::WindowFit windowFit = nullptr;
bool pictureAsked = false;  // the game asked for a picture that is not drawn yet

constexpr double fieldOfView = 45.0;   // degrees, vertical
constexpr double nearPlane = 13.0;
constexpr double farPlane = 128.0;
constexpr float cameraDistance = 38.0f;
constexpr float tableTilt = 15.0f;     // degrees about x

}  // namespace

namespace callbacks {

void bindCallbacks(Game& game, Trackball& trackball) {
    boundGame = &game;
    boundTrackball = &trackball;
    boundPacing = nullptr;
}

void bindPacing(Pacing* pacing) { boundPacing = pacing; }

void bindInputPoll(void (*poll)()) { inputPoll = poll; }

void bindFrameHook(void (*hook)()) { frameHook = hook; }

void bindWindowFit(WindowFit fit) { windowFit = fit; }

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
    // The front end may fit the size first: the desktop game asks a window too large to shrink back, and
    // until it does draws into the part of it the renderer can take.
    if (windowFit != nullptr) windowFit(width, height);
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
    if (inputPoll != nullptr) inputPoll();
    const bool redisplay =
        boundPacing != nullptr ? boundPacing->idle(*boundGame).redisplay : boundGame->idle().redisplay;
    if (redisplay) {
        pictureAsked = true;
        glutPostRedisplay();
    }
}

}  // namespace callbacks
