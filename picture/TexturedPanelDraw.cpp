// How a picture panel looks: the quad with the texture the drawing keeps for it (picture/Pictures).
#include "obstacles/TexturedPanel.h"

#include <GL/gl.h>

#include "picture/Pictures.h"

namespace {

void vertex(const Vector& p) { glVertex3f(p[0], p[1], p[2]); }

}  // namespace

TexturedPanel::~TexturedPanel() { forgetPanel(*this); }

void TexturedPanel::draw() const {
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, panelTexture(*this));
    glColor4fv(color);
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 0.0f);
    vertex(origin);
    glTexCoord2f(0.0f, 0.0f);
    vertex(origin + edgeU);
    glTexCoord2f(0.0f, 1.0f);
    vertex(origin + edgeU + edgeV);
    glTexCoord2f(1.0f, 1.0f);
    vertex(origin + edgeV);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}
