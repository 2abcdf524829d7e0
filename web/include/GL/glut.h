#pragma once

// The part of GLUT that the game calls, for the web build: the shapes and the bitmap font are
// drawn by our fixed-function layer (web/gl) as freeglut draws them; the callbacks are run by the
// page's own event loop (web/WebMain.cpp).

#include <GL/gl.h>
#include <GL/glu.h>

#ifdef __cplusplus
extern "C" {
#endif

#define GLUT_RGBA 0x0000
#define GLUT_DOUBLE 0x0002
#define GLUT_DEPTH 0x0010

#define GLUT_LEFT_BUTTON 0
#define GLUT_MIDDLE_BUTTON 1
#define GLUT_RIGHT_BUTTON 2
#define GLUT_DOWN 0
#define GLUT_UP 1

extern void* glutBitmapHelvetica18;
#define GLUT_BITMAP_HELVETICA_18 ((void*)&glutBitmapHelvetica18)

void glutSolidCube(GLdouble size);
void glutWireCube(GLdouble size);
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks);
void glutWireSphere(GLdouble radius, GLint slices, GLint stacks);
void glutBitmapCharacter(void* font, int character);

void glutInit(int* argc, char** argv);
void glutInitWindowSize(int width, int height);
void glutInitDisplayMode(unsigned int mode);
int glutCreateWindow(const char* title);
void glutIdleFunc(void (*callback)(void));
void glutMainLoop(void);

void glutDisplayFunc(void (*callback)(void));
void glutReshapeFunc(void (*callback)(int width, int height));
void glutKeyboardFunc(void (*callback)(unsigned char key, int x, int y));
void glutMouseFunc(void (*callback)(int button, int state, int x, int y));
void glutMotionFunc(void (*callback)(int x, int y));
void glutPassiveMotionFunc(void (*callback)(int x, int y));
void glutPostRedisplay(void);
void glutSwapBuffers(void);

#ifdef __cplusplus
}
#endif
