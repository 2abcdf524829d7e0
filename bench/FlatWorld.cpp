#include "bench/FlatWorld.h"

#include <cmath>
#include <cstring>
#include <iostream>

#include "game/Fnv1a.h"
#include "obstacles/Box.h"
#include "obstacles/Sphere.h"
#include "world/World.h"

// Every helper below stores a float the way a Vector operation does: operands widened to double,
// one rounding when the result is stored. Sums of products start from 0.0 and add in index order.

namespace {

constexpr float timeStep = 0.0085f;
constexpr float gravityMagnitude = 9.81f;
constexpr double maxAngularMomentum = 130.0;
constexpr double spinDampingFactor = 0.001;
constexpr double maxCentreForce = 100.0;
constexpr double degreesToRadians = 3.1415 / 180.0;
constexpr double restingBand = 0.1;
constexpr double swingingBand = 0.58;
constexpr double flipperKick = 2.8;
constexpr double friction = double(0.6f);
constexpr float swingStep = 0.4f;
constexpr float swingEnd = 40.0f;
constexpr int swingingFlag = 80;

inline float add(float a, float b) { return float(double(a) + double(b)); }
inline float sub(float a, float b) { return float(double(a) - double(b)); }
inline float mul(float a, double s) { return float(double(a) * s); }

inline double dot(const float* a, const float* b) {
    double sum = 0.0;
    sum += double(a[0]) * double(b[0]);
    sum += double(a[1]) * double(b[1]);
    sum += double(a[2]) * double(b[2]);
    return sum;
}

inline double norm(const float* a) { return std::sqrt(dot(a, a)); }

inline void cross(const float* a, const float* b, float* r) {
    r[0] = float(double(a[1]) * double(b[2]) - double(a[2]) * double(b[1]));
    r[1] = float(double(a[2]) * double(b[0]) - double(a[0]) * double(b[2]));
    r[2] = float(double(a[0]) * double(b[1]) - double(a[1]) * double(b[0]));
}

inline void difference(const float* a, const float* b, float* r) {
    r[0] = sub(a[0], b[0]);
    r[1] = sub(a[1], b[1]);
    r[2] = sub(a[2], b[2]);
}

void copy(const Vector& v, float* r) {
    for (int k = 0; k < 3; ++k) r[k] = v[k];
}

struct Gravity {
    float g[3];
    Gravity() : g{0.0f, -0.8f, 0.2f} {
        const double factor = double(gravityMagnitude) / norm(g);
        for (float& c : g) c = mul(c, factor);
    }
};

const Gravity gravity;

using BoxData = FlatWorld::BoxData;
using SphereData = FlatWorld::SphereData;

void setSwingAngle(BoxData& b, float degrees) {
    b.swingAngle = degrees;
    const double t = -double(degrees) * degreesToRadians;
    const double c = std::cos(t);
    const double s = std::sin(t);
    for (int k = 0; k < 3; ++k) b.faceNormal[k] = add(mul(b.normal[k], c), mul(b.axisV[k], s));
    const double length = norm(b.faceNormal);
    for (float& n : b.faceNormal) n = float(double(n) / length);
    cross(b.faceNormal, b.axisU, b.faceAxis);
}

double distanceFrom(const BoxData& b, const float* point) {
    float r[3];
    difference(b.origin, point, r);
    return std::fabs(dot(r, b.faceNormal));
}

double distanceFrom(const SphereData& s, const float* point) {
    float r[3];
    difference(s.centre, point, r);
    return norm(r) - s.radius;
}

// A box against one mass: stop its approach, then kick (swinging flipper) or brake by friction.
inline void collideBox(const BoxData& b, int& hitCount, const float* p, float* v, float* f) {
    const float* n = b.faceNormal;
    float rel[3];
    difference(p, b.origin, rel);
    const double dn = dot(n, rel);
    const double vn = dot(n, v);
    const double band = b.swingActive != 0 ? swingingBand : restingBand;
    if (!(std::fabs(dn) < band)) return;
    if (!(dn * vn < 0.0)) return;
    const double su = dot(b.axisU, rel);
    const double sv = dot(b.faceAxis, rel);
    if (su < 0.0 || su > double(b.lengthU) || sv < 0.0 || sv > double(b.lengthV)) return;

    const float incoming[3] = {v[0], v[1], v[2]};
    const double normalSpeed = dot(n, v);
    for (int k = 0; k < 3; ++k) v[k] = sub(v[k], mul(n[k], normalSpeed));
    if (b.swingActive != 0) {
        hitCount = 0;
        for (int k = 0; k < 3; ++k) v[k] = add(v[k], mul(n[k], flipperKick));
        return;
    }
    float tangential[3];
    for (int k = 0; k < 3; ++k) tangential[k] = sub(incoming[k], mul(n[k], vn));
    const double pressing = std::fabs(dot(n, f));
    for (int k = 0; k < 3; ++k) f[k] = sub(f[k], mul(mul(tangential[k], friction), pressing));
}

// A bumper against one mass: throw back a mass inside moving inwards, brake its force, count a hit.
inline void collideSphere(const SphereData& s, int& hitCount, const float* pull, const float* p, float* v,
                          float* f) {
    float rel[3];
    difference(p, s.centre, rel);
    float w[3];
    for (int k = 0; k < 3; ++k) w[k] = add(v[k], pull[k]);
    const double r = norm(rel);
    const double vr = dot(w, rel) / r;
    if (!(r < s.radius)) return;
    if (!(vr < 0.0)) return;
    float push[3];
    for (int k = 0; k < 3; ++k) push[k] = mul(rel[k], vr);
    for (int k = 0; k < 3; ++k) v[k] = sub(v[k], push[k]);
    for (int k = 0; k < 3; ++k) w[k] = add(w[k], push[k]);
    const double pressing = std::fabs(dot(rel, f));
    for (int k = 0; k < 3; ++k) f[k] = sub(f[k], mul(mul(w[k], friction), pressing));
    hitCount += 1;
}

}  // namespace

