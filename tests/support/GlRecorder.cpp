#include "support/GlRecorder.h"

#include <cstddef>
#include <cstring>
#include <iomanip>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>

namespace {

// The smallest matrix stacks OpenGL allows: code that fits these fits every driver.
constexpr int maxModelviewDepth = 32;
constexpr int maxProjectionDepth = 2;
constexpr int maxTextureDepth = 2;
constexpr int defaultWindowSize = 300;  // GLUT's window size when none is asked for
constexpr int defaultMaxViewportSide = 16384;  // what Mesa's software renderer answers
constexpr int fakeCharacterWidth = 10;  // every bitmap character, in pixels
constexpr int fakeFontHeight = 18;

/// The one simulated context: what a fresh GlRecorder resets.
struct Context {
    Calls calls;
    std::vector<TexImage> texImages;
    std::set<GLenum> enabled;
    std::map<GLenum, int> depth{{GL_MODELVIEW, 1}, {GL_PROJECTION, 1}, {GL_TEXTURE, 1}};
    GLenum matrixMode = GL_MODELVIEW;
    GLuint boundTexture2D = 0;
    GLint unpackAlignment = 4;
    bool insideBeginEnd = false;
    GLenum error = GL_NO_ERROR;
    GLuint nextTextureName = 1;
    std::set<GLuint> liveTextureNames;
    GLint viewport[4] = {0, 0, defaultWindowSize, defaultWindowSize};
    GLint maxViewportDims[2] = {defaultMaxViewportSide, defaultMaxViewportSide};
    int redisplays = 0;
    GlutCallbacks callbacks;
    int elapsedTime = 0;
    std::string windowTitle;
    int windowWidth = defaultWindowSize;
    int windowHeight = defaultWindowSize;
    bool initialised = false;
    bool mainLoopLeft = false;
};

Context& context() {
    static Context instance;
    return instance;
}

const GlRecorder* activeRecorder = nullptr;
long texturesGeneratedTotal = 0;
long texturesDeletedTotal = 0;

template <typename... Args>
void record(const char* name, Args... args) {
    if (activeRecorder != nullptr) context().calls.emplace_back(name, static_cast<double>(args)...);
}

void recordValues(const char* name, std::vector<double> values) {
    if (activeRecorder != nullptr) context().calls.emplace_back(name, std::move(values));
}

/// Appends count floats to values; a null array adds nothing.
void appendFloats(std::vector<double>& values, const GLfloat* array, int count) {
    if (array == nullptr) return;
    for (int i = 0; i < count; ++i) values.push_back(array[i]);
}

/// GL keeps the first error until it is fetched; later ones are dropped.
void raise(GLenum error) {
    if (context().error == GL_NO_ERROR) context().error = error;
}

/// Most commands are not allowed between glBegin and glEnd: there they raise GL_INVALID_OPERATION and
/// have no effect.
bool allowedHere() {
    if (!context().insideBeginEnd) return true;
    raise(GL_INVALID_OPERATION);
    return false;
}

int maxDepth(GLenum mode) {
    if (mode == GL_PROJECTION) return maxProjectionDepth;
    if (mode == GL_TEXTURE) return maxTextureDepth;
    return maxModelviewDepth;
}

int componentsOf(GLenum format) {
    switch (format) {
        case GL_RGB:
        case GL_BGR: return 3;
        case GL_RGBA:
        case GL_BGRA: return 4;
        case GL_LUMINANCE_ALPHA: return 2;
        case GL_LUMINANCE:
        case GL_ALPHA:
        case GL_RED:
        case GL_GREEN:
        case GL_BLUE:
        case GL_DEPTH_COMPONENT: return 1;
        default: return 0;
    }
}

int bytesPerComponent(GLenum type) {
    switch (type) {
        case GL_UNSIGNED_BYTE:
        case GL_BYTE: return 1;
        case GL_UNSIGNED_SHORT:
        case GL_SHORT: return 2;
        case GL_UNSIGNED_INT:
        case GL_INT:
        case GL_FLOAT: return 4;
        default: return 0;
    }
}

int lightValueCount(GLenum pname) {
    switch (pname) {
        case GL_AMBIENT:
        case GL_DIFFUSE:
        case GL_SPECULAR:
        case GL_POSITION: return 4;
        case GL_SPOT_DIRECTION: return 3;
        default: return 1;
    }
}

int materialValueCount(GLenum pname) {
    switch (pname) {
        case GL_AMBIENT:
        case GL_DIFFUSE:
        case GL_SPECULAR:
        case GL_EMISSION:
        case GL_AMBIENT_AND_DIFFUSE: return 4;
        case GL_COLOR_INDEXES: return 3;
        default: return 1;
    }
}

/// Answers glGetIntegerv and glGetFloatv for the state the context models; anything else reads as one 0.
template <typename T>
void getValues(GLenum pname, T* params) {
    if (params == nullptr) return;
    const Context& c = context();
    switch (pname) {
        case GL_MATRIX_MODE: params[0] = static_cast<T>(c.matrixMode); return;
        case GL_MODELVIEW_STACK_DEPTH: params[0] = static_cast<T>(c.depth.at(GL_MODELVIEW)); return;
        case GL_PROJECTION_STACK_DEPTH: params[0] = static_cast<T>(c.depth.at(GL_PROJECTION)); return;
        case GL_TEXTURE_STACK_DEPTH: params[0] = static_cast<T>(c.depth.at(GL_TEXTURE)); return;
        case GL_MAX_MODELVIEW_STACK_DEPTH: params[0] = static_cast<T>(maxModelviewDepth); return;
        case GL_MAX_PROJECTION_STACK_DEPTH: params[0] = static_cast<T>(maxProjectionDepth); return;
        case GL_UNPACK_ALIGNMENT: params[0] = static_cast<T>(c.unpackAlignment); return;
        case GL_TEXTURE_BINDING_2D: params[0] = static_cast<T>(c.boundTexture2D); return;
        case GL_MAX_VIEWPORT_DIMS:
            for (int i = 0; i < 2; ++i) params[i] = static_cast<T>(c.maxViewportDims[i]);
            return;
        case GL_VIEWPORT:
            for (int i = 0; i < 4; ++i) params[i] = static_cast<T>(c.viewport[i]);
            return;
        default: params[0] = T{}; return;
    }
}

void pushMatrix() {
    Context& c = context();
    int& depth = c.depth[c.matrixMode];
    if (depth >= maxDepth(c.matrixMode)) {
        raise(GL_STACK_OVERFLOW);
        return;
    }
    ++depth;
}

void popMatrix() {
    Context& c = context();
    int& depth = c.depth[c.matrixMode];
    if (depth <= 1) {
        raise(GL_STACK_UNDERFLOW);
        return;
    }
    --depth;
}

// The font objects freeglut's GLUT_BITMAP_... and GLUT_STROKE_... macros take the address of.
struct FontId {
    const void* font;
    int id;
};

}  // namespace

