#include "web/gl/Matrix.h"

#include <cmath>
#include <utility>

namespace fixedgl {

namespace {

constexpr double degreesToRadians = 3.14159265358979323846 / 180.0;

}  // namespace

void transform(const Matrix& m, const float in[4], float out[4]) {
    for (int r = 0; r < 4; ++r) out[r] = m[r] * in[0] + m[4 + r] * in[1] + m[8 + r] * in[2] + m[12 + r] * in[3];
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[4 * c + r] =
                a[r] * b[4 * c] + a[4 + r] * b[4 * c + 1] + a[8 + r] * b[4 * c + 2] + a[12 + r] * b[4 * c + 3];
    return out;
}

Matrix inverseOrIdentity(const Matrix& m) {
    // Gauss-Jordan with partial pivoting on [m | I], rows as in the mathematical matrix.
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m[4 * c + r];
            a[r][4 + c] = r == c ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (a[pivot][col] == 0.0) return identityMatrix;
        if (pivot != col)
            for (int c = 0; c < 8; ++c) std::swap(a[pivot][c], a[col][c]);
        const double p = a[col][col];
        for (int c = 0; c < 8; ++c) a[col][c] /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0) continue;
            const double f = a[r][col];
            for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
        }
    }
    Matrix out{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[4 * c + r] = static_cast<float>(a[r][4 + c]);
    return out;
}

bool rotation(float angle, float x, float y, float z, Matrix& m) {
    const float s = static_cast<float>(std::sin(angle * degreesToRadians));
    const float c = static_cast<float>(std::cos(angle * degreesToRadians));
    m = identityMatrix;
    // Rotations about one axis are built exactly, so that a right angle leaves exact zeros.
    if (x != 0 && y == 0 && z == 0) {
        if (x < 0) return rotation(-angle, -x, 0, 0, m);
        m[5] = c, m[6] = s, m[9] = -s, m[10] = c;
    } else if (x == 0 && y != 0 && z == 0) {
        if (y < 0) return rotation(-angle, 0, -y, 0, m);
        m[0] = c, m[2] = -s, m[8] = s, m[10] = c;
    } else if (x == 0 && y == 0 && z != 0) {
        if (z < 0) return rotation(-angle, 0, 0, -z, m);
        m[0] = c, m[1] = s, m[4] = -s, m[5] = c;
    } else {
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length == 0) return false;
        x /= length, y /= length, z /= length;
        const float t = 1 - c;
        m[0] = x * x * t + c, m[1] = y * x * t + z * s, m[2] = x * z * t - y * s;
        m[4] = x * y * t - z * s, m[5] = y * y * t + c, m[6] = y * z * t + x * s;
        m[8] = x * z * t + y * s, m[9] = y * z * t - x * s, m[10] = z * z * t + c;
    }
    return true;
}

Matrix scaling(float x, float y, float z) {
    Matrix m = identityMatrix;
    m[0] = x, m[5] = y, m[10] = z;
    return m;
}

Matrix translation(float x, float y, float z) {
    Matrix m = identityMatrix;
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}

bool perspective(double fovy, double aspect, double zNear, double zFar, Matrix& m) {
    // As GLU builds it, in double, then handed over as a double matrix.
    const double radians = fovy / 2 * degreesToRadians;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return false;
    const double cotangent = std::cos(radians) / sine;
    m = Matrix{};
    m[0] = static_cast<float>(cotangent / aspect);
    m[5] = static_cast<float>(cotangent);
    m[10] = static_cast<float>(-(zFar + zNear) / deltaZ);
    m[11] = -1;
    m[14] = static_cast<float>(-2 * zNear * zFar / deltaZ);
    return true;
}

}  // namespace fixedgl
