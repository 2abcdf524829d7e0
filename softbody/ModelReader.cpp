#include "softbody/ModelReader.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <locale>
#include <iostream>
#include <sstream>
#include <vector>

#include "softbody/SoftBody.h"

namespace {

// A model that cannot be read; carries the one-line reason.
struct ModelError {
    std::string reason;
};

// Stops the reading with the reason written out of its pieces: fail("no \"", keyword, "\" section").
template <typename... Pieces>
[[noreturn]] void fail(const Pieces&... pieces) {
    std::ostringstream text;
    (text << ... << pieces);
    throw ModelError{text.str()};
}

// A UTF-8 byte-order mark, which some editors put at the start of a text file.
constexpr unsigned char byteOrderMark[] = {0xEF, 0xBB, 0xBF};

// Reads words until one is exactly the keyword. A word is compared with the keyword byte by byte as
// it is read and never kept, so a word of any length (a file of zeros, a device) costs no memory.
// Whitespace is what the stream's own word extraction takes for it. With atFileStart, a byte-order
// mark in front of the first word is not part of it.
void findKeyword(std::istream& in, const char* keyword, bool atFileStart) {
    const std::size_t length = std::strlen(keyword);
    const auto& ctype = std::use_facet<std::ctype<char>>(in.getloc());
    std::streambuf* buffer = in.rdbuf();
    using Traits = std::char_traits<char>;
    auto isSpace = [&ctype](int c) { return ctype.is(std::ctype_base::space, Traits::to_char_type(c)); };
    if (!in.good() || buffer == nullptr) fail("no \"", keyword, "\" section");
    int c = buffer->sgetc();
    std::size_t markBytes = atFileStart ? 0 : sizeof byteOrderMark;  // bytes of the mark seen so far
    for (;;) {
        while (c != Traits::eof() && isSpace(c)) {
            markBytes = sizeof byteOrderMark;  // the mark counts only at the very first byte
            c = buffer->snextc();
        }
        if (c == Traits::eof()) {
            in.setstate(std::ios::eofbit | std::ios::failbit);
            fail("no \"", keyword, "\" section");
        }
        std::size_t matched = 0;  // bytes of the word so far, all equal to the keyword's if same
        bool same = true;
        for (; c != Traits::eof() && !isSpace(c); c = buffer->snextc()) {
            const unsigned char byte = static_cast<unsigned char>(Traits::to_char_type(c));
            if (markBytes < sizeof byteOrderMark) {
                if (byte == byteOrderMark[markBytes]) {
                    ++markBytes;
                    continue;
                }
                if (markBytes > 0) same = false;  // the start of a mark, but not a whole one
                markBytes = sizeof byteOrderMark;
            }
            same = same && matched < length && byte == static_cast<unsigned char>(keyword[matched]);
            ++matched;
        }
        markBytes = sizeof byteOrderMark;
        if (same && matched == length) return;
    }
}

long long readCount(std::istream& in, const char* section) {
    long long count = 0;
    if (!(in >> count)) {
        // Digits too many for a long long fail the extraction and leave its limit behind.
        if (count == LLONG_MAX) fail(section, ": the count is more than ", maxModelCount);
        if (count == LLONG_MIN) fail(section, ": the count is negative");
        fail(section, ": the count is missing or not a number");
    }
    if (count < 0) fail(section, ": negative count ", count);
    if (count > maxModelCount) fail(section, ": count ", count, " is more than ", maxModelCount);
    return count;
}

// One record's mass numbers, checked against the n masses of the file.
template <int Size>
void readMassNumbers(std::istream& in, const char* section, long long record, long long count, long long n,
                     long long (&numbers)[Size]) {
    for (long long& number : numbers) {
        if (!(in >> number)) {
            if (number == LLONG_MAX || number == LLONG_MIN)
                fail(section, ": record ", record + 1, " of ", count, " names a mass number too large to read");
            fail(section, ": record ", record + 1, " of ", count, " is missing or not a number");
        }
        if (number < 0 || number >= n)
            fail(section, ": record ", record + 1, " of ", count, " names mass ", number, ", but there are ", n,
                 " masses");
    }
}

void read(std::istream& in, SoftBody& body) {
    findKeyword(in, "Masses", true);
    const long long n = readCount(in, "Masses");
    if (n == 0) fail("Masses: a ball needs at least one mass");
    // Positions are gathered first, so a file that declares more masses than it holds costs no
    // more memory than it is long.
    std::vector<Mass> masses;
    masses.emplace_back();
    for (long long i = 0; i < n; ++i) {
        Mass m;
        if (!(in >> m)) {
            // A coordinate beyond float range fails the extraction and leaves the largest float behind.
            for (int k = 0; k < m.position.dimension(); ++k)
                if (std::fabs(m.position[k]) == FLT_MAX)
                    fail("Masses: record ", i + 1, " of ", n, " has a coordinate beyond float range");
            fail("Masses: record ", i + 1, " of ", n, " is missing or not a number");
        }
        masses.push_back(std::move(m));
    }
    // The centre mass sits at the mean of the file's masses; the running sum is kept in float.
    Mass& centre = masses[0];
    for (long long i = 1; i <= n; ++i) {
        masses[i].index = int(i);
        centre.position += masses[i].position;
    }
    centre.position /= double(n);
    body.masses = std::move(masses);  // sized once: springs and faces may now point into it
    std::cerr << n << " masses read.\n" << std::flush;
    body.updateBounds();
    // Coordinates that are each a float can still sum, or lie apart, beyond float range; such a
    // ball would turn to infinities and NaN in its first tick.
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(body.masses[0].position[k])) fail("Masses: the masses' mean is beyond float range");
    if (!std::isfinite(body.boundingRadius) || !std::isfinite(float(2.0 * body.boundingRadius)))
        fail("Masses: the masses lie too far apart for float range");