// ---- GlCall -------------------------------------------------------------------------------------------

bool operator==(const GlCall& a, const GlCall& b) { return a.name == b.name && a.args == b.args; }

bool operator!=(const GlCall& a, const GlCall& b) { return !(a == b); }

std::ostream& operator<<(std::ostream& out, const GlCall& call) {
    const std::ios_base::fmtflags flags = out.flags();
    const std::streamsize precision = out.precision(std::numeric_limits<double>::max_digits10);
    out.unsetf(std::ios_base::floatfield);
    out << call.name << '(';
    for (std::size_t i = 0; i < call.args.size(); ++i) out << (i == 0 ? "" : ", ") << call.args[i];
    out << ')';
    out.precision(precision);
    out.flags(flags);
    return out;
}

void PrintTo(const GlCall& call, std::ostream* out) { *out << call; }

// ---- GlRecorder ---------------------------------------------------------------------------------------

GlRecorder::GlRecorder() {
    if (activeRecorder != nullptr) throw std::logic_error("only one GlRecorder may record at a time");
    context() = Context{};
    activeRecorder = this;
}

GlRecorder::~GlRecorder() { activeRecorder = nullptr; }

const Calls& GlRecorder::calls() const { return context().calls; }

Calls GlRecorder::callsNamed(const std::string& name) const {
    Calls named;
    for (const GlCall& call : context().calls) {
        if (call.name == name) named.push_back(call);
    }
    return named;
}

