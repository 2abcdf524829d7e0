#pragma once

#include <vector>

#include "math/Vector.h"
#include "softbody/Face.h"
#include "softbody/Mass.h"
#include "softbody/Spring.h"

/// The soft-body ball: point masses joined by damped springs, with triangles over them for drawing.
///
/// Element 0 of masses is the centre mass. Springs and faces point into masses, which the model
/// reader sizes once and nothing resizes afterwards.
class SoftBody {
public:
    std::vector<Mass> masses;      ///< the centre mass, then the model's masses in file order
    std::vector<Spring> springs;   ///< the model's springs, then the centre springs
    std::vector<Face> faces;       ///< the model's faces in file order
    Vector pull{3};                ///< always zero; handed to every collide call
    double boundingRadius = 0.0;   ///< half the diagonal of the bounds; obstacles this far off are skipped
    Vector boxMin{3};              ///< per-axis minimum of the masses' offsets from the centre mass
    Vector boxMax{3};              ///< per-axis maximum of the same offsets

    /// Moves every mass, the centre mass included, by v; the bounds are relative and stay.
    void translate(const Vector& v);
    /// Recomputes boxMin, boxMax and boundingRadius from the current positions.
    void updateBounds();
    /// First half of a tick: gravity, springs, the spin limiter and the centre-force clamp.
    /// A body without masses is left alone.
    void computeForces();
    /// Second half of a tick: one Euler step of every mass, then fresh bounds.
    void integrate();
    /// Draws every face as one lit triangle, all inside one GL_TRIANGLES block.
    void draw() const;

private:
    /// boxMin and boxMax become the given corners, boundingRadius half the diagonal between them.
    void setBounds(const float* low, const float* high);
};
