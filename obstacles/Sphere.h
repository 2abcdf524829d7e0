#pragma once

#include "math/Vector.h"
#include "obstacles/Obstacle.h"

/// A round bumper: throws back masses that enter it moving inwards and counts every such contact.
class Sphere : public Obstacle {
public:
    double radius;       ///< table units
    Vector centre{3};    ///< centre point

    Sphere(const Vector& centre, double radius, int solid);

    /// Signed distance from the surface: negative inside.
    double distance(const Vector& point) const override;
    /// Bounces a mass that is inside and moving inwards, brakes its force along the contact, counts a hit.
    bool collide(Mass& mass, const Vector& pull) override;
    /// A solid or wire sphere of 8 slices and 8 stacks in the current colour.
    void draw() const override;
};
