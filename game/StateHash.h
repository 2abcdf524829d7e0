#pragma once

#include <cstdint>
#include <cstring>

#include "game/Fnv1a.h"
#include "game/Game.h"
#include "softbody/SoftBody.h"

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
        hash = fnv1aWord(hash, bits);
    };
    for (const Mass& m : body.masses) {
        for (int k = 0; k < 3; ++k) add(m.position[k]);
        for (int k = 0; k < 3; ++k) add(m.velocity[k]);
    }
    return hash;
}

/// The state hash of the game: its World's, or the offset basis while no World stands.
inline std::uint64_t stateHash(const Game& game) {
    return game.currentWorld ? stateHash(*game.currentWorld) : fnvOffsetBasis;
}
