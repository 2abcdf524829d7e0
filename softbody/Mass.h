#pragma once

#include <cassert>

#include "math/Components.h"
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

// Runs for every mass on every tick: inline, on the components, with the roundings of
// position += velocity * dt and velocity += (force * dt) / mass.
inline void Mass::integrate(float dt) {
    assert(position.dimension() == 3 && velocity.dimension() == 3 && force.dimension() == 3);
    float* p = position.data();
    float* v = velocity.data();
    const float* f = force.data();
    float step[3];
    components::scaled(v, double(dt), step);
    components::add(p, step);
    float impulse[3];
    components::scaled(f, double(dt), impulse);
    for (float& c : impulse) c = float(double(c) / double(mass));
    components::add(v, impulse);
}
