#include "game/StateHash.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

float fromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

/// A body of one mass whose position and velocity components have the given bit patterns.
SoftBody oneMass(const std::array<std::uint32_t, 6>& bits) {
    SoftBody body;
    body.masses.resize(1);
    for (int k = 0; k < 3; ++k) {
        body.masses[0].position[k] = fromBits(bits[k]);
        body.masses[0].velocity[k] = fromBits(bits[3 + k]);
    }
    return body;
}

}  // namespace

// The expected hashes are FNV-1a 64 worked out apart from the game: offset basis 0xcbf29ce484222325,
// then for each of the 24 bytes (6 floats, little-endian) hash ^= byte, hash *= 0x100000001b3 mod 2^64.
TEST(StateHashTest, EveryNanIsHashedAsTheCanonicalQuietNan) {
    // Six times the bytes 00 00 c0 7f.
    constexpr std::uint64_t sixCanonicalNans = 0x974893680a444e15ull;
    const struct {
        const char* name;
        std::array<std::uint32_t, 6> bits;
    } cases[] = {
        {"canonical", {0x7fc00000, 0x7fc00000, 0x7fc00000, 0x7fc00000, 0x7fc00000, 0x7fc00000}},
        {"x86 default NaN (negative)", {0xffc00000, 0xffc00000, 0xffc00000, 0xffc00000, 0xffc00000, 0xffc00000}},
        {"payloads and signs", {0x7fc00001, 0xffffffff, 0x7fffffff, 0xffc12345, 0x7fe00000, 0xffc00000}},
        {"signalling", {0x7f800001, 0xff800001, 0x7fbfffff, 0xffbfffff, 0x7f800002, 0x7fa00000}},
    };
    for (const auto& c : cases) EXPECT_EQ(stateHash(oneMass(c.bits)), sixCanonicalNans) << c.name;
}

TEST(StateHashTest, FiniteValuesAndInfinitiesKeepTheirBits) {
    // 1.0f, -0.0f, +inf, -inf, the smallest subnormal and the largest float.
    EXPECT_EQ(stateHash(oneMass({0x3f800000, 0x80000000, 0x7f800000, 0xff800000, 0x00000001, 0x7f7fffff})),
              0x0db8a8ef7106de45ull);
    // The same with NaNs of three kinds in place of -0.0f, +inf and -inf.
    EXPECT_EQ(stateHash(oneMass({0x3f800000, 0xffc00000, 0x7f800001, 0x7fffffff, 0x00000001, 0x7f7fffff})),
              0x97e773acd5291ba0ull);
    EXPECT_NE(stateHash(oneMass({0, 0, 0, 0, 0, 0})), stateHash(oneMass({0x80000000, 0, 0, 0, 0, 0})));
}

TEST(StateHashTest, EmptyBodyHashesToTheOffsetBasis) { EXPECT_EQ(stateHash(SoftBody{}), 0xcbf29ce484222325ull); }

TEST(StateHashTest, AGameWithoutAWorldHashesToTheOffsetBasis) {
    Game game;
    EXPECT_EQ(stateHash(game), 0xcbf29ce484222325ull);
    const std::string model = std::string(FLIPPER_ASSETS) + "/sphere.iv";
    game.modelFileName = model.c_str();
    game.restartRequested = true;
    game.idle();
    ASSERT_TRUE(game.currentWorld);
    EXPECT_EQ(stateHash(game), stateHash(static_cast<const SoftBody&>(*game.currentWorld)));
    EXPECT_NE(stateHash(game), 0xcbf29ce484222325ull);
}

TEST(StateHashTest, Fnv1a64OfBytesGivesThePublishedVectors) {
    EXPECT_EQ(fnv1a64(""), 0xcbf29ce484222325ull);
    EXPECT_EQ(fnv1a64("a"), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(fnv1a64("foobar"), 0x85944171f73967e8ull);
}