void GlRecorder::clear() {
    context().calls.clear();
    context().texImages.clear();
}

const std::vector<TexImage>& GlRecorder::texImages() const { return context().texImages; }

TexImage GlRecorder::lastTexImage() const {
    return context().texImages.empty() ? TexImage{} : context().texImages.back();
}

bool GlRecorder::isEnabled(GLenum cap) const { return context().enabled.count(cap) != 0; }

int GlRecorder::matrixDepth(GLenum mode) const {
    const auto found = context().depth.find(mode);
    return found == context().depth.end() ? 0 : found->second;
}

GLenum GlRecorder::matrixMode() const { return context().matrixMode; }

GLuint GlRecorder::boundTexture() const { return context().boundTexture2D; }

GLint GlRecorder::unpackAlignment() const { return context().unpackAlignment; }

bool GlRecorder::insideBeginEnd() const { return context().insideBeginEnd; }

GLenum GlRecorder::pendingError() const { return context().error; }

int GlRecorder::redisplayCount() const { return context().redisplays; }

const GlutCallbacks& GlRecorder::callbacks() const { return context().callbacks; }

void GlRecorder::setElapsedTime(int milliseconds) { context().elapsedTime = milliseconds; }

void GlRecorder::setMaxViewportDims(int width, int height) {
    context().maxViewportDims[0] = width;
    context().maxViewportDims[1] = height;
}

const std::string& GlRecorder::windowTitle() const { return context().windowTitle; }

bool GlRecorder::mainLoopLeft() const { return context().mainLoopLeft; }

std::string GlRecorder::bitmapText() const {
    std::string text;
    for (const GlCall& call : context().calls) {
        if (call.name != "glutBitmapCharacter" && call.name != "glutBitmapString") continue;
        for (std::size_t i = 1; i < call.args.size(); ++i) text += static_cast<char>(call.args[i]);
    }
    return text;
}

long GlRecorder::texturesGenerated() { return texturesGeneratedTotal; }

long GlRecorder::texturesDeleted() { return texturesDeletedTotal; }

long GlRecorder::liveTextures() { return texturesGeneratedTotal - texturesDeletedTotal; }

// ---- The stand-in libraries ---------------------------------------------------------------------------

extern "C" {

void* glutStrokeRoman = nullptr;
void* glutStrokeMonoRoman = nullptr;
void* glutBitmap9By15 = nullptr;
void* glutBitmap8By13 = nullptr;
void* glutBitmapTimesRoman10 = nullptr;
void* glutBitmapTimesRoman24 = nullptr;
void* glutBitmapHelvetica10 = nullptr;
void* glutBitmapHelvetica12 = nullptr;
void* glutBitmapHelvetica18 = nullptr;

// Primitives and per-vertex data: allowed between glBegin and glEnd.

void glBegin(GLenum mode) {
    record("glBegin", mode);
    if (!allowedHere()) return;
    context().insideBeginEnd = true;
}

void glEnd(void) {
    record("glEnd");
    if (!context().insideBeginEnd) {
        raise(GL_INVALID_OPERATION);
        return;
    }
    context().insideBeginEnd = false;
}

void glVertex2f(GLfloat x, GLfloat y) { record("glVertex2f", x, y); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", x, y, z); }

void glVertex3fv(const GLfloat* v) {
    std::vector<double> values;
    appendFloats(values, v, 3);
    recordValues("glVertex3fv", std::move(values));
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) { record("glNormal3f", nx, ny, nz); }

void glNormal3fv(const GLfloat* v) {
    std::vector<double> values;
    appendFloats(values, v, 3);
    recordValues("glNormal3fv", std::move(values));
}

void glTexCoord2f(GLfloat s, GLfloat t) { record("glTexCoord2f", s, t); }
void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { record("glColor3f", red, green, blue); }

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    record("glColor4f", red, green, blue, alpha);
}

void glColor3fv(const GLfloat* v) {
    std::vector<double> values;
    appendFloats(values, v, 3);
    recordValues("glColor3fv", std::move(values));
}

void glColor4fv(const GLfloat* v) {
    std::vector<double> values;
    appendFloats(values, v, 4);
    recordValues("glColor4fv", std::move(values));
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param) { record("glMaterialf", face, pname, param); }

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    std::vector<double> values{static_cast<double>(face), static_cast<double>(pname)};
    appendFloats(values, params, materialValueCount(pname));
    recordValues("glMaterialfv", std::move(values));
}

