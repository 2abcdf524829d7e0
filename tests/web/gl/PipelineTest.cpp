#include "web/gl/Pipeline.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

using fixedgl::Batch;
using fixedgl::Matrix;
using fixedgl::Pipeline;
using fixedgl::Shading;

namespace {

// The game's state: depth test, lighting with light 0 and colour material, the orange of a box.
struct LitPipeline : Pipeline {
    LitPipeline() {
        enable(GL_DEPTH_TEST, true);
        enable(GL_LIGHTING, true);
        enable(GL_LIGHT0, true);
        enable(GL_COLOR_MATERIAL, true);
        viewport(0, 0, 768, 768);
        const float orange[4] = {0.8f, 0.4f, 0.0f, 1.0f};
        color(orange);
    }
};

void expectColour(const std::array<float, 4>& actual, std::vector<float> expected, const char* what) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6) << what << " channel " << i;
}

// Records the uploads the pipeline hands to its backend.
struct Uploads : fixedgl::TextureSink {
    struct Upload {
        unsigned name;
        int width, height;
        std::vector<std::uint8_t> rgba;
    };
    std::vector<Upload> uploads;
    std::vector<unsigned> released;
    void upload(unsigned name, int width, int height, const std::vector<std::uint8_t>& bytes) override {
        uploads.push_back({name, width, height, bytes});
    }
    void release(unsigned name) override { released.push_back(name); }
};

}  // namespace

TEST(PipelineTest, LightingUsesTheNormalUnnormalised) {
    // Colour material: ambient and diffuse are the current colour c. With light 0 along +z in eye
    // space the colour is 0.2 c (scene ambient) + max(n.z, 0) c, clamped to 1.
    struct Case {
        float normal[3];
        std::vector<float> colour;
        const char* what;
    };
    const std::vector<Case> cases = {
        {{0, 0, 1}, {0.96f, 0.48f, 0, 1}, "unit normal towards the light: 1.2 c"},
        {{0, 0, 0.5f}, {0.56f, 0.28f, 0, 1}, "half length: 0.7 c"},
        {{0, 0, 4}, {1, 1, 0, 1}, "four times: 4.2 c, clamped"},
        {{0, 0, -1}, {0.16f, 0.08f, 0, 1}, "facing away: ambient only"},
        {{1, 0, 0}, {0.16f, 0.08f, 0, 1}, "across the light: ambient only"},
        {{0, 0, 0}, {0.16f, 0.08f, 0, 1}, "the zero normal of a degenerate face"},
    };
    LitPipeline gl;
    for (const Case& c : cases) expectColour(gl.litColour(c.normal), c.colour, c.what);
}

TEST(PipelineTest, NormalsFollowTheInverseTransposeOfTheModelview) {
    const float up[3] = {0, 0, 1};
    LitPipeline gl;
    gl.scale(1, 1, 0.1f);  // a thin slab: its face normal grows tenfold
    expectColour(gl.litColour(up), {1, 1, 0, 1}, "scaled by 0.1: 10.2 c, clamped");
    gl.loadIdentity();
    gl.scale(1, 1, 4);
    expectColour(gl.litColour(up), {0.36f, 0.18f, 0, 1}, "scaled by 4: (0.2 + 0.25) c");
    gl.loadIdentity();
    gl.rotate(90, 0, 1, 0);  // turns -x onto +z, towards the light
    const float minusX[3] = {-1, 0, 0};
    expectColour(gl.litColour(minusX), {0.96f, 0.48f, 0, 1}, "-x turned onto +z");
    gl.loadIdentity();
    gl.pushMatrix();
    gl.rotate(180, 0, 1, 0);
    expectColour(gl.litColour(up), {0.16f, 0.08f, 0, 1}, "+z turned away: ambient only");
    gl.popMatrix();
    expectColour(gl.litColour(up), {0.96f, 0.48f, 0, 1}, "the turn popped: +z towards the light again");
}

TEST(PipelineTest, ASingularModelviewLightsWithTheObjectNormal) {
    // The shadow matrix flattens y: no inverse, so the normal goes through untransformed.
    const Matrix shadow{10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, -1, 0, 10};
    LitPipeline gl;
    gl.multMatrix(shadow);
    const float normal[3] = {0, 0, 0.5f};
    expectColour(gl.litColour(normal), {0.56f, 0.28f, 0, 1}, "shadow pass");
}

