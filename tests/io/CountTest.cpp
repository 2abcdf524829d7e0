#include "io/Count.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

// Through the options and the replay reader too: tests/sim/OptionsTest.cpp, tests/replay/ReplayFileTest.cpp.
TEST(CountTest, DigitsWrittenPlainlyWithinTheBoundsAndNothingElse) {
    EXPECT_EQ(parseCount("0", 0, 100).value(), 0);
    EXPECT_EQ(parseCount("100", 0, 100).value(), 100);
    EXPECT_EQ(parseCount("9223372036854775807", 0, LLONG_MAX).value(), LLONG_MAX);
    for (const char* text : {"+10", " 10", "10 ", "1e3", "0x10", "", "-0", "05", "1.0", "\t1", "1\n", "101"})
        EXPECT_EQ(parseCount(text, 0, 100).problem().line(), "it must be a whole number from 0 to 100") << text;
    EXPECT_EQ(parseCount("4", 5, 9).problem().line(), "it must be a whole number from 5 to 9");
    EXPECT_FALSE(parseCount("9223372036854775808", 0, LLONG_MAX).ok());
}
