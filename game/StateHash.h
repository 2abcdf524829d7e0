#pragma once

#include <cstdint>
#include <cstring>

#include "softbody/SoftBody.h"

constexpr std::uint64_t fnvOffsetBasis = 0xcbf29ce484222325ull;
constexpr std::uint64_t fnvPrime = 0x100000001b3ull;
/// The one NaN the hash sees: machines differ in the sign and payload of the NaNs they make.
constexpr std::uint32_t canonicalNanBits = 0x7fc00000u;

/// FNV-1a 64 over the bit patterns of every mass's position then velocity, 4 little-endian bytes a
/// float; every NaN enters as the quiet NaN canonicalNanBits.
inline std::uint64_t stateHash(const SoftBody& body) {
    constexpr std::uint32_t magnitudeMask = 0x7fffffffu;
    constexpr std::uint32_t infinityBits = 0x7f800000u;
    std::uint64_t hash = fnvOffsetBasis;
    auto add = [&hash](float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        if ((bits & magnitudeMask) > infinityBits) bits = canonicalNanBits;
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (bits >> (8 * byte)) & 0xffu;
            hash *= fnvPrime;
        }
    };
    for (const Mass& m : body.masses) {
        for (int k = 0; k < 3; ++k) add(m.position[k]);
        for (int k = 0; k < 3; ++k) add(m.velocity[k]);
    }
    return hash;
}
