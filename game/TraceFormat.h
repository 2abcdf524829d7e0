#pragma once

#include <cinttypes>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "game/StateHash.h"
#include "world/World.h"

constexpr int floatTraceDigits = 9;    // significant digits that tell every float from its neighbours
constexpr int doubleTraceDigits = 17;  // the same for a double

/// A number as a trace writes it: printf's "%.*g" for a finite value; "nan" for every NaN, whatever
/// its sign and payload, and "inf" or "-inf", on every platform. Holds its text; allocates nothing.
struct TraceNumber {
    TraceNumber(double value, int significantDigits) {
        if (std::isnan(value))
            std::snprintf(text, sizeof text, "nan");
        else if (std::isinf(value))
            std::snprintf(text, sizeof text, "%s", value < 0 ? "-inf" : "inf");
        else
            std::snprintf(text, sizeof text, "%.*g", significantDigits, value);
    }
    char text[32];  ///< long enough for "%.17g" of any double
};

/// Room for any trace row: 20 digits of idle, two ints, nine numbers of at most 24 characters, the
/// hash, the commas and the LF.
constexpr std::size_t traceRowCapacity = 320;

/// Formats one trace row into out (size chars, traceRowCapacity is enough) and returns its length:
/// idle call, tick, score, the centre mass's position and velocity, the bounding radius, both
/// flippers' swing angles and the state hash, ended by a bare LF. Allocates nothing.
inline int formatTraceRow(char* out, std::size_t size, long long idle, const World& world, int tick) {
    const Mass& c = world.masses[0];
    const float values[] = {c.position[0],
                            c.position[1],
                            c.position[2],
                            c.velocity[0],
                            c.velocity[1],
                            c.velocity[2],
                            world.leftFlipper.swingAngle,
                            world.rightFlipper.swingAngle};
    bool finite = std::isfinite(world.boundingRadius);
    for (float value : values) finite = finite && std::isfinite(value);
    if (finite) {
        // The usual row, at printf's own speed: a trace row per tick is part of most replays.
        return std::snprintf(out, size, "%lld,%d,%d,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.17g,%.9g,%.9g,%016" PRIx64 "\n",
                             idle, tick, world.score, values[0], values[1], values[2], values[3], values[4], values[5],
                             world.boundingRadius, values[6], values[7], stateHash(world));
    }
    auto f = [](float value) { return TraceNumber(value, floatTraceDigits); };
    return std::snprintf(out, size, "%lld,%d,%d,%s,%s,%s,%s,%s,%s,%s,%s,%s,%016" PRIx64 "\n", idle, tick, world.score,
                         f(values[0]).text, f(values[1]).text, f(values[2]).text, f(values[3]).text, f(values[4]).text,
                         f(values[5]).text, TraceNumber(world.boundingRadius, doubleTraceDigits).text,
                         f(values[6]).text, f(values[7]).text, stateHash(world));
}
