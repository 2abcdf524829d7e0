#pragma once

#include <vector>

#include "softbody/Mass.h"

class World;

/// Something the table gives off in one tick.
struct SoundEvent {
    enum class Kind { bell, clack, thud };
    Kind kind = Kind::bell;
    int index = 0;         ///< bell: the bumper's place in World::scoringObstacles; clack: 0 left, 1 right
                           ///< flipper; thud: the element's place in World::obstacles
    float loudness = 1.0f; ///< 0 to 1: a bell and a clack 1, a thud by how hard the hit was
    int tick = 0;          ///< the tick whose step made it: Game::tickCount just after that step
};

/// Hears the game by reading its state around each tick; it never changes the World.
///
/// Before a tick it runs that tick's contacts on copies of the ball's masses and of the elements
/// near it (the same elements, in the same order, with their own collision code), and so knows which
/// bumpers the tick touches and how hard each other element is struck. After the tick it turns that
/// into events:
///  - a bell when a scoring bumper is touched in this tick and was not in the quietGap ticks before
///    (a ball resting against a bumper touches it every few ticks: one bell, not a buzz);
///  - a clack when a flipper starts to swing in this tick (swinging, still at angle 0 before it);
///  - a thud when an element (wall, floor, flipper, corner post) takes away or gives a mass at
///    least thudThreshold of speed in this tick and took less than that in each of the quietGap
///    ticks before; louder with the speed, full at fullThudSpeed. A ball rolling or resting on
///    the floor gives it 0.5 to 0.8 a tick: silent.
/// The ball's spin limiter, which may change velocities before the contacts, is not run: a tick in
/// which it acts (rare, and reported on the console) may be heard slightly wrong, never played wrong.
class SoundWatcher {
public:
    static constexpr double thudThreshold = 1.2;  ///< speed below which a contact is silent
    static constexpr double fullThudSpeed = 4.0;  ///< speed of the loudest thud (a flipper's kick: 3.4)
    static constexpr int quietGap = 20;           ///< quiet ticks an element needs before it sounds again

    /// Before the tick: works out its contacts from the state as the tick will find it.
    void beforeTick(const World& world);
    /// After that tick was stepped as tick number tick: appends its events to events.
    void afterTick(int tick, std::vector<SoundEvent>& events);
    /// Scoring bumpers the last tick worked out touches; each scores a point in it.
    int bumpersTouched() const;
    /// A new World: nothing of the old one is remembered.
    void forget();

private:
    std::vector<Mass> masses_;         // the ball's masses, run through the coming tick's contacts
    std::vector<double> strike_;       // per element: the largest speed change it gives a mass this tick
    std::vector<char> bumperTouched_;  // per scoring bumper: touched this tick
    std::vector<int> bumperQuiet_;     // per scoring bumper: ticks since it was last touched
    std::vector<int> quietTicks_;      // per element: ticks since it was last struck hard
    int swingStarts_[2] = {0, 0};      // per flipper: its swing starts this tick
    bool predicted_ = false;           // beforeTick ran for the coming tick
};