// Capabilities and queries.

void glEnable(GLenum cap) {
    record("glEnable", cap);
    if (allowedHere()) context().enabled.insert(cap);
}

void glDisable(GLenum cap) {
    record("glDisable", cap);
    if (allowedHere()) context().enabled.erase(cap);
}

GLboolean glIsEnabled(GLenum cap) {
    record("glIsEnabled", cap);
    if (!allowedHere()) return GL_FALSE;
    return context().enabled.count(cap) != 0 ? GL_TRUE : GL_FALSE;
}

GLenum glGetError(void) {
    record("glGetError");
    const GLenum error = context().error;
    context().error = GL_NO_ERROR;
    return error;
}

void glGetIntegerv(GLenum pname, GLint* params) {
    record("glGetIntegerv", pname);
    if (allowedHere()) getValues(pname, params);
}

void glGetFloatv(GLenum pname, GLfloat* params) {
    record("glGetFloatv", pname);
    if (allowedHere()) getValues(pname, params);
}

void glHint(GLenum target, GLenum mode) {
    record("glHint", target, mode);
    allowedHere();
}

// Matrices.

void glMatrixMode(GLenum mode) {
    record("glMatrixMode", mode);
    if (!allowedHere()) return;
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE) {
        raise(GL_INVALID_ENUM);
        return;
    }
    context().matrixMode = mode;
}

void glPushMatrix(void) {
    record("glPushMatrix");
    if (allowedHere()) pushMatrix();
}

void glPopMatrix(void) {
    record("glPopMatrix");
    if (allowedHere()) popMatrix();
}

void glLoadIdentity(void) {
    record("glLoadIdentity");
    allowedHere();
}

void glLoadMatrixf(const GLfloat* m) {
    std::vector<double> values;
    appendFloats(values, m, 16);
    recordValues("glLoadMatrixf", std::move(values));
    allowedHere();
}

void glMultMatrixf(const GLfloat* m) {
    std::vector<double> values;
    appendFloats(values, m, 16);
    recordValues("glMultMatrixf", std::move(values));
    allowedHere();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    record("glTranslatef", x, y, z);
    allowedHere();
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef", angle, x, y, z);
    allowedHere();
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    record("glScalef", x, y, z);
    allowedHere();
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    record("glOrtho", left, right, bottom, top, zNear, zFar);
    allowedHere();
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    record("glViewport", x, y, width, height);
    if (!allowedHere()) return;
    if (width < 0 || height < 0) {
        raise(GL_INVALID_VALUE);
        return;
    }
    GLint* viewport = context().viewport;
    viewport[0] = x;
    viewport[1] = y;
    viewport[2] = width;
    viewport[3] = height;
}

// Frame, lighting and rasterisation state.

void glClear(GLbitfield mask) {
    record("glClear", mask);
    allowedHere();
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    record("glClearColor", red, green, blue, alpha);
    allowedHere();
}

void glFlush(void) {
    record("glFlush");
    allowedHere();
}

void glFinish(void) {
    record("glFinish");
    allowedHere();
}

void glRasterPos2f(GLfloat x, GLfloat y) {
    record("glRasterPos2f", x, y);
    allowedHere();
}

void glRasterPos3f(GLfloat x, GLfloat y, GLfloat z) {
    record("glRasterPos3f", x, y, z);
    allowedHere();
}

void glShadeModel(GLenum mode) {
    record("glShadeModel", mode);
    allowedHere();
}

