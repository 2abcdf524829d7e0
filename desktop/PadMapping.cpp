#include "desktop/PadMapping.h"

bool PadMapping::Side::follow(bool shoulder, float trigger) {
    triggerHeld = triggerHeld ? trigger >= triggerRelease : trigger > triggerPress;
    const bool wasDown = down;
    down = shoulder || triggerHeld;
    return down && !wasDown;
}

void PadMapping::reset(const PadState& state) {
    *this = PadMapping{};
    update(state);
}

std::string PadMapping::update(const PadState& state) {
    std::string keys;
    if (left_.follow(state.leftShoulder, state.leftTrigger)) keys += 'f';
    if (right_.follow(state.rightShoulder, state.rightTrigger)) keys += 'j';
    if (state.start && !start_) keys += 'n';
    start_ = state.start;
    return keys;
}
