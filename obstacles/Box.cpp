#include "obstacles/Box.h"

#include <cmath>

#include "math/Components.h"
#include "softbody/Mass.h"

namespace {

constexpr double degreesToRadians = 3.1415 / 180.0;  // the game's pi is 3.1415
constexpr double restingBand = 0.1;                  // contact band of a box at rest
constexpr double swingingBand = 0.58;                // a swinging flipper reaches further
constexpr double flipperKick = 2.8;                  // speed a swinging flipper gives along its face normal
constexpr double friction = double(0.6f);            // share of the pressing force that brakes sliding
constexpr float swingStep = 0.4f;                    // flipper swing, degrees per tick
constexpr float swingEnd = 40.0f;                    // degrees; reaching it ends the swing
constexpr int swingingFlag = 80;                     // any nonzero value marks a swing in progress

}  // namespace

Box::Box(const Vector& origin, const Vector& edgeU, const Vector& edgeV, int solid)
    : Obstacle(solid), origin(origin), edgeU(edgeU), edgeV(edgeV) {
    computeFrame();
}

void Box::computeFrame() {
    normal = edgeU.cross(edgeV);
    normal /= normal.norm();
    const double lu = edgeU.norm();
    lengthU = float(lu);
    axisU = edgeU / lu;
    const double lv = edgeV.norm();
    lengthV = float(lv);
    axisV = edgeV / lv;
    setSwingAngle(0.0f);
    for (int i = 0; i < 3; ++i) {
        frame[i] = normal[i];
        frame[4 + i] = axisU[i];
        frame[8 + i] = axisV[i];
        frame[12 + i] = origin[i];
    }
    frame[3] = frame[7] = frame[11] = 0.0f;
    frame[15] = 1.0f;
    swingActive = 0;
    color[0] = 0.8f;
    color[1] = 0.4f;
    color[2] = 0.0f;
    color[3] = 1.0f;
}

void Box::setSwingAngle(float degrees) {
    swingAngle = degrees;
    // Turning towards -axisV about the hinge, as glRotatef(swingAngle, 0, 1, 0) does inside frame.
    const double t = -double(degrees) * degreesToRadians;
    faceNormal = normal * std::cos(t) + axisV * std::sin(t);
    faceNormal /= faceNormal.norm();
    faceAxis = faceNormal.cross(axisU);
}

// distance and collide run for every mass near a slab on every tick: they work on the components,
// each step the Vector operation named beside it, with the same operand order and roundings.
double Box::distance(const Vector& point) const {
    float offset[3];  // origin - point
    components::difference(origin.data(), point.data(), offset);
    return std::fabs(components::dot(offset, faceNormal.data()));
}

bool Box::collide(Mass& mass, const Vector& /*pull*/) {
    const float* n = faceNormal.data();
    float rel[3];  // mass.position - origin
    components::difference(mass.position.data(), origin.data(), rel);
    const double dn = components::dot(n, rel);
    const double band = swingActive != 0 ? swingingBand : restingBand;
    if (!(std::fabs(dn) < band)) return false;
    float* v = mass.velocity.data();
    const double vn = components::dot(n, v);  // also the normal speed taken away below
    if (!(dn * vn < 0.0)) return false;  // on one side of the plane and moving towards it
    const double su = components::dot(axisU.data(), rel);
    const double sv = components::dot(faceAxis.data(), rel);
    if (su < 0.0 || su > double(lengthU) || sv < 0.0 || sv > double(lengthV)) return false;

    const float incoming[3] = {v[0], v[1], v[2]};
    float along[3];  // faceNormal * normalSpeed
    components::scaled(n, vn, along);
    components::subtract(v, along);
    if (swingActive != 0) {
        hitCount = 0;
        float kick[3];  // faceNormal * flipperKick
        components::scaled(n, flipperKick, kick);
        components::add(v, kick);
        return true;
    }
    // Friction against the sliding direction, proportional to how hard the mass presses on the slab.
    float tangential[3];  // incoming - faceNormal * vn
    components::difference(incoming, along, tangential);
    float* f = mass.force.data();
    const double pressing = std::fabs(components::dot(n, f));
    float brake[3];  // (tangential * friction) * pressing
    components::scaled(tangential, friction, brake);
    components::scaled(brake, pressing, brake);
    components::subtract(f, brake);
    return true;
}

// The flipper swing: a flipper turns about its hinge 0.4 degrees a tick and snaps back to rest
// in one tick when it reaches 40 degrees.
void Box::startSwing() {
    swingActive = swingingFlag;
    hitCount = 0;
}

void Box::updateSwing() {
    if (swingActive == 0) {
        // A resting flipper is re-aimed at angle 0 every tick.
        setSwingAngle(0.0f);
        hitCount = 0;
        return;
    }
    double next = double(swingAngle) + double(swingStep);
    if (next >= double(swingEnd)) {
        swingActive = 0;
        next = 0.0;
    }
    setSwingAngle(float(next));
    hitCount = 0;
}
