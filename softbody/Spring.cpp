#include "softbody/Spring.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void Spring::computeRestLength() { restLength = float((massB->position - massA->position).norm()); }

namespace {

// Two doubles side by side, one lane per spring: the compiler turns each operation on them into one
// SIMD instruction where the machine has one (SSE2, NEON), else into the two scalar ones. Every lane
// operation is the IEEE operation of the scalar code, division included.
using Lanes = double __attribute__((vector_size(16)));
using FloatLanes = float __attribute__((vector_size(8)));

// Each lane rounded to float and widened again: the rounding of a float component that is stored.
inline Lanes roundedToFloat(Lanes x) { return __builtin_convertvector(__builtin_convertvector(x, FloatLanes), Lanes); }

// The square root of each lane, correctly rounded as std::sqrt is.
inline Lanes squareRoot(Lanes x) {
#if defined(__SSE2__)
    return Lanes(_mm_sqrt_pd(__m128d(x)));
#else
    return Lanes{std::sqrt(x[0]), std::sqrt(x[1])};
#endif
}

}  // namespace

// Springs in pairs: what a spring computes before it adds its force (its direction, length and force)
// depends only on positions and velocities, which no spring changes, so two springs can compute it
// side by side, one per lane, each lane with the operations of applyForce in its order. The forces
// are then added spring by spring in the springs' order, as applyForce adds them.
void applyForces(Spring* springs, std::size_t count) {
    std::size_t i = 0;
    for (; i + 1 < count; i += 2) {
        Spring& s0 = springs[i];
        Spring& s1 = springs[i + 1];
        float d0[3], d1[3];  // d = pb - pa
        components::difference(s0.massB->position.data(), s0.massA->position.data(), d0);
        components::difference(s1.massB->position.data(), s1.massA->position.data(), d1);
        const Lanes dx = {double(d0[0]), double(d1[0])};
        const Lanes dy = {double(d0[1]), double(d1[1])};
        const Lanes dz = {double(d0[2]), double(d1[2])};
        Lanes squares = {0.0, 0.0};  // d.norm(), summed from 0.0 as dot does
        squares += dx * dx;
        squares += dy * dy;
        squares += dz * dz;
        const Lanes len = squareRoot(squares);
        if (len[0] == 0.0 || len[1] == 0.0) {  // a spring without direction: both the scalar way
            s0.applyForce();
            s1.applyForce();
            continue;
        }
        float w0[3], w1[3];  // w = vb - va
        components::difference(s0.massB->velocity.data(), s0.massA->velocity.data(), w0);
        components::difference(s1.massB->velocity.data(), s1.massA->velocity.data(), w1);
        const Lanes ux = roundedToFloat(dx / len);  // u = d / len
        const Lanes uy = roundedToFloat(dy / len);
        const Lanes uz = roundedToFloat(dz / len);
        Lanes stretchingSpeed = {0.0, 0.0};  // u.dot(w)
        stretchingSpeed += ux * Lanes{double(w0[0]), double(w1[0])};
        stretchingSpeed += uy * Lanes{double(w0[1]), double(w1[1])};
        stretchingSpeed += uz * Lanes{double(w0[2]), double(w1[2])};
        const Lanes lenRounded = roundedToFloat(len);
        const Lanes f = (lenRounded - Lanes{double(s0.restLength), double(s1.restLength)}) *
                            Lanes{double(s0.stiffness), double(s1.stiffness)} +
                        stretchingSpeed * Lanes{double(s0.damping), double(s1.damping)};
        const Lanes onAx = roundedToFloat(ux * f);  // u * f
        const Lanes onAy = roundedToFloat(uy * f);
        const Lanes onAz = roundedToFloat(uz * f);
        const float forceOnA0[3] = {float(onAx[0]), float(onAy[0]), float(onAz[0])};
        const float forceOnA1[3] = {float(onAx[1]), float(onAy[1]), float(onAz[1])};
        components::add(s0.massA->force.data(), forceOnA0);
        components::subtract(s0.massB->force.data(), forceOnA0);
        components::add(s1.massA->force.data(), forceOnA1);
        components::subtract(s1.massB->force.data(), forceOnA1);
    }
    if (i < count) springs[i].applyForce();
}