TEST(PipelineTest, WithoutColourMaterialOrLightingTheDefaultsHold) {
    const float up[3] = {0, 0, 1};
    LitPipeline gl;
    gl.enable(GL_COLOR_MATERIAL, false);
    // Default material: ambient 0.2 times scene ambient 0.2, diffuse 0.8: grey, whatever the colour.
    expectColour(gl.litColour(up), {0.84f, 0.84f, 0.84f, 1}, "default material");
    gl.enable(GL_LIGHTING, false);
    expectColour(gl.litColour(up), {0.8f, 0.4f, 0, 1}, "unlit: the colour itself");
}

TEST(PipelineTest, VerticesComeOutInClipSpace) {
    LitPipeline gl;
    gl.matrixMode(GL_PROJECTION);
    gl.perspective(90, 1, 1, 3);  // cot 45 = 1; z row: -(3 + 1) / 2 = -2 and -2 * 1 * 3 / 2 = -3
    gl.matrixMode(GL_MODELVIEW);
    gl.translate(0, 0, -2);
    gl.begin(GL_TRIANGLES);
    gl.vertex(0, 0, 0);  // eye (0, 0, -2): clip (0, 0, -2 * -2 - 3, 2) = (0, 0, 1, 2)
    gl.vertex(1, 0, 0);  // eye (1, 0, -2): clip (1, 0, 1, 2)
    gl.vertex(0, 1, 1);  // eye (0, 1, -1): clip (0, 1, -1, 1)
    gl.end();
    ASSERT_EQ(gl.batches().size(), 1u);
    const auto v = gl.verticesOf(gl.batches()[0]);
    ASSERT_EQ(v.size(), 3u);
    const float expected[3][4] = {{0, 0, 1, 2}, {1, 0, 1, 2}, {0, 1, -1, 1}};
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(v[k].clip[i], expected[k][i]) << k << " " << i;
}

TEST(PipelineTest, RightAngleRotationsAreExact) {
    LitPipeline gl;
    gl.rotate(90, 1, 0, 0);  // y onto z
    const Matrix& m = gl.modelview();
    const Matrix expected{1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-7) << i;
}

TEST(PipelineTest, PrimitivesBecomeTrianglesAndLinePairs) {
    struct Case {
        unsigned mode;
        int vertices;
        bool lines;
        std::vector<int> order;  // which input vertex each output vertex is, by its x
    };
    const std::vector<Case> cases = {
        {GL_TRIANGLES, 6, false, {0, 1, 2, 3, 4, 5}},
        {GL_TRIANGLES, 5, false, {0, 1, 2}},
        {GL_QUADS, 4, false, {0, 1, 2, 0, 2, 3}},
        {GL_TRIANGLE_STRIP, 4, false, {0, 1, 2, 2, 1, 3}},
        {GL_TRIANGLE_FAN, 4, false, {0, 1, 2, 0, 2, 3}},
        {GL_LINES, 5, true, {0, 1, 2, 3}},
        {GL_LINE_STRIP, 3, true, {0, 1, 1, 2}},
        {GL_LINE_LOOP, 3, true, {0, 1, 1, 2, 2, 0}},
        {GL_TRIANGLES, 2, false, {}},
    };
    for (const Case& c : cases) {
        LitPipeline gl;
        gl.begin(c.mode);
        for (int i = 0; i < c.vertices; ++i) gl.vertex(static_cast<float>(i), 0, 0);
        gl.end();
        std::vector<int> order;
        for (const Batch& b : gl.batches()) {
            EXPECT_EQ(b.lines, c.lines) << c.mode;
            for (const auto& v : gl.verticesOf(b)) order.push_back(static_cast<int>(v.clip[0]));
        }
        EXPECT_EQ(order, c.order) << "mode " << c.mode << " with " << c.vertices << " vertices";
    }
}

