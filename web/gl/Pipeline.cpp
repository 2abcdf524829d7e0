#include "web/gl/Pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fixedgl {

namespace {

// OpenGL's enum values, the ones this pipeline looks at.
constexpr unsigned glLines = 0x0001, glLineLoop = 0x0002, glLineStrip = 0x0003, glTriangles = 0x0004,
                   glTriangleStrip = 0x0005, glTriangleFan = 0x0006, glQuads = 0x0007;
constexpr unsigned glDepthBufferBit = 0x0100, glColorBufferBit = 0x4000;
constexpr unsigned glDepthTest = 0x0B71, glLighting = 0x0B50, glLight0 = 0x4000, glColorMaterial = 0x0B57,
                   glTexture2D = 0x0DE1;
constexpr unsigned glModelview = 0x1700, glProjection = 0x1701;
constexpr unsigned glModulate = 0x2100, glReplace = 0x1E01;
constexpr unsigned glUnpackAlignment = 0x0CF5;
constexpr unsigned glRgb = 0x1907, glRgba = 0x1908;

// OpenGL's default lighting: a scene ambient of 0.2, light 0 white and shining along -z in eye
// space from (0, 0, 1, 0), no specular material, and without colour material an ambient of 0.2
// and a diffuse of 0.8.
constexpr float sceneAmbient = 0.2f;
constexpr float defaultMaterialAmbient = 0.2f;
constexpr float defaultMaterialDiffuse = 0.8f;

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

bool isLineMode(unsigned mode) { return mode == glLines || mode == glLineLoop || mode == glLineStrip; }

// What a primitive's key begins with, so that different calls never share one.
enum KeyKind : unsigned { beginEndKey = 1, arraysKey, bitmapKey };

}  // namespace

Pipeline::Pipeline() : matrixMode_(glModelview), texEnvMode_(glModulate) {
    modelview_[0] = identityMatrix;
    projection_[0] = identityMatrix;
    textureHasImage_.push_back(false);  // the default texture 0
}

void Pipeline::enable(unsigned cap, bool on) {
    if (inside_) return;
    switch (cap) {
        case glDepthTest:
            depthTest_ = on;
            break;
        case glLighting:
            lighting_ = on;
            break;
        case glLight0:
            light0_ = on;
            break;
        case glColorMaterial:
            colorMaterial_ = on;
            break;
        case glTexture2D:
            texture2D_ = on;
            break;
        default:
            break;
    }
}

bool Pipeline::isEnabled(unsigned cap) const {
    switch (cap) {
        case glDepthTest:
            return depthTest_;
        case glLighting:
            return lighting_;
        case glLight0:
            return light0_;
        case glColorMaterial:
            return colorMaterial_;
        case glTexture2D:
            return texture2D_;
        default:
            return false;
    }
}

void Pipeline::clearColor(float r, float g, float b, float a) {
    clearColour_ = {clamp01(r), clamp01(g), clamp01(b), clamp01(a)};
}

void Pipeline::clear(unsigned mask) {
    if (inside_) return;
    // The game always clears colour and depth together, before it draws anything: a clear starts
    // the frame afresh.
    if ((mask & (glColorBufferBit | glDepthBufferBit)) != 0) {
        // What was drawn since the last frame overwrote some of its vertices: none of them is
        // taken as they were. The written ranges stay to be uploaded.
        if (!primitives_.empty()) {
            lastPrimitives_.clear();
            if (!changed_.empty()) changed_ = {{changed_.front().first, changed_.back().last}};
        }
        batches_.clear();
        primitives_.clear();
        keys_.clear();
        used_ = 0;
        cleared_ = true;
    }
}

void Pipeline::viewport(int x, int y, int width, int height) {
    if (width < 0 || height < 0) return;
    viewport_ = {x, y, width, height};
}

void Pipeline::matrixMode(unsigned mode) {
    if (!inside_ && (mode == glModelview || mode == glProjection)) matrixMode_ = mode;
}

Matrix& Pipeline::current() {
    return matrixMode_ == glProjection ? projection_[projectionDepth_] : modelview_[modelviewDepth_];
}

void Pipeline::changed() {
    if (matrixMode_ == glModelview) normalMatrixValid_ = false;
}

void Pipeline::pushMatrix() {
    if (inside_) return;
    int& depth = matrixMode_ == glProjection ? projectionDepth_ : modelviewDepth_;
    auto& stack = matrixMode_ == glProjection ? projection_ : modelview_;
    if (depth + 1 >= stackDepth) return;
    stack[depth + 1] = stack[depth];
    ++depth;
}

