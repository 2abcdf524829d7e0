#pragma once

#include <cassert>
#include <cmath>
#include <cstddef>

#include "math/Components.h"
#include "softbody/Mass.h"

/// A damped spring between two masses of the same body; it owns neither.
struct Spring {
    float stiffness = 2700.0f;  ///< force per unit of stretch
    float damping = 30.0f;      ///< force per unit of stretching speed
    float restLength = 0.0f;    ///< set once from the model's geometry
    Mass* massA = nullptr;      ///< an element of the body's masses; never outlives it
    Mass* massB = nullptr;

    /// The rest length becomes the current distance from massA to massB.
    void computeRestLength();
    /// Adds the spring's elastic and damping force to both masses, pulling them together when stretched.
    /// A spring whose masses coincide has no direction and adds nothing.
    void applyForce();
};

/// applyForce of count springs from the given one on, in order, with the same results; faster.
void applyForces(Spring* springs, std::size_t count);

// This runs for every spring on every tick, the hottest code of the game, so it is inline, for the
// body's loop over its springs, and works on the components directly instead of making five
// Vector temporaries. Each step is the Vector operation named beside it, with the same operand
// order and the same rounding to float.
inline void Spring::applyForce() {
    assert(massA->position.dimension() == 3 && massB->position.dimension() == 3);
    float d[3];  // d = pb - pa
    components::difference(massB->position.data(), massA->position.data(), d);
    const double len = components::norm(d);  // d.norm()
    if (len == 0.0) return;  // coincident masses: no direction, no force this tick

    float w[3];  // w = vb - va
    components::difference(massB->velocity.data(), massA->velocity.data(), w);
    const float lenRounded = float(len);
    const float u[3] = {float(double(d[0]) / len), float(double(d[1]) / len),
                        float(double(d[2]) / len)};  // u = d / len, the unit vector from A towards B
    const double stretchingSpeed = components::dot(u, w);

    // Positive f pulls the masses together: Hooke's law plus damping along the spring.
    const double f = (double(lenRounded) - double(restLength)) * double(stiffness) +
                     stretchingSpeed * double(damping);
    float forceOnA[3];  // u * f
    components::scaled(u, f, forceOnA);
    components::add(massA->force.data(), forceOnA);  // massA.addForce(forceOnA)
    // massB.addForce(-forceOnA): x + (-y) and x - y are the same IEEE operation, signed zeros included.
    components::subtract(massB->force.data(), forceOnA);
}
