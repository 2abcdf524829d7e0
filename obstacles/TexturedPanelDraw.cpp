// How a picture panel looks, and how its picture becomes a texture. The panel owns its texture
// name, so its destructor lives here with the other GL calls.
#include "obstacles/TexturedPanel.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>

#include "obstacles/Image.h"

namespace {

void vertex(const Vector& p) { glVertex3f(p[0], p[1], p[2]); }

}  // namespace

TexturedPanel::~TexturedPanel() {
    if (texture != 0) glDeleteTextures(1, &texture);
}

std::string TexturedPanel::loadTexture(const char* fileName) {
    Image image;
    const std::string reason = loadImage(fileName, image);
    if (!reason.empty()) return std::string(fileName) + ": cannot load picture: " + reason;

    // The quad's texture coordinate s runs from 1 at the origin to 0 along edgeU, so the texture's
    // first column lies at the far end of edgeU. Each row goes up right to left, so that a player,
    // who sees edgeU running from left to right, sees the picture unmirrored. The first row (the
    // picture's top) lies along edgeU.
    const int rowBytes = image.width * 3;
    for (int y = 0; y < image.height; ++y) {
        unsigned char* row = image.pixels.data() + std::size_t(y) * rowBytes;
        for (int left = 0, right = image.width - 1; left < right; ++left, --right)
            std::swap_ranges(row + 3 * left, row + 3 * left + 3, row + 3 * right);
    }

    if (texture != 0) glDeleteTextures(1, &texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    return {};
}

void TexturedPanel::draw() const {
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, texture);
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
