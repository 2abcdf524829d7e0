#pragma once

#include <array>

/// The matrix maths of the fixed-function layer: 4 x 4 float matrices as OpenGL keeps them, and the
/// matrices its calls build (glRotatef, glScalef, glTranslatef, gluPerspective).
namespace fixedgl {

using Matrix = std::array<float, 16>;  ///< column-major, as glMultMatrixf takes it

constexpr Matrix identityMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

/// out = m * in, a column vector of 4.
void transform(const Matrix& m, const float in[4], float out[4]);
/// a * b, in float as OpenGL implementations multiply.
Matrix multiply(const Matrix& a, const Matrix& b);
/// The inverse, or the identity when the matrix is singular (as Mesa does for its normal matrix).
Matrix inverseOrIdentity(const Matrix& m);

/// glRotatef's matrix: angle degrees about (x, y, z). False for the zero axis, which turns nothing.
bool rotation(float angle, float x, float y, float z, Matrix& m);
/// glScalef's matrix.
Matrix scaling(float x, float y, float z);
/// glTranslatef's matrix.
Matrix translation(float x, float y, float z);
/// gluPerspective's matrix, built in double as GLU builds it. False for a degenerate frustum (no
/// depth, no field of view or no aspect), which GLU leaves the matrix alone for.
bool perspective(double fovy, double aspect, double zNear, double zFar, Matrix& m);

}  // namespace fixedgl
