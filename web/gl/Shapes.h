#pragma once

#include <vector>

/// GLUT's cube and sphere, tessellated as freeglut 3 tessellates them: the same vertices, normals
/// and primitives, so that lighting and edges fall where the desktop game draws them.
namespace fixedgl {

/// Vertices with their normals (three floats each) and, per primitive, indices into them.
struct Shape {
    std::vector<float> positions;
    std::vector<float> normals;
    unsigned mode = 0;                    ///< OpenGL primitive of every part
    std::vector<std::vector<int>> parts;  ///< one index list per glDrawElements / glDrawArrays call
    unsigned extraMode = 0;               ///< primitive of the extra parts (line loops of a wire sphere)
    std::vector<std::vector<int>> extraParts;
};

/// A cube of edge size centred on the origin: six faces of two triangles each, or six line loops.
Shape cube(float size, bool wire);
/// A sphere: triangle strips from pole to pole, or line strips along the slices and line loops
/// around the stacks.
Shape sphere(float radius, int slices, int stacks, bool wire);

}  // namespace fixedgl
