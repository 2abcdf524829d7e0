#pragma once

struct Mass;

/// One triangle of the ball's surface; its corners are counter-clockwise seen from outside.
struct Face {
    Mass* massA = nullptr;  ///< elements of the body's masses
    Mass* massB = nullptr;
    Mass* massC = nullptr;

    /// Sends one normal and three vertices; the caller has opened GL_TRIANGLES.
    void draw() const;
};
