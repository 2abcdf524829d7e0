#pragma once

#include "math/Vector.h"

/// One point mass of the soft-body ball; a value that copies its vectors deeply.
struct Mass {
    float mass = 10.0f;      ///< the force is divided by it when integrating
    Vector position{3};      ///< table coordinates
    Vector velocity{3};      ///< table units per time unit
    Vector force{3};         ///< accumulated during the current tick; reset to gravity every tick
    int index = 0;           ///< place in the body's masses: 0 for the centre mass

    /// The force becomes a copy of v.
    void setForce(const Vector& v) { force = v; }
    /// Adds v to the force, over the force's own dimension.
    void addForce(const Vector& v) { force += v; }
    /// One explicit Euler step: the position moves with the old velocity, then the velocity takes the force.
    void integrate(float dt);
};