FlatWorld::FlatWorld(const World& world) {
    const std::size_t n = world.masses.size();
    mass_.resize(n);
    position_.resize(3 * n);
    velocity_.resize(3 * n);
    force_.resize(3 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const Mass& m = world.masses[i];
        mass_[i] = m.mass;
        copy(m.position, &position_[3 * i]);
        copy(m.velocity, &velocity_[3 * i]);
        copy(m.force, &force_[3 * i]);
    }
    const Mass* first = world.masses.data();
    for (const Spring& s : world.springs) {
        springA_.push_back(int(s.massA - first));
        springB_.push_back(int(s.massB - first));
        stiffness_.push_back(s.stiffness);
        damping_.push_back(s.damping);
        restLength_.push_back(s.restLength);
    }
    copy(world.pull, pull_);
    boundingRadius_ = world.boundingRadius;
    copy(world.boxMin, boxMin_);
    copy(world.boxMax, boxMax_);

    for (const Obstacle* o : world.obstacles) {
        Element e{Element::panel, -1, o->hitCount};
        if (const auto* b = dynamic_cast<const Box*>(o)) {
            BoxData d;
            copy(b->normal, d.normal);
            copy(b->origin, d.origin);
            copy(b->axisU, d.axisU);
            copy(b->axisV, d.axisV);
            copy(b->faceNormal, d.faceNormal);
            copy(b->faceAxis, d.faceAxis);
            d.lengthU = b->lengthU;
            d.lengthV = b->lengthV;
            d.swingAngle = b->swingAngle;
            d.swingActive = b->swingActive;
            e = Element{Element::box, int(boxes_.size()), o->hitCount};
            boxes_.push_back(d);
        } else if (const auto* s = dynamic_cast<const Sphere*>(o)) {
            SphereData d;
            copy(s->centre, d.centre);
            d.radius = s->radius;
            e = Element{Element::sphere, int(spheres_.size()), o->hitCount};
            spheres_.push_back(d);
        }
        if (o == &world.leftFlipper) leftFlipper_ = int(elements_.size());
        if (o == &world.rightFlipper) rightFlipper_ = int(elements_.size());
        elements_.push_back(e);
    }
    for (const Obstacle* o : world.scoringObstacles)
        for (std::size_t i = 0; i < world.obstacles.size(); ++i)
            if (world.obstacles[i] == o) scoring_.push_back(int(i));
    score_ = world.score;
}

void FlatWorld::step() {
    if (mass_.empty()) return;
    computeForces();
    collide();
    scoreHits();
    integrate();
    updateSwing(elements_[leftFlipper_]);
    updateSwing(elements_[rightFlipper_]);
}

void FlatWorld::startLeftSwing() {
    boxes_[elements_[leftFlipper_].index].swingActive = swingingFlag;
    elements_[leftFlipper_].hitCount = 0;
}

void FlatWorld::startRightSwing() {
    boxes_[elements_[rightFlipper_].index].swingActive = swingingFlag;
    elements_[rightFlipper_].hitCount = 0;
}

