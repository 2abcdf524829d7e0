#include "web/gl/Shapes.h"

#include <cmath>
#include <cstdlib>

namespace fixedgl {

namespace {

constexpr double pi = 3.14159265358979323846;

constexpr unsigned glLineLoop = 0x0002, glLineStrip = 0x0003, glTriangles = 0x0004, glTriangleStrip = 0x0005;

// The cube's corners and its faces (corner indices and outward normals), in freeglut's order.
constexpr float cubeCorners[8][3] = {{.5f, .5f, .5f},   {-.5f, .5f, .5f}, {-.5f, -.5f, .5f}, {.5f, -.5f, .5f},
                                     {.5f, -.5f, -.5f}, {.5f, .5f, -.5f}, {-.5f, .5f, -.5f}, {-.5f, -.5f, -.5f}};
constexpr float cubeFaceNormals[6][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
constexpr int cubeFaces[6][4] = {{0, 1, 2, 3}, {0, 3, 4, 5}, {0, 5, 6, 1}, {1, 6, 7, 2}, {7, 4, 3, 2}, {4, 7, 6, 5}};

// sin and cos at n equal steps around a circle (or half of one), computed in float steps as
// freeglut does, with the last entry closing the loop exactly.
void circleTable(std::vector<float>& sint, std::vector<float>& cost, int n, bool halfCircle) {
    const int size = std::abs(n);
    const float angle = (halfCircle ? 1 : 2) * static_cast<float>(pi) / static_cast<float>(n == 0 ? 1 : n);
    sint.assign(size + 1, 0.0f);
    cost.assign(size + 1, 0.0f);
    sint[0] = 0.0f;
    cost[0] = 1.0f;
    for (int i = 1; i < size; ++i) {
        const float a = angle * static_cast<float>(i);
        sint[i] = static_cast<float>(std::sin(static_cast<double>(a)));
        cost[i] = static_cast<float>(std::cos(static_cast<double>(a)));
    }
    if (halfCircle) {
        sint[size] = 0.0f;
        cost[size] = -1.0f;
    } else {
        sint[size] = sint[0];
        cost[size] = cost[0];
    }
}

}  // namespace

Shape cube(float size, bool wire) {
    Shape shape;
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 4; ++k) {
            for (int i = 0; i < 3; ++i) {
                shape.positions.push_back(size * cubeCorners[cubeFaces[f][k]][i]);
                shape.normals.push_back(cubeFaceNormals[f][i]);
            }
        }
    if (wire) {
        shape.mode = glLineLoop;
        for (int f = 0; f < 6; ++f) shape.parts.push_back({4 * f, 4 * f + 1, 4 * f + 2, 4 * f + 3});
    } else {
        // Each quad becomes the triangles (0, 1, 2) and (0, 2, 3), all in one call.
        shape.mode = glTriangles;
        std::vector<int> all;
        for (int f = 0; f < 6; ++f)
            for (int k : {0, 1, 2, 0, 2, 3}) all.push_back(4 * f + k);
        shape.parts.push_back(all);
    }
    return shape;
}

Shape sphere(float radius, int slices, int stacks, bool wire) {
    Shape shape;
    if (slices == 0 || stacks < 2) return shape;
    const int vertexCount = slices * (stacks - 1) + 2;
    std::vector<float> sint1, cost1, sint2, cost2;
    circleTable(sint1, cost1, -slices, false);
    circleTable(sint2, cost2, stacks, true);

    auto add = [&shape](float px, float py, float pz, float nx, float ny, float nz) {
        shape.positions.insert(shape.positions.end(), {px, py, pz});
        shape.normals.insert(shape.normals.end(), {nx, ny, nz});
    };
    add(0.f, 0.f, radius, 0.f, 0.f, 1.f);  // top
    for (int i = 1; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            const float x = cost1[j] * sint2[i];
            const float y = sint1[j] * sint2[i];
            const float z = cost2[i];
            add(x * radius, y * radius, z * radius, x, y, z);
        }
    add(0.f, 0.f, -radius, 0.f, 0.f, -1.f);  // bottom

    if (wire) {
        shape.mode = glLineStrip;
        for (int i = 0; i < slices; ++i) {
            std::vector<int> part{0};
            for (int j = 0; j < stacks - 1; ++j) part.push_back(1 + i + j * slices);
            part.push_back(vertexCount - 1);
            shape.parts.push_back(part);
        }
        shape.extraMode = glLineLoop;
        for (int i = 0; i < stacks - 1; ++i) {
            std::vector<int> part;
            for (int j = 0; j < slices; ++j) part.push_back(1 + i * slices + j);
            shape.extraParts.push_back(part);
        }
        return shape;
    }

    shape.mode = glTriangleStrip;
    std::vector<int> top;
    for (int j = 0; j < slices; ++j) top.insert(top.end(), {j + 1, 0});
    top.insert(top.end(), {1, 0});
    shape.parts.push_back(top);
    for (int i = 0; i < stacks - 2; ++i) {
        const int offset = 1 + i * slices;
        std::vector<int> strip;
        for (int j = 0; j < slices; ++j) strip.insert(strip.end(), {offset + j + slices, offset + j});
        strip.insert(strip.end(), {offset + slices, offset});
        shape.parts.push_back(strip);
    }
    const int offset = 1 + (stacks - 2) * slices;
    std::vector<int> bottom;
    for (int j = 0; j < slices; ++j) bottom.insert(bottom.end(), {vertexCount - 1, offset + j});
    bottom.insert(bottom.end(), {vertexCount - 1, offset});
    shape.parts.push_back(bottom);
    return shape;
}

}  // namespace fixedgl
