#pragma once

#include <string>

/// What a game controller's flipper and restart buttons are doing, in the standard layout.
struct PadState {
    bool leftShoulder = false;
    bool rightShoulder = false;
    bool start = false;
    float leftTrigger = 0.0f;   ///< 0 at rest to 1 pulled all the way
    float rightTrigger = 0.0f;  ///< 0 at rest to 1 pulled all the way
};

/// Turns one controller's successive states into the game's keys: the left shoulder or the left
/// trigger pulled past half way is 'f', the right ones 'j', Start 'n'; nothing else is a key. Each
/// side and Start give their key once per press: held, they do not repeat, and a trigger is let go
/// only once back under triggerRelease, so one resting near half way does not chatter.
class PadMapping {
public:
    static constexpr float triggerPress = 0.5f;    ///< a trigger beyond this is pressed
    static constexpr float triggerRelease = 0.4f;  ///< a pressed trigger below this is let go

    /// Takes state as the controller's starting point: what it holds already is no press.
    void reset(const PadState& state);
    /// The keys pressed between the state before and this one, in the order f, j, n.
    std::string update(const PadState& state);

private:
    /// One flipper's shoulder and trigger, pressed while either is.
    struct Side {
        bool triggerHeld = false;
        bool down = false;
        /// Follows the side to its new state; true when that presses it.
        bool follow(bool shoulder, float trigger);
    };
    Side left_, right_;
    bool start_ = false;
};
