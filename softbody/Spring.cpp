#include "softbody/Spring.h"

#include <cassert>
#include <cmath>

#include "softbody/Mass.h"

void Spring::computeRestLength() { restLength = float((massB->position - massA->position).norm()); }

// This runs for every spring on every tick, the hottest code of the game, so it works on the
// components directly instead of making five Vector temporaries. Each step is the Vector
// operation named beside it, with the same operand order and the same rounding to float.
void Spring::applyForce() {
    const Vector& pa = massA->position;
    const Vector& pb = massB->position;
    assert(pa.dimension() == 3 && pb.dimension() == 3);

    float d[3];  // d = pb - pa
    for (int k = 0; k < 3; ++k) d[k] = float(double(pb[k]) - double(pa[k]));
    double squares = 0.0;  // len = d.norm()
    for (int k = 0; k < 3; ++k) squares += double(d[k]) * double(d[k]);
    const double len = std::sqrt(squares);
    if (len == 0.0) return;  // coincident masses: no direction, no force this tick

    const Vector& va = massA->velocity;
    const Vector& vb = massB->velocity;
    float w[3];  // w = vb - va
    for (int k = 0; k < 3; ++k) w[k] = float(double(vb[k]) - double(va[k]));
    const float lenRounded = float(len);
    float u[3];  // u = d / len, the unit vector from A towards B
    for (int k = 0; k < 3; ++k) u[k] = float(double(d[k]) / len);
    double stretchingSpeed = 0.0;  // u.dot(w)
    for (int k = 0; k < 3; ++k) stretchingSpeed += double(u[k]) * double(w[k]);

    // Positive f pulls the masses together: Hooke's law plus damping along the spring.
    const double f = (double(lenRounded) - double(restLength)) * double(stiffness) +
                     stretchingSpeed * double(damping);
    float forceOnA[3];  // u * f
    for (int k = 0; k < 3; ++k) forceOnA[k] = float(double(u[k]) * f);
    Vector& fa = massA->force;  // massA.addForce(forceOnA)
    for (int k = 0; k < 3; ++k) fa[k] = float(double(fa[k]) + double(forceOnA[k]));
    Vector& fb = massB->force;  // massB.addForce(-forceOnA)
    for (int k = 0; k < 3; ++k) fb[k] = float(double(fb[k]) + double(float(-double(forceOnA[k]))));
}