void glColorMaterial(GLenum face, GLenum mode) {
    record("glColorMaterial", face, mode);
    allowedHere();
}

void glLightf(GLenum light, GLenum pname, GLfloat param) {
    record("glLightf", light, pname, param);
    allowedHere();
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    std::vector<double> values{static_cast<double>(light), static_cast<double>(pname)};
    appendFloats(values, params, lightValueCount(pname));
    recordValues("glLightfv", std::move(values));
    allowedHere();
}

void glLightModeli(GLenum pname, GLint param) {
    record("glLightModeli", pname, param);
    allowedHere();
}

void glLightModelfv(GLenum pname, const GLfloat* params) {
    std::vector<double> values{static_cast<double>(pname)};
    appendFloats(values, params, pname == GL_LIGHT_MODEL_AMBIENT ? 4 : 1);
    recordValues("glLightModelfv", std::move(values));
    allowedHere();
}

void glDepthFunc(GLenum func) {
    record("glDepthFunc", func);
    allowedHere();
}

void glDepthMask(GLboolean flag) {
    record("glDepthMask", flag);
    allowedHere();
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
    record("glBlendFunc", sfactor, dfactor);
    allowedHere();
}

void glCullFace(GLenum mode) {
    record("glCullFace", mode);
    allowedHere();
}

void glPolygonMode(GLenum face, GLenum mode) {
    record("glPolygonMode", face, mode);
    allowedHere();
}

void glLineWidth(GLfloat width) {
    record("glLineWidth", width);
    allowedHere();
}

// Textures.

void glGenTextures(GLsizei n, GLuint* textures) {
    record("glGenTextures", n);
    if (!allowedHere()) return;
    if (n < 0) {
        raise(GL_INVALID_VALUE);
        return;
    }
    Context& c = context();
    for (GLsizei i = 0; i < n; ++i) {
        const GLuint name = c.nextTextureName++;
        c.liveTextureNames.insert(name);
        ++texturesGeneratedTotal;
        if (textures != nullptr) textures[i] = name;
    }
}

void glDeleteTextures(GLsizei n, const GLuint* textures) {
    std::vector<double> values{static_cast<double>(n)};
    for (GLsizei i = 0; textures != nullptr && i < n; ++i) values.push_back(textures[i]);
    recordValues("glDeleteTextures", std::move(values));
    if (!allowedHere()) return;
    if (n < 0) {
        raise(GL_INVALID_VALUE);
        return;
    }
    // Unused names and 0 are silently ignored; a deleted bound texture leaves 0 bound.
    Context& c = context();
    for (GLsizei i = 0; textures != nullptr && i < n; ++i) {
        if (c.liveTextureNames.erase(textures[i]) == 0) continue;
        ++texturesDeletedTotal;
        if (c.boundTexture2D == textures[i]) c.boundTexture2D = 0;
    }
}

void glBindTexture(GLenum target, GLuint texture) {
    record("glBindTexture", target, texture);
    if (allowedHere() && target == GL_TEXTURE_2D) context().boundTexture2D = texture;
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    record("glTexParameteri", target, pname, param);
    allowedHere();
}

void glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
    record("glTexParameterf", target, pname, param);
    allowedHere();
}

void glTexEnvf(GLenum target, GLenum pname, GLfloat param) {
    record("glTexEnvf", target, pname, param);
    allowedHere();
}

void glTexEnvi(GLenum target, GLenum pname, GLint param) {
    record("glTexEnvi", target, pname, param);
    allowedHere();
}

