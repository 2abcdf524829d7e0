#include "game/TraceFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "support/Worlds.h"

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

namespace {

/// The row formatTraceRow makes for the world, checked to fit its buffer.
std::string row(const World& world, long long idle = 7, int tick = 8) {
    char text[traceRowCapacity];
    const int length = formatTraceRow(text, sizeof text, idle, world, tick);
    EXPECT_GT(length, 0);
    EXPECT_LT(std::size_t(length), sizeof text);
    return std::string(text, std::size_t(length));
}

}  // namespace

TEST(TraceFormatTest, RowsWriteEveryNanAsNanAndEndInOneLf) {
    auto world = worldFromText("Masses 2 0 0 0 2 0 0 Springs 1 0 1 Faces 0");
    Mass& centre = world->masses[0];
    centre.position[0] = floatFromBits(0xffc00000u);  // the NaN x86 makes: sign bit set
    centre.position[1] = 1.5f;
    centre.position[2] = 0.1f;
    centre.velocity[0] = floatFromBits(0x7fc00001u);
    centre.velocity[1] = -2.0f;
    centre.velocity[2] = 0.0f;
    world->boundingRadius = 0.25;
    world->leftFlipper.swingAngle = 0.0f;
    world->rightFlipper.swingAngle = 30.0f;
    const std::string withNan = row(*world);
    const std::string prefix = "7,8,0,nan,1.5,0.100000001,nan,-2,0,0.25,0,30,";
    EXPECT_EQ(withNan.substr(0, prefix.size()), prefix);
    EXPECT_EQ(withNan.size(), prefix.size() + 16 + 1) << withNan;  // 16 hex digits of hash, then LF
    EXPECT_EQ(withNan.back(), '\n');

    // The same state with finite values: printf's digits, the same layout.
    centre.position[0] = -3.0f;
    centre.velocity[0] = 1e-7f;
    world->boundingRadius = 0.1;
    const std::string finite = row(*world);
    const std::string finitePrefix = "7,8,0,-3,1.5,0.100000001,1.00000001e-07,-2,0,0.10000000000000001,0,30,";
    EXPECT_EQ(finite.substr(0, finitePrefix.size()), finitePrefix);
    EXPECT_EQ(finite.size(), finitePrefix.size() + 16 + 1) << finite;

    // An infinite radius takes the other path, with the same hash as before.
    world->boundingRadius = std::numeric_limits<double>::infinity();
    const std::string infinite = row(*world);
    EXPECT_EQ(infinite, "7,8,0,-3,1.5,0.100000001,1.00000001e-07,-2,0,inf,0,30," + finite.substr(finitePrefix.size()));
}

TEST(TraceFormatTest, TheLongestRowFitsItsBuffer) {
    auto world = worldFromText("Masses 2 0 0 0 2 0 0 Springs 1 0 1 Faces 0");
    const float widest = -std::numeric_limits<float>::max();  // "-3.40282347e+38", 15 characters
    for (int k = 0; k < 3; ++k) {
        world->masses[0].position[k] = widest;
        world->masses[0].velocity[k] = widest;
    }
    world->leftFlipper.swingAngle = widest;
    world->rightFlipper.swingAngle = widest;
    world->boundingRadius = -std::numeric_limits<double>::max();  // "-1.7976931348623157e+308", 24
    world->score = std::numeric_limits<int>::min();
    // 20 + 11 + 11 digits, eight floats of 15, the radius, 16 hex digits, 12 commas and the LF.
    const std::string longest = row(*world, std::numeric_limits<long long>::min(), std::numeric_limits<int>::min());
    EXPECT_EQ(longest.size(), std::size_t(20 + 11 + 11 + 8 * 15 + 24 + 16 + 12 + 1));
    EXPECT_EQ(longest.substr(0, 64), "-9223372036854775808,-2147483648,-2147483648,-3.40282347e+38,-3.");
}