void Pipeline::popMatrix() {
    if (inside_) return;
    int& depth = matrixMode_ == glProjection ? projectionDepth_ : modelviewDepth_;
    if (depth == 0) return;
    --depth;
    changed();
}

void Pipeline::loadIdentity() {
    if (inside_) return;
    current() = identityMatrix;
    changed();
}

void Pipeline::multMatrix(const Matrix& m) {
    if (inside_) return;
    current() = multiply(current(), m);
    changed();
}

void Pipeline::rotate(float angle, float x, float y, float z) {
    Matrix m;
    if (rotation(angle, x, y, z, m)) multMatrix(m);
}

void Pipeline::scale(float x, float y, float z) { multMatrix(scaling(x, y, z)); }

void Pipeline::translate(float x, float y, float z) { multMatrix(translation(x, y, z)); }

void Pipeline::perspective(double fovy, double aspect, double zNear, double zFar) {
    Matrix m;
    if (fixedgl::perspective(fovy, aspect, zNear, zFar, m)) multMatrix(m);
}

const Matrix& Pipeline::normalMatrix() const {
    if (!normalMatrixValid_) {
        normalMatrix_ = inverseOrIdentity(modelview());
        normalMatrixValid_ = true;
    }
    return normalMatrix_;
}

std::array<float, 4> Pipeline::litColour(const float normal[3]) const { return litColour(normal, colour_); }

std::array<float, 4> Pipeline::litColour(const float normal[3], const float colour[4]) const {
    if (!lighting_) return {colour[0], colour[1], colour[2], colour[3]};
    float ambient[4], diffuse[4];
    for (int i = 0; i < 4; ++i) {
        ambient[i] = colorMaterial_ ? colour[i] : (i == 3 ? 1.0f : defaultMaterialAmbient);
        diffuse[i] = colorMaterial_ ? colour[i] : (i == 3 ? 1.0f : defaultMaterialDiffuse);
    }
    // The normal goes through the inverse transpose of the model-view, unnormalised: its length
    // scales the diffuse term. Light 0 lies along +z in eye space, so n . L is the eye z.
    const Matrix& inv = normalMatrix();
    const float eyeZ = normal[0] * inv[8] + normal[1] * inv[9] + normal[2] * inv[10];
    const float diffuseFactor = light0_ ? std::max(eyeZ, 0.0f) : 0.0f;
    std::array<float, 4> out;
    for (int i = 0; i < 3; ++i) out[i] = clamp01(sceneAmbient * ambient[i] + diffuseFactor * diffuse[i]);
    out[3] = clamp01(diffuse[3]);
    return out;
}

Vertex Pipeline::process(const float position[3], const float normal[3], const float colour[4],
                         const float tex[2]) const {
    Vertex v;
    const float object[4] = {position[0], position[1], position[2], 1.0f};
    float eye[4];
    transform(modelview(), object, eye);
    transform(projection(), eye, v.clip);
    const auto c = litColour(normal, colour);
    std::copy(c.begin(), c.end(), v.color);
    v.tex[0] = tex[0];
    v.tex[1] = tex[1];
    return v;
}

static_assert(sizeof(float) == sizeof(std::uint32_t), "a float is one word of a key");

void Pipeline::key(const void* words, std::size_t n) {
    if (n == 0) return;
    const std::size_t at = keys_.size();
    keys_.resize(at + n);
    std::memcpy(keys_.data() + at, words, n * sizeof(std::uint32_t));
}

// The state a primitive's vertices and batch depend on. A bitmap's raster position and colour are
// already worked out, and it is never textured: only the depth test is its; vertices that are
// transformed and lit depend on the matrices, the lighting and the texture state.
void Pipeline::keyState(unsigned kind, bool transformed) {
    key(kind);
    key(static_cast<unsigned>(depthTest_));
    if (!transformed) return;
    key(static_cast<unsigned>(texture2D_) | static_cast<unsigned>(hasImage(boundTexture_)) << 1 |
        static_cast<unsigned>(lighting_) << 2 | static_cast<unsigned>(light0_) << 3 |
        static_cast<unsigned>(colorMaterial_) << 4);
    key(texEnvMode_);
    key(boundTexture_);
    key(modelview().data(), 16);
    key(projection().data(), 16);
}

