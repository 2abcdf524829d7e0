#pragma once

#include <cstdint>
#include <string>

/// FNV-1a, 64 bits: the one hash of the game's files and states. A hash starts at fnvOffsetBasis;
/// each byte is xored in, then the hash is multiplied by fnvPrime, modulo 2^64.
constexpr std::uint64_t fnvOffsetBasis = 0xcbf29ce484222325ull;
constexpr std::uint64_t fnvPrime = 0x100000001b3ull;

/// hash with one more byte.
constexpr std::uint64_t fnv1aByte(std::uint64_t hash, unsigned char byte) { return (hash ^ byte) * fnvPrime; }

/// hash with the 4 bytes of word, least significant first.
constexpr std::uint64_t fnv1aWord(std::uint64_t hash, std::uint32_t word) {
    for (int byte = 0; byte < 4; ++byte) hash = fnv1aByte(hash, static_cast<unsigned char>(word >> (8 * byte)));
    return hash;
}

/// FNV-1a 64 over bytes.
inline std::uint64_t fnv1a64(const std::string& bytes) {
    std::uint64_t hash = fnvOffsetBasis;
    for (const char c : bytes) hash = fnv1aByte(hash, static_cast<unsigned char>(c));
    return hash;
}
