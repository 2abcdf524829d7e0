// How the whole scene looks: the table in its order, the ball's shadow, the ball and the texts.
#include "world/World.h"

#include <GL/gl.h>
#include <GL/glut.h>

#include <cstdio>

#include "obstacles/Obstacle.h"

namespace {

// Carries every point of the ball straight down onto the plane y = -0.1, just under the floor:
// (x, y, z, 1) becomes (10x, -1, 10z, 10).
constexpr float shadowMatrix[16] = {10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, -1, 0, 10};

void drawText(float x, float y, float z, const char* text) {
    glRasterPos3f(x, y, z);
    for (const char* c = text; *c != '\0'; ++c) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
}

}  // namespace

void World::drawScene() const {
    for (const Obstacle* o : obstacles) {
        glPushMatrix();
        o->draw();
        glPopMatrix();
    }

    // The shadow is drawn over whatever the table put there: no depth test.
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glMultMatrixf(shadowMatrix);
    SoftBody::draw();
    glPopMatrix();

    glEnable(GL_DEPTH_TEST);
    SoftBody::draw();

    char number[16];
    std::snprintf(number, sizeof number, "%d", score);
    drawText(2.0f, 2.5f, 1.0f, number);
    drawText(-1.5f, 2.5f, 1.0f, "Score:");
    drawText(-1.5f, 4.0f, 1.0f, "Vantorello");
}
