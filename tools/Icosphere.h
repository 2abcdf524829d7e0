#pragma once

#include <array>
#include <iosfwd>
#include <vector>

/// Finest subdivision the generator accepts: 6 already gives 40962 masses,
/// far more than the ball's step can afford.
constexpr int maxIcosphereSubdivisions = 6;

/// A closed triangle mesh of a sphere: vertices, the edges between them and
/// the triangles over them. Indices are 0-based into `vertices`.
struct Icosphere {
    std::vector<std::array<double, 3>> vertices;  ///< positions, all at the same distance from the origin
    std::vector<std::array<int, 2>> edges;        ///< each mesh edge once, smaller index first, sorted
    std::vector<std::array<int, 3>> faces;        ///< corners counter-clockwise seen from outside
};

/// Builds a geodesic icosphere: the regular icosahedron with every triangle split
/// into four `subdivisions` times, new vertices pushed onto the sphere of `radius`.
/// Throws std::invalid_argument unless 0 <= subdivisions <= maxIcosphereSubdivisions
/// and radius is finite and positive.
Icosphere makeIcosphere(int subdivisions, double radius);

/// Writes the icosphere as the ball's model file text: "Masses" with the count and
/// one "x y z" line per vertex, then "Springs" with one "i j" line per edge, then
/// "Faces" with one "a b c" line per triangle. Coordinates are printed so that they
/// read back as exactly the same floats. Throws like makeIcosphere.
void writeIcosphereModel(std::ostream& out, int subdivisions, double radius);
