#include "math/Vector.h"

#include <cmath>
#include <cstring>

Vector::Vector(int dimension) {
    assert(dimension >= 0);
    allocate(dimension);
    for (int i = 0; i < dimension_; ++i) components_[i] = 0.0f;
}

Vector::Vector(const Vector& other) {
    allocate(other.dimension_);
    std::memcpy(components_, other.components_, sizeof(float) * dimension_);
}

Vector::Vector(Vector&& other) noexcept {
    if (other.dimension_ <= inlineCapacity) {
        dimension_ = other.dimension_;
        components_ = inline_;
        std::memcpy(inline_, other.inline_, sizeof(float) * dimension_);
    } else {
        dimension_ = other.dimension_;
        components_ = other.components_;
        other.components_ = other.inline_;
        other.dimension_ = 0;
    }
}

Vector& Vector::operator=(const Vector& other) {
    if (this == &other) return *this;
    if (other.dimension_ != dimension_) {
        release();
        allocate(other.dimension_);
    }
    std::memcpy(components_, other.components_, sizeof(float) * dimension_);
    return *this;
}

Vector& Vector::operator=(Vector&& other) noexcept {
    if (this == &other) return *this;
    if (other.dimension_ <= inlineCapacity) {
        release();
        dimension_ = other.dimension_;
        components_ = inline_;
        std::memcpy(inline_, other.inline_, sizeof(float) * dimension_);
    } else {
        release();
        dimension_ = other.dimension_;
        components_ = other.components_;
        other.components_ = other.inline_;
        other.dimension_ = 0;
    }
    return *this;
}

Vector::~Vector() { release(); }

void Vector::allocate(int dimension) {
    dimension_ = dimension;
    components_ = dimension <= inlineCapacity ? inline_ : new float[dimension];
}

void Vector::release() {
    if (components_ != inline_) delete[] components_;
    components_ = inline_;
    dimension_ = 0;
}

Vector Vector::operator+(const Vector& b) const {
    checkSameShape(b);
    Vector r(*this);
    for (int i = 0; i < dimension_; ++i) r.components_[i] = float(double(components_[i]) + double(b.components_[i]));
    return r;
}

Vector Vector::operator-(const Vector& b) const {
    checkSameShape(b);
    Vector r(*this);
    for (int i = 0; i < dimension_; ++i) r.components_[i] = float(double(components_[i]) - double(b.components_[i]));
    return r;
}

Vector Vector::operator*(const double& s) const {
    Vector r(*this);
    for (int i = 0; i < dimension_; ++i) r.components_[i] = float(double(components_[i]) * s);
    return r;
}

Vector Vector::operator/(const double& s) const {
    Vector r(*this);
    for (int i = 0; i < dimension_; ++i) r.components_[i] = float(double(components_[i]) / s);
    return r;
}

Vector Vector::cross(Vector b) const {
    assert(dimension_ >= 3 && b.dimension_ >= 3);
    const float* a = components_;
    Vector r(3);
    r.components_[0] = float(double(a[1]) * double(b[2]) - double(a[2]) * double(b[1]));
    r.components_[1] = float(double(a[2]) * double(b[0]) - double(a[0]) * double(b[2]));
    r.components_[2] = float(double(a[0]) * double(b[1]) - double(a[1]) * double(b[0]));
    return r;
}

Vector& Vector::operator+=(const Vector& b) {
    checkSameShape(b);
    for (int i = 0; i < dimension_; ++i) components_[i] = float(double(components_[i]) + double(b.components_[i]));
    return *this;
}

Vector& Vector::operator-=(const Vector& b) {
    checkSameShape(b);
    for (int i = 0; i < dimension_; ++i) components_[i] = float(double(components_[i]) - double(b.components_[i]));
    return *this;
}

Vector& Vector::operator*=(const double& s) {
    for (int i = 0; i < dimension_; ++i) components_[i] = float(double(components_[i]) * s);
    return *this;
}

Vector& Vector::operator/=(const double& s) {
    for (int i = 0; i < dimension_; ++i) components_[i] = float(double(components_[i]) / s);
    return *this;
}

double Vector::norm() const {
    double sum = 0.0;
    for (int i = 0; i < dimension_; ++i) sum += double(components_[i]) * double(components_[i]);
    return std::sqrt(sum);
}

double Vector::dot(const Vector& b) const {
    checkSameShape(b);
    double sum = 0.0;
    for (int i = 0; i < dimension_; ++i) sum += double(components_[i]) * double(b.components_[i]);
    return sum;
}

Vector operator-(const Vector& a) {
    Vector r(a.dimension());
    for (int i = 0; i < a.dimension(); ++i) r[i] = float(-double(a[i]));
    return r;
}

Vector operator*(const double& s, const Vector& a) { return a * s; }
