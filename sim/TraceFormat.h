#pragma once

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "sim/StateHash.h"
#include "world/World.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

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

/// Writes one trace row: idle call, tick, score, the centre mass's position and velocity, the
/// bounding radius, both flippers' swing angles and the state hash, ended by a bare LF.
inline void writeTraceRow(std::FILE* out, long long idle, const World& world, int tick) {
    const Mass& c = world.masses[0];
    auto f = [](float value) { return TraceNumber(value, floatTraceDigits); };
    std::fprintf(out, "%lld,%d,%d,%s,%s,%s,%s,%s,%s,%s,%s,%s,%016" PRIx64 "\n", idle, tick, world.score,
                 f(c.position[0]).text, f(c.position[1]).text, f(c.position[2]).text, f(c.velocity[0]).text,
                 f(c.velocity[1]).text, f(c.velocity[2]).text,
                 TraceNumber(world.boundingRadius, doubleTraceDigits).text, f(world.leftFlipper.swingAngle).text,
                 f(world.rightFlipper.swingAngle).text, stateHash(world));
}

/// Makes standard output and standard error write LF line ends on every OS: Windows opens them in
/// text mode, which turns each LF into CR LF.
inline void useLfLineEnds() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}
