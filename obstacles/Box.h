#pragma once

#include "math/Vector.h"
#include "obstacles/Obstacle.h"

/// A thin slab given by a corner and two edges: the floor, the walls, the deflector and the two
/// flippers. A flipper swings about its first edge, the hinge.
class Box : public Obstacle {
public:
    Vector normal{3};         ///< unit normal of the unswung slab, edgeU x edgeV
    Vector origin{3};         ///< the corner; a flipper's hinge point
    Vector edgeU{3};          ///< first edge from the corner; a flipper's hinge
    Vector edgeV{3};          ///< second edge from the corner
    float lengthU = 0.0f;     ///< length of edgeU
    float lengthV = 0.0f;     ///< length of edgeV
    Vector axisU{3};          ///< edgeU made unit
    Vector axisV{3};          ///< edgeV made unit
    float frame[16] = {};     ///< column-major: local x, y, z to normal, axisU, axisV; local origin to origin
    Vector faceNormal{3};     ///< normal turned by the swing angle about axisU; used for contact
    Vector faceAxis{3};       ///< faceNormal x axisU: the second in-plane direction of the turned slab
    float swingAngle = 0.0f;  ///< degrees; 0 for every box that does not swing
    int swingActive = 0;      ///< nonzero while a flipper swings
    unsigned texture = 0;     ///< OpenGL texture name bound while drawing; a box keeps 0

    /// A box from a corner and two non-zero, non-parallel edges (copied).
    Box(const Vector& origin, const Vector& edgeU, const Vector& edgeV, int solid);

    /// Derives the normal, lengths, axes, frame and the unswung face, and the default colour.
    void computeFrame();
    /// Stores the swing angle (degrees) and turns the face normal and axis with it.
    void setSwingAngle(float degrees);

    /// Distance of the point from the plane of the turned slab, wherever along the plane it lies.
    double distance(const Vector& point) const override;
    /// Stops a mass that approaches the slab within its contact band: a resting box takes its normal
    /// speed and brakes its force by friction; a swinging flipper kicks it along the face normal.
    bool collide(Mass& mass, const Vector& pull) override;
    /// The corner marker and the slab, in the box's colour.
    void draw() const override;

    /// Starts a flipper swing; the first step comes with the next tick's swing update.
    void startSwing();
    /// Advances a swing by one tick, snapping back to rest once it reaches the end angle.
    void updateSwing();
};
