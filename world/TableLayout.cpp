// The pinball table: fifteen fixed elements in the order they are collided with and drawn.
#include "obstacles/Sphere.h"
#include "obstacles/TexturedPanel.h"
#include "world/World.h"

namespace {

Vector vec(float x, float y, float z) { return vector3(x, y, z); }

void paint(Obstacle& o, float r, float g, float b, float a) {
    o.color[0] = r;
    o.color[1] = g;
    o.color[2] = b;
    o.color[3] = a;
}

void paintWall(Obstacle& o) { paint(o, 0.0f, 0.1f, 0.9f, 1.0f); }

}  // namespace

void World::layOutTable(TextureLoader loadTexture) {
    // Heap elements are kept in ownedElements_ as they are made, so none leaks.
    auto make = [this](Obstacle* element) {
        ownedElements_.push_back(element);
        return element;
    };

    Obstacle* leftWall = make(new Box(vec(-5, 3, 16), vec(0, -3, 0), vec(0, 0, -16), 1));
    paintWall(*leftWall);
    obstacles.push_back(leftWall);

    Obstacle* innerRightWall = make(new Box(vec(5, 0, 13), vec(0, 3, 0), vec(0, 0, 3), 1));
    paintWall(*innerRightWall);
    obstacles.push_back(innerRightWall);

    Obstacle* deflector = make(new Box(vec(5, 0, 13), vec(0, 3, 0), vec(1.5f, 0, -2), 1));
    paintWall(*deflector);
    obstacles.push_back(deflector);

    Obstacle* floor = make(new Box(vec(-5, 0, 0), vec(12, 0, 0), vec(0, 0, 20), 1));
    paint(*floor, 0.0f, 0.0f, 0.0f, 0.0f);
    obstacles.push_back(floor);

    Obstacle* rightWall = make(new Box(vec(7, 0, 0), vec(0, 3, 0), vec(0, 0, 20), 1));
    paintWall(*rightWall);
    obstacles.push_back(rightWall);

    auto* playfieldPicture = new TexturedPanel(vec(-5, 0.1f, 0), vec(12, 0, 0), vec(0, 0, 20), 1);
    make(playfieldPicture);
    if (loadTexture != nullptr) loadTexture(*playfieldPicture, "woman.bmp");
    obstacles.push_back(playfieldPicture);

    auto* backPicture = new TexturedPanel(vec(-5, 6, 0.1f), vec(12, 0, 0), vec(0, -6, 0), 1);
    make(backPicture);
    if (loadTexture != nullptr) loadTexture(*backPicture, "head.bmp");
    obstacles.push_back(backPicture);

    Obstacle* leftBumper = make(new Sphere(vec(0, -0.2f, 5), 1.5, 1));
    obstacles.push_back(leftBumper);
    scoringObstacles.push_back(leftBumper);

    Obstacle* rightBumper = make(new Sphere(vec(3.5f, -0.2f, 5), 1.5, 1));
    obstacles.push_back(rightBumper);
    scoringObstacles.push_back(rightBumper);

    obstacles.push_back(make(new Sphere(vec(-5, 0, 0), 1.5, 1)));  // far left corner post: never scores
    obstacles.push_back(make(new Sphere(vec(7, 0, 0), 1.5, 1)));   // far right corner post

    paint(backWall, 0.7f, 0.2f, 0.1f, 1.0f);
    obstacles.push_back(&backWall);

    // The bumper in front of the flippers scores third, but is listed for scoring only after the
    // flippers are in place.
    Obstacle* flipperBumper = make(new Sphere(vec(0.6f, -0.3f, 15), 1.0, 1));
    obstacles.push_back(flipperBumper);
    obstacles.push_back(&leftFlipper);
    obstacles.push_back(&rightFlipper);
    scoringObstacles.push_back(flipperBumper);
}
