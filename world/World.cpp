#include "world/World.h"

#include <istream>

#include "obstacles/Obstacle.h"
#include "softbody/ModelReader.h"

namespace {

Vector vec(float x, float y, float z) { return vector3(x, y, z); }

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
