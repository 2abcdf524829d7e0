#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "web/gl/BitmapFont.h"
#include "web/gl/Matrix.h"

/// The fixed-function OpenGL pipeline that the game's drawing needs, worked out on the CPU: matrix
/// stacks, per-vertex lighting with colour material (normals used exactly as given, never
/// normalised), texture state, raster positions and bitmaps. Each frame's primitives come out as
/// batches of clip-space vertices with their final colours, for a backend that only rasterises.
/// A primitive drawn with the same inputs and state as the same primitive of the last frame, at
/// the same place in the frame's vertices, is neither transformed nor lit again: its vertices from
/// the last frame stand, and the backend, which keeps them on the GPU, uploads only the changed ones.
/// Takes OpenGL's enum values; knows nothing of WebGL.
namespace fixedgl {

/// One processed vertex: clip-space position, lit colour, texture coordinate.
struct Vertex {
    float clip[4];
    float color[4];
    float tex[2];
};

/// How a batch's fragments get their colour.
enum class Shading { colour, replace, modulate };

/// A run of primitives drawn with the same state: vertices [first, first + count) of the frame.
struct Batch {
    bool lines = false;  ///< GL_LINES pairs; otherwise triangles
    bool depthTest = true;
    unsigned texture = 0;  ///< texture name sampled; 0 with Shading::colour
    Shading shading = Shading::colour;
    std::size_t first = 0;
    std::size_t count = 0;
};

/// Vertices [first, last) of the frame, written since the last frame was taken.
struct VertexRange {
    std::size_t first;
    std::size_t last;
};

/// Where texture images go: the backend keeps the real textures.
class TextureSink {
public:
    virtual ~TextureSink() = default;
    /// Holds the image of texture name (RGBA rows, first row t = 0) from now on.
    virtual void upload(unsigned name, int width, int height, const std::vector<std::uint8_t>& rgba) = 0;
    /// The texture name is deleted.
    virtual void release(unsigned name) = 0;
};

/// The state machine. Call order and arguments as in OpenGL; errors are ignored as OpenGL ignores
/// the offending call (stack overflow or underflow, calls inside glBegin/glEnd that are not allowed).
class Pipeline {
public:
    static constexpr int stackDepth = 32;  ///< matrices per stack, as OpenGL's minimum for model-view

    /// A fresh context: identity matrices, nothing enabled, colour white, normal (0, 0, 1).
    Pipeline();

    /// Where texture images go from now on; null keeps them nowhere.
    void setTextureSink(TextureSink* sink) { textureSink_ = sink; }

    // The OpenGL calls, by the name of the call without its gl prefix and type suffix, with
    // OpenGL's arguments; only what is not OpenGL's own behaviour is said here.

    /// Depth test, lighting, light 0, colour material and 2D texturing; other caps are ignored.
    void enable(unsigned cap, bool on);
    bool isEnabled(unsigned cap) const;
    void clearColor(float r, float g, float b, float a);
    /// A frame starts afresh.
    void clear(unsigned mask);
    /// In window pixels.
    void viewport(int x, int y, int width, int height);

    /// GL_MODELVIEW or GL_PROJECTION.
    void matrixMode(unsigned mode);
    void pushMatrix();
    void popMatrix();
    void loadIdentity();
    /// top = top * m.
    void multMatrix(const Matrix& m);
    void rotate(float angle, float x, float y, float z);
    void scale(float x, float y, float z);
    void translate(float x, float y, float z);
    /// gluPerspective, the field of view in degrees.
    void perspective(double fovy, double aspect, double zNear, double zFar);
    /// The top of the model-view stack.
    const Matrix& modelview() const { return modelview_[modelviewDepth_]; }
    /// The top of the projection stack.
    const Matrix& projection() const { return projection_[projectionDepth_]; }

    /// Triangles, quads, strips, fans, lines and loops.
    void begin(unsigned mode);
    /// The primitive goes into the frame's batches.
    void end();
    /// Transformed and lit at once with the current normal, colour and texture coordinate.
    void vertex(float x, float y, float z);
    /// Kept exactly as given, never normalised.
    void normal(float x, float y, float z);
    void texCoord(float s, float t);
    void color(const float* rgba);

    /// Draws indexed vertices with their own normals, as a vertex array does: the current normal
    /// stays as it was.
    void drawArrays(unsigned mode, const float* positions, const float* normals, const std::vector<int>& indices);

    /// Transformed, clipped and lit like a vertex.
    void rasterPos(float x, float y, float z);
    /// Rows bottom first, each padded to whole bytes, most significant bit leftmost.
    void bitmap(int width, int height, float xorig, float yorig, float xmove, float ymove, const std::uint8_t* bits);
    /// glutBitmapCharacter: one glyph of the font at the raster position, which then advances.
    void bitmapCharacter(const BitmapFont& font, int character);

    /// glTexEnvf of GL_TEXTURE_ENV_MODE: GL_REPLACE or GL_MODULATE.
    void texEnvMode(unsigned mode) { texEnvMode_ = mode; }
    /// Only GL_UNPACK_ALIGNMENT.
    void pixelStore(unsigned name, int value);
    /// Names from 1 up, never reused.
    void genTextures(int n, unsigned* names);
    /// The images go; unknown names and 0 are ignored.
    void deleteTextures(int n, const unsigned* names);
    /// Of GL_TEXTURE_2D.
    void bindTexture(unsigned name);
    /// The name bound to GL_TEXTURE_2D.
    unsigned boundTexture() const { return boundTexture_; }
    /// GL_RGB or GL_RGBA bytes; every texel gets alpha 1 from RGB data.
    void texImage2D(int width, int height, unsigned format, const void* pixels);
    /// Whether the texture name holds an image (OpenGL's default texture 0 never does).
    bool hasImage(unsigned name) const;

