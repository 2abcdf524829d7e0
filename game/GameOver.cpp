#include "game/GameOver.h"

#include <algorithm>
#include <limits>

#include "obstacles/Box.h"
#include "obstacles/Sphere.h"
#include "world/World.h"

double tableBottom(const World& world) {
    double bottom = std::numeric_limits<double>::infinity();
    for (const Obstacle* element : world.obstacles) {
        if (const auto* sphere = dynamic_cast<const Sphere*>(element)) {
            bottom = std::min(bottom, double(sphere->centre[1]) - sphere->radius);
        } else if (const auto* box = dynamic_cast<const Box*>(element)) {
            // A swing turns a flipper about its hinge, edgeU, which stands upright: its heights stay.
            const double y = box->origin[1];
            const double u = box->edgeU[1];
            const double v = box->edgeV[1];
            bottom = std::min({bottom, y, y + u, y + v, y + u + v});
        }
    }
    return bottom;
}

bool ballIsLost(const World& world, double bottom) {
    if (world.masses.empty()) return false;
    const Mass& centre = world.masses[0];
    const double highestMass = double(centre.position[1]) + double(world.boxMax[1]);
    const double clearance = 2.0 * world.boundingRadius;
    return centre.velocity[1] < 0.0f && highestMass + clearance < bottom;
}
