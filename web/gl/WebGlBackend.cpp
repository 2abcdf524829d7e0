#include "web/gl/WebGlBackend.h"

#include <GLES2/gl2.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <string>

// WebGL through emscripten's own names for it: the plain gl* names belong to our fixed-function layer.
extern "C" {
void emscripten_glActiveTexture(GLenum);
void emscripten_glAttachShader(GLuint, GLuint);
void emscripten_glBindBuffer(GLenum, GLuint);
void emscripten_glBindTexture(GLenum, GLuint);
void emscripten_glBufferData(GLenum, GLsizeiptr, const void*, GLenum);
void emscripten_glBufferSubData(GLenum, GLintptr, GLsizeiptr, const void*);
void emscripten_glClear(GLbitfield);
void emscripten_glClearColor(GLfloat, GLfloat, GLfloat, GLfloat);
void emscripten_glCompileShader(GLuint);
GLuint emscripten_glCreateProgram(void);
GLuint emscripten_glCreateShader(GLenum);
void emscripten_glDeleteTextures(GLsizei, const GLuint*);
void emscripten_glDepthMask(GLboolean);
void emscripten_glDisable(GLenum);
void emscripten_glDrawArrays(GLenum, GLint, GLsizei);
void emscripten_glEnable(GLenum);
void emscripten_glEnableVertexAttribArray(GLuint);
void emscripten_glGenBuffers(GLsizei, GLuint*);
void emscripten_glGenTextures(GLsizei, GLuint*);
GLint emscripten_glGetAttribLocation(GLuint, const GLchar*);
void emscripten_glGetProgramiv(GLuint, GLenum, GLint*);
void emscripten_glGetShaderiv(GLuint, GLenum, GLint*);
GLint emscripten_glGetUniformLocation(GLuint, const GLchar*);
void emscripten_glLinkProgram(GLuint);
void emscripten_glPixelStorei(GLenum, GLint);
void emscripten_glShaderSource(GLuint, GLsizei, const GLchar* const*, const GLint*);
void emscripten_glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*);
void emscripten_glTexParameteri(GLenum, GLenum, GLint);
void emscripten_glUniform1i(GLint, GLint);
void emscripten_glUseProgram(GLuint);
void emscripten_glVertexAttribPointer(GLuint, GLint, GLenum, GLboolean, GLsizei, const void*);
void emscripten_glViewport(GLint, GLint, GLsizei, GLsizei);
}

namespace {

constexpr const char* vertexShader = R"(
attribute vec4 position;
attribute vec4 colour;
attribute vec2 texCoord;
varying vec4 vColour;
varying vec2 vTexCoord;
void main() {
    gl_Position = position;
    vColour = colour;
    vTexCoord = texCoord;
}
)";

// shading: 0 the lit colour, 1 the texture's colour (GL_REPLACE), 2 both multiplied (GL_MODULATE).
constexpr const char* fragmentShader = R"(
precision highp float;
uniform sampler2D picture;
uniform int shading;
varying vec4 vColour;
varying vec2 vTexCoord;
void main() {
    if (shading == 0) {
        gl_FragColor = vColour;
    } else {
        vec4 texel = texture2D(picture, vTexCoord);
        gl_FragColor = shading == 1 ? texel : vColour * texel;
    }
}
)";

constexpr int floatsPerVertex = 10;  // clip position 4, colour 4, texture coordinate 2
// The pipeline's vertices go to WebGL as they are, with no copy in between.
static_assert(sizeof(fixedgl::Vertex) == floatsPerVertex * sizeof(float), "a Vertex is ten floats, unpadded");

/// Compiles one shader into shader. Returns "" or why not.
[[nodiscard]] std::string compile(GLenum kind, const char* source, GLuint& shader) {
    shader = emscripten_glCreateShader(kind);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint ok = 0;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    return ok == 0 ? "the browser cannot compile the game's shaders" : "";
}

}  // namespace

