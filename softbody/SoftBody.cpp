#include "softbody/SoftBody.h"

#include <iostream>

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

void SoftBody::updateBounds() {
    boxMax = Vector(3);
    boxMin = boxMax;
    if (!masses.empty()) {
        const Vector& centre = masses[0].position;
        for (const Mass& m : masses) {
            const Vector r = m.position - centre;
            for (int k = 0; k < 3; ++k) {
                if (r[k] < boxMin[k])
                    boxMin[k] = r[k];
                else if (r[k] > boxMax[k])
                    boxMax[k] = r[k];
            }
        }
    }
    boundingRadius = 0.5 * (boxMax - boxMin).norm();
}

void SoftBody::computeForces() {
    if (masses.empty()) return;
    for (Mass& m : masses) m.setForce(gravity);
    for (Spring& s : springs) s.applyForce();

    // Spin measure: the sum of velocity x offset over all masses, unweighted.
    const Vector& centre = masses[0].position;
    Vector spin(3);
    for (const Mass& m : masses) spin += m.velocity.cross(m.position - centre);

    // A ball spinning too fast is slowed by a rigid rotation against its spin.
    const double spinLength = spin.norm();
    if (spinLength > maxAngularMomentum) {
        std::cout << "Killing AngularMoment: " << spinLength << '\n' << std::flush;
        for (Mass& m : masses) m.velocity += spin.cross(m.position - centre) * spinDampingFactor;
    }

    Vector& centreForce = masses[0].force;
    const double centreForceLength = centreForce.norm();
    // Divided by length / maxCentreForce, as a product with the reciprocal: the double 1.0 / 100.0 is
    // the double 0.01, so the factor keeps its bits.
    if (centreForceLength > maxCentreForce) centreForce /= centreForceLength * (1.0 / maxCentreForce);
}

void SoftBody::integrate() {
    for (Mass& m : masses) m.integrate(timeStep);
    updateBounds();
}
