#include "web/FramePacer.h"

#include <gtest/gtest.h>

TEST(FramePacerTest, HandsOutTheTicksDueAtEachFrame) {
    FramePacer pacer(900.0, 90);
    EXPECT_EQ(pacer.ticksDue(10.0), 1);                // tick 0, at once
    EXPECT_EQ(pacer.ticksDue(10.0), 0);                // the same moment again
    EXPECT_EQ(pacer.ticksDue(10.0 + 1.0 / 60.0), 15);  // ticks 1 to 15 in a 60 Hz frame
    EXPECT_EQ(pacer.ticksDue(10.0 + 1.5 / 60.0), 7);   // ticks 16 to 22 (22.5 ticks in)
    EXPECT_EQ(pacer.ticksDue(10.0 + 1.4 / 60.0), 0);   // a clock going back owes nothing
}

TEST(FramePacerTest, KeepsTheAverageRateOverAMinuteOfFrames) {
    FramePacer pacer(900.0, 90);
    long long ticks = 0;
    for (int frame = 0; frame <= 3600; ++frame) ticks += pacer.ticksDue(5.0 + frame / 60.0);
    EXPECT_EQ(ticks, 54001);  // tick 0 plus 900 a second for 60 s
}

TEST(FramePacerTest, DropsABacklogBeyondOneFramesCatchUp) {
    FramePacer pacer(900.0, 90);
    EXPECT_EQ(pacer.ticksDue(0.0), 1);
    // Half a second without a frame (a hidden tab): 450 ticks owed, 90 given, the rest forgotten.
    EXPECT_EQ(pacer.ticksDue(0.5), 90);
    EXPECT_EQ(pacer.ticksDue(0.5), 0);
    EXPECT_EQ(pacer.ticksDue(0.5 + 1.0 / 900.0), 1);
    EXPECT_EQ(pacer.ticksDue(0.5 + 1.0 / 60.0), 14);  // 15 ticks a frame again
}
