#include "sim/TraceFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

float floatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string text(double value, int digits) { return TraceNumber(value, digits).text; }

}  // namespace

TEST(TraceFormatTest, EveryNanIsWrittenNan) {
    for (std::uint32_t bits : {0x7fc00000u, 0xffc00000u, 0x7fc00001u, 0xffffffffu, 0x7f800001u})
        EXPECT_EQ(text(floatFromBits(bits), floatTraceDigits), "nan") << std::hex << bits;
    EXPECT_EQ(text(-std::numeric_limits<double>::quiet_NaN(), doubleTraceDigits), "nan");
}

TEST(TraceFormatTest, FiniteValuesAndInfinitiesAsPrintfWritesThem) {
    const struct {
        double value;
        int digits;
        const char* expected;
    } cases[] = {
        {0.1f, 9, "0.100000001"},  // the float nearest 0.1 is 0.100000001490116...
        {0.1, 17, "0.10000000000000001"},
        {-0.0, 9, "-0"},
        {1.5, 9, "1.5"},
        {-123456789.0f, 9, "-123456792"},  // a float has 24 bits: the nearest to -123456789
        {1e-7f, 9, "1.00000001e-07"},
        {std::numeric_limits<float>::max(), 9, "3.40282347e+38"},
        {std::numeric_limits<double>::infinity(), 17, "inf"},
        {-std::numeric_limits<double>::infinity(), 9, "-inf"},
    };
    for (const auto& c : cases) EXPECT_EQ(text(c.value, c.digits), c.expected) << c.expected;
}
