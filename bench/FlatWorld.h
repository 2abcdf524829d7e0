#pragma once

#include <cstdint>
#include <vector>

class World;

/// The World's step written over plain float arrays: positions, velocities and forces three floats
/// a mass, springs as index arrays, the table elements as plain structs dispatched by a switch.
///
/// It does the very same arithmetic as World::step, in the same order with the same roundings, so
/// both give the same state to the bit; it exists to show what the step costs without Vector
/// objects and virtual calls. Built as a copy of a World's ball, table and score.
class FlatWorld {
public:
    /// A flat copy of the world as it is now: ball, table geometry, swing state, hit counts, score.
    explicit FlatWorld(const World& world);

    /// One tick: forces, collisions with the near table elements, scoring, integration, flipper swings.
    void step();
    /// Starts a swing of the left ('f') or right ('j') flipper.
    void startLeftSwing();
    void startRightSwing();

    /// FNV-1a 64 over every mass's position then velocity, the same hash as for a SoftBody.
    std::uint64_t stateHash() const;

    int massCount() const { return int(mass_.size()); }
    int score() const { return score_; }
    double boundingRadius() const { return boundingRadius_; }
    float leftSwingAngle() const { return boxes_[elements_[leftFlipper_].index].swingAngle; }
    float rightSwingAngle() const { return boxes_[elements_[rightFlipper_].index].swingAngle; }
    /// Position component k (0, 1, 2) of mass i.
    float position(int i, int k) const { return position_[3 * i + k]; }

    /// The collision geometry of a Box: a slab, perhaps a swinging flipper.
    struct BoxData {
        float normal[3];
        float origin[3];
        float axisU[3];
        float axisV[3];
        float faceNormal[3];
        float faceAxis[3];
        float lengthU;
        float lengthV;
        float swingAngle;
        int swingActive;
    };
    /// The collision geometry of a Sphere bumper.
    struct SphereData {
        float centre[3];
        double radius;
    };
    /// One table element in collision order: which kind, where its geometry is, its hit count.
    struct Element {
        enum Kind { box, sphere, panel } kind;
        int index;  ///< into boxes_ or spheres_; unused for a panel
        int hitCount;
    };

private:
    void computeForces();
    void collide();
    void scoreHits();
    void integrate();
    void updateSwing(Element& flipper);

    std::vector<float> mass_;
    std::vector<float> position_;  ///< x, y, z of mass 0, then of mass 1, ...
    std::vector<float> velocity_;
    std::vector<float> force_;
    std::vector<int> springA_;
    std::vector<int> springB_;
    std::vector<float> stiffness_;
    std::vector<float> damping_;
    std::vector<float> restLength_;
    float pull_[3];
    double boundingRadius_;
    float boxMin_[3];
    float boxMax_[3];

    std::vector<BoxData> boxes_;
    std::vector<SphereData> spheres_;
    std::vector<Element> elements_;  ///< the World's obstacles, in order
    std::vector<int> scoring_;       ///< indices into elements_ of the scoring bumpers, in order
    int leftFlipper_;                ///< index into elements_
    int rightFlipper_;
    int score_;
};
