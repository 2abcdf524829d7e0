#include "support/GlRecorder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace {

int displayCalls = 0;
void countDisplay() { ++displayCalls; }
void ignoreKey(unsigned char, int, int) {}

}  // namespace

TEST(GlRecorderTest, RecordsCallsInOrderWithArraysSpreadOut) {
    GlRecorder gl;
    const GLfloat color[4] = {0.8f, 0.4f, 0.0f, 1.0f};
    const GLfloat matrix[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    glColor4fv(color);
    glBegin(GL_TRIANGLES);
    glNormal3f(0, 0, 4);
    glVertex3f(2, 0, 0);
    glEnd();
    glMultMatrixf(matrix);
    glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, 'S');
    glutPassiveMotionFunc(nullptr);

    EXPECT_EQ(gl.calls(), (Calls{{"glColor4fv", 0.8f, 0.4f, 0.0f, 1.0f},
                                 {"glBegin", GL_TRIANGLES},
                                 {"glNormal3f", 0, 0, 4},
                                 {"glVertex3f", 2, 0, 0},
                                 {"glEnd"},
                                 {"glMultMatrixf", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
                                 {"glutBitmapCharacter", 18, 'S'},
                                 {"glutPassiveMotionFunc", 0}}));
    EXPECT_EQ(gl.callsNamed("glVertex3f"), (Calls{{"glVertex3f", 2, 0, 0}}));
    EXPECT_EQ(gl.bitmapText(), "S");
    EXPECT_EQ(gl.pendingError(), static_cast<GLenum>(GL_NO_ERROR));

    // A float colour is not the double it was written from: tests must say 0.8f.
    EXPECT_NE(gl.calls()[0], (GlCall{"glColor4fv", 0.8, 0.4, 0.0, 1.0}));

    gl.clear();
    EXPECT_TRUE(gl.calls().empty());
}

TEST(GlRecorderTest, PrintsCallsReadablyWithEveryDigit) {
    std::ostringstream out;
    out << GlCall{"glVertex3f", 0.1f, 2, -3};
    EXPECT_EQ(out.str(), "glVertex3f(0.10000000149011612, 2, -3)");
}

TEST(GlRecorderTest, OnlyOneRecorderAtATimeAndCallsWithoutOneAreHarmless) {
    glVertex3f(1, 2, 3);  // no recorder: logged nowhere
    {
        GlRecorder gl;
        EXPECT_TRUE(gl.calls().empty());
        EXPECT_THROW(GlRecorder second, std::logic_error);
    }
    GlRecorder again;
    EXPECT_TRUE(again.calls().empty());
}

TEST(GlRecorderTest, HandsOutTextureNamesAndCountsThemAcrossRecorders) {
    const long generatedBefore = GlRecorder::texturesGenerated();
    const long liveBefore = GlRecorder::liveTextures();
    {
        GlRecorder gl;
        GLuint names[2] = {0, 0};
        glGenTextures(2, names);
        EXPECT_EQ(names[0], 1u);
        EXPECT_EQ(names[1], 2u);
        glBindTexture(GL_TEXTURE_2D, names[1]);
        GLuint unused[2] = {0, 99};
        glDeleteTextures(2, unused);  // 0 and unknown names are ignored
        glDeleteTextures(1, &names[1]);
        EXPECT_EQ(gl.boundTexture(), 0u);
    }
    EXPECT_EQ(GlRecorder::texturesGenerated(), generatedBefore + 2);
    EXPECT_EQ(GlRecorder::liveTextures(), liveBefore + 1);

    // A new recorder is a new context: names count from 1 again, the totals carry on.
    GlRecorder gl;
    GLuint name = 0;
    glGenTextures(1, &name);
    EXPECT_EQ(name, 1u);
    EXPECT_EQ(GlRecorder::liveTextures(), liveBefore + 2);
}

TEST(GlRecorderTest, CopiesUploadedPixelsAsTheUnpackAlignmentReadsThem) {
    GlRecorder gl;
    unsigned char pixels[32];
    for (int i = 0; i < 32; ++i) pixels[i] = static_cast<unsigned char>(i + 1);
    const struct {
        GLint alignment;
        std::size_t bytes;
    } cases[] = {{1, 18}, {4, 21}, {8, 25}};
    for (const auto& c : cases) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, c.alignment);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 3, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
        const TexImage image = gl.lastTexImage();
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 2);
        EXPECT_EQ(image.unpackAlignment, c.alignment);
        ASSERT_EQ(image.bytes.size(), c.bytes) << "alignment " << c.alignment;
        EXPECT_EQ(image.bytes.back(), pixels[c.bytes - 1]);
    }
    EXPECT_EQ(gl.callsNamed("glTexImage2D")[0],
              (GlCall{"glTexImage2D", GL_TEXTURE_2D, 0, GL_RGBA, 3, 2, 0, GL_RGB, GL_UNSIGNED_BYTE}));
}

TEST(GlRecorderTest, ModelsCapsMatrixStacksAndTheirErrors) {
    GlRecorder gl;
    glEnable(GL_LIGHTING);
    EXPECT_TRUE(gl.isEnabled(GL_LIGHTING));
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_TRUE);
    glDisable(GL_LIGHTING);
    EXPECT_FALSE(gl.isEnabled(GL_LIGHTING));

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    EXPECT_EQ(gl.matrixDepth(GL_PROJECTION), 2);
    EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 1);
    glPushMatrix();  // the projection stack holds only two
    EXPECT_EQ(gl.pendingError(), static_cast<GLenum>(GL_STACK_OVERFLOW));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_STACK_OVERFLOW));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glPopMatrix();
    glPopMatrix();
    EXPECT_EQ(gl.matrixDepth(GL_PROJECTION), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_STACK_UNDERFLOW));

    glBegin(GL_QUADS);
    glPushMatrix();  // not allowed between glBegin and glEnd
    glEnd();
    EXPECT_EQ(gl.matrixDepth(GL_PROJECTION), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_OPERATION));
}

TEST(GlRecorderTest, KeepsCallbacksRedisplaysAndFakeTime) {
    GlRecorder gl;
    displayCalls = 0;
    glutDisplayFunc(countDisplay);
    glutKeyboardFunc(ignoreKey);
    glutMainLoop();  // returns at once
    gl.callbacks().display();
    EXPECT_EQ(displayCalls, 1);
    EXPECT_EQ(gl.callbacks().keyboard, &ignoreKey);
    EXPECT_EQ(gl.callbacks().idle, nullptr);

    glutPostRedisplay();
    glutPostRedisplay();
    EXPECT_EQ(gl.redisplayCount(), 2);
    gl.setElapsedTime(1234);
    EXPECT_EQ(glutGet(GLUT_ELAPSED_TIME), 1234);
    EXPECT_EQ(glutCreateWindow("Flipper"), 1);
    EXPECT_EQ(gl.windowTitle(), "Flipper");
}