void glPixelStorei(GLenum pname, GLint param) {
    record("glPixelStorei", pname, param);
    if (!allowedHere()) return;
    if (pname != GL_UNPACK_ALIGNMENT) return;
    if (param != 1 && param != 2 && param != 4 && param != 8) {
        raise(GL_INVALID_VALUE);
        return;
    }
    context().unpackAlignment = param;
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    record("glTexImage2D", target, level, internalFormat, width, height, border, format, type);
    if (!allowedHere()) return;
    const int components = componentsOf(format);
    const int componentBytes = bytesPerComponent(type);
    if (components == 0 || componentBytes == 0) {
        raise(GL_INVALID_ENUM);
        return;
    }
    if (width < 0 || height < 0 || level < 0 || (border != 0 && border != 1)) {
        raise(GL_INVALID_VALUE);
        return;
    }
    Context& c = context();
    TexImage image;
    image.texture = c.boundTexture2D;
    image.target = target;
    image.level = level;
    image.internalFormat = internalFormat;
    image.width = width;
    image.height = height;
    image.border = border;
    image.format = format;
    image.type = type;
    image.unpackAlignment = c.unpackAlignment;
    // OpenGL reads every row but the last padded up to the unpack alignment.
    if (pixels != nullptr && width > 0 && height > 0) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * components * componentBytes;
        const std::size_t alignment = static_cast<std::size_t>(c.unpackAlignment);
        const std::size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
        const std::size_t total = stride * static_cast<std::size_t>(height - 1) + rowBytes;
        const auto* bytes = static_cast<const unsigned char*>(pixels);
        image.bytes.assign(bytes, bytes + total);
    }
    if (activeRecorder != nullptr) c.texImages.push_back(std::move(image));
}

// GLU.

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    record("gluPerspective", fovy, aspect, zNear, zFar);
    allowedHere();
}

void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
    record("gluOrtho2D", left, right, bottom, top);
    allowedHere();
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    record("gluLookAt", eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
    allowedHere();
}

// GLUT: window and event loop.

void glutInit(int* pargc, char** /*argv*/) {
    record("glutInit", pargc != nullptr ? *pargc : 0);
    context().initialised = true;
}

void glutInitWindowSize(int width, int height) {
    record("glutInitWindowSize", width, height);
    context().windowWidth = width;
    context().windowHeight = height;
}

void glutInitWindowPosition(int x, int y) { record("glutInitWindowPosition", x, y); }
void glutInitDisplayMode(unsigned int displayMode) { record("glutInitDisplayMode", displayMode); }

int glutCreateWindow(const char* title) {
    record("glutCreateWindow");
    context().windowTitle = title != nullptr ? title : "";
    return 1;
}

void glutDestroyWindow(int window) { record("glutDestroyWindow", window); }
void glutSetWindow(int window) { record("glutSetWindow", window); }

int glutGetWindow(void) {
    record("glutGetWindow");
    return context().windowTitle.empty() ? 0 : 1;
}

void glutSetWindowTitle(const char* title) {
    record("glutSetWindowTitle");
    context().windowTitle = title != nullptr ? title : "";
}

void glutReshapeWindow(int width, int height) {
    record("glutReshapeWindow", width, height);
    context().windowWidth = width;
    context().windowHeight = height;
}

void glutDisplayFunc(void (*callback)(void)) {
    record("glutDisplayFunc", callback != nullptr);
    context().callbacks.display = callback;
}

void glutReshapeFunc(void (*callback)(int, int)) {
    record("glutReshapeFunc", callback != nullptr);
    context().callbacks.reshape = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    record("glutKeyboardFunc", callback != nullptr);
    context().callbacks.keyboard = callback;
}

void glutKeyboardUpFunc(void (*callback)(unsigned char, int, int)) {
    record("glutKeyboardUpFunc", callback != nullptr);
    context().callbacks.keyboardUp = callback;
}

void glutSpecialFunc(void (*callback)(int, int, int)) {
    record("glutSpecialFunc", callback != nullptr);
    context().callbacks.special = callback;
}

void glutMouseFunc(void (*callback)(int, int, int, int)) {
    record("glutMouseFunc", callback != nullptr);
    context().callbacks.mouse = callback;
}

void glutMotionFunc(void (*callback)(int, int)) {
    record("glutMotionFunc", callback != nullptr);
    context().callbacks.motion = callback;
}

void glutPassiveMotionFunc(void (*callback)(int, int)) {
    record("glutPassiveMotionFunc", callback != nullptr);
    context().callbacks.passiveMotion = callback;
}

void glutIdleFunc(void (*callback)(void)) {
    record("glutIdleFunc", callback != nullptr);
    context().callbacks.idle = callback;
}

