#include "sound/SoundWatcher.h"

#include <algorithm>

#include "obstacles/Box.h"
#include "obstacles/Sphere.h"
#include "world/World.h"

namespace {

// A swing that has been started but has not moved yet starts in the coming tick.
int swingStarts(const Box& flipper) { return flipper.swingActive != 0 && flipper.swingAngle == 0.0f ? 1 : 0; }

}  // namespace

void SoundWatcher::beforeTick(const World& world) {
    predicted_ = world.hasBall();
    if (!predicted_) return;
    const std::size_t elements = world.obstacles.size();
    strike_.assign(elements, 0.0);
    if (quietTicks_.size() != elements) quietTicks_.assign(elements, quietGap);
    bumperTouched_.assign(world.scoringObstacles.size(), 0);
    if (bumperQuiet_.size() != bumperTouched_.size()) bumperQuiet_.assign(bumperTouched_.size(), quietGap);
    swingStarts_[0] = swingStarts(world.leftFlipper);
    swingStarts_[1] = swingStarts(world.rightFlipper);

    // The tick's contacts, as World::step makes them, on copies: the same elements near the ball in
    // the same order, each mass carrying what earlier elements did to its velocity.
    masses_ = world.masses;
    const Vector& centre = world.masses[0].position;
    for (std::size_t e = 0; e < elements; ++e) {
        const Obstacle* element = world.obstacles[e];
        if (element->distance(centre) >= world.boundingRadius) continue;
        double strongest = 0.0;
        bool touched = false;
        auto run = [&](Obstacle& probe) {
            for (Mass& m : masses_) {
                const Vector before = m.velocity;
                if (!probe.collide(m, world.pull)) continue;
                touched = true;
                strongest = std::max(strongest, (m.velocity - before).norm());
            }
        };
        if (const auto* box = dynamic_cast<const Box*>(element)) {
            Box probe = *box;
            run(probe);
        } else if (const auto* sphere = dynamic_cast<const Sphere*>(element)) {
            Sphere probe = *sphere;
            run(probe);
            touched = probe.hitCount > sphere->hitCount;
        } else {
            continue;  // a picture panel: the ball passes through it
        }
        const auto scoring = std::find(world.scoringObstacles.begin(), world.scoringObstacles.end(), element);
        if (scoring != world.scoringObstacles.end())
            bumperTouched_[std::size_t(scoring - world.scoringObstacles.begin())] = touched ? 1 : 0;
        else
            strike_[e] = strongest;
    }
}

void SoundWatcher::afterTick(int tick, std::vector<SoundEvent>& events) {
    if (!predicted_) return;
    predicted_ = false;
    for (std::size_t b = 0; b < bumperTouched_.size(); ++b) {
        if (bumperTouched_[b] == 0) {
            bumperQuiet_[b] = std::min(bumperQuiet_[b] + 1, quietGap);
            continue;
        }
        if (bumperQuiet_[b] >= quietGap) events.push_back({SoundEvent::Kind::bell, int(b), 1.0f, tick});
        bumperQuiet_[b] = 0;
    }
    for (int f = 0; f < 2; ++f)
        if (swingStarts_[f] != 0) events.push_back({SoundEvent::Kind::clack, f, 1.0f, tick});
    for (std::size_t e = 0; e < strike_.size(); ++e) {
        if (strike_[e] < thudThreshold) {
            quietTicks_[e] = std::min(quietTicks_[e] + 1, quietGap);
            continue;
        }
        if (quietTicks_[e] >= quietGap)
            events.push_back({SoundEvent::Kind::thud, int(e), float(std::min(1.0, strike_[e] / fullThudSpeed)), tick});
        quietTicks_[e] = 0;
    }
}

int SoundWatcher::bumpersTouched() const {
    int touched = 0;
    for (char t : bumperTouched_) touched += t != 0 ? 1 : 0;
    return touched;
}

void SoundWatcher::forget() {
    bumperQuiet_.clear();
    quietTicks_.clear();
    predicted_ = false;
}