bool Pipeline::reused(std::size_t keyStart) {
    const std::size_t i = primitives_.size();
    const std::size_t length = keys_.size() - keyStart;
    if (i >= lastPrimitives_.size()) return false;
    const Primitive& last = lastPrimitives_[i];
    if (last.first != used_ || last.keyLength != length ||
        std::memcmp(lastKeys_.data() + last.key, keys_.data() + keyStart, length * sizeof(std::uint32_t)) != 0)
        return false;
    if (last.batched) batchFor(last.lines).count += last.count;
    used_ += last.count;
    primitives_.push_back({keyStart, length, last.first, last.count, last.lines, last.batched});
    return true;
}

void Pipeline::drawn(std::size_t keyStart, std::size_t first, bool lines, bool batched) {
    primitives_.push_back({keyStart, keys_.size() - keyStart, first, used_ - first, lines, batched});
    if (used_ == first) return;
    // Writes go forward through the frame, except from 0 again after a clear amid the drawing.
    if (!changed_.empty() && first <= changed_.back().last) {
        changed_.back().first = std::min(changed_.back().first, first);
        changed_.back().last = std::max(changed_.back().last, used_);
    } else {
        changed_.push_back({first, used_});
    }
}

void Pipeline::begin(unsigned mode) {
    if (inside_ || mode > glQuads) return;
    inside_ = true;
    mode_ = mode;
    inputs_.clear();
}

void Pipeline::end() {
    if (!inside_) return;
    inside_ = false;
    const std::size_t keyStart = keys_.size();
    keyState(beginEndKey, true);
    key(mode_);
    static_assert(sizeof(Input) == 12 * sizeof(float), "an Input is twelve floats, unpadded");
    key(inputs_.data(), 12 * inputs_.size());
    if (reused(keyStart)) return;
    pending_.clear();
    for (const Input& in : inputs_) pending_.push_back(process(in.position, in.normal, in.colour, in.tex));
    const std::size_t first = used_;
    const bool batched = emitPrimitive(mode_, pending_);
    drawn(keyStart, first, isLineMode(mode_), batched);
}

void Pipeline::vertex(float x, float y, float z) {
    if (!inside_) return;
    inputs_.push_back({{x, y, z},
                       {normal_[0], normal_[1], normal_[2]},
                       {colour_[0], colour_[1], colour_[2], colour_[3]},
                       {tex_[0], tex_[1]}});
}

void Pipeline::normal(float x, float y, float z) { normal_[0] = x, normal_[1] = y, normal_[2] = z; }

void Pipeline::texCoord(float s, float t) { tex_[0] = s, tex_[1] = t; }

void Pipeline::color(const float* rgba) {
    for (int i = 0; i < 4; ++i) colour_[i] = rgba[i];
}

void Pipeline::drawArrays(unsigned mode, const float* positions, const float* normals,
                          const std::vector<int>& indices) {
    if (inside_) return;
    const std::size_t keyStart = keys_.size();
    keyState(arraysKey, true);
    key(mode);
    key(colour_, 4);
    key(tex_, 2);
    std::size_t at = keys_.size();
    keys_.resize(at + 6 * indices.size());
    for (int i : indices) {
        std::memcpy(keys_.data() + at, positions + 3 * i, 3 * sizeof(float));
        std::memcpy(keys_.data() + at + 3, normals + 3 * i, 3 * sizeof(float));
        at += 6;
    }
    if (reused(keyStart)) return;
    pending_.clear();
    for (int i : indices) pending_.push_back(process(positions + 3 * i, normals + 3 * i, colour_, tex_));
    const std::size_t first = used_;
    const bool batched = emitPrimitive(mode, pending_);
    drawn(keyStart, first, isLineMode(mode), batched);
}

Batch& Pipeline::batchFor(bool lines) {
    const bool textured = texture2D_ && hasImage(boundTexture_);
    const Shading shading = !textured                  ? Shading::colour
                            : texEnvMode_ == glReplace ? Shading::replace
                                                       : Shading::modulate;
    const unsigned texture = textured ? boundTexture_ : 0;
    if (batches_.empty() || batches_.back().lines != lines || batches_.back().depthTest != depthTest_ ||
        batches_.back().shading != shading || batches_.back().texture != texture) {
        Batch b;
        b.lines = lines;
        b.depthTest = depthTest_;
        b.shading = shading;
        b.texture = texture;
        b.first = used_;
        batches_.push_back(b);
    }
    return batches_.back();
}

