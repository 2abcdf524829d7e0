#include "softbody/ModelReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "softbody/SoftBody.h"
#include "support/Capture.h"
#include "support/Files.h"

using namespace std::string_literals;

namespace {

struct Outcome {
    std::string reason;
    std::string out;      ///< what went to standard output
    std::string err;      ///< what went to standard error
    bool failed = false;  ///< the stream's fail() afterwards
};

Outcome readFrom(std::istream& in, SoftBody& body) {
    Capture out(std::cout);
    Capture err(std::cerr);
    Outcome outcome;
    outcome.reason = readModel(in, body);
    outcome.failed = in.fail();
    outcome.out = out.text();
    outcome.err = err.text();
    return outcome;
}

Outcome readFrom(const std::string& text, SoftBody& body) {
    std::istringstream in(text);
    return readFrom(in, body);
}

std::string gameBall() { return readFile(std::string(FLIPPER_ASSETS) + "/sphere.iv"); }

long placeOf(const SoftBody& body, const Mass* m) { return long(m - body.masses.data()); }

// The body as one text: every position to the bit, then the places in masses that each spring
// and face points at. Two reads that give the same text built the same ball.
std::string describe(const SoftBody& body) {
    std::ostringstream text;
    text << std::hexfloat;
    for (const Mass& m : body.masses)
        text << m.index << ':' << m.position[0] << ',' << m.position[1] << ',' << m.position[2] << ' ';
    for (const Spring& s : body.springs)
        text << "s" << placeOf(body, s.massA) << '-' << placeOf(body, s.massB) << '=' << s.restLength << ' ';
    for (const Face& f : body.faces)
        text << "f" << placeOf(body, f.massA) << '-' << placeOf(body, f.massB) << '-' << placeOf(body, f.massC) << ' ';
    return text.str();
}

// A model of n masses along the x axis at 0, 1, 2, ..., with the given springs and no faces.
std::string massesOnALine(int n, const std::string& springs = "Springs 0") {
    std::string text = "Masses " + std::to_string(n);
    for (int i = 0; i < n; ++i) text += " " + std::to_string(i) + " 0 0";
    return text + " " + springs + " Faces 0";
}

// A stream buffer that hands out its text one character at a time and notes what standard
// output held when it was first asked for a character.
class WatchedText : public std::streambuf {
public:
    WatchedText(std::string text, const Capture& out) : text_(std::move(text)), out_(out) {}
    std::string outputAtFirstRead;
    bool read = false;

protected:
    int_type underflow() override {
        if (!read) outputAtFirstRead = out_.text();
        read = true;
        if (next_ == text_.size()) return traits_type::eof();
        current_ = text_[next_++];
        setg(&current_, &current_, &current_ + 1);
        return traits_type::to_int_type(current_);
    }

private:
    std::string text_;
    std::size_t next_ = 0;
    char current_ = 0;
    const Capture& out_;
};

}  // namespace

