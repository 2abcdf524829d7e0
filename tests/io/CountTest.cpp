#include "io/Count.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// What parseCount makes of text between 0 and 100, or from 0 to the largest long long: the number,
// or "refused" with the problem's line.
std::string read(const std::string& text, long long maximum = 100) {
    const Result<long long> count = parseCount(text, 0, maximum);
    return count.ok() ? std::to_string(count.value()) : "refused: " + count.problem().line();
}

}  // namespace

TEST(CountTest, DigitsWrittenPlainlyWithinTheBounds) {
    EXPECT_EQ(read("0"), "0");
    EXPECT_EQ(read("7"), "7");
    EXPECT_EQ(read("100"), "100");
    EXPECT_EQ(read("9223372036854775807", LLONG_MAX), "9223372036854775807");
    EXPECT_EQ(parseCount("5", 5, 5).value(), 5);
}

TEST(CountTest, EverythingElseIsRefusedWithTheOneWording) {
    const std::string refused = "refused: it must be a whole number from 0 to 100";
    for (const char* text : {"+10", " 10", "10 ", "1e3", "0x10", "", "-0", "-1", "05", "00", "1.0", "10x", "101",
                             "\t1", "1\n", "one"})
        EXPECT_EQ(read(text), refused) << '\'' << text << '\'';
    EXPECT_EQ(read("9223372036854775808", LLONG_MAX),
              "refused: it must be a whole number from 0 to 9223372036854775807");
    EXPECT_EQ(read("99999999999999999999999", LLONG_MAX),
              "refused: it must be a whole number from 0 to 9223372036854775807");
    EXPECT_EQ(parseCount("4", 5, 9).problem().line(), "it must be a whole number from 5 to 9");
}
