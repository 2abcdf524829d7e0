#pragma once

#include <cassert>

/// An n-dimensional vector of single-precision components with its dimension beside them.
///
/// Every operation reads the float components, computes in double and rounds to float once, when
/// it stores a component; scale factors and divisors are doubles and enter the arithmetic unrounded.
/// Vectors of up to four components keep them inline, so the game's 3-vectors never touch the heap.
/// Debug builds assert on a dimension mismatch, a short cross operand and an index out of range.
class Vector {
public:
    /// A vector of the given dimension, every component 0.
    explicit Vector(int dimension);
    Vector(const Vector& other);
    Vector(Vector&& other) noexcept;
    /// Takes the other vector's dimension, then (unless it is this one) a copy of its components.
    Vector& operator=(const Vector& other);
    Vector& operator=(Vector&& other) noexcept;
    ~Vector();

    /// Number of components.
    int dimension() const { return dimension_; }

    float& operator[](int i) {
        assert(i >= 0 && i < dimension_);
        return components_[i];
    }
    const float& operator[](int i) const {
        assert(i >= 0 && i < dimension_);
        return components_[i];
    }

    Vector operator+(const Vector& b) const;
    Vector operator-(const Vector& b) const;
    /// Each component times s, rounded to float once.
    Vector operator*(const double& s) const;
    /// Each component divided by s, rounded to float once; division by 0 gives infinities or NaN.
    Vector operator/(const double& s) const;
    /// The right-handed cross product of the first three components, each formed in double.
    Vector cross(Vector b) const;

    Vector& operator+=(const Vector& b);
    Vector& operator-=(const Vector& b);
    Vector& operator*=(const double& s);
    Vector& operator/=(const double& s);

    /// Euclidean length, summed in double and never rounded to float.
    double norm() const;
    /// Dot product, summed in double over this vector's dimension.
    double dot(const Vector& b) const;

private:
    static constexpr int inlineCapacity = 4;  // enough for every vector the game makes

    void allocate(int dimension);
    void release();
    void checkSameShape(const Vector& b) const { assert(b.dimension_ >= dimension_); (void)b; }

    int dimension_;
    float* components_;                ///< points at inline_ or at a heap block
    float inline_[inlineCapacity];
};

/// The negated vector.
Vector operator-(const Vector& a);
/// s * a, the same value as a * s.
Vector operator*(const double& s, const Vector& a);
