// The one GL context of the web build (GlContext.h) and the gl*, glu* and glut* functions the game
// calls over it, on our fixed-function pipeline.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include "web/gl/BitmapFont.h"
#include "web/gl/GlContext.h"
#include "web/gl/Shapes.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>

namespace fixedgl {

namespace {

GlutCallbacks callbacks;
WindowRequest window;
FramePresenter presenter = nullptr;
bool redisplayPosted = false;

// GLUT's shapes as the game asks for them, each tessellated once: the same sizes every frame.
const Shape& shapeOf(int kind, float size, int slices, int stacks, bool wire) {
    static std::map<std::tuple<int, std::uint32_t, int, int, bool>, Shape> shapes;
    std::uint32_t sizeBits;  // by its bits: any float, NaN too, is a key
    std::memcpy(&sizeBits, &size, sizeof sizeBits);
    const auto key = std::make_tuple(kind, sizeBits, slices, stacks, wire);
    auto found = shapes.find(key);
    if (found == shapes.end())
        found = shapes.emplace(key, kind == 0 ? cube(size, wire) : sphere(size, slices, stacks, wire)).first;
    return found->second;
}

void drawShape(const Shape& shape) {
    for (const auto& part : shape.parts)
        context().drawArrays(shape.mode, shape.positions.data(), shape.normals.data(), part);
    for (const auto& part : shape.extraParts)
        context().drawArrays(shape.extraMode, shape.positions.data(), shape.normals.data(), part);
}

}  // namespace

Pipeline& context() {
    static Pipeline pipeline;
    return pipeline;
}

GlutCallbacks& glutCallbacks() { return callbacks; }

const WindowRequest& windowRequest() { return window; }

void setFramePresenter(FramePresenter p) { presenter = p; }

bool takeRedisplay() {
    const bool posted = redisplayPosted;
    redisplayPosted = false;
    return posted;
}

}  // namespace fixedgl

using fixedgl::context;

void* glutBitmapHelvetica18 = nullptr;

extern "C" {

void glEnable(GLenum cap) { context().enable(cap, true); }
void glDisable(GLenum cap) { context().enable(cap, false); }
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { context().clearColor(r, g, b, a); }
void glClear(GLbitfield mask) { context().clear(mask); }
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { context().viewport(x, y, width, height); }
void glFlush(void) {}

void glMatrixMode(GLenum mode) { context().matrixMode(mode); }
void glPushMatrix(void) { context().pushMatrix(); }
void glPopMatrix(void) { context().popMatrix(); }
void glLoadIdentity(void) { context().loadIdentity(); }
void glMultMatrixf(const GLfloat* m) {
    fixedgl::Matrix matrix;
    for (int i = 0; i < 16; ++i) matrix[i] = m[i];
    context().multMatrix(matrix);
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { context().rotate(angle, x, y, z); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { context().scale(x, y, z); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { context().translate(x, y, z); }
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    context().perspective(fovy, aspect, zNear, zFar);
}

void glBegin(GLenum mode) { context().begin(mode); }
void glEnd(void) { context().end(); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { context().vertex(x, y, z); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { context().normal(x, y, z); }
void glTexCoord2f(GLfloat s, GLfloat t) { context().texCoord(s, t); }
void glColor4fv(const GLfloat* v) { context().color(v); }
void glRasterPos3f(GLfloat x, GLfloat y, GLfloat z) { context().rasterPos(x, y, z); }

void glTexEnvf(GLenum target, GLenum name, GLfloat param) {
    if (target == GL_TEXTURE_ENV && name == GL_TEXTURE_ENV_MODE) context().texEnvMode(static_cast<unsigned>(param));
}
void glPixelStorei(GLenum name, GLint param) { context().pixelStore(name, param); }
void glGenTextures(GLsizei n, GLuint* textures) { context().genTextures(n, textures); }
void glDeleteTextures(GLsizei n, const GLuint* textures) { context().deleteTextures(n, textures); }
void glBindTexture(GLenum target, GLuint texture) {
    if (target == GL_TEXTURE_2D) context().bindTexture(texture);
}
// Only nearest filtering is drawn, which is all the game asks for.
void glTexParameteri(GLenum, GLenum, GLint) {}
void glTexImage2D(GLenum target, GLint level, GLint, GLsizei width, GLsizei height, GLint border, GLenum format,
                  GLenum type, const GLvoid* pixels) {
    if (target != GL_TEXTURE_2D || level != 0 || border != 0 || type != GL_UNSIGNED_BYTE) return;
    context().texImage2D(width, height, format, pixels);
}

void glutSolidCube(GLdouble size) { fixedgl::drawShape(fixedgl::shapeOf(0, static_cast<float>(size), 0, 0, false)); }
void glutWireCube(GLdouble size) { fixedgl::drawShape(fixedgl::shapeOf(0, static_cast<float>(size), 0, 0, true)); }
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks) {
    fixedgl::drawShape(fixedgl::shapeOf(1, static_cast<float>(radius), slices, stacks, false));
}
void glutWireSphere(GLdouble radius, GLint slices, GLint stacks) {
    fixedgl::drawShape(fixedgl::shapeOf(1, static_cast<float>(radius), slices, stacks, true));
}
void glutBitmapCharacter(void* font, int character) {
    if (font == GLUT_BITMAP_HELVETICA_18) context().bitmapCharacter(helvetica18, character);
}

// The page is the window and the browser runs the event loop: the shell (web/WebMain.cpp) sizes
// the canvas as asked and calls the registered callbacks from its animation frames. So glutInit
// has no options to take and glutMainLoop has no loop to enter.
void glutInit(int*, char**) {}
void glutInitWindowSize(int width, int height) {
    fixedgl::window.width = width;
    fixedgl::window.height = height;
}
void glutInitDisplayMode(unsigned int) {}
int glutCreateWindow(const char* title) {
    fixedgl::window.title = title != nullptr ? title : "";
    fixedgl::window.created = true;
    return 1;
}
void glutIdleFunc(void (*callback)(void)) { fixedgl::callbacks.idle = callback; }
void glutMainLoop(void) {}

void glutDisplayFunc(void (*callback)(void)) { fixedgl::callbacks.display = callback; }
void glutReshapeFunc(void (*callback)(int, int)) { fixedgl::callbacks.reshape = callback; }
void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) { fixedgl::callbacks.keyboard = callback; }
void glutMouseFunc(void (*callback)(int, int, int, int)) { fixedgl::callbacks.mouse = callback; }
void glutMotionFunc(void (*callback)(int, int)) { fixedgl::callbacks.motion = callback; }
void glutPassiveMotionFunc(void (*callback)(int, int)) { fixedgl::callbacks.passiveMotion = callback; }
void glutPostRedisplay(void) { fixedgl::redisplayPosted = true; }
void glutSwapBuffers(void) {
    if (fixedgl::presenter != nullptr) fixedgl::presenter(context());
}

}  // extern "C"
