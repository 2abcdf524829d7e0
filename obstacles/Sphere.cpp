#include "obstacles/Sphere.h"

#include <cmath>

#include "softbody/Mass.h"

namespace {

constexpr double friction = double(0.6f);  // share of the pressing force that brakes sliding

}  // namespace

Sphere::Sphere(const Vector& centre, double radius, int solid) : Obstacle(solid), radius(radius), centre(centre) {}

double Sphere::distance(const Vector& point) const { return (centre - point).norm() - radius; }

bool Sphere::collide(Mass& mass, const Vector& pull) {
    const Vector rel = mass.position - centre;
    Vector w = mass.velocity + pull;
    const double r = rel.norm();
    // Speed along the outward direction; a mass exactly at the centre gives NaN and is left alone.
    const double vr = w.dot(rel) / r;
    if (!(r < radius)) return false;
    if (!(vr < 0.0)) return false;
    // rel is not a unit vector: a mass at depth r keeps (1 - r) times its normal speed, so one that
    // has just entered a 1.5 bumper leaves with half its inward speed outwards.
    const Vector push = rel * vr;
    mass.velocity -= push;
    w = w + push;
    const double pressing = std::abs(rel.dot(mass.force));
    mass.force -= (w * friction) * pressing;
    hitCount += 1;
    return true;
}
