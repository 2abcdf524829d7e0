#include "world/World.h"

#include <GL/gl.h>
#include <GL/glut.h>

#include <cstdio>
#include <istream>

#include "obstacles/Obstacle.h"
#include "softbody/ModelReader.h"

namespace {

Vector vec(float x, float y, float z) { return vector3(x, y, z); }

// Carries every point of the ball straight down onto the plane y = -0.1, just under the floor:
// (x, y, z, 1) becomes (10x, -1, 10z, 10).
constexpr float shadowMatrix[16] = {10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, -1, 0, 10};

void drawText(float x, float y, float z, const char* text) {
    glRasterPos3f(x, y, z);
    for (const char* c = text; *c != '\0'; ++c) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
}

}  // namespace

World::World(std::istream& model, TextureLoader loadTexture)
    : leftFlipper(vec(-5, 0, 16), vec(0, 3, 0), vec(3.5f, 0, 2), 0),
      rightFlipper(vec(5, 3, 16), vec(0, -3, 0), vec(-3.5f, 0, 2), 0),
      backWall(vec(-5, 0, 0), vec(12, 0, 0), vec(0, 6, 0), 1) {
    modelError = readModel(model, *this);
    translate(vec(-2.0f, 3.0f, 2.0f));  // the ball's start point
    layOutTable(loadTexture);
    score = 0;
}

World::~World() {
    for (Obstacle* element : ownedElements_) delete element;
}

void World::step() {
    if (!hasBall()) return;
    computeForces();

    const Vector& centre = masses[0].position;
    for (Obstacle* o : obstacles) {
        if (o->distance(centre) >= boundingRadius) continue;
        for (Mass& m : masses) o->collide(m, pull);
    }

    // One point per scoring bumper per tick, however many masses touched it.
    for (Obstacle* o : scoringObstacles) {
        if (o->hitCount > 0) {
            score += 1;
            o->hitCount = 0;
        }
    }

    integrate();
    leftFlipper.updateSwing();
    rightFlipper.updateSwing();
}

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
