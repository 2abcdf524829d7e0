#include "tools/Icosphere.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using Point = std::array<double, 3>;

Point normalised(const Point& p) {
    const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    return {p[0] / length, p[1] / length, p[2] / length};
}

// The regular icosahedron: the corners of three golden rectangles in the
// coordinate planes, on the unit sphere.
void addIcosahedron(std::vector<Point>& vertices, std::vector<std::array<int, 3>>& faces) {
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    const Point corners[12] = {
        {-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0},
        {0, -1, t}, {0, 1, t}, {0, -1, -t}, {0, 1, -t},
        {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1},
    };
    for (const Point& c : corners) vertices.push_back(normalised(c));

    // Five triangles round vertex 0, the band of ten below them, five round vertex 3;
    // each counter-clockwise seen from outside.
    faces = {
        {0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11},
        {1, 5, 9}, {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
        {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8}, {3, 8, 9},
        {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1},
    };
}

// Splits every triangle into four: one at each corner and one in the middle.
// An edge's midpoint is made once and shared by the two triangles along it,
// so the finer mesh stays closed.
void subdivide(std::vector<Point>& vertices, std::vector<std::array<int, 3>>& faces) {
    std::map<std::pair<int, int>, int> midpoints;
    auto midpoint = [&](int a, int b) {
        const std::pair<int, int> key = std::minmax(a, b);
        const auto found = midpoints.find(key);
        if (found != midpoints.end()) return found->second;
        const Point& p = vertices[a];
        const Point& q = vertices[b];
        vertices.push_back(normalised({(p[0] + q[0]) / 2, (p[1] + q[1]) / 2, (p[2] + q[2]) / 2}));
        const int index = static_cast<int>(vertices.size()) - 1;
        midpoints.emplace(key, index);
        return index;
    };

    std::vector<std::array<int, 3>> finer;
    finer.reserve(faces.size() * 4);
    for (const auto& f : faces) {
        const int ab = midpoint(f[0], f[1]);
        const int bc = midpoint(f[1], f[2]);
        const int ca = midpoint(f[2], f[0]);
        // The same turning sense as the parent keeps every child outward-wound.
        finer.push_back({f[0], ab, ca});
        finer.push_back({f[1], bc, ab});
        finer.push_back({f[2], ca, bc});
        finer.push_back({ab, bc, ca});
    }
    faces = std::move(finer);
}

std::vector<std::array<int, 2>> edgesOf(const std::vector<std::array<int, 3>>& faces) {
    std::vector<std::array<int, 2>> edges;
    edges.reserve(faces.size() * 3);
    for (const auto& f : faces) {
        for (int k = 0; k < 3; ++k) {
            const auto [a, b] = std::minmax(f[k], f[(k + 1) % 3]);
            edges.push_back({a, b});
        }
    }
    // In a closed mesh every edge borders two faces, so it was listed twice.
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

// Nine significant digits are enough for any float to read back unchanged.
std::string floatText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

}  // namespace

Icosphere makeIcosphere(int subdivisions, double radius) {
    if (subdivisions < 0 || subdivisions > maxIcosphereSubdivisions) {
        throw std::invalid_argument("subdivisions must be between 0 and " +
                                    std::to_string(maxIcosphereSubdivisions) + ", got " +
                                    std::to_string(subdivisions));
    }
    if (!std::isfinite(radius) || radius <= 0.0) {
        std::ostringstream message;
        message << "radius must be a finite number above 0, got " << radius;
        throw std::invalid_argument(message.str());
    }

    Icosphere sphere;
    addIcosahedron(sphere.vertices, sphere.faces);
    for (int level = 0; level < subdivisions; ++level) subdivide(sphere.vertices, sphere.faces);
    for (Point& v : sphere.vertices) {
        for (double& c : v) c *= radius;
    }
    sphere.edges = edgesOf(sphere.faces);
    return sphere;
}

void writeIcosphereModel(std::ostream& out, int subdivisions, double radius) {
    const Icosphere sphere = makeIcosphere(subdivisions, radius);

    out << "Masses " << sphere.vertices.size() << '\n';
    for (const Point& v : sphere.vertices) {
        out << floatText(static_cast<float>(v[0])) << ' ' << floatText(static_cast<float>(v[1]))
            << ' ' << floatText(static_cast<float>(v[2])) << '\n';
    }
    out << "Springs " << sphere.edges.size() << '\n';
    for (const auto& e : sphere.edges) out << e[0] << ' ' << e[1] << '\n';
    out << "Faces " << sphere.faces.size() << '\n';
    for (const auto& f : sphere.faces) out << f[0] << ' ' << f[1] << ' ' << f[2] << '\n';
}