std::string WebGlBackend::open(const char* canvasSelector) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;  // a frame stays up until the next redisplay
    attributes.majorVersion = 1;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(canvasSelector, &attributes);
    if (context <= 0) return "this browser gives the page no WebGL";
    emscripten_webgl_make_context_current(context);

    GLuint vs = 0;
    GLuint fs = 0;
    std::string problem = compile(GL_VERTEX_SHADER, vertexShader, vs);
    if (problem.empty()) problem = compile(GL_FRAGMENT_SHADER, fragmentShader, fs);
    if (!problem.empty()) return problem;
    program_ = emscripten_glCreateProgram();
    emscripten_glAttachShader(program_, vs);
    emscripten_glAttachShader(program_, fs);
    emscripten_glLinkProgram(program_);
    GLint linked = 0;
    emscripten_glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (linked == 0) return "the browser cannot link the game's shaders";
    emscripten_glUseProgram(program_);
    positionAttribute_ = emscripten_glGetAttribLocation(program_, "position");
    colourAttribute_ = emscripten_glGetAttribLocation(program_, "colour");
    texAttribute_ = emscripten_glGetAttribLocation(program_, "texCoord");
    shadingUniform_ = emscripten_glGetUniformLocation(program_, "shading");
    samplerUniform_ = emscripten_glGetUniformLocation(program_, "picture");
    emscripten_glUniform1i(samplerUniform_, 0);
    emscripten_glGenBuffers(1, &buffer_);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    const GLsizei stride = floatsPerVertex * sizeof(float);
    emscripten_glEnableVertexAttribArray(positionAttribute_);
    emscripten_glVertexAttribPointer(positionAttribute_, 4, GL_FLOAT, GL_FALSE, stride, nullptr);
    emscripten_glEnableVertexAttribArray(colourAttribute_);
    emscripten_glVertexAttribPointer(colourAttribute_, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(4 * sizeof(float)));
    emscripten_glEnableVertexAttribArray(texAttribute_);
    emscripten_glVertexAttribPointer(texAttribute_, 2, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(8 * sizeof(float)));
    emscripten_glActiveTexture(GL_TEXTURE0);
    return "";
}

void WebGlBackend::upload(unsigned name, int width, int height, const std::vector<std::uint8_t>& rgba) {
    auto found = textures_.find(name);
    GLuint texture = 0;
    if (found == textures_.end()) {
        emscripten_glGenTextures(1, &texture);
        textures_[name] = texture;
    } else {
        texture = found->second;
    }
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // WebGL 1 samples pictures of any size only without mipmaps and with clamped edges.
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void WebGlBackend::release(unsigned name) {
    auto found = textures_.find(name);
    if (found == textures_.end()) return;
    emscripten_glDeleteTextures(1, &found->second);
    textures_.erase(found);
}

void WebGlBackend::present(fixedgl::Pipeline& pipeline) {
    const auto& box = pipeline.viewportBox();
    emscripten_glViewport(box[0], box[1], box[2], box[3]);
    emscripten_glDepthMask(GL_TRUE);
    if (pipeline.cleared()) {
        const auto& c = pipeline.clearColour();
        emscripten_glClearColor(c[0], c[1], c[2], c[3]);
        emscripten_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    const std::size_t total = pipeline.frameVertexCount();
    if (total == 0) {
        pipeline.finishFrame();
        return;
    }
    emscripten_glUseProgram(program_);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    // The buffer holds the last frame's vertices: only the ones the pipeline worked out again are
    // written, and the rest of the table is drawn as it stands. It grows to the largest frame, and
    // a grown buffer takes the whole frame.
    const fixedgl::Vertex* vertices = pipeline.frameVertices().data();
    if (total > bufferVertices_) {
        bufferVertices_ = total;
        emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(total * sizeof(fixedgl::Vertex)), vertices,
                                GL_DYNAMIC_DRAW);
    } else {
        for (const fixedgl::VertexRange& r : pipeline.changedVertices()) {
            const std::size_t last = std::min(r.last, total);
            if (r.first >= last) continue;
            emscripten_glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(r.first * sizeof(fixedgl::Vertex)),
                                       static_cast<GLsizeiptr>((last - r.first) * sizeof(fixedgl::Vertex)),
                                       vertices + r.first);
        }
    }
    // Each batch sets only the state that differs from the batch before it.
    int depthTest = -1, shading = -1;
    unsigned bound = 0;
    for (const auto& batch : pipeline.batches()) {
        if (batch.count == 0) continue;
        if (static_cast<int>(batch.depthTest) != depthTest) {
            depthTest = batch.depthTest;
            if (batch.depthTest)
                emscripten_glEnable(GL_DEPTH_TEST);
            else
                emscripten_glDisable(GL_DEPTH_TEST);
        }
        int batchShading = 0;
        if (batch.shading != fixedgl::Shading::colour) {
            auto found = textures_.find(batch.texture);
            if (found != textures_.end()) {
                if (found->second != bound) emscripten_glBindTexture(GL_TEXTURE_2D, bound = found->second);
                batchShading = batch.shading == fixedgl::Shading::replace ? 1 : 2;
            }
        }
        if (batchShading != shading) emscripten_glUniform1i(shadingUniform_, shading = batchShading);
        emscripten_glDrawArrays(batch.lines ? GL_LINES : GL_TRIANGLES, static_cast<GLint>(batch.first),
                                static_cast<GLsizei>(batch.count));
    }
    pipeline.finishFrame();
}
