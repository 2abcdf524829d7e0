#include "softbody/Mass.h"

void Mass::integrate(float dt) {
    position += velocity * double(dt);
    velocity += (force * double(dt)) / double(mass);
}
