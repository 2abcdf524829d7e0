#pragma once

#include <cmath>

/// The Vector operations on three float components in place, for the code that runs for every
/// mass or spring on every tick. Each is the Vector operation it is named after, with the same
/// operands in the same order and one rounding to float per stored component, written out for
/// the three components so that it makes no temporary, tests no dimension and runs no loop.
namespace components {

/// r = a - b, each component rounded to float once.
inline void difference(const float* a, const float* b, float* r) {
    r[0] = float(double(a[0]) - double(b[0]));
    r[1] = float(double(a[1]) - double(b[1]));
    r[2] = float(double(a[2]) - double(b[2]));
}

/// r = a + b, each component rounded to float once.
inline void sum(const float* a, const float* b, float* r) {
    r[0] = float(double(a[0]) + double(b[0]));
    r[1] = float(double(a[1]) + double(b[1]));
    r[2] = float(double(a[2]) + double(b[2]));
}

/// a += b.
inline void add(float* a, const float* b) {
    a[0] = float(double(a[0]) + double(b[0]));
    a[1] = float(double(a[1]) + double(b[1]));
    a[2] = float(double(a[2]) + double(b[2]));
}

/// a -= b.
inline void subtract(float* a, const float* b) {
    a[0] = float(double(a[0]) - double(b[0]));
    a[1] = float(double(a[1]) - double(b[1]));
    a[2] = float(double(a[2]) - double(b[2]));
}

/// r = a * s, each component rounded to float once.
inline void scaled(const float* a, double s, float* r) {
    r[0] = float(double(a[0]) * s);
    r[1] = float(double(a[1]) * s);
    r[2] = float(double(a[2]) * s);
}

/// a.dot(b): summed in double from 0.0, component 0 first, never rounded.
inline double dot(const float* a, const float* b) {
    double sum = 0.0;
    sum += double(a[0]) * double(b[0]);
    sum += double(a[1]) * double(b[1]);
    sum += double(a[2]) * double(b[2]);
    return sum;
}

/// a.norm().
inline double norm(const float* a) { return std::sqrt(dot(a, a)); }

/// r = a.cross(b), each component formed in double and rounded to float once.
inline void cross(const float* a, const float* b, float* r) {
    r[0] = float(double(a[1]) * double(b[2]) - double(a[2]) * double(b[1]));
    r[1] = float(double(a[2]) * double(b[0]) - double(a[0]) * double(b[2]));
    r[2] = float(double(a[0]) * double(b[1]) - double(a[1]) * double(b[0]));
}

}  // namespace components
