// Feeds arbitrary bytes to the model reader and checks its promise: a ball is either read whole,
// with every spring and face pointing into its masses, or refused with a reason and left empty.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "softbody/ModelReader.h"
#include "softbody/SoftBody.h"

namespace {

// Swallows the reader's progress lines, which would otherwise drown the fuzzer's own report.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "model reader broke its promise: %s\n", what);
    std::abort();
}

bool pointsIntoMasses(const SoftBody& body, const Mass* m) {
    const Mass* first = body.masses.data();
    return m >= first && m < first + body.masses.size();
}

bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameVector(const Vector& a, const Vector& b) {
    if (a.dimension() != b.dimension()) return false;
    for (int k = 0; k < a.dimension(); ++k)
        if (!sameFloat(a[k], b[k])) return false;
    return true;
}

void checkRefused(const std::string& reason, const std::istream& in, const SoftBody& body) {
    check(reason.find('\n') == std::string::npos, "the reason is more than one line");
    check(in.fail(), "a refused model leaves the stream good");
    check(body.masses.empty() && body.springs.empty() && body.faces.empty(), "a refused model left parts behind");
    check(body.boundingRadius == 0.0, "a refused model kept its bounds");
}

void checkRead(const std::istream& in, const SoftBody& body) {
    check(!in.fail(), "a model read whole leaves the stream failed");
    const std::size_t size = body.masses.size();
    check(size >= 2, "a model read whole has no file masses");
    for (std::size_t i = 0; i < size; ++i) check(body.masses[i].index == int(i), "a mass's index is not its place");

    // The springs end with one centre spring for every second file mass.
    const std::size_t n = size - 1;
    const std::size_t centreSprings = (n + 1) / 2;
    check(body.springs.size() >= centreSprings, "centre springs are missing");
    const std::size_t fileSprings = body.springs.size() - centreSprings;
    for (std::size_t k = 0; k < centreSprings; ++k) {
        const Spring& s = body.springs[fileSprings + k];
        check(s.massA == &body.masses[0] && s.massB == &body.masses[1 + 2 * k], "a centre spring is misplaced");
    }
    for (std::size_t k = 0; k < body.springs.size(); ++k) {
        const Spring& s = body.springs[k];
        check(pointsIntoMasses(body, s.massA) && pointsIntoMasses(body, s.massB), "a spring points outside masses");
        check(k >= fileSprings || (s.massA != &body.masses[0] && s.massB != &body.masses[0]),
              "a file spring names the centre mass");
        Spring fresh = s;
        fresh.computeRestLength();
        check(sameFloat(fresh.restLength, s.restLength), "a spring's rest length is not its length");
    }
    for (const Face& f : body.faces)
        check(pointsIntoMasses(body, f.massA) && pointsIntoMasses(body, f.massB) && pointsIntoMasses(body, f.massC) &&
                  f.massA != &body.masses[0] && f.massB != &body.masses[0] && f.massC != &body.masses[0],
              "a face points outside the file's masses");

    SoftBody bounds;
    bounds.masses = body.masses;
    bounds.updateBounds();
    check(sameVector(bounds.boxMin, body.boxMin) && sameVector(bounds.boxMax, body.boxMax) &&
              (bounds.boundingRadius == body.boundingRadius ||
               (std::isnan(bounds.boundingRadius) && std::isnan(body.boundingRadius))),
          "the bounds are stale");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static NullBuffer nowhere;
    std::cout.rdbuf(&nowhere);
    std::cerr.rdbuf(&nowhere);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    SoftBody body;
    const std::string reason = readModel(in, body);
    if (reason.empty())
        checkRead(in, body);
    else
        checkRefused(reason, in, body);
    return 0;
}
