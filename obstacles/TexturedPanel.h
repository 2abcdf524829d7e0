#pragma once

#include "math/Vector.h"
#include "obstacles/Obstacle.h"

/// A picture on the table: a quadrilateral that the ball passes through. Which picture it shows is
/// the drawing's business (picture/Pictures); without one the quad is drawn in its colour.
class TexturedPanel : public Obstacle {
public:
    Vector origin{3};  ///< first corner
    Vector edgeU{3};   ///< edge to the second corner; the picture's top row runs along it
    Vector edgeV{3};   ///< edge to the fourth corner

    TexturedPanel(const Vector& origin, const Vector& edgeU, const Vector& edgeV, int solid);
    /// The drawing forgets which picture the panel showed.
    ~TexturedPanel() override;
    TexturedPanel(const TexturedPanel&) = delete;
    TexturedPanel& operator=(const TexturedPanel&) = delete;

    /// Always far away: the ball never collides with a picture.
    double distance(const Vector& point) const override;
    /// Never a contact.
    bool collide(Mass& mass, const Vector& pull) override;
    /// The textured quad, its colours unchanged by lighting.
    void draw() const override;
};
