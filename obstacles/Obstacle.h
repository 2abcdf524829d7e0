#pragma once

class Vector;
struct Mass;

/// An element of the pinball table: it measures its distance from a point, pushes back single
/// masses of the ball that touch it, and draws itself.
class Obstacle {
public:
    int solid = 0;                                ///< nonzero: drawn filled; zero: drawn as wireframe
    float color[4] = {0.8f, 0.4f, 0.0f, 1.0f};    ///< RGBA applied by boxes and panels when drawn
    int hitCount = 0;                             ///< contacts not yet scored by the World

    explicit Obstacle(int solid) : solid(solid) {}
    virtual ~Obstacle() = default;
    Obstacle(const Obstacle&) = default;
    Obstacle& operator=(const Obstacle&) = default;

    /// How far the point is from the obstacle, in the obstacle's own measure.
    virtual double distance(const Vector& point) const = 0;
    /// Pushes back one mass if it touches the obstacle, changing its velocity and perhaps its force
    /// (never its position); true for a contact.
    virtual bool collide(Mass& mass, const Vector& pull) = 0;
    /// Draws the obstacle with fixed-function OpenGL.
    virtual void draw() const = 0;
};