    /// The lit colour of a vertex with this normal and the current colour and lighting state.
    std::array<float, 4> litColour(const float normal[3]) const;
    /// Whether the current raster position is valid (inside the view volume).
    bool rasterValid() const { return rasterValid_; }
    /// The raster position in window coordinates, depth 0 to 1.
    const std::array<float, 3>& rasterWindow() const { return rasterWindow_; }
    /// The raster position's lit colour.
    const std::array<float, 4>& rasterColour() const { return rasterColour_; }

    /// The clear colour.
    const std::array<float, 4>& clearColour() const { return clearColour_; }
    /// Whether glClear was called since finishFrame.
    bool cleared() const { return cleared_; }
    /// The frame's batches so far.
    const std::vector<Batch>& batches() const { return batches_; }
    /// The frame's vertices so far: the first frameVertexCount() of this, which may hold more.
    const std::vector<Vertex>& frameVertices() const { return vertices_; }
    std::size_t frameVertexCount() const { return used_; }
    /// A batch's vertices, copied.
    std::vector<Vertex> verticesOf(const Batch& batch) const;
    /// The vertices written since the last finishFrame, in order, disjoint: all other vertices of the
    /// frame are as the last frame left them (a mid-frame clear may leave ranges past the frame's end).
    const std::vector<VertexRange>& changedVertices() const { return changed_; }
    /// The frame is drawn: the next one starts, and its primitives are compared with this one's.
    void finishFrame();
    /// The viewport: x, y, width, height.
    const std::array<int, 4>& viewportBox() const { return viewport_; }

private:
    Matrix& current();
    void changed();
    const Matrix& normalMatrix() const;
    std::array<float, 4> litColour(const float normal[3], const float colour[4]) const;
    Vertex process(const float position[3], const float normal[3], const float colour[4], const float tex[2]) const;
    Batch& batchFor(bool lines);
    void put(const Vertex& v);
    void drawBitmap(int width, int height, float xorig, float yorig, const std::uint8_t* bits);
    /// Whether it opened or joined a batch.
    bool emitPrimitive(unsigned mode, const std::vector<Vertex>& vs);

    // A primitive's key: everything its vertices are worked out from, as bits.
    void keyState(unsigned kind, bool transformed);
    /// n 32-bit words (floats as their bits).
    void key(const void* words, std::size_t n);
    void key(unsigned value) { keys_.push_back(value); }
    /// Whether the primitive whose key starts at keys_[keyStart] was last frame's at this place;
    /// if so it counts as drawn (its vertices stand), else it is to be worked out by the caller,
    /// who then calls drawn.
    bool reused(std::size_t keyStart);
    /// The primitive worked out since vertex first is recorded, its vertices changed.
    void drawn(std::size_t keyStart, std::size_t first, bool lines, bool batched);

    std::array<Matrix, stackDepth> modelview_{};
    std::array<Matrix, stackDepth> projection_{};
    int modelviewDepth_ = 0;
    int projectionDepth_ = 0;
    unsigned matrixMode_;

    bool depthTest_ = false, lighting_ = false, light0_ = false, colorMaterial_ = false, texture2D_ = false;
    std::array<float, 4> clearColour_{0, 0, 0, 0};
    bool cleared_ = false;
    std::array<int, 4> viewport_{0, 0, 0, 0};

    float normal_[3] = {0, 0, 1};
    float colour_[4] = {1, 1, 1, 1};
    float tex_[2] = {0, 0};
    bool inside_ = false;
    unsigned mode_ = 0;
    /// A glBegin/glEnd vertex as given: position, normal, colour, texture coordinate.
    struct Input {
        float position[3], normal[3], colour[4], tex[2];
    };
    std::vector<Input> inputs_;
    std::vector<Vertex> pending_;

    mutable bool normalMatrixValid_ = false;
    mutable Matrix normalMatrix_{};

    bool rasterValid_ = true;
    std::array<float, 3> rasterWindow_{0, 0, 0};
    std::array<float, 4> rasterColour_{1, 1, 1, 1};

    unsigned texEnvMode_;
    int unpackAlignment_ = 4;
    unsigned boundTexture_ = 0;
    unsigned nextTexture_ = 1;
    std::vector<bool> textureHasImage_;  ///< by name; names never handed out are false
    TextureSink* textureSink_ = nullptr;

    /// One primitive of a frame: its key keys[key, key + keyLength), its vertices [first, first + count).
    struct Primitive {
        std::size_t key, keyLength, first, count;
        bool lines;
        bool batched;  ///< it opened or joined a batch (a primitive too short to draw may still)
    };
    std::vector<Batch> batches_;
    std::vector<Vertex> vertices_;  ///< the frame's; past used_, the last frame's
    std::size_t used_ = 0;
    std::vector<VertexRange> changed_;
    std::vector<std::uint32_t> keys_, lastKeys_;
    std::vector<Primitive> primitives_, lastPrimitives_;
};

}  // namespace fixedgl
