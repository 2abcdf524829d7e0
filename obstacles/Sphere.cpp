#include "obstacles/Sphere.h"

#include <cmath>

#include "math/Components.h"
#include "softbody/Mass.h"

namespace {

constexpr double friction = double(0.6f);  // share of the pressing force that brakes sliding

}  // namespace

Sphere::Sphere(const Vector& centre, double radius, int solid) : Obstacle(solid), radius(radius), centre(centre) {}

// distance and collide run for every mass near a bumper on every tick: they work on the components,
// each step the Vector operation named beside it, with the same operand order and roundings.
double Sphere::distance(const Vector& point) const {
    float offset[3];  // centre - point
    components::difference(centre.data(), point.data(), offset);
    return components::norm(offset) - radius;
}

bool Sphere::collide(Mass& mass, const Vector& pull) {
    float rel[3];  // mass.position - centre
    components::difference(mass.position.data(), centre.data(), rel);
    const double r = components::norm(rel);
    if (!(r < radius)) return false;
    float* v = mass.velocity.data();
    float w[3];  // mass.velocity + pull
    components::sum(v, pull.data(), w);
    // Speed along the outward direction; a mass exactly at the centre gives NaN and is left alone.
    const double vr = components::dot(w, rel) / r;
    if (!(vr < 0.0)) return false;
    // rel is not a unit vector: a mass at depth r keeps (1 - r) times its normal speed, so one that
    // has just entered a 1.5 bumper leaves with half its inward speed outwards.
    float push[3];  // rel * vr
    components::scaled(rel, vr, push);
    components::subtract(v, push);
    components::add(w, push);
    float* f = mass.force.data();
    const double pressing = std::abs(components::dot(rel, f));
    float brake[3];  // (w * friction) * pressing
    components::scaled(w, friction, brake);
    components::scaled(brake, pressing, brake);
    components::subtract(f, brake);
    hitCount += 1;
    return true;
}
