#include "obstacles/Box.h"

#include <cmath>

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

double Box::distance(const Vector& point) const { return std::fabs((origin - point).dot(faceNormal)); }

bool Box::collide(Mass& mass, const Vector& /*pull*/) {
    const Vector rel = mass.position - origin;
    const double dn = faceNormal.dot(rel);
    const double vn = faceNormal.dot(mass.velocity);
    const double band = swingActive != 0 ? swingingBand : restingBand;
    if (!(std::fabs(dn) < band)) return false;
    if (!(dn * vn < 0.0)) return false;  // on one side of the plane and moving towards it
    const double su = axisU.dot(rel);
    const double sv = faceAxis.dot(rel);
    if (su < 0.0 || su > double(lengthU) || sv < 0.0 || sv > double(lengthV)) return false;

    const Vector incoming = mass.velocity;
    const double normalSpeed = faceNormal.dot(mass.velocity);
    mass.velocity -= faceNormal * normalSpeed;
    if (swingActive != 0) {
        hitCount = 0;
        mass.velocity += faceNormal * flipperKick;
        return true;
    }
    // Friction against the sliding direction, proportional to how hard the mass presses on the slab.
    const Vector tangential = incoming - faceNormal * vn;
    const double pressing = std::fabs(faceNormal.dot(mass.force));
    mass.force -= (tangential * friction) * pressing;
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
