#pragma once

#include <array>

/// The virtual trackball that turns the whole scene: window pixels map onto a sphere centred in the window,
/// each drag step becomes a rotation quaternion, and the steps accumulate into one unit quaternion.
/// All arithmetic is in double; only the final matrix is handed to OpenGL as floats.
class Trackball {
public:
    /// A quaternion, scalar part first: (w, x, y, z).
    using Quaternion = std::array<double, 4>;
    /// A point on or direction in the trackball's space: (x, y, z).
    using Point = std::array<double, 3>;

    /// A trackball of the given sphere radius (in normalised window units) for a window of the given half size
    /// in pixels, with no rotation yet.
    Trackball(double radius, int halfWidth, int halfHeight);

    /// Takes the window's new size in pixels; the half sizes are truncated.
    void resize(int width, int height);

    /// The point of the sphere under window pixel (x, y), origin at the top left, y downward. Pixels outside
    /// the window clamp to its edge.
    Point spherePoint(int x, int y) const;

    /// A press of the turning button at pixel (x, y): the drag starts from there.
    void beginDrag(int x, int y);

    /// The turning button's release: later motion changes nothing until the next press.
    void endDrag();

    /// Pointer motion to pixel (x, y): while a drag is in progress, turns the orientation by one step.
    void drag(int x, int y);

    /// The normalised Hamilton product a * b.
    static Quaternion quaternionProduct(const Quaternion& a, const Quaternion& b);

    /// The orientation as a 4 x 4 matrix in the column-major order glMultMatrixf takes.
    std::array<float, 16> rotationMatrix() const;

    double radius;                           ///< radius of the virtual sphere; the window spans -1 ... 1
    int halfWidth;                           ///< half the window width, in pixels
    int halfHeight;                          ///< half the window height, in pixels
    Quaternion orientation{1.0, 0.0, 0.0, 0.0};  ///< the accumulated rotation, a unit quaternion
    Quaternion increment{1.0, 0.0, 0.0, 0.0};    ///< the rotation of the latest drag step
    Point lastPoint{0.0, 0.0, 0.0};          ///< the sphere point of the latest press or drag step
    double gain = 4.0;                       ///< multiplier of every step's rotation angle
    bool dragging = false;                   ///< true from a press of the turning button to its release
};
