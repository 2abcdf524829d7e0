#include "softbody/Spring.h"

#include "softbody/Mass.h"

void Spring::computeRestLength() { restLength = float((massB->position - massA->position).norm()); }

void Spring::applyForce() {
    const Vector d = massB->position - massA->position;
    const double len = d.norm();
    if (len == 0.0) return;
    const Vector w = massB->velocity - massA->velocity;
    const float lenRounded = float(len);
    const Vector u = d / len;
    const double stretchingSpeed = u.dot(w);
    // Positive f pulls the masses together: Hooke's law plus damping along the spring.
    const double f = (double(lenRounded) - double(restLength)) * double(stiffness) +
                     stretchingSpeed * double(damping);
    const Vector forceOnA = u * f;
    massA->addForce(forceOnA);
    massB->addForce(-forceOnA);
}
