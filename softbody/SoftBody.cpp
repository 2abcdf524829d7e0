#include "softbody/SoftBody.h"

#include <iostream>

#include "math/Components.h"

namespace {

constexpr float timeStep = 0.0085f;            // simulated time per tick, whatever the wall clock
constexpr float gravityMagnitude = 9.81f;      // length of the gravity vector
constexpr double maxAngularMomentum = 130.0;   // above this the spin limiter acts
constexpr double spinDampingFactor = 0.001;    // strength of the spin correction
constexpr double maxCentreForce = 100.0;       // the centre mass's force is clamped to this length

// Gravity points mostly down the table's y axis and a little towards the player. Every mass gets
// the same force, not scaled by its mass.
Vector makeGravity() {
    Vector g(3);
    g[0] = 0.0f;
    g[1] = -0.8f;
    g[2] = 0.2f;
    const double s = g.norm();
    g *= double(gravityMagnitude) / s;
    return g;
}

const Vector gravity = makeGravity();

}  // namespace

void SoftBody::translate(const Vector& v) {
    for (Mass& m : masses)
        for (int i = 0; i < m.position.dimension(); ++i) m.position[i] = float(double(m.position[i]) + double(v[i]));
}

namespace {

// One offset from the centre widens the bounds: below the minimum it becomes the minimum, otherwise
// above the maximum it becomes the maximum (float comparisons; NaN changes nothing).
inline void extendBounds(const float* r, float* low, float* high) {
    for (int k = 0; k < 3; ++k) {
        if (r[k] < low[k])
            low[k] = r[k];
        else if (r[k] > high[k])
            high[k] = r[k];
    }
}

}  // namespace

void SoftBody::setBounds(const float* low, const float* high) {
    if (boxMin.dimension() != 3) boxMin = Vector(3);
    if (boxMax.dimension() != 3) boxMax = Vector(3);
    for (int k = 0; k < 3; ++k) {
        boxMin[k] = low[k];
        boxMax[k] = high[k];
    }
    float diagonal[3];  // boxMax - boxMin
    components::difference(high, low, diagonal);
    boundingRadius = 0.5 * components::norm(diagonal);
}

void SoftBody::updateBounds() {
    float low[3] = {0.0f, 0.0f, 0.0f};
    float high[3] = {0.0f, 0.0f, 0.0f};
    if (!masses.empty()) {
        const float* centre = masses[0].position.data();
        for (const Mass& m : masses) {
            float r[3];
            components::difference(m.position.data(), centre, r);
            extendBounds(r, low, high);
        }
    }
    setBounds(low, high);
}

void SoftBody::computeForces() {
    if (masses.empty()) return;
    for (Mass& m : masses) m.setForce(gravity);
    applyForces(springs.data(), springs.size());

    // Spin measure: the sum of velocity x offset over all masses, unweighted; spin += v.cross(p - centre)
    // on the components.
    const float* centre = masses[0].position.data();
    Vector spin(3);
    for (const Mass& m : masses) {
        float offset[3];
        components::difference(m.position.data(), centre, offset);
        float turn[3];
        components::cross(m.velocity.data(), offset, turn);
        components::add(spin.data(), turn);
    }

    // A ball spinning too fast is slowed by a rigid rotation against its spin.
    const double spinLength = spin.norm();
    if (spinLength > maxAngularMomentum) {
        std::cout << "Killing AngularMoment: " << spinLength << '\n' << std::flush;
        const Vector& centrePosition = masses[0].position;
        for (Mass& m : masses) m.velocity += spin.cross(m.position - centrePosition) * spinDampingFactor;
    }

    Vector& centreForce = masses[0].force;
    const double centreForceLength = centreForce.norm();
    // Divided by length / maxCentreForce, as a product with the reciprocal: the double 1.0 / 100.0 is
    // the double 0.01, so the factor keeps its bits.
    if (centreForceLength > maxCentreForce) centreForce /= centreForceLength * (1.0 / maxCentreForce);
}

// The bounds are those of updateBounds, found in the same pass as the integration: the centre mass
// is integrated first, so every later mass's offset is taken from the centre's new position.
void SoftBody::integrate() {
    float low[3] = {0.0f, 0.0f, 0.0f};
    float high[3] = {0.0f, 0.0f, 0.0f};
    const float* centre = masses.empty() ? nullptr : masses[0].position.data();
    for (Mass& m : masses) {
        m.integrate(timeStep);
        float r[3];
        components::difference(m.position.data(), centre, r);
        extendBounds(r, low, high);
    }
    setBounds(low, high);
}
