// How a box looks: a small cube at its corner and the slab itself, turned by the flipper swing.
#include "obstacles/Box.h"

#include <GL/gl.h>
#include <GL/glut.h>

void Box::draw() const {
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4fv(color);

    // A small solid cube marks the corner.
    glPushMatrix();
    glTranslatef(origin[0], origin[1], origin[2]);
    glutSolidCube(0.3);
    glPopMatrix();

    // The slab: 0.1 thick, spanning 0..lengthU along the hinge and 0..lengthV along the turned edge.
    glPushMatrix();
    glMultMatrixf(frame);
    glRotatef(swingAngle, 0.0f, 1.0f, 0.0f);
    glScalef(0.1f, lengthU, lengthV);
    glTranslatef(0.0f, 0.5f, 0.5f);
    if (solid != 0)
        glutSolidCube(1.0);
    else
        glutWireCube(1.0);
    glPopMatrix();

    glDisable(GL_TEXTURE_2D);
}
