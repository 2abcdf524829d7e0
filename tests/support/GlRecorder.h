#pragma once

// The tests link this stand-in instead of the real GL, GLU and GLUT libraries: every call the game makes is
// logged with its arguments, and a tiny model of the context (enabled caps, matrix stacks, texture names,
// registered callbacks) answers queries, so a drawing test reads like the behaviour it checks.

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

/// One logged GL, GLU or GLUT call: the function's name and its arguments as doubles, in order.
/// Floats arrive exactly (compare with 0.8f, not 0.8); arrays (glMultMatrixf's 16, glColor4fv's 4) are
/// spread out as their values; pointers to callbacks are logged as 1 when set and 0 when null;
/// glutBitmapCharacter logs {font id, character}, the font id 18 meaning GLUT_BITMAP_HELVETICA_18
/// (see GlRecorder::fontId).
struct GlCall {
    std::string name;          ///< the function's name, e.g. "glVertex3f"
    std::vector<double> args;  ///< the arguments in order, each converted to double

    /// A call from a name and any number of numbers: GlCall{"glVertex3f", 0, 2, 0}, GlCall{"glEnd"}.
    template <typename... Args,
              typename = std::enable_if_t<(std::is_arithmetic_v<Args> && ...)>>
    GlCall(std::string name, Args... args)  // implicit, so that brace lists make calls
        : name(std::move(name)), args{static_cast<double>(args)...} {}

    /// A call from a name and an argument list built elsewhere.
    GlCall(std::string name, std::vector<double> args) : name(std::move(name)), args(std::move(args)) {}
};

/// A recorded sequence of calls, in the order they were made.
using Calls = std::vector<GlCall>;

/// Calls are equal when their names and all their arguments are exactly equal.
bool operator==(const GlCall& a, const GlCall& b);
/// The negation of ==.
bool operator!=(const GlCall& a, const GlCall& b);
/// Writes a call as C would: glVertex3f(0, 2, 0), with every digit a float or double needs.
std::ostream& operator<<(std::ostream& out, const GlCall& call);
/// GoogleTest's printer for failure messages.
void PrintTo(const GlCall& call, std::ostream* out);

/// One glTexImage2D upload: its scalar arguments and a copy of the pixel bytes OpenGL would read.
struct TexImage {
    GLuint texture = 0;           ///< the name bound to GL_TEXTURE_2D at the upload
    GLenum target = 0;
    GLint level = 0;
    GLint internalFormat = 0;
    GLsizei width = 0;
    GLsizei height = 0;
    GLint border = 0;
    GLenum format = 0;
    GLenum type = 0;
    GLint unpackAlignment = 4;    ///< GL_UNPACK_ALIGNMENT in force at the upload
    /// The bytes read from the caller's buffer: rows padded to the unpack alignment except the last, so
    /// GL_RGB bytes of width 3, height 2 are 18 at alignment 1 but 21 at alignment 4. Empty for null data.
    std::vector<unsigned char> bytes;
};

/// The callbacks registered through glut*Func, so a test can play the toolkit's part; null when unset.
struct GlutCallbacks {
    void (*display)() = nullptr;
    void (*reshape)(int, int) = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    void (*keyboardUp)(unsigned char, int, int) = nullptr;
    void (*special)(int, int, int) = nullptr;
    void (*mouse)(int, int, int, int) = nullptr;
    void (*motion)(int, int) = nullptr;
    void (*passiveMotion)(int, int) = nullptr;
    void (*idle)() = nullptr;
    void (*close)() = nullptr;
    void (*timer)(int) = nullptr;  ///< the latest glutTimerFunc callback
    int timerValue = 0;            ///< and the value it is to be called with
};

/// A recording of the GL, GLU and GLUT calls made while it lives. Constructing one starts a fresh context:
/// an empty log, no caps enabled, every matrix stack at depth 1 in GL_MODELVIEW mode, unpack alignment 4,
/// texture names counting again from 1, no callbacks, no redisplay posted, elapsed time 0. Only one may exist
/// at a time (a second throws std::logic_error). With none alive, calls are accepted and logged nowhere.
///
///     GlRecorder gl;
///     panel.draw();
///     EXPECT_EQ(gl.callsNamed("glTexCoord2f").size(), 4u);
///     EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 1);
class GlRecorder {
public:
    /// Starts a fresh recording; throws std::logic_error if another recorder is alive.
    GlRecorder();
    ~GlRecorder();
    GlRecorder(const GlRecorder&) = delete;
    GlRecorder& operator=(const GlRecorder&) = delete;

    /// Every call since construction or the latest clear(), in order.
    const Calls& calls() const;
    /// Only the calls to the named function, in order.
    Calls callsNamed(const std::string& name) const;
    /// Forgets the logged calls and uploads; the context's state (caps, stacks, textures...) stays.
    void clear();

    /// Every glTexImage2D upload since construction or clear(), in order.
    const std::vector<TexImage>& texImages() const;
    /// The latest upload, or an empty TexImage (width 0, no bytes) if there was none.
    TexImage lastTexImage() const;

    /// Whether glEnable turned the cap on (and no glDisable off since).
    bool isEnabled(GLenum cap) const;
    /// The depth of a matrix stack (GL_MODELVIEW, GL_PROJECTION or GL_TEXTURE): 1 when balanced.
    int matrixDepth(GLenum mode) const;
    /// The matrix mode selected with glMatrixMode.
    GLenum matrixMode() const;
    /// The texture name bound to GL_TEXTURE_2D.
    GLuint boundTexture() const;
    /// The current GL_UNPACK_ALIGNMENT.
    GLint unpackAlignment() const;
    /// True between glBegin and glEnd.
    bool insideBeginEnd() const;
    /// The first GL error raised and not yet fetched with glGetError (GL_NO_ERROR if none). Errors modelled:
    /// matrix stack overflow and underflow, a nested glBegin, glEnd without glBegin, and matrix, enable and
    /// texture calls between glBegin and glEnd. Reading it here does not clear it.
    GLenum pendingError() const;

    /// How many times glutPostRedisplay was called.
    int redisplayCount() const;
    /// The callbacks registered through glut*Func.
    const GlutCallbacks& callbacks() const;
    /// Sets what glutGet(GLUT_ELAPSED_TIME) answers, in milliseconds.
    void setElapsedTime(int milliseconds);
    /// Sets what glGetIntegerv(GL_MAX_VIEWPORT_DIMS) answers (16384 by 16384 in a fresh context).
    void setMaxViewportDims(int width, int height);
    /// The title given to glutCreateWindow ("" before any window).
    const std::string& windowTitle() const;
    /// Whether glutLeaveMainLoop was called.
    bool mainLoopLeft() const;
    /// The characters drawn with glutBitmapCharacter, in order, whatever the font.
    std::string bitmapText() const;

    /// The id glutBitmapCharacter logs for a font: 18 for GLUT_BITMAP_HELVETICA_18, 10 and 12 for the other
    /// Helveticas, 110 and 124 for Times Roman 10 and 24, 813 and 915 for 8 by 13 and 9 by 15, 1000 and 1001
    /// for the stroke fonts, -1 for anything else.
    static int fontId(const void* font);

    /// Texture names ever handed out by glGenTextures in this process, across all recorders.
    static long texturesGenerated();
    /// Live texture names ever deleted by glDeleteTextures in this process (0 and unknown names don't count).
    static long texturesDeleted();
    /// texturesGenerated() - texturesDeleted(): names still holding a texture somewhere.
    static long liveTextures();
};
