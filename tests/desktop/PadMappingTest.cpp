#include "desktop/PadMapping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One state of the controller and the keys it should give after the ones before it.
struct Step {
    PadState state;
    std::string keys;
};

PadState shoulders(bool left, bool right) { return {left, right, false, 0.0f, 0.0f}; }
PadState triggers(float left, float right) { return {false, false, false, left, right}; }

void expectKeys(const PadState& from, const std::vector<Step>& steps) {
    PadMapping mapping;
    mapping.reset(from);
    for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(mapping.update(steps[i].state), steps[i].keys) << "step " << i;
}

}  // namespace

TEST(PadMappingTest, EachPressGivesItsKeyOnceHeldOrNot) {
    expectKeys({}, {{shoulders(true, false), "f"}, {shoulders(true, false), ""}, {shoulders(true, true), "j"},
                    {shoulders(false, false), ""}, {shoulders(true, true), "fj"},
                    {{false, false, true, 0.0f, 0.0f}, "n"}, {{false, false, true, 0.0f, 0.0f}, ""},
                    {{true, true, true, 1.0f, 1.0f}, "fj"}});
    // The shoulder and the trigger of a side are one flipper: the second of them held is no new press.
    expectKeys({}, {{shoulders(true, false), "f"}, {{true, false, false, 1.0f, 0.0f}, ""},
                    {triggers(1.0f, 0.0f), ""}, {triggers(0.0f, 0.0f), ""}, {triggers(0.6f, 0.0f), "f"}});
}

TEST(PadMappingTest, TriggerPressesPastHalfWayAndLetsGoUnderTheRelease) {
    expectKeys({}, {{triggers(0.5f, 0.5f), ""}, {triggers(0.51f, 0.0f), "f"}, {triggers(0.41f, 0.0f), ""},
                    {triggers(0.9f, 0.0f), ""}, {triggers(0.4f, 0.0f), ""}, {triggers(0.6f, 0.0f), ""},
                    {triggers(0.39f, 0.0f), ""}, {triggers(0.51f, 0.51f), "fj"}});
}

TEST(PadMappingTest, WhatTheControllerHoldsAsItComesIsNoPress) {
    expectKeys({true, false, true, 0.0f, 0.8f}, {{{true, false, true, 0.0f, 0.8f}, ""},
                                                 {{true, false, true, 0.0f, 0.45f}, ""},
                                                 {{false, false, false, 0.0f, 0.3f}, ""},
                                                 {{true, false, true, 0.0f, 0.6f}, "fjn"}});
}
