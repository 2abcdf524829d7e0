#include "web/gl/Shapes.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

using fixedgl::Shape;

namespace {

std::vector<float> at(const std::vector<float>& values, int vertex) {
    return {values[3 * vertex], values[3 * vertex + 1], values[3 * vertex + 2]};
}

}  // namespace

TEST(ShapesTest, SolidCubeIsSixFacesOfTwoTriangles) {
    const Shape cube = fixedgl::cube(0.3f, false);
    ASSERT_EQ(cube.positions.size(), 24u * 3);
    EXPECT_EQ(cube.mode, static_cast<unsigned>(GL_TRIANGLES));
    ASSERT_EQ(cube.parts.size(), 1u);
    ASSERT_EQ(cube.parts[0].size(), 36u);
    // The first face is the one at z = +size/2, facing +z, its quad split as (0, 1, 2) and (0, 2, 3).
    EXPECT_EQ(std::vector<int>(cube.parts[0].begin(), cube.parts[0].begin() + 6), (std::vector<int>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(at(cube.positions, 0), (std::vector<float>{0.15f, 0.15f, 0.15f}));
    EXPECT_EQ(at(cube.positions, 2), (std::vector<float>{-0.15f, -0.15f, 0.15f}));
    for (int v = 0; v < 4; ++v) EXPECT_EQ(at(cube.normals, v), (std::vector<float>{0, 0, 1}));
    // The last face, at z = -size/2, faces -z; normals stay unit whatever the size.
    for (int v = 20; v < 24; ++v) {
        EXPECT_EQ(at(cube.normals, v), (std::vector<float>{0, 0, -1}));
        EXPECT_EQ(cube.positions[3 * v + 2], -0.15f);
    }
    EXPECT_TRUE(cube.extraParts.empty());
}

TEST(ShapesTest, WireCubeIsSixLineLoops) {
    const Shape cube = fixedgl::cube(1.0f, true);
    EXPECT_EQ(cube.mode, static_cast<unsigned>(GL_LINE_LOOP));
    ASSERT_EQ(cube.parts.size(), 6u);
    EXPECT_EQ(cube.parts[5], (std::vector<int>{20, 21, 22, 23}));
    // The second face is x = +0.5: its corners all have x 0.5 and its normal is +x.
    for (int v = 4; v < 8; ++v) {
        EXPECT_EQ(cube.positions[3 * v], 0.5f);
        EXPECT_EQ(at(cube.normals, v), (std::vector<float>{1, 0, 0}));
    }
}

TEST(ShapesTest, SolidSphereIsStripsFromPoleToPole) {
    const Shape sphere = fixedgl::sphere(2.0f, 8, 8, false);
    // A top and a bottom vertex and 7 rings of 8.
    ASSERT_EQ(sphere.positions.size(), 58u * 3);
    EXPECT_EQ(sphere.mode, static_cast<unsigned>(GL_TRIANGLE_STRIP));
    ASSERT_EQ(sphere.parts.size(), 8u);
    for (const auto& strip : sphere.parts) EXPECT_EQ(strip.size(), 18u);
    EXPECT_EQ(std::vector<int>(sphere.parts[0].begin(), sphere.parts[0].begin() + 4), (std::vector<int>{1, 0, 2, 0}));
    EXPECT_EQ(std::vector<int>(sphere.parts[0].end() - 2, sphere.parts[0].end()), (std::vector<int>{1, 0}));
    EXPECT_EQ(std::vector<int>(sphere.parts[7].begin(), sphere.parts[7].begin() + 2), (std::vector<int>{57, 49}));
    EXPECT_EQ(at(sphere.positions, 0), (std::vector<float>{0, 0, 2}));
    EXPECT_EQ(at(sphere.normals, 57), (std::vector<float>{0, 0, -1}));
    // The first ring lies pi/8 from the pole and runs clockwise seen from +z: its third vertex is a
    // quarter turn the negative way, at (0, -sin(pi/8), cos(pi/8)) on the unit sphere.
    const float s = 0.38268343f, c = 0.92387953f;
    const auto n = at(sphere.normals, 3);
    EXPECT_NEAR(n[0], 0, 1e-6);
    EXPECT_NEAR(n[1], -s, 1e-6);
    EXPECT_NEAR(n[2], c, 1e-6);
    const auto p = at(sphere.positions, 3);
    EXPECT_NEAR(p[1], -2 * s, 1e-6);
    EXPECT_NEAR(p[2], 2 * c, 1e-6);
}

TEST(ShapesTest, WireSphereIsSliceStripsAndStackLoops) {
    const Shape sphere = fixedgl::sphere(1.0f, 8, 8, true);
    EXPECT_EQ(sphere.mode, static_cast<unsigned>(GL_LINE_STRIP));
    ASSERT_EQ(sphere.parts.size(), 8u);
    // The first slice runs from the top through the first vertex of every ring to the bottom.
    EXPECT_EQ(sphere.parts[0], (std::vector<int>{0, 1, 9, 17, 25, 33, 41, 49, 57}));
    EXPECT_EQ(sphere.extraMode, static_cast<unsigned>(GL_LINE_LOOP));
    ASSERT_EQ(sphere.extraParts.size(), 7u);
    EXPECT_EQ(sphere.extraParts[6], (std::vector<int>{49, 50, 51, 52, 53, 54, 55, 56}));
}

TEST(ShapesTest, TooFewStacksDrawNothing) {
    EXPECT_TRUE(fixedgl::sphere(1.0f, 8, 1, false).parts.empty());
    EXPECT_TRUE(fixedgl::sphere(1.0f, 0, 8, true).positions.empty());
}