TEST(PipelineTest, StateChangesStartNewBatches) {
    Uploads sink;
    LitPipeline gl;
    gl.setTextureSink(&sink);
    auto triangle = [&gl] {
        gl.begin(GL_TRIANGLES);
        for (int i = 0; i < 3; ++i) gl.vertex(0, 0, 0);
        gl.end();
    };
    unsigned picture = 0;
    gl.genTextures(1, &picture);
    gl.bindTexture(picture);
    const std::uint8_t texel[3] = {1, 2, 3};
    gl.texImage2D(1, 1, GL_RGB, texel);

    gl.enable(GL_TEXTURE_2D, true);
    gl.texEnvMode(GL_REPLACE);
    gl.bindTexture(0);
    triangle();  // texture 0 has no image: drawn in its colour
    gl.bindTexture(picture);
    triangle();
    triangle();  // same state: same batch
    gl.enable(GL_DEPTH_TEST, false);
    triangle();
    gl.enable(GL_TEXTURE_2D, false);
    triangle();
    const auto& b = gl.batches();
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(b[0].shading, Shading::colour);
    EXPECT_EQ(b[0].texture, 0u);
    EXPECT_EQ(b[1].shading, Shading::replace);
    EXPECT_EQ(b[1].texture, picture);
    EXPECT_EQ(b[1].count, 6u);
    EXPECT_FALSE(b[2].depthTest);
    EXPECT_EQ(b[3].shading, Shading::colour);

    // A clear starts the frame afresh; taking the frame empties it.
    gl.clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_TRUE(gl.cleared());
    EXPECT_TRUE(gl.batches().empty());
    triangle();
    EXPECT_EQ(gl.batches().size(), 1u);
    gl.finishFrame();
    EXPECT_FALSE(gl.cleared());
    EXPECT_TRUE(gl.batches().empty());
}

TEST(PipelineTest, MatrixStacksIgnoreOverflowAndUnderflow) {
    LitPipeline gl;
    gl.translate(1, 2, 3);
    gl.popMatrix();  // nothing to pop
    EXPECT_EQ(gl.modelview()[12], 1);
    for (int i = 0; i < Pipeline::stackDepth + 5; ++i) {
        gl.pushMatrix();
        gl.translate(1, 0, 0);
    }
    // 31 pushes fit on the 32 places; the translations after a refused push add to the top.
    EXPECT_EQ(gl.modelview()[12], 1 + Pipeline::stackDepth + 5);
    for (int i = 0; i < Pipeline::stackDepth - 1; ++i) gl.popMatrix();
    EXPECT_EQ(gl.modelview()[12], 1);
    gl.matrixMode(GL_PROJECTION);
    gl.pushMatrix();
    gl.scale(2, 2, 2);
    gl.popMatrix();
    EXPECT_EQ(gl.projection()[0], 1);
}

