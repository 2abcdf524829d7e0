// How a bumper looks: a lit sphere, solid or wire.
#include "obstacles/Sphere.h"

#include <GL/gl.h>
#include <GL/glut.h>

namespace {

constexpr int drawSubdivisions = 8;  // slices and stacks of the drawn sphere

}  // namespace

void Sphere::draw() const {
    glPushMatrix();
    glTranslatef(centre[0], centre[1], centre[2]);
    if (solid != 0)
        glutSolidSphere(radius, drawSubdivisions, drawSubdivisions);
    else
        glutWireSphere(radius, drawSubdivisions, drawSubdivisions);
    glPopMatrix();
}