TEST(ModelReaderTest, ReadsTwoMassesWithCentreMassAndCentreSpring) {
    SoftBody body;
    std::istringstream in("Masses 2  0 0 0  2 0 0  Springs 1  0 1  Faces 1  0 1 0  after");
    const Outcome outcome = readFrom(in, body);

    EXPECT_EQ(outcome.reason, "");
    EXPECT_FALSE(outcome.failed);
    ASSERT_EQ(body.masses.size(), 3u);
    const float positions[3][3] = {{1, 0, 0}, {0, 0, 0}, {2, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(body.masses[i].index, i);
        EXPECT_EQ(body.masses[i].mass, 10.0f);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(body.masses[i].position[k], positions[i][k]) << i << ' ' << k;
    }

    // The file's spring first, then the centre spring to place 1.
    ASSERT_EQ(body.springs.size(), 2u);
    EXPECT_EQ(body.springs[0].massA, &body.masses[1]);
    EXPECT_EQ(body.springs[0].massB, &body.masses[2]);
    EXPECT_EQ(body.springs[0].restLength, 2.0f);
    EXPECT_EQ(body.springs[1].massA, &body.masses[0]);
    EXPECT_EQ(body.springs[1].massB, &body.masses[1]);
    EXPECT_EQ(body.springs[1].restLength, 1.0f);
    for (const Spring& s : body.springs) {
        EXPECT_EQ(s.stiffness, 2700.0f);
        EXPECT_EQ(s.damping, 30.0f);
    }

    ASSERT_EQ(body.faces.size(), 1u);
    EXPECT_EQ(body.faces[0].massA, &body.masses[1]);
    EXPECT_EQ(body.faces[0].massB, &body.masses[2]);
    EXPECT_EQ(body.faces[0].massC, &body.masses[1]);

    // Bounds are offsets from the centre mass.
    EXPECT_EQ(body.boxMin[0], -1.0f);
    EXPECT_EQ(body.boxMax[0], 1.0f);
    EXPECT_EQ(body.boundingRadius, 1.0);

    // The stream stops right after the last face.
    std::string next;
    in >> next;
    EXPECT_EQ(next, "after");
}

TEST(ModelReaderTest, CentreMassIsMeanOfRunningFloatSum) {
    // 2^24 + 1 rounds back to 2^24 in float, so the running sum loses both ones: the centre is
    // 2^24 / 3 rounded, not the exact mean (2^24 + 2) / 3.
    SoftBody body;
    ASSERT_EQ(readFrom("Masses 3  16777216 0 0  1 0 0  1 0 0  Springs 0 Faces 0", body).reason, "");
    EXPECT_EQ(body.masses[0].position[0], float(16777216.0 / 3.0));
    EXPECT_NE(body.masses[0].position[0], float((16777216.0 + 2.0) / 3.0));
}

TEST(ModelReaderTest, CentreSpringsTieEverySecondMassAfterFileSprings) {
    const struct {
        int n;
        std::vector<long> places;
    } cases[] = {{1, {1}}, {2, {1}}, {4, {1, 3}}, {5, {1, 3, 5}}, {6, {1, 3, 5}}};
    for (const auto& c : cases) {
        SoftBody body;
        ASSERT_EQ(readFrom(massesOnALine(c.n, "Springs 1 0 0"), body).reason, "") << c.n;
        ASSERT_EQ(body.springs.size(), 1 + c.places.size()) << c.n;
        // A file spring may tie a mass to itself; it is read, with rest length 0.
        EXPECT_EQ(placeOf(body, body.springs[0].massB), 1) << c.n;
        EXPECT_EQ(body.springs[0].restLength, 0.0f) << c.n;
        for (std::size_t k = 0; k < c.places.size(); ++k) {
            const Spring& s = body.springs[1 + k];
            EXPECT_EQ(placeOf(body, s.massA), 0) << c.n;
            EXPECT_EQ(placeOf(body, s.massB), c.places[k]) << c.n;
            // On a line at 0, 1, ..., n - 1 the centre sits at (n - 1) / 2.
            EXPECT_EQ(s.restLength, std::abs(float(c.places[k] - 1) - float(c.n - 1) / 2.0f)) << c.n;
        }
    }
}

TEST(ModelReaderTest, FileNumbersNameTheMassOneFurtherOn) {
    SoftBody body;
    ASSERT_EQ(readFrom("Masses 3  0 0 0  3 4 0  0 0 12  Springs 2  0 1  2 1  Faces 2  2 0 1  1 1 0", body).reason,
              "");
    ASSERT_EQ(body.springs.size(), 2u + 2u);
    EXPECT_EQ(placeOf(body, body.springs[0].massA), 1);
    EXPECT_EQ(placeOf(body, body.springs[0].massB), 2);
    EXPECT_EQ(body.springs[0].restLength, 5.0f);
    EXPECT_EQ(placeOf(body, body.springs[1].massA), 3);
    EXPECT_EQ(placeOf(body, body.springs[1].massB), 2);
    EXPECT_EQ(body.springs[1].restLength, float(std::sqrt(9.0 + 16.0 + 144.0)));

    const long corners[2][3] = {{3, 1, 2}, {2, 2, 1}};
    ASSERT_EQ(body.faces.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(placeOf(body, body.faces[k].massA), corners[k][0]) << k;
        EXPECT_EQ(placeOf(body, body.faces[k].massB), corners[k][1]) << k;
        EXPECT_EQ(placeOf(body, body.faces[k].massC), corners[k][2]) << k;
    }
}

TEST(ModelReaderTest, SkipsEveryWordBeforeEachKeyword) {
    SoftBody plain;
    ASSERT_EQ(readFrom("Masses 2 0 0 0 2 0 0 Springs 1 0 1 Faces 1 0 1 0", plain).reason, "");
    const std::string expected = describe(plain);

    const std::string layouts[] = {
        // Line ends, tabs and carriage returns are all just whitespace.
        "Masses\n2\n0 0 0\n2 0 0\nSprings\n1\n0 1\nFaces\n1\n0 1 0\n",
        "Masses 2\r\n0\t0\t0\r\n2 0 0\r\nSprings 1\r\n0 1\r\nFaces 1\r\n0 1 0\r\n",
        // Headers, comments and stray numbers before and between the sections.
        "#Inventor V2.1 ascii\n# ball, 2 masses\nMasses 2 0 0 0 2 0 0\n"
        "7 7 7 # springs follow\nSprings 1 0 1\n-1 x Faces 1 0 1 0",
        // Near misses of a keyword are words like any other.
        "masses 9 MASSES Masses: 8 #Masses Masses 2 0 0 0 2 0 0 "
        "springs Springs: 5 Springs 1 0 1 faces Faces. 3 Faces 1 0 1 0",
        // The previous keyword is skipped when looking for the next one.
        "Masses 2 0 0 0 2 0 0 Masses Springs 1 0 1 Springs Masses Faces 1 0 1 0",
        // A word of a megabyte is skipped whole.
        std::string(1 << 20, 'M') + " Masses 2 0 0 0 2 0 0 Springs 1 0 1 Faces 1 0 1 0",
    };
    for (const std::string& layout : layouts) {
        SoftBody body;
        const Outcome outcome = readFrom(layout, body);
        EXPECT_EQ(outcome.reason, "") << layout.substr(0, 60);
        EXPECT_EQ(describe(body), expected) << layout.substr(0, 60);
    }
}

TEST(ModelReaderTest, WritesReadInBeforeReadingAndCountsAfterEachSection) {
    {
        SoftBody body;
        Capture out(std::cout);
        Capture err(std::cerr);
        WatchedText text("Masses 2 0 0 0 2 0 0 Springs 1 0 1 Faces 1 0 1 0", out);
        std::istream in(&text);
        EXPECT_EQ(readModel(in, body), "");
        EXPECT_EQ(text.outputAtFirstRead, "Read in \n");
        EXPECT_EQ(out.text(), "Read in \n");
        EXPECT_EQ(err.text(), "2 masses read.\n1 springs read.\n1 faces read.\n");
    }
    // A model refused in its faces still reported the two sections before.
    SoftBody body;
    const Outcome outcome = readFrom("Masses 2 0 0 0 2 0 0 Springs 0 Faces 1 0 1", body);
    EXPECT_EQ(outcome.out, "Read in \n");
    EXPECT_EQ(outcome.err, "2 masses read.\n0 springs read.\n");
}

TEST(ModelReaderTest, MassExtractionReadsOnlyThePosition) {
    Mass m;
    m.mass = 3.0f;
    m.index = 7;
    m.velocity[1] = 4.0f;
    std::istringstream in("1.5 -2 3e2 9");
    in >> m;
    EXPECT_EQ(m.position[0], 1.5f);
    EXPECT_EQ(m.position[1], -2.0f);
    EXPECT_EQ(m.position[2], 300.0f);
    EXPECT_EQ(m.mass, 3.0f);
    EXPECT_EQ(m.index, 7);
    EXPECT_EQ(m.velocity[1], 4.0f);
    int rest = 0;
    in >> rest;
    EXPECT_EQ(rest, 9);
}

TEST(ModelReaderTest, ReadsTheGameBall) {
    SoftBody body;
    const Outcome outcome = readFrom(gameBall(), body);
    ASSERT_EQ(outcome.reason, "");
    EXPECT_EQ(outcome.err, "42 masses read.\n120 springs read.\n80 faces read.\n");
    ASSERT_EQ(body.masses.size(), 43u);
    EXPECT_EQ(body.springs.size(), 120u + 21u);
    EXPECT_EQ(body.faces.size(), 80u);
    for (int i = 0; i < 43; ++i) EXPECT_EQ(body.masses[i].index, i);
    // Every vertex lies on the unit sphere around the origin.
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(body.masses[0].position[k], 0.0f, 1e-6f);
    EXPECT_NEAR(body.boundingRadius, std::sqrt(3.0), 1e-5);
}

TEST(ModelReaderTest, RefusesBrokenModelsWholeWithAReason) {
    const std::string twoMasses = "Masses 2 0 0 0 2 0 0 ";
    const std::string oneSpring = twoMasses + "Springs 1 0 1 ";
    const std::string megaWord(1 << 20, 'w');
    const std::string megaDigits(1 << 20, '9');
    const struct {
        std::string model;
        std::string reason;
    } cases[] = {
        {"", "no \"Masses\" section"},
        {"#Inventor V2.1 ascii\nmasses 2", "no \"Masses\" section"},
        {"Masses", "Masses: the count is missing or not a number"},
        {"Masses two", "Masses: the count is missing or not a number"},
        {"Masses " + megaWord, "Masses: the count is missing or not a number"},
        {"Masses -1", "Masses: negative count -1"},
        {"Masses 0 Springs 0 Faces 0", "Masses: a ball needs at least one mass"},
        {"Masses 1000001", "Masses: count 1000001 is more than 1000000"},
        {"Masses 999999999", "Masses: count 999999999 is more than 1000000"},
        {"Masses 99999999999999999999", "Masses: the count is more than 1000000"},
        {"Masses " + megaDigits, "Masses: the count is more than 1000000"},
        {"Masses -99999999999999999999", "Masses: the count is negative"},
        {"Masses 1000000 0 0 0", "Masses: record 2 of 1000000 is missing or not a number"},
        {"Masses 2 0 0 0 2 0", "Masses: record 2 of 2 is missing or not a number"},
        {"Masses 2 0 0 0 2 x 0", "Masses: record 2 of 2 is missing or not a number"},
        {"Masses 1 0 nan 0", "Masses: record 1 of 1 is missing or not a number"},
        {"Masses 1 0 1e39 0", "Masses: record 1 of 1 has a coordinate beyond float range"},
        {"Masses 1 -1e39 0 0", "Masses: record 1 of 1 has a coordinate beyond float range"},
        {"Masses 2 3e38 0 0 3e38 0 0", "Masses: the masses' mean is beyond float range"},
        {"Masses 2 3e38 0 0 -3e38 0 0", "Masses: the masses lie too far apart for float range"},
        {"Masses 3 2e38 0 0 -2e38 0 0 0 0 0", "Masses: the masses lie too far apart for float range"},
        {twoMasses, "no \"Springs\" section"},
        {twoMasses + "Springs", "Springs: the count is missing or not a number"},
        {twoMasses + "Springs -3", "Springs: negative count -3"},
        {twoMasses + "Springs 2000000", "Springs: count 2000000 is more than 1000000"},
        {twoMasses + "Springs 2 0 1 1", "Springs: record 2 of 2 is missing or not a number"},
        {twoMasses + "Springs 1 0 one", "Springs: record 1 of 1 is missing or not a number"},
        {twoMasses + "Springs 1 0 2", "Springs: record 1 of 1 names mass 2, but there are 2 masses"},
        {twoMasses + "Springs 1 -1 0", "Springs: record 1 of 1 names mass -1, but there are 2 masses"},
        {twoMasses + "Springs 1 0 99999999999999999999", "Springs: record 1 of 1 names a mass number too large to read"},
        {oneSpring, "no \"Faces\" section"},
        {oneSpring + "Faces", "Faces: the count is missing or not a number"},
        {oneSpring + "Faces -1", "Faces: negative count -1"},
        {oneSpring + "Faces 1000001", "Faces: count 1000001 is more than 1000000"},
        {oneSpring + "Faces 2 0 1 0 1 1", "Faces: record 2 of 2 is missing or not a number"},
        {oneSpring + "Faces 1 0 1 3", "Faces: record 1 of 1 names mass 3, but there are 2 masses"},
        {oneSpring + "Faces 1 0 -5 1", "Faces: record 1 of 1 names mass -5, but there are 2 masses"},
        {oneSpring + "Faces 1 0 1 -99999999999999999999", "Faces: record 1 of 1 names a mass number too large to read"},
        // Binary junk: NUL bytes and high bytes are word characters like any other.
        {"\x7f" "ELF\x02\x01\x01\0\0\0\0\xff\xfe"s, "no \"Masses\" section"},
        {"Masses 2 \0\x01\x02\x89PNG\r\n\x1a"s, "Masses: record 1 of 2 is missing or not a number"},
    };
    for (const auto& c : cases) {
        const std::string shown = c.model.substr(0, 60);
        SoftBody body;
        const Outcome outcome = readFrom(c.model, body);
        EXPECT_EQ(outcome.reason, c.reason) << shown;
        EXPECT_TRUE(outcome.failed) << shown;
        EXPECT_TRUE(body.masses.empty()) << shown;
        EXPECT_TRUE(body.springs.empty()) << shown;
        EXPECT_TRUE(body.faces.empty()) << shown;
        EXPECT_EQ(body.boundingRadius, 0.0) << shown;
    }
}

TEST(ModelReaderTest, RefusesAMissingFile) {
    std::ifstream in(std::string(FLIPPER_TEST_DATA) + "/models/no-such-model.iv");
    SoftBody body;
    const Outcome outcome = readFrom(in, body);
    EXPECT_EQ(outcome.reason, "no \"Masses\" section");
    EXPECT_EQ(outcome.out, "Read in \n");
    EXPECT_TRUE(body.masses.empty());
}

TEST(ModelReaderTest, NamesTheBadRecordOfTheGameBall) {
    // The seventh spring of the game's ball, made to point at a mass it does not have.
    std::istringstream lines(gameBall());
    std::string text, line;
    int spring = -1;  // records read since the "Springs" line
    while (std::getline(lines, line)) {
        if (spring >= 0 && ++spring == 7) line = line.substr(0, line.find(' ')) + " 55";
        if (line == "Springs 120") spring = 0;
        text += line + '\n';
    }
    ASSERT_GE(spring, 7);

    SoftBody body;
    EXPECT_EQ(readFrom(text, body).reason, "Springs: record 7 of 120 names mass 55, but there are 42 masses");
    EXPECT_TRUE(body.masses.empty());
}
