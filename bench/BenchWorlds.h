#pragma once

#include <memory>
#include <string>
#include <vector>

#include "math/Vector.h"
#include "softbody/Mass.h"

class SoftBody;
class World;

/// The benchmarked balls land on the floor about 240 ticks after the start; the finer ones stay
/// sound only for some 100 ticks after that (their centre mass, tied to every surface mass, is too
/// stiff for the time step), so a benchmark runs short stretches from just after the landing.
constexpr int landingTicks = 260;
constexpr int stretchTicks = 80;

/// Model text of an icosphere ball of radius 1: subdivisions 1, 2, 3, 4 give 42, 162, 642, 2562
/// masses (one more with the centre mass); 1 is the game's own sphere.iv.
std::string ballModel(int subdivisions);

/// Reads model text into an empty body; the reader's progress lines are swallowed.
void readBall(const std::string& modelText, SoftBody& body);

/// A World built from model text, without textures; the reader's progress lines are swallowed.
std::unique_ptr<World> worldFrom(const std::string& modelText);

/// The ball's state and the score at one moment, to put a World or body back there. Restoring
/// assigns into the existing masses: nothing is allocated and the springs' pointers stay valid.
/// The flippers are not saved: a benchmark that restores never swings them.
class BallSnapshot {
public:
    explicit BallSnapshot(const SoftBody& body);
    explicit BallSnapshot(const World& world);
    void restore(SoftBody& body) const;
    void restore(World& world) const;

private:
    std::vector<Mass> masses_;
    double boundingRadius_;
    Vector boxMin_;
    Vector boxMax_;
    int score_ = 0;
};
