#pragma once

#include <cstring>
#include <initializer_list>

#include "math/Vector.h"
#include "softbody/Mass.h"

/// A 3-vector from its components, for tests.
inline Vector vec(float x, float y, float z) { return vector3(x, y, z); }

/// A mass at the given place with the given velocity and force, for collision tests.
inline Mass massAt(const Vector& position, const Vector& velocity, const Vector& force) {
    Mass m;
    m.position = position;
    m.velocity = velocity;
    m.force = force;
    return m;
}

/// True when both vectors have the same dimension and bit-identical components.
inline bool sameBits(const Vector& a, const Vector& b) {
    if (a.dimension() != b.dimension()) return false;
    for (int i = 0; i < a.dimension(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return false;
    return true;
}

#define EXPECT_VEC_EQ(v, x, y, z)      \
    do {                               \
        const Vector& v_ = (v);        \
        ASSERT_EQ(v_.dimension(), 3);  \
        EXPECT_EQ(v_[0], float(x));    \
        EXPECT_EQ(v_[1], float(y));    \
        EXPECT_EQ(v_[2], float(z));    \
    } while (0)

#define EXPECT_VEC_NEAR(v, x, y, z, tolerance)  \
    do {                                        \
        const Vector& v_ = (v);                 \
        ASSERT_EQ(v_.dimension(), 3);           \
        EXPECT_NEAR(v_[0], (x), (tolerance));   \
        EXPECT_NEAR(v_[1], (y), (tolerance));   \
        EXPECT_NEAR(v_[2], (z), (tolerance));   \
    } while (0)