    findKeyword(in, "Springs", false);
    const long long m = readCount(in, "Springs");
    std::vector<Spring> springs;
    for (long long k = 0; k < m; ++k) {
        long long ends[2];
        readMassNumbers(in, "Springs", k, m, n, ends);
        Spring s;
        s.massA = &body.masses[ends[0] + 1];
        s.massB = &body.masses[ends[1] + 1];
        s.computeRestLength();
        springs.push_back(s);
    }
    std::cerr << m << " springs read.\n" << std::flush;
    // Every second mass, starting with the first, is tied to the centre.
    for (long long place = 1; place <= n; place += 2) {
        Spring s;
        s.massA = &body.masses[0];
        s.massB = &body.masses[place];
        s.computeRestLength();
        springs.push_back(s);
    }

    findKeyword(in, "Faces", false);
    const long long f = readCount(in, "Faces");
    std::vector<Face> faces;
    for (long long k = 0; k < f; ++k) {
        long long corners[3];
        readMassNumbers(in, "Faces", k, f, n, corners);
        faces.push_back(Face{&body.masses[corners[0] + 1], &body.masses[corners[1] + 1], &body.masses[corners[2] + 1]});
    }
    std::cerr << f << " faces read.\n" << std::flush;
    body.springs = std::move(springs);
    body.faces = std::move(faces);
}

}  // namespace

std::string readModel(std::istream& in, SoftBody& body) {
    std::cout << "Read in \n" << std::flush;
    try {
        read(in, body);
        return {};
    } catch (const ModelError& error) {
        body.masses.clear();
        body.springs.clear();
        body.faces.clear();
        body.updateBounds();
        in.setstate(std::ios::failbit);
        return error.reason;
    }
}

std::istream& operator>>(std::istream& in, SoftBody& body) {
    // A stream reader says a failure through the stream's state, which readModel has set.
    static_cast<void>(readModel(in, body));
    return in;
}

std::istream& operator>>(std::istream& in, Mass& mass) {
    for (int k = 0; k < mass.position.dimension(); ++k) in >> mass.position[k];
    return in;
}
