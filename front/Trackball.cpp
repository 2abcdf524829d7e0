#include "front/Trackball.h"

#include <cmath>

namespace {

/// A window under 2 pixels across has a half size of 0 and no pixel grid to map onto the sphere.
bool windowTooSmall(const Trackball& trackball) {
    return trackball.halfWidth <= 0 || trackball.halfHeight <= 0;
}

}  // namespace

Trackball::Trackball(double radius, int halfWidth, int halfHeight)
    : radius(radius), halfWidth(halfWidth), halfHeight(halfHeight) {}

void Trackball::resize(int width, int height) {
    halfWidth = width / 2;
    halfHeight = height / 2;
}

Trackball::Point Trackball::spherePoint(int x, int y) const {
    // The window's centre maps to (0, 0), its right edge to px = 1, its top edge to py = 1.
    double px = static_cast<double>(x) / static_cast<double>(halfWidth) - 1.0;
    double py = 1.0 - static_cast<double>(y) / static_cast<double>(halfHeight);
    // Pixels outside the window stick to its edge; exactly +-1 passes as it is.
    if (px > 1.0) px = 1.0;
    if (px < -1.0) px = -1.0;
    if (py > 1.0) py = 1.0;
    if (py < -1.0) py = -1.0;
    // With radius 3 and both coordinates in [-1, 1] the root is of at least 7: always the cap facing the viewer.
    const double pz = std::sqrt(radius * radius - (py * py + px * px));
    return {px, py, pz};
}

void Trackball::beginDrag(int x, int y) {
    if (windowTooSmall(*this)) return;
    lastPoint = spherePoint(x, y);
    dragging = true;
}

void Trackball::endDrag() { dragging = false; }

void Trackball::drag(int x, int y) {
    if (!dragging || windowTooSmall(*this)) return;
    const Point p = spherePoint(x, y);
    const Point& last = lastPoint;
    if (p[0] == last[0] && p[1] == last[1] && p[2] == last[2]) {
        // The pointer has not left the pixel: no step, and no axis to turn about.
        increment = {1.0, 0.0, 0.0, 0.0};
        return;
    }
    const double dx = p[0] - last[0];
    const double dy = p[1] - last[1];
    const double dz = p[2] - last[2];
    // t is |d| / (sqrt 2 * r); with clamped points on a sphere of radius 3 it stays below 2/3, inside asin's domain.
    const double t = std::sqrt((dy * dy + dx * dx + dz * dz) * 0.5) / radius;
    // The step's angle is the gain times twice the arc sine: a short drag turns the scene four times as far.
    const double theta = 2.0 * std::asin(t) * gain;
    // Turn about last x p: two different points on the facing cap are never parallel.
    double ax = p[2] * last[1] - p[1] * last[2];
    double ay = last[2] * p[0] - p[2] * last[0];
    double az = p[1] * last[0] - last[1] * p[0];
    double squares = 0.0;
    squares += ax * ax;
    squares += ay * ay;
    squares += az * az;
    const double length = std::sqrt(squares);
    ax /= length;
    ay /= length;
    az /= length;
    lastPoint = p;
    const double half = theta / 2.0;
    const double s = std::sin(half);
    increment = {std::cos(half), s * ax, s * ay, s * az};
    // The new step goes on the left of everything turned so far.
    orientation = quaternionProduct(increment, orientation);
}

Trackball::Quaternion Trackball::quaternionProduct(const Quaternion& a, const Quaternion& b) {
    Quaternion r{};
    r[0] = a[0] * b[0] - ((a[3] * b[3] + a[2] * b[2]) + a[1] * b[1]);
    r[1] = a[2] * b[3] - a[3] * b[2];
    r[2] = a[3] * b[1] - a[1] * b[3];
    r[3] = a[1] * b[2] - a[2] * b[1];
    for (int i = 1; i <= 3; ++i) {
        r[i] = r[i] + b[i] * a[0];
        r[i] = r[i] + a[i] * b[0];
    }
    // Renormalised at every step, so rounding never lets the orientation drift off unit length.
    const double n = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2] + r[3] * r[3]);
    for (double& component : r) component /= n;
    return r;
}

std::array<float, 16> Trackball::rotationMatrix() const {
    const double w = orientation[0];
    const double x = orientation[1];
    const double y = orientation[2];
    const double z = orientation[3];
    // The rotation matrix of the quaternion written row by row into a column-major array: OpenGL applies
    // its transpose, the inverse rotation, to the scene.
    return {
        static_cast<float>(1.0 - 2.0 * (y * y + z * z)),
        static_cast<float>(2.0 * (x * y - w * z)),
        static_cast<float>(2.0 * (x * z + w * y)),
        0.0f,
        static_cast<float>(2.0 * (w * z + x * y)),
        static_cast<float>(1.0 - 2.0 * (x * x + z * z)),
        static_cast<float>(2.0 * (y * z - w * x)),
        0.0f,
        static_cast<float>(2.0 * (x * z - w * y)),
        static_cast<float>(2.0 * (w * x + y * z)),
        static_cast<float>(1.0 - 2.0 * (x * x + y * y)),
        0.0f,
        0.0f,
        0.0f,
        0.0f,
        1.0f,
    };
}
