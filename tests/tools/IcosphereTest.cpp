#include "tools/Icosphere.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

/// The model file as written, read back with plain stream extraction.
struct Model {
    std::vector<std::array<float, 3>> masses;
    std::vector<std::array<int, 2>> springs;
    std::vector<std::array<int, 3>> faces;
};

template <std::size_t N, typename T>
void readSection(std::istream& in, const char* keyword, std::vector<std::array<T, N>>& records) {
    std::string word;
    std::size_t count = 0;
    in >> word >> count;
    ASSERT_EQ(word, keyword);
    records.resize(count);
    for (auto& record : records) {
        for (T& value : record) in >> value;
    }
    ASSERT_TRUE(in) << "section " << keyword << " ended early";
}

Model writeAndRead(int subdivisions, double radius) {
    std::ostringstream out;
    writeIcosphereModel(out, subdivisions, radius);
    std::istringstream in(out.str());
    Model model;
    readSection(in, "Masses", model.masses);
    readSection(in, "Springs", model.springs);
    readSection(in, "Faces", model.faces);
    std::string rest;
    EXPECT_FALSE(in >> rest) << "unexpected text after the faces: " << rest;
    return model;
}

std::array<double, 3> minus(const std::array<float, 3>& p, const std::array<float, 3>& q) {
    return {double(p[0]) - q[0], double(p[1]) - q[1], double(p[2]) - q[2]};
}

}  // namespace

TEST(IcosphereTest, CountsGrowFourfoldPerSubdivision) {
    struct Case {
        int subdivisions;
        std::size_t masses, springs, faces;
    };
    for (const Case c : {Case{0, 12, 30, 20}, Case{1, 42, 120, 80}, Case{2, 162, 480, 320}}) {
        const Model model = writeAndRead(c.subdivisions, 1.0);
        EXPECT_EQ(model.masses.size(), c.masses) << "S=" << c.subdivisions;
        EXPECT_EQ(model.springs.size(), c.springs) << "S=" << c.subdivisions;
        EXPECT_EQ(model.faces.size(), c.faces) << "S=" << c.subdivisions;
    }
    // Finer levels straight from the mesh: Euler's formula for a sphere, three edges per two faces.
    for (int s = 0; s <= 4; ++s) {
        const Icosphere sphere = makeIcosphere(s, 1.0);
        const long v = long(sphere.vertices.size()), e = long(sphere.edges.size()), f = long(sphere.faces.size());
        EXPECT_EQ(f, 20L << (2 * s)) << "S=" << s;
        EXPECT_EQ(2 * e, 3 * f) << "S=" << s;
        EXPECT_EQ(v - e + f, 2) << "S=" << s;
    }
}

TEST(IcosphereTest, EveryMassLiesOnTheSphere) {
    for (const double radius : {1.0, 0.35, 2.75}) {
        for (const int s : {0, 2}) {
            const Model model = writeAndRead(s, radius);
            for (const auto& p : model.masses) {
                const double distance = std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + double(p[2]) * p[2]);
                // Each coordinate is rounded to float once: a few parts in 10^7.
                EXPECT_NEAR(distance, radius, radius * 3e-7) << "S=" << s << " R=" << radius;
            }
        }
    }
}

TEST(IcosphereTest, WrittenCoordinatesReadBackAsTheSameFloats) {
    const Icosphere sphere = makeIcosphere(2, 1.3);
    const Model model = writeAndRead(2, 1.3);
    ASSERT_EQ(model.masses.size(), sphere.vertices.size());
    for (std::size_t i = 0; i < model.masses.size(); ++i) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(model.masses[i][k], static_cast<float>(sphere.vertices[i][k]));
    }
}

TEST(IcosphereTest, MeshIsClosedAndSpringsAreExactlyItsEdges) {
    for (const int s : {0, 1, 2}) {
        const Model model = writeAndRead(s, 1.0);
        const int n = int(model.masses.size());

        // Walking every face's rim: each directed edge once (consistent winding),
        // so each undirected edge borders exactly two faces.
        std::map<std::pair<int, int>, int> directed;
        std::map<std::pair<int, int>, int> undirected;
        for (const auto& f : model.faces) {
            for (int k = 0; k < 3; ++k) {
                const int a = f[k], b = f[(k + 1) % 3];
                ASSERT_TRUE(a >= 0 && a < n && b >= 0 && b < n && a != b) << "S=" << s;
                ++directed[{a, b}];
                ++undirected[std::minmax(a, b)];
            }
        }
        for (const auto& [edge, count] : directed) EXPECT_EQ(count, 1) << edge.first << "->" << edge.second;
        for (const auto& [edge, count] : undirected) EXPECT_EQ(count, 2) << edge.first << "-" << edge.second;

        std::set<std::pair<int, int>> springs;
        for (const auto& sp : model.springs) {
            EXPECT_TRUE(springs.insert(std::minmax(sp[0], sp[1])).second)
                << "spring " << sp[0] << "-" << sp[1] << " listed twice";
        }
        std::set<std::pair<int, int>> edges;
        for (const auto& entry : undirected) edges.insert(entry.first);
        EXPECT_EQ(springs, edges) << "S=" << s;
    }
}

TEST(IcosphereTest, EveryFaceIsWoundOutward) {
    for (const int s : {0, 1, 2}) {
        const Model model = writeAndRead(s, 1.0);
        for (const auto& f : model.faces) {
            const auto& a = model.masses[f[0]];
            const auto u = minus(model.masses[f[1]], a);
            const auto v = minus(model.masses[f[2]], a);
            const std::array<double, 3> normal = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                                  u[0] * v[1] - u[1] * v[0]};
            // The centre is the origin, so the corner points outward from it.
            EXPECT_GT(normal[0] * a[0] + normal[1] * a[1] + normal[2] * a[2], 0.0)
                << "S=" << s << " face " << f[0] << " " << f[1] << " " << f[2];
        }
    }
}

TEST(IcosphereTest, RejectsBadLevelOrRadiusWithoutWriting) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<int, double> bad[] = {{-1, 1.0}, {maxIcosphereSubdivisions + 1, 1.0}, {1, 0.0},
                                          {1, -2.0}, {1, nan},                             {1, inf}};
    for (const auto& [s, r] : bad) {
        std::ostringstream out;
        EXPECT_THROW(writeIcosphereModel(out, s, r), std::invalid_argument) << "S=" << s << " R=" << r;
        EXPECT_TRUE(out.str().empty()) << "S=" << s << " R=" << r;
    }
    std::ostringstream out;
    EXPECT_NO_THROW(writeIcosphereModel(out, maxIcosphereSubdivisions, 1e-3));
}
