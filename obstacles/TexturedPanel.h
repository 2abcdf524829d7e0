#pragma once

#include <string>

#include "math/Vector.h"
#include "obstacles/Obstacle.h"

/// A picture on the table: a textured quadrilateral that the ball passes through.
class TexturedPanel : public Obstacle {
public:
    Vector origin{3};      ///< first corner
    Vector edgeU{3};       ///< edge to the second corner; the picture's top row runs along it
    Vector edgeV{3};       ///< edge to the fourth corner
    unsigned texture = 0;  ///< OpenGL texture name; 0 draws the quad untextured in its colour

    TexturedPanel(const Vector& origin, const Vector& edgeU, const Vector& edgeV, int solid);
    /// Releases the panel's texture, if it has one.
    ~TexturedPanel() override;
    TexturedPanel(const TexturedPanel&) = delete;
    TexturedPanel& operator=(const TexturedPanel&) = delete;

    /// Reads a picture file and makes it the panel's texture; needs a current GL context.
    /// A file that cannot be read leaves the panel untextured and returns a one-line reason
    /// naming the file (empty on success).
    [[nodiscard]] std::string loadTexture(const char* fileName);

    /// Always far away: the ball never collides with a picture.
    double distance(const Vector& point) const override;
    /// Never a contact.
    bool collide(Mass& mass, const Vector& pull) override;
    /// The textured quad, its colours unchanged by lighting.
    void draw() const override;
};
