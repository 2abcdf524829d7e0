#pragma once

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
        each([&](int i) { data()[i] = 0.0f; });
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

    float& operator[](int i) {
        assert(i >= 0 && i < dimension_);
        return data()[i];
    }
    const float& operator[](int i) const {
        assert(i >= 0 && i < dimension_);
        return data()[i];
    }

    Vector operator+(const Vector& b) const {
        return map([&](int i) { return float(double(at(i)) + double(b.at(i))); }, b);
    }
    Vector operator-(const Vector& b) const {
        return map([&](int i) { return float(double(at(i)) - double(b.at(i))); }, b);
    }
    /// Each component times s, rounded to float once.
    Vector operator*(const double& s) const {
        return map([&](int i) { return float(double(at(i)) * s); });
    }
    /// Each component divided by s, rounded to float once; division by 0 gives infinities or NaN.
    Vector operator/(const double& s) const {
        return map([&](int i) { return float(double(at(i)) / s); });
    }
    /// The negated vector.
    Vector operator-() const {
        return map([&](int i) { return float(-double(at(i))); });
    }
    /// The right-handed cross product of the first three components, each formed in double.
    Vector cross(Vector b) const {
        assert(dimension_ >= 3 && b.dimension_ >= 3);
        const float* a = data();
        const float* c = b.data();
        Vector r(3, Uninitialised{});
        r.inline_[0] = float(double(a[1]) * double(c[2]) - double(a[2]) * double(c[1]));
        r.inline_[1] = float(double(a[2]) * double(c[0]) - double(a[0]) * double(c[2]));
        r.inline_[2] = float(double(a[0]) * double(c[1]) - double(a[1]) * double(c[0]));
        return r;
    }

    Vector& operator+=(const Vector& b) {
        checkShape(b);
        each([&](int i) { data()[i] = float(double(at(i)) + double(b.at(i))); });
        return *this;
    }
    Vector& operator-=(const Vector& b) {
        checkShape(b);
        each([&](int i) { data()[i] = float(double(at(i)) - double(b.at(i))); });
        return *this;
    }
    Vector& operator*=(const double& s) {
        each([&](int i) { data()[i] = float(double(at(i)) * s); });
        return *this;
    }
    Vector& operator/=(const double& s) {
        each([&](int i) { data()[i] = float(double(at(i)) / s); });
        return *this;
    }

    /// Euclidean length, summed in double and never rounded to float.
    double norm() const {
        double sum = 0.0;
        each([&](int i) { sum += double(at(i)) * double(at(i)); });
        return std::sqrt(sum);
    }
    /// Dot product, summed in double over this vector's dimension.
    double dot(const Vector& b) const {
        checkShape(b);
        double sum = 0.0;
        each([&](int i) { sum += double(at(i)) * double(b.at(i)); });
        return sum;
    }

private:
    static constexpr int inlineCapacity = 4;  // enough for every vector the game makes
    struct Uninitialised {};

    Vector(int dimension, Uninitialised) { allocate(dimension); }

    // Small vectors live inline; the test is on the dimension, so code that knows the dimension
    // reaches the components directly.
    float* data() { return dimension_ <= inlineCapacity ? inline_ : heap_; }
    const float* data() const { return dimension_ <= inlineCapacity ? inline_ : heap_; }
    float at(int i) const { return data()[i]; }

    void allocate(int dimension) {
        assert(dimension >= 0);
        dimension_ = dimension;
        heap_ = dimension <= inlineCapacity ? nullptr : new float[dimension];
    }
    void release() {
        delete[] heap_;
        heap_ = nullptr;
        dimension_ = 0;
    }
    void copyFrom(const Vector& other) {
        each([&](int i) { data()[i] = other.at(i); });
    }
    // Moves the other vector's components here; a heap block changes hands, inline ones are copied.
    void take(Vector& other) {
        if (other.heap_ == nullptr) {
            allocate(other.dimension_);
            copyFrom(other);
        } else {
            dimension_ = other.dimension_;
            heap_ = other.heap_;
            other.heap_ = nullptr;
            other.dimension_ = 0;
        }
    }

    // Visits the indices in order; the game's 3-vectors take an unrolled path.
    template <typename F>
    void each(F f) const {
        if (dimension_ == 3) {
            f(0);
            f(1);
            f(2);
        } else {
            for (int i = 0; i < dimension_; ++i) f(i);
        }
    }
    // A new vector of this one's dimension whose component i is component(i).
    template <typename F>
    Vector map(F component) const {
        Vector r(dimension_, Uninitialised{});
        each([&](int i) { r.data()[i] = component(i); });
        return r;
    }
    template <typename F>
    Vector map(F component, const Vector& b) const {
        checkShape(b);
        return map(component);
    }
    // The right operand must have at least the left operand's dimension.
    void checkShape([[maybe_unused]] const Vector& b) const { assert(b.dimension_ >= dimension_); }

    int dimension_;
    float* heap_;                    ///< the components when there are more than fit inline
    float inline_[inlineCapacity] = {};  ///< zeroed, so a short operand of cross reads zeros in release builds
};

/// s * a, the same value as a * s.
inline Vector operator*(const double& s, const Vector& a) { return a * s; }