TEST(PipelineTest, TexturesTakeRgbRowsWithTheUnpackAlignment) {
    Uploads sink;
    LitPipeline gl;
    gl.setTextureSink(&sink);
    unsigned names[2] = {0, 0};
    gl.genTextures(2, names);
    EXPECT_EQ(names[0], 1u);
    EXPECT_EQ(names[1], 2u);
    // 1 x 2 RGB at the default alignment of 4: each row is padded to 4 bytes.
    gl.bindTexture(names[0]);
    const std::uint8_t padded[7] = {1, 2, 3, 99, 4, 5, 6};
    gl.texImage2D(1, 2, GL_RGB, padded);
    // 2 x 1 RGB at alignment 1: six bytes, no padding.
    gl.pixelStore(GL_UNPACK_ALIGNMENT, 1);
    gl.bindTexture(names[1]);
    const std::uint8_t packed[6] = {10, 20, 30, 40, 50, 60};
    gl.texImage2D(2, 1, GL_RGB, packed);
    ASSERT_EQ(sink.uploads.size(), 2u);
    EXPECT_EQ(sink.uploads[0].name, names[0]);
    EXPECT_EQ(sink.uploads[0].rgba, (std::vector<std::uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
    EXPECT_EQ(sink.uploads[1].width, 2);
    EXPECT_EQ(sink.uploads[1].rgba, (std::vector<std::uint8_t>{10, 20, 30, 255, 40, 50, 60, 255}));
    EXPECT_TRUE(gl.hasImage(names[1]));
    EXPECT_FALSE(gl.hasImage(0));
    gl.deleteTextures(2, names);
    EXPECT_EQ(sink.released, (std::vector<unsigned>{1, 2}));
    EXPECT_FALSE(gl.hasImage(names[0]));
    EXPECT_EQ(gl.boundTexture(), 0u);
}

TEST(PipelineTest, RasterPositionsOutsideTheViewAreInvalid) {
    LitPipeline gl;
    gl.rasterPos(0, 0, 0);
    ASSERT_TRUE(gl.rasterValid());
    EXPECT_EQ(gl.rasterWindow(), (std::array<float, 3>{384, 384, 0.5f}));
    // Lit like a vertex, with the current normal (0, 0, 1): 1.2 c.
    expectColour(gl.rasterColour(), {0.96f, 0.48f, 0, 1}, "raster colour");
    gl.rasterPos(0.5f, -1, 0);
    EXPECT_EQ(gl.rasterWindow(), (std::array<float, 3>{576, 0, 0.5f}));
    gl.rasterPos(1.5f, 0, 0);
    EXPECT_FALSE(gl.rasterValid());
    const std::uint8_t row[1] = {0xFF};
    gl.bitmap(8, 1, 0, 0, 8, 0, row);
    EXPECT_TRUE(gl.batches().empty());
}

TEST(PipelineTest, BitmapsDrawWholePixelsAtTheRasterPosition) {
    LitPipeline gl;
    gl.rasterPos(0, 0, 0);  // window (384, 384)
    // Three wide, two high, bottom row first: X.X over XXX. Origin (1, 0.5): the lower left corner
    // goes to floor(384 - 1) = 383, floor(384 - 0.5) = 383.
    const std::uint8_t bits[2] = {0xA0, 0xE0};
    gl.bitmap(3, 2, 1, 0.5f, 5, 0, bits);
    ASSERT_EQ(gl.batches().size(), 1u);
    const auto v = gl.verticesOf(gl.batches()[0]);
    ASSERT_EQ(v.size(), 18u);  // rectangles: (383, 383), (385, 383), and (383..386, 384)
    auto clipX = [](int px) { return 2.0f * px / 768 - 1; };
    EXPECT_FLOAT_EQ(v[0].clip[0], clipX(383));
    EXPECT_FLOAT_EQ(v[0].clip[1], clipX(383));
    EXPECT_FLOAT_EQ(v[1].clip[0], clipX(384));
    EXPECT_FLOAT_EQ(v[6].clip[0], clipX(385));
    EXPECT_FLOAT_EQ(v[13].clip[0], clipX(386));  // the top row's run ends at 386
    EXPECT_FLOAT_EQ(v[14].clip[1], clipX(385));
    EXPECT_FLOAT_EQ(v[0].clip[2], 0.0f);  // window depth 0.5
    EXPECT_NEAR(v[0].color[0], 0.96f, 1e-6);
    EXPECT_EQ(gl.rasterWindow()[0], 389);  // advanced by 5
}

TEST(PipelineTest, BitmapCharactersUseTheGlyphWidthAndFontOrigin) {
    const unsigned char glyph[] = {4, 0xF0, 0x00};  // four wide, a bottom row of four pixels
    const unsigned char* const characters[3] = {nullptr, nullptr, glyph};
    const BitmapFont font{3, 2, 0, 1, characters};
    LitPipeline gl;
    gl.rasterPos(0, 0, 0);
    gl.bitmapCharacter(font, 1);  // no glyph: nothing, no advance
    gl.bitmapCharacter(font, 7);  // beyond the font: nothing
    EXPECT_EQ(gl.rasterWindow()[0], 384);
    gl.bitmapCharacter(font, 2);
    EXPECT_EQ(gl.rasterWindow()[0], 388);
    ASSERT_EQ(gl.batches().size(), 1u);
    EXPECT_EQ(gl.batches()[0].count, 6u);
    EXPECT_FLOAT_EQ(gl.frameVertices()[0].clip[1], 2.0f * 383 / 768 - 1);  // one below: yorig 1
}

namespace {

// One frame of each kind of primitive: a lit triangle (3 vertices), a triangle from arrays (3), a
// bitmap (6); change alters the state or input just before them.
void drawFrame(Pipeline& gl, const std::function<void(Pipeline&)>& change) {
    const float positions[9] = {0, 0, 0, -0.5f, 0, 0, 0, -0.5f, 0}, normals[9] = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    const std::uint8_t bits[1] = {0xE0};
    gl.clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.loadIdentity(), gl.rasterPos(0, 0, 0), gl.normal(0, 0, 1), gl.texCoord(0, 0);
    change(gl);
    gl.begin(GL_TRIANGLES), gl.vertex(0, 0, 0), gl.vertex(0.5f, 0, 0), gl.vertex(0, 0.5f, 0), gl.end();
    gl.drawArrays(GL_TRIANGLES, positions, normals, {0, 1, 2});
    gl.bitmap(3, 1, 0, 0, 3, 0, bits);
}

std::vector<std::size_t> written(const Pipeline& gl) {
    std::vector<std::size_t> out;
    for (const auto& r : gl.changedVertices()) out.insert(out.end(), {r.first, r.last});
    return out;
}

}  // namespace

TEST(PipelineTest, AFrameLikeTheLastWritesOnlyWhatChanged) {
    unsigned picture = 1;
    const std::uint8_t texel[3] = {1, 2, 3};
    const float red[4] = {1, 0, 0, 1};
    const std::vector<std::pair<std::function<void(Pipeline&)>, std::vector<std::size_t>>> cases = {
        {[](Pipeline&) {}, {}},
        {[](Pipeline& gl) { gl.translate(0, 0, 0.25f); }, {0, 6}},
        {[](Pipeline& gl) { gl.matrixMode(GL_PROJECTION), gl.scale(2, 2, 2), gl.matrixMode(GL_MODELVIEW); }, {0, 6}},
        {[&](Pipeline& gl) { gl.color(red); }, {0, 6}},
        {[](Pipeline& gl) { gl.normal(0, 0, 0.5f); }, {0, 3}},  // the arrays bring their own
        {[](Pipeline& gl) { gl.texCoord(1, 0); }, {0, 6}},
        {[](Pipeline& gl) { gl.enable(GL_LIGHTING, false); }, {0, 6}},
        {[](Pipeline& gl) { gl.enable(GL_LIGHT0, false); }, {0, 6}},
        {[](Pipeline& gl) { gl.enable(GL_COLOR_MATERIAL, false); }, {0, 6}},
        {[](Pipeline& gl) { gl.enable(GL_DEPTH_TEST, false); }, {0, 12}},
        {[&](Pipeline& gl) { gl.texImage2D(1, 1, GL_RGB, texel), gl.enable(GL_TEXTURE_2D, true); }, {0, 6}},
        {[](Pipeline& gl) { gl.rasterPos(0.25f, 0, 0); }, {6, 12}},
        {[](Pipeline& gl) { gl.viewport(0, 0, 512, 512), gl.rasterPos(0, 0, 0); }, {6, 12}},
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        LitPipeline gl, fresh;
        gl.genTextures(1, &picture), fresh.genTextures(1, &picture);
        gl.bindTexture(picture), fresh.bindTexture(picture);
        drawFrame(gl, [](Pipeline&) {});
        gl.finishFrame();
        drawFrame(gl, cases[c].first);
        drawFrame(fresh, cases[c].first);
        EXPECT_EQ(written(gl), cases[c].second) << "case " << c;
        // Whatever stands or is written, the frame is the one drawn from scratch.
        ASSERT_EQ(gl.frameVertexCount(), fresh.frameVertexCount()) << c;
        EXPECT_EQ(0, std::memcmp(gl.frameVertices().data(), fresh.frameVertices().data(),
                                 gl.frameVertexCount() * sizeof(fixedgl::Vertex))) << c;
        ASSERT_EQ(gl.batches().size(), fresh.batches().size()) << c;
        for (std::size_t b = 0; b < gl.batches().size(); ++b) {
            const Batch &x = gl.batches()[b], &y = fresh.batches()[b];
            EXPECT_EQ(std::tie(x.lines, x.depthTest, x.texture, x.shading, x.first, x.count),
                      std::tie(y.lines, y.depthTest, y.texture, y.shading, y.first, y.count)) << c;
        }
    }
}

TEST(PipelineTest, MovedOrOverwrittenVerticesAreWrittenAgain) {
    // A first primitive of six vertices instead of three moves every later one: all are written.
    const auto points = [](int n) {
        return [n](Pipeline& gl) {
            gl.begin(GL_TRIANGLES);
            for (int i = 0; i < n; ++i) gl.vertex(0, 0, 0);
            gl.end();
        };
    };
    LitPipeline gl;
    drawFrame(gl, points(3));
    gl.finishFrame();
    drawFrame(gl, points(6));
    EXPECT_EQ(written(gl), (std::vector<std::size_t>{0, 18}));
    gl.finishFrame();
    // What was drawn before a clear overwrote the last frame's vertices: all are written again,
    // and the ranges written before the clear stay to be uploaded.
    drawFrame(gl, [](Pipeline&) {});
    gl.finishFrame();
    points(3)(gl);
    drawFrame(gl, [](Pipeline&) {});
    EXPECT_EQ(written(gl), (std::vector<std::size_t>{0, 12}));
}