void glutCloseFunc(void (*callback)(void)) {
    record("glutCloseFunc", callback != nullptr);
    context().callbacks.close = callback;
}

void glutTimerFunc(unsigned int time, void (*callback)(int), int value) {
    record("glutTimerFunc", time, callback != nullptr, value);
    context().callbacks.timer = callback;
    context().callbacks.timerValue = value;
}

// The event loop is the test itself: it calls the registered callbacks when it likes.
void glutMainLoop(void) { record("glutMainLoop"); }
void glutMainLoopEvent(void) { record("glutMainLoopEvent"); }

void glutLeaveMainLoop(void) {
    record("glutLeaveMainLoop");
    context().mainLoopLeft = true;
}

void glutSetOption(GLenum option, int value) { record("glutSetOption", option, value); }

void glutPostRedisplay(void) {
    record("glutPostRedisplay");
    ++context().redisplays;
}

void glutSwapBuffers(void) { record("glutSwapBuffers"); }

int glutGet(GLenum query) {
    record("glutGet", query);
    const Context& c = context();
    switch (query) {
        case GLUT_ELAPSED_TIME: return c.elapsedTime;
        case GLUT_WINDOW_WIDTH: return c.windowWidth;
        case GLUT_WINDOW_HEIGHT: return c.windowHeight;
        case GLUT_INIT_STATE: return c.initialised ? 1 : 0;
        default: return 0;
    }
}

// GLUT: shapes and text.

void glutSolidCube(double size) { record("glutSolidCube", size); }
void glutWireCube(double size) { record("glutWireCube", size); }

void glutSolidSphere(double radius, GLint slices, GLint stacks) {
    record("glutSolidSphere", radius, slices, stacks);
}

void glutWireSphere(double radius, GLint slices, GLint stacks) {
    record("glutWireSphere", radius, slices, stacks);
}

void glutBitmapCharacter(void* font, int character) {
    record("glutBitmapCharacter", GlRecorder::fontId(font), character);
}

void glutBitmapString(void* font, const unsigned char* string) {
    std::vector<double> values{static_cast<double>(GlRecorder::fontId(font))};
    for (const unsigned char* p = string; p != nullptr && *p != 0; ++p) values.push_back(*p);
    recordValues("glutBitmapString", std::move(values));
}

int glutBitmapWidth(void* font, int character) {
    record("glutBitmapWidth", GlRecorder::fontId(font), character);
    return fakeCharacterWidth;
}

int glutBitmapLength(void* font, const unsigned char* string) {
    record("glutBitmapLength", GlRecorder::fontId(font));
    const std::size_t length = string != nullptr ? std::strlen(reinterpret_cast<const char*>(string)) : 0;
    return static_cast<int>(length) * fakeCharacterWidth;
}

int glutBitmapHeight(void* font) {
    record("glutBitmapHeight", GlRecorder::fontId(font));
    return fakeFontHeight;
}

// Reading the picture back: recorded, and read as black.

void glReadBuffer(GLenum mode) {
    record("glReadBuffer", mode);
    allowedHere();
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels) {
    record("glReadPixels", x, y, width, height, format, type);
    if (!allowedHere()) return;
    const int bytes = componentsOf(format) * bytesPerComponent(type);
    if (pixels != nullptr && width > 0 && height > 0 && bytes > 0)
        std::memset(pixels, 0, static_cast<std::size_t>(width) * height * bytes);
}

}  // extern "C"

int GlRecorder::fontId(const void* font) {
    static const FontId fonts[] = {
        {&glutBitmapHelvetica18, 18},  {&glutBitmapHelvetica12, 12},   {&glutBitmapHelvetica10, 10},
        {&glutBitmapTimesRoman10, 110}, {&glutBitmapTimesRoman24, 124}, {&glutBitmap8By13, 813},
        {&glutBitmap9By15, 915},       {&glutStrokeRoman, 1000},       {&glutStrokeMonoRoman, 1001},
    };
    for (const FontId& known : fonts) {
        if (known.font == font) return known.id;
    }
    return -1;
}

