#pragma once

#include "math/FloatEval.h"

#include <cassert>
#include <cmath>

/// An n-dimensional vector of single-precision components with its dimension beside them.
///
/// Every operation reads the float components, computes in double and rounds to float once, when
/// it stores a component; scale factors and divisors are doubles and enter the arithmetic unrounded.
/// The left operand's dimension governs every loop. Vectors of up to four components keep them
/// inline, so the game's 3-vectors never touch the heap; larger ones own a heap block.
/// Debug builds assert on a dimension mismatch, a short cross operand and an index out of range.
class Vector {
public:
    /// A vector of the given dimension, every component 0.
    explicit Vector(int dimension) : Vector(dimension, Uninitialised{}) {
        float* a = data();
        for (int i = 0; i < dimension_; ++i) a[i] = 0.0f;
    }
    Vector(const Vector& other) : Vector(other.dimension_, Uninitialised{}) { copyFrom(other); }
    Vector(Vector&& other) noexcept : Vector(0, Uninitialised{}) { take(other); }
    /// Takes the other vector's dimension, then (unless it is this one) a copy of its components.
    Vector& operator=(const Vector& other) {
        if (this == &other) return *this;
        if (other.dimension_ != dimension_) {
            release();
            allocate(other.dimension_);
        }
        copyFrom(other);
        return *this;
    }
    Vector& operator=(Vector&& other) noexcept {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    ~Vector() { release(); }

    /// Number of components.
    int dimension() const { return dimension_; }

    /// The components, index 0 first: dimension() contiguous floats, valid until the next assignment.
    float* data() { return components_; }
    const float* data() const { return components_; }

    float& operator[](int i) {
        assert(i >= 0 && i < dimension_);
        return data()[i];
    }
    const float& operator[](int i) const {
        assert(i >= 0 && i < dimension_);
        return data()[i];
    }

    Vector operator+(const Vector& b) const {
        return zip(b, [](float x, float y) { return float(double(x) + double(y)); });
    }
    Vector operator-(const Vector& b) const {
        return zip(b, [](float x, float y) { return float(double(x) - double(y)); });
    }
    /// Each component times s, rounded to float once.
    Vector operator*(const double& s) const {
        const double factor = s;
        return map([factor](float x) { return float(double(x) * factor); });
    }
    /// Each component divided by s, rounded to float once; division by 0 gives infinities or NaN.
    Vector operator/(const double& s) const {
        const double divisor = s;
        return map([divisor](float x) { return float(double(x) / divisor); });
    }
    /// The negated vector.
    Vector operator-() const {
        return map([](float x) { return float(-double(x)); });
    }
    /// The right-handed cross product of the first three components, each formed in double.
    Vector cross(Vector b) const {
        assert(dimension_ >= 3 && b.dimension_ >= 3);
        const float* p = data();
        const float* q = b.data();
        return Vector(Three{}, float(double(p[1]) * double(q[2]) - double(p[2]) * double(q[1])),
                      float(double(p[2]) * double(q[0]) - double(p[0]) * double(q[2])),
                      float(double(p[0]) * double(q[1]) - double(p[1]) * double(q[0])));
    }

    Vector& operator+=(const Vector& b) {
        return update(b, [](float x, float y) { return float(double(x) + double(y)); });
    }
    Vector& operator-=(const Vector& b) {
        return update(b, [](float x, float y) { return float(double(x) - double(y)); });
    }
    Vector& operator*=(const double& s) {
        const double factor = s;
        return update(*this, [factor](float x, float) { return float(double(x) * factor); });
    }
    Vector& operator/=(const double& s) {
        const double divisor = s;
        return update(*this, [divisor](float x, float) { return float(double(x) / divisor); });
    }

    /// Euclidean length, summed in double and never rounded to float.
    double norm() const { return std::sqrt(dot(*this)); }
    /// Dot product, summed in double over this vector's dimension.
    double dot(const Vector& b) const {
        checkShape(b);
        if (dimension_ == 3) {
            const float* q = b.components_;
            double sum = 0.0;
            sum += double(inline_[0]) * double(q[0]);
            sum += double(inline_[1]) * double(q[1]);
            sum += double(inline_[2]) * double(q[2]);
            return sum;
        }
        const float* p = data();
        const float* q = b.data();
        double sum = 0.0;
        for (int i = 0; i < dimension_; ++i) sum += double(p[i]) * double(q[i]);
        return sum;
    }

private:
    static constexpr int inlineCapacity = 4;  // enough for every vector the game makes
    struct Uninitialised {};
    struct Three {};

    // The inline array starts zeroed, so no path ever reads an unset float, even one the dimension rules out.
    Vector(int dimension, Uninitialised) : inline_{} { allocate(dimension); }
    // A finished 3-vector. The game's vectors are all of dimension 3, and each operation has a
    // path for them that the compiler can keep entirely in registers.
    Vector(Three, float x, float y, float z) : dimension_(3), components_(inline_) {
        inline_[0] = x;
        inline_[1] = y;
        inline_[2] = z;
    }

    void allocate(int dimension) {
        assert(dimension >= 0);
        dimension_ = dimension;
        components_ = dimension <= inlineCapacity ? inline_ : new float[dimension];
    }
    void release() {
        if (components_ != inline_) delete[] components_;
        components_ = inline_;
        dimension_ = 0;
    }
    void copyFrom(const Vector& other) {
        const float* q = other.data();
        float* p = data();
        if (dimension_ == 3) {  // every vector of the game: a copy without a loop
            p[0] = q[0];
            p[1] = q[1];
            p[2] = q[2];
            return;
        }
        for (int i = 0; i < dimension_; ++i) p[i] = q[i];
    }
    // Moves the other vector's components here; a heap block changes hands, inline ones are copied.
    void take(Vector& other) {
        if (other.components_ == other.inline_) {
            allocate(other.dimension_);
            copyFrom(other);
        } else {
            dimension_ = other.dimension_;
            components_ = other.components_;
            other.components_ = other.inline_;
            other.dimension_ = 0;
        }
    }

    // A new vector of this one's dimension whose component i is f(component i).
    template <typename F>
    Vector map(F f) const {
        if (dimension_ == 3) return Vector(Three{}, f(inline_[0]), f(inline_[1]), f(inline_[2]));
        Vector r(dimension_, Uninitialised{});
        const float* p = data();
        float* out = r.data();
        for (int i = 0; i < dimension_; ++i) out[i] = f(p[i]);
        return r;
    }
    // A new vector of this one's dimension whose component i is f(this[i], b[i]).
    template <typename F>
    Vector zip(const Vector& b, F f) const {
        checkShape(b);
        if (dimension_ == 3) {
            const float* q = b.components_;
            return Vector(Three{}, f(inline_[0], q[0]), f(inline_[1], q[1]), f(inline_[2], q[2]));
        }
        Vector r(dimension_, Uninitialised{});
        const float* p = data();
        const float* q = b.data();
        float* out = r.data();
        for (int i = 0; i < dimension_; ++i) out[i] = f(p[i], q[i]);
        return r;
    }
    // Component i becomes f(this[i], b[i]), in index order.
    template <typename F>
    Vector& update(const Vector& b, F f) {
        checkShape(b);
        if (dimension_ == 3) {
            const float* q = b.components_;
            inline_[0] = f(inline_[0], q[0]);
            inline_[1] = f(inline_[1], q[1]);
            inline_[2] = f(inline_[2], q[2]);
            return *this;
        }
        float* p = data();
        const float* q = b.data();
        for (int i = 0; i < dimension_; ++i) p[i] = f(p[i], q[i]);
        return *this;
    }
    // The right operand must have at least the left operand's dimension.
    void checkShape([[maybe_unused]] const Vector& b) const { assert(b.dimension_ >= dimension_); }

    int dimension_;
    float* components_;              ///< inline_ for a small vector, else a heap block
    float inline_[inlineCapacity];   ///< the components of a small vector
};

/// A 3-vector made the game's way: Vector(3), then its components set by index.
inline Vector vector3(float x, float y, float z) {
    Vector v(3);
    v[0] = x;
    v[1] = y;
    v[2] = z;
    return v;
}

/// s * a, the same value as a * s.
inline Vector operator*(const double& s, const Vector& a) { return a * s; }
