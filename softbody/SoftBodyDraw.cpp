// How the ball looks: every face a lit triangle, all in one block.
#include "softbody/SoftBody.h"

#include <GL/gl.h>

#include "softbody/Face.h"
#include "softbody/Mass.h"

void Face::draw() const {
    const Vector& p1 = massA->position;
    const Vector& p2 = massB->position;
    const Vector& p3 = massC->position;
    // The normal is not normalised: bigger triangles catch more light.
    const Vector n = (p1 - p2).cross(p1 - p3);
    glNormal3f(n[0], n[1], n[2]);
    glVertex3f(p1[0], p1[1], p1[2]);
    glVertex3f(p2[0], p2[1], p2[2]);
    glVertex3f(p3[0], p3[1], p3[2]);
}

void SoftBody::draw() const {
    glBegin(GL_TRIANGLES);
    for (const Face& f : faces) f.draw();
    glEnd();
}