// The next vertex of the frame, in the current batch.
void Pipeline::put(const Vertex& v) {
    if (used_ < vertices_.size())
        vertices_[used_] = v;
    else
        vertices_.push_back(v);
    ++used_;
    ++batches_.back().count;
}

bool Pipeline::emitPrimitive(unsigned mode, const std::vector<Vertex>& vs) {
    const std::size_t n = vs.size();
    if (isLineMode(mode)) {
        if (n < 2) return false;
        batchFor(true);
        if (mode == glLines) {
            for (std::size_t i = 0; i + 1 < n; i += 2) put(vs[i]), put(vs[i + 1]);
            return true;
        }
        for (std::size_t i = 0; i + 1 < n; ++i) put(vs[i]), put(vs[i + 1]);
        if (mode == glLineLoop) put(vs[n - 1]), put(vs[0]);
        return true;
    }
    if (n < 3) return false;
    batchFor(false);
    auto tri = [this, &vs](std::size_t a, std::size_t b, std::size_t c) { put(vs[a]), put(vs[b]), put(vs[c]); };
    switch (mode) {
        case glTriangles:
            for (std::size_t i = 0; i + 2 < n; i += 3) tri(i, i + 1, i + 2);
            break;
        case glTriangleStrip:
            for (std::size_t i = 0; i + 2 < n; ++i) i % 2 == 0 ? tri(i, i + 1, i + 2) : tri(i + 1, i, i + 2);
            break;
        case glTriangleFan:
            for (std::size_t i = 1; i + 1 < n; ++i) tri(0, i, i + 1);
            break;
        case glQuads:
            for (std::size_t i = 0; i + 3 < n; i += 4) tri(i, i + 1, i + 2), tri(i, i + 2, i + 3);
            break;
        default:
            break;
    }
    return true;
}

void Pipeline::rasterPos(float x, float y, float z) {
    if (inside_) return;
    const float object[4] = {x, y, z, 1.0f};
    float eye[4], clip[4];
    transform(modelview(), object, eye);
    transform(projection(), eye, clip);
    const float w = clip[3];
    // A raster position outside the view volume is invalid, and bitmaps drawn there are dropped.
    rasterValid_ = std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w && std::fabs(clip[2]) <= w && w > 0;
    if (!rasterValid_) return;
    const float ndc[3] = {clip[0] / w, clip[1] / w, clip[2] / w};
    rasterWindow_ = {viewport_[0] + (ndc[0] + 1) * 0.5f * viewport_[2],
                     viewport_[1] + (ndc[1] + 1) * 0.5f * viewport_[3], (ndc[2] + 1) * 0.5f};
    rasterColour_ = litColour(normal_);
}

void Pipeline::bitmap(int width, int height, float xorig, float yorig, float xmove, float ymove,
                      const std::uint8_t* bits) {
    if (inside_ || !rasterValid_) return;
    if (viewport_[2] > 0 && viewport_[3] > 0 && bits != nullptr) {
        const int rowBytes = (width + 7) / 8;
        // Drawn in the raster colour, never textured. Its key: the state, the raster position and
        // colour, the viewport, the bitmap's size, origin and bits.
        const bool saved = texture2D_;
        texture2D_ = false;
        const std::size_t keyStart = keys_.size();
        keyState(bitmapKey, false);
        key(rasterWindow_.data(), 3);
        key(rasterColour_.data(), 4);
        for (int i = 0; i < 4; ++i) key(static_cast<unsigned>(viewport_[i]));
        key(static_cast<unsigned>(width));
        key(static_cast<unsigned>(height));
        key(&xorig, 1);
        key(&yorig, 1);
        const std::size_t byteCount = height > 0 && rowBytes > 0 ? static_cast<std::size_t>(rowBytes) * height : 0;
        for (std::size_t i = 0; i < byteCount; ++i) key(bits[i]);
        if (!reused(keyStart)) {
            const std::size_t first = used_;
            drawBitmap(width, height, xorig, yorig, bits);
            drawn(keyStart, first, false, true);
        }
        texture2D_ = saved;
    }
    rasterWindow_[0] += xmove;
    rasterWindow_[1] += ymove;
}