void FlatWorld::computeForces() {
    const int n = massCount();
    float* p = position_.data();
    float* v = velocity_.data();
    float* f = force_.data();
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k) f[3 * i + k] = gravity.g[k];

    const int springCount = int(springA_.size());
    for (int s = 0; s < springCount; ++s) {
        const int a = 3 * springA_[s];
        const int b = 3 * springB_[s];
        float d[3];
        difference(p + b, p + a, d);
        const double len = norm(d);
        if (len == 0.0) continue;
        float w[3];
        difference(v + b, v + a, w);
        const float lenRounded = float(len);
        float u[3];
        for (int k = 0; k < 3; ++k) u[k] = float(double(d[k]) / len);
        const double stretchingSpeed = dot(u, w);
        const double magnitude = (double(lenRounded) - double(restLength_[s])) * double(stiffness_[s]) +
                                 stretchingSpeed * double(damping_[s]);
        for (int k = 0; k < 3; ++k) {
            const float onA = mul(u[k], magnitude);
            f[a + k] = add(f[a + k], onA);
            f[b + k] = add(f[b + k], float(-double(onA)));
        }
    }

    // Spin measure and limiter.
    const float* centre = p;
    float spin[3] = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < n; ++i) {
        float r[3], c[3];
        difference(p + 3 * i, centre, r);
        cross(v + 3 * i, r, c);
        for (int k = 0; k < 3; ++k) spin[k] = add(spin[k], c[k]);
    }
    const double spinLength = norm(spin);
    if (spinLength > maxAngularMomentum) {
        std::cout << "Killing AngularMoment: " << spinLength << '\n' << std::flush;
        for (int i = 0; i < n; ++i) {
            float r[3], c[3];
            difference(p + 3 * i, centre, r);
            cross(spin, r, c);
            for (int k = 0; k < 3; ++k) v[3 * i + k] = add(v[3 * i + k], mul(c[k], spinDampingFactor));
        }
    }

    const double centreForce = norm(f);
    if (centreForce > maxCentreForce) {
        const double divisor = centreForce * 0.01;
        for (int k = 0; k < 3; ++k) f[k] = float(double(f[k]) / divisor);
    }
}

void FlatWorld::collide() {
    const int n = massCount();
    float* p = position_.data();
    float* v = velocity_.data();
    float* f = force_.data();
    for (Element& e : elements_) {
        if (e.kind == Element::box) {
            const BoxData& b = boxes_[e.index];
            if (distanceFrom(b, p) >= boundingRadius_) continue;
            for (int i = 0; i < n; ++i) collideBox(b, e.hitCount, p + 3 * i, v + 3 * i, f + 3 * i);
        } else if (e.kind == Element::sphere) {
            const SphereData& s = spheres_[e.index];
            if (distanceFrom(s, p) >= boundingRadius_) continue;
            for (int i = 0; i < n; ++i) collideSphere(s, e.hitCount, pull_, p + 3 * i, v + 3 * i, f + 3 * i);
        }
        // A picture panel is never collided with: its distance is always far beyond the ball, and
        // even when it is not (a ball blown up to an infinite radius), its collide does nothing.
    }
}

void FlatWorld::scoreHits() {
    for (int i : scoring_) {
        if (elements_[i].hitCount > 0) {
            score_ += 1;
            elements_[i].hitCount = 0;
        }
    }
}

void FlatWorld::integrate() {
    const int n = massCount();
    float* p = position_.data();
    float* v = velocity_.data();
    float* f = force_.data();
    const double dt = double(timeStep);
    for (int i = 0; i < n; ++i) {
        const double m = double(mass_[i]);
        for (int k = 0; k < 3; ++k) {
            const int j = 3 * i + k;
            p[j] = add(p[j], mul(v[j], dt));
            v[j] = add(v[j], float(double(mul(f[j], dt)) / m));
        }
    }

    // Bounds relative to the centre mass.
    for (int k = 0; k < 3; ++k) boxMin_[k] = boxMax_[k] = 0.0f;
    for (int i = 0; i < n; ++i) {
        float r[3];
        difference(p + 3 * i, p, r);
        for (int k = 0; k < 3; ++k) {
            if (r[k] < boxMin_[k])
                boxMin_[k] = r[k];
            else if (r[k] > boxMax_[k])
                boxMax_[k] = r[k];
        }
    }
    float diagonal[3];
    difference(boxMax_, boxMin_, diagonal);
    boundingRadius_ = 0.5 * norm(diagonal);
}

void FlatWorld::updateSwing(Element& flipper) {
    BoxData& b = boxes_[flipper.index];
    if (b.swingActive == 0) {
        setSwingAngle(b, 0.0f);
        flipper.hitCount = 0;
        return;
    }
    double next = double(b.swingAngle) + double(swingStep);
    if (next >= double(swingEnd)) {
        b.swingActive = 0;
        next = 0.0;
    }
    setSwingAngle(b, float(next));
    flipper.hitCount = 0;
}

std::uint64_t FlatWorld::stateHash() const {
    std::uint64_t hash = fnvOffsetBasis;
    auto mix = [&hash](float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        hash = fnv1aWord(hash, bits);
    };
    for (int i = 0; i < massCount(); ++i) {
        for (int k = 0; k < 3; ++k) mix(position_[3 * i + k]);
        for (int k = 0; k < 3; ++k) mix(velocity_[3 * i + k]);
    }
    return hash;
}
