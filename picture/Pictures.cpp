#include "picture/Pictures.h"

#include <GL/gl.h>

#include <algorithm>
#include <map>
#include <utility>

#include "picture/Image.h"

namespace {

/// A picture file as it was last read, and its texture.
struct KeptPicture {
    std::string bytes;
    GLuint texture = 0;
};

// Neither is ever destroyed: a World held by a global game outlives them otherwise, and its panels
// forget themselves when it goes, at the program's exit.
std::map<std::string, KeptPicture>& keptPictures() {
    static auto& kept = *new std::map<std::string, KeptPicture>;
    return kept;
}

std::map<const TexturedPanel*, GLuint>& shownTextures() {
    static auto& shown = *new std::map<const TexturedPanel*, GLuint>;
    return shown;
}

/// Deletes the texture; no panel shows it any more.
void release(GLuint texture) {
    auto& shown = shownTextures();
    for (auto at = shown.begin(); at != shown.end();) at = at->second == texture ? shown.erase(at) : std::next(at);
    glDeleteTextures(1, &texture);
}

GLuint upload(Image& image) {
    // The panel's texture coordinate s runs from 1 at its origin to 0 along edgeU, so the texture's
    // first column lies at the far end of edgeU. Each row goes up right to left, so that a player,
    // who sees edgeU running from left to right, sees the picture unmirrored. The first row (the
    // picture's top) lies along edgeU.
    const int rowBytes = image.width * 3;
    for (int y = 0; y < image.height; ++y) {
        unsigned char* row = image.pixels.data() + std::size_t(y) * rowBytes;
        for (int left = 0, right = image.width - 1; left < right; ++left, --right)
            std::swap_ranges(row + 3 * left, row + 3 * left + 3, row + 3 * right);
    }

    GLuint texture = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    return texture;
}

}  // namespace

std::string showPicture(const TexturedPanel& panel, const char* fileName) {
    shownTextures().erase(&panel);
    Result<std::string> read = readPictureFile(fileName);

    auto& kept = keptPictures();
    const auto found = kept.find(fileName);
    if (found != kept.end()) {
        if (read.ok() && found->second.bytes == read.value()) {
            shownTextures()[&panel] = found->second.texture;
            return "";
        }
        // Changed or gone: what was kept under this name is no longer what the file holds.
        release(found->second.texture);
        kept.erase(found);
    }

    Result<Image> image = read.ok() ? decodeImage(read.value()) : Result<Image>(read.problem());
    if (!image.ok()) return std::string(fileName) + ": cannot load picture: " + image.problem().line();
    const GLuint texture = upload(image.value());
    kept[fileName] = KeptPicture{std::move(read.value()), texture};
    shownTextures()[&panel] = texture;
    return "";
}

unsigned panelTexture(const TexturedPanel& panel) {
    const auto& shown = shownTextures();
    const auto found = shown.find(&panel);
    return found != shown.end() ? found->second : 0;
}

void forgetPanel(const TexturedPanel& panel) { shownTextures().erase(&panel); }

void releasePictures() {
    for (const auto& [name, picture] : keptPictures()) glDeleteTextures(1, &picture.texture);
    keptPictures().clear();
    shownTextures().clear();
}