// Each run of set bits in a row becomes one rectangle of whole pixels, at the raster depth.
void Pipeline::drawBitmap(int width, int height, float xorig, float yorig, const std::uint8_t* bits) {
    const int x0 = static_cast<int>(std::floor(rasterWindow_[0] - xorig));
    const int y0 = static_cast<int>(std::floor(rasterWindow_[1] - yorig));
    const int rowBytes = (width + 7) / 8;
    batchFor(false);
    const float z = 2 * rasterWindow_[2] - 1;
    auto corner = [&](int px, int py) {
        Vertex v;
        v.clip[0] = 2.0f * (px - viewport_[0]) / viewport_[2] - 1;
        v.clip[1] = 2.0f * (py - viewport_[1]) / viewport_[3] - 1;
        v.clip[2] = z;
        v.clip[3] = 1;
        std::copy(rasterColour_.begin(), rasterColour_.end(), v.color);
        v.tex[0] = v.tex[1] = 0;
        return v;
    };
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* line = bits + row * rowBytes;
        for (int i = 0; i < width;) {
            if ((line[i / 8] & (0x80 >> (i % 8))) == 0) {
                ++i;
                continue;
            }
            int j = i;
            while (j < width && (line[j / 8] & (0x80 >> (j % 8))) != 0) ++j;
            const Vertex a = corner(x0 + i, y0 + row), b = corner(x0 + j, y0 + row);
            const Vertex c = corner(x0 + j, y0 + row + 1), d = corner(x0 + i, y0 + row + 1);
            for (const Vertex& v : {a, b, c, a, c, d}) put(v);
            i = j;
        }
    }
}

void Pipeline::bitmapCharacter(const BitmapFont& font, int character) {
    if (character < 1 || character >= font.quantity) return;
    const unsigned char* face = font.characters[character];
    if (face == nullptr) return;
    bitmap(face[0], font.height, font.xorig, font.yorig, static_cast<float>(face[0]), 0.0f, face + 1);
}

void Pipeline::pixelStore(unsigned name, int value) {
    if (name == glUnpackAlignment && (value == 1 || value == 2 || value == 4 || value == 8)) unpackAlignment_ = value;
}

void Pipeline::genTextures(int n, unsigned* names) {
    for (int i = 0; i < n; ++i) {
        names[i] = nextTexture_++;
        textureHasImage_.resize(nextTexture_, false);
    }
}

void Pipeline::deleteTextures(int n, const unsigned* names) {
    for (int i = 0; i < n; ++i) {
        const unsigned name = names[i];
        if (name == 0 || name >= textureHasImage_.size()) continue;
        if (textureHasImage_[name] && textureSink_ != nullptr) textureSink_->release(name);
        textureHasImage_[name] = false;
        if (boundTexture_ == name) boundTexture_ = 0;
    }
}

void Pipeline::bindTexture(unsigned name) {
    if (inside_) return;
    if (name >= textureHasImage_.size()) textureHasImage_.resize(name + 1, false);
    boundTexture_ = name;
}

bool Pipeline::hasImage(unsigned name) const { return name < textureHasImage_.size() && textureHasImage_[name]; }

void Pipeline::texImage2D(int width, int height, unsigned format, const void* pixels) {
    if (inside_ || boundTexture_ == 0 || width <= 0 || height <= 0 || pixels == nullptr) return;
    if (format != glRgb && format != glRgba) return;
    const int channels = format == glRgb ? 3 : 4;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
    const std::size_t stride = (rowBytes + unpackAlignment_ - 1) / unpackAlignment_ * unpackAlignment_;
    const auto* bytes = static_cast<const std::uint8_t*>(pixels);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* in = bytes + y * stride + static_cast<std::size_t>(x) * channels;
            std::uint8_t* out = rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            out[0] = in[0], out[1] = in[1], out[2] = in[2];
            out[3] = channels == 4 ? in[3] : 255;
        }
    textureHasImage_[boundTexture_] = true;
    if (textureSink_ != nullptr) textureSink_->upload(boundTexture_, width, height, rgba);
}

std::vector<Vertex> Pipeline::verticesOf(const Batch& batch) const {
    return {vertices_.begin() + static_cast<std::ptrdiff_t>(batch.first),
            vertices_.begin() + static_cast<std::ptrdiff_t>(batch.first + batch.count)};
}

void Pipeline::finishFrame() {
    keys_.swap(lastKeys_);
    primitives_.swap(lastPrimitives_);
    keys_.clear();
    primitives_.clear();
    batches_.clear();
    changed_.clear();
    used_ = 0;
    cleared_ = false;
}

}  // namespace fixedgl
