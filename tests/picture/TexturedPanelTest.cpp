#include "obstacles/TexturedPanel.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "softbody/Mass.h"
#include "picture/Pictures.h"
#include "support/Files.h"
#include "support/GlRecorder.h"
#include "support/Vectors.h"

namespace {

namespace fs = std::filesystem;

using Rgb = std::array<unsigned char, 3>;

constexpr Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
constexpr Rgb yellow{255, 255, 0}, cyan{0, 255, 255}, magenta{255, 0, 255};

/// A 3 x 2 picture, top row first, every pixel different, so any flip or turn shows.
const std::vector<Rgb> threeByTwo{red, green, blue, yellow, cyan, magenta};

class TexturedPanelTest : public testing::Test {
protected:
    void TearDown() override { releasePictures(); }  // each test's recorder is a context of its own

    /// Writes a BMP of the given pixels, top row first, and returns its path.
    std::string writeBmp(const std::string& name, int width, int height, const std::vector<Rgb>& pixels) const {
        const std::string path = (folder / name).string();
        std::vector<unsigned char> bytes;
        for (const Rgb& p : pixels) bytes.insert(bytes.end(), p.begin(), p.end());
        EXPECT_NE(stbi_write_bmp(path.c_str(), width, height, 3, bytes.data()), 0);
        return path;
    }

    ScratchFolder scratch;
    const fs::path folder = scratch.path();
};

/// A drawn corner: its texture coordinate and its position.
struct Corner {
    float s, t;
    Vector position;
};

/// The four corners of the one quad in the recorded calls, in drawing order.
std::vector<Corner> drawnCorners(const Calls& calls) {
    std::vector<Corner> corners;
    for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
        if (calls[i].name != "glTexCoord2f" || calls[i + 1].name != "glVertex3f") continue;
        const auto& st = calls[i].args;
        const auto& p = calls[i + 1].args;
        corners.push_back({float(st[0]), float(st[1]), vec(float(p[0]), float(p[1]), float(p[2]))});
    }
    return corners;
}

/// The texel that a nearest-filtered quad shows right next to its corner at (s, t): the coordinate
/// 1 is the far edge of the last texel.
Rgb texelAt(const TexImage& image, float s, float t) {
    const int column = std::min(int(std::floor(s * image.width)), image.width - 1);
    const int row = std::min(int(std::floor(t * image.height)), image.height - 1);
    const std::size_t at = (std::size_t(row) * image.width + column) * 3;
    return {image.bytes[at], image.bytes[at + 1], image.bytes[at + 2]};
}

/// Where a table point lands on the screen in the opening view: the table turned 15 degrees about x,
/// the camera 38 units back, a perspective divide. x to the right, y up, in arbitrary units.
std::array<double, 2> onScreen(const Vector& p) {
    const double tilt = 15.0 * 3.14159265358979 / 180.0;
    const double y = std::cos(tilt) * p[1] - std::sin(tilt) * p[2];
    const double z = std::sin(tilt) * p[1] + std::cos(tilt) * p[2] - 38.0;
    return {p[0] / -z, y / -z};
}

/// The picture's corners as the player sees them on the drawn quad: top left, top right, bottom left,
/// bottom right.
std::array<Rgb, 4> cornersSeen(const Calls& calls, const TexImage& image) {
    std::vector<Corner> corners = drawnCorners(calls);
    EXPECT_EQ(corners.size(), 4u);
    if (corners.size() != 4) return {};
    // The two highest on the screen are the top edge; left and right within each edge.
    std::sort(corners.begin(), corners.end(),
              [](const Corner& a, const Corner& b) { return onScreen(a.position)[1] > onScreen(b.position)[1]; });
    auto leftFirst = [](const Corner& a, const Corner& b) { return onScreen(a.position)[0] < onScreen(b.position)[0]; };
    std::sort(corners.begin(), corners.begin() + 2, leftFirst);
    std::sort(corners.begin() + 2, corners.end(), leftFirst);
    std::array<Rgb, 4> seen;
    for (int i = 0; i < 4; ++i) seen[i] = texelAt(image, corners[i].s, corners[i].t);
    return seen;
}

}  // namespace

TEST_F(TexturedPanelTest, NeverCollidesAndIsAlwaysFarAway) {
    TexturedPanel panel(vec(0, 0, 0), vec(2, 0, 0), vec(0, 3, 0), 1);
    for (const Vector& p : {vec(0, 0, 0), vec(2, 3, 0), vec(1, 1, 0), vec(-1e6f, 5, 7)})
        EXPECT_EQ(panel.distance(p), 1e10);
    Mass m;
    m.position = vec(1, 1, 0);
    m.velocity = vec(0, 0, -1);
    m.force = vec(0, -98.1f, 0);
    EXPECT_FALSE(panel.collide(m, vec(0, 0, 0)));
    EXPECT_VEC_EQ(m.position, 1, 1, 0);
    EXPECT_VEC_EQ(m.velocity, 0, 0, -1);
    EXPECT_VEC_EQ(m.force, 0, -98.1f, 0);
    EXPECT_EQ(panel.hitCount, 0);
}

TEST_F(TexturedPanelTest, UnloadedPanelDrawsItsQuadUntextured) {
    GlRecorder gl;
    const TexturedPanel panel(vec(0, 0, 0), vec(2, 0, 0), vec(0, 3, 0), 1);
    panel.draw();
    EXPECT_EQ(gl.calls(), (Calls{{"glPushMatrix"},
                                 {"glEnable", GL_TEXTURE_2D},
                                 {"glTexEnvf", GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE},
                                 {"glBindTexture", GL_TEXTURE_2D, 0},
                                 {"glColor4fv", 0.8f, 0.4f, 0.0f, 1.0f},
                                 {"glBegin", GL_QUADS},
                                 {"glTexCoord2f", 1, 0},
                                 {"glVertex3f", 0, 0, 0},
                                 {"glTexCoord2f", 0, 0},
                                 {"glVertex3f", 2, 0, 0},
                                 {"glTexCoord2f", 0, 1},
                                 {"glVertex3f", 2, 3, 0},
                                 {"glTexCoord2f", 1, 1},
                                 {"glVertex3f", 0, 3, 0},
                                 {"glEnd"},
                                 {"glDisable", GL_TEXTURE_2D},
                                 {"glPopMatrix"}}));
    EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 1);
    EXPECT_EQ(gl.pendingError(), GLenum(GL_NO_ERROR));
}

TEST_F(TexturedPanelTest, UploadsTightlyPackedRgbWithNearestFilters) {
    const std::string file = writeBmp("two.bmp", 2, 1, {red, blue});
    GlRecorder gl;
    TexturedPanel panel(vec(0, 0, 0), vec(2, 0, 0), vec(0, 3, 0), 1);
    EXPECT_EQ(showPicture(panel, file.c_str()), "");
    const GLuint name = panelTexture(panel);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(gl.calls(), (Calls{{"glPixelStorei", GL_UNPACK_ALIGNMENT, 1},
                                 {"glGenTextures", 1},
                                 {"glBindTexture", GL_TEXTURE_2D, name},
                                 {"glTexParameteri", GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST},
                                 {"glTexParameteri", GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST},
                                 {"glTexImage2D", GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE}}));
    const TexImage image = gl.lastTexImage();
    EXPECT_EQ(image.texture, name);
    EXPECT_EQ(image.unpackAlignment, 1);
    // Six bytes, each row turned round: s runs from 1 at the panel's origin to 0 along edgeU.
    EXPECT_EQ(image.bytes, (std::vector<unsigned char>{0, 0, 255, 255, 0, 0}));
    EXPECT_EQ(gl.boundTexture(), name);

    gl.clear();
    panel.draw();
    EXPECT_EQ(gl.callsNamed("glBindTexture"), (Calls{{"glBindTexture", GL_TEXTURE_2D, name}}));
}

TEST_F(TexturedPanelTest, RowsNeedNoPaddingWhateverTheirWidth) {
    const std::string file = writeBmp("three.bmp", 3, 2, threeByTwo);
    GlRecorder gl;
    TexturedPanel panel(vec(0, 0, 0), vec(2, 0, 0), vec(0, 3, 0), 1);
    ASSERT_EQ(showPicture(panel, file.c_str()), "");
    // Nine bytes a row: at the default alignment of 4 OpenGL would read 21 bytes, skewing the second row.
    EXPECT_EQ(gl.lastTexImage().bytes.size(), 18u);
}

TEST_F(TexturedPanelTest, TablePicturesShowUprightAndUnmirroredFromTheOpeningView) {
    const std::string file = writeBmp("corners.bmp", 3, 2, threeByTwo);
    struct Panel {
        const char* what;
        Vector origin, edgeU, edgeV;
    };
    const Panel panels[] = {
        {"playfield, far end at the top", vec(-5, 0.1f, 0), vec(12, 0, 0), vec(0, 0, 20)},
        {"back wall", vec(-5, 6, 0.1f), vec(12, 0, 0), vec(0, -6, 0)},
    };
    for (const Panel& p : panels) {
        GlRecorder gl;
        TexturedPanel panel(p.origin, p.edgeU, p.edgeV, 1);
        ASSERT_EQ(showPicture(panel, file.c_str()), "");
        const TexImage image = gl.lastTexImage();
        releasePictures();  // the next panel's recorder is a context of its own
        panel.draw();
        const std::array<Rgb, 4> seen = cornersSeen(gl.calls(), image);
        EXPECT_EQ(seen[0], red) << p.what << ": top left";
        EXPECT_EQ(seen[1], blue) << p.what << ": top right";
        EXPECT_EQ(seen[2], yellow) << p.what << ": bottom left";
        EXPECT_EQ(seen[3], magenta) << p.what << ": bottom right";
    }
}

// A bad picture: the panel says why in one line naming the file, makes no GL call at all (not even a
// texture name) and is drawn untextured. Which files the decoder refuses, and why, is ImageTest's
// business; here four kinds of refusal stand for them all.
TEST_F(TexturedPanelTest, BadPictureIsReportedInOneLineAndThePanelDrawnUntextured) {
    const std::string woman = readFile(fs::path(FLIPPER_ASSETS) / "woman.bmp");
    ASSERT_EQ(woman.size(), 184374u);  // 192 x 320 pixels, rows of 576 bytes, after 54 header bytes
    writeFile(folder / "half.bmp", woman.substr(0, 92187));  // a copy cut off half way
    std::string huge = woman.substr(0, 54);                   // 30 GB of pixels, if believed
    for (const int at : {18, 22}) huge.replace(at, 4, std::string{'\xa0', '\x86', 1, 0});  // width, height: 100000
    writeFile(folder / "huge.bmp", huge);
    writeFile(folder / "broken.bmp", "BM this is not a picture");
    const struct {
        const char* file;
        std::string reason;  ///< empty: any reason, in one line
    } cases[] = {
        {"missing.bmp", "no such file or directory"},
        {"half.bmp", "the file is cut short: 92187 bytes of the 184374 its picture needs"},
        {"huge.bmp", "100000 x 100000 pixels is too large"},
        {"broken.bmp", ""},
    };
    for (const auto& c : cases) {
        const std::string file = (folder / c.file).string();
        GlRecorder gl;
        const long texturesBefore = GlRecorder::liveTextures();
        TexturedPanel panel(vec(-5, 0.1f, 0), vec(12, 0, 0), vec(0, 0, 20), 1);
        const std::string reason = showPicture(panel, file.c_str());
        if (!c.reason.empty()) {
            EXPECT_EQ(reason, file + ": cannot load picture: " + c.reason);
        }
        EXPECT_EQ(reason.rfind(file + ": cannot load picture: ", 0), 0u) << reason;
        EXPECT_GT(reason.size(), file.size() + 24) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
        EXPECT_EQ(panelTexture(panel), 0u) << c.file;
        EXPECT_TRUE(gl.calls().empty()) << c.file << ": no GL call at all, not even a texture name";
        EXPECT_EQ(GlRecorder::liveTextures(), texturesBefore) << c.file;

        // Drawn untextured: texture 0 bound, the quad in full, the GL state as it was.
        panel.draw();
        EXPECT_EQ(gl.callsNamed("glBindTexture"), (Calls{{"glBindTexture", GL_TEXTURE_2D, 0}})) << c.file;
        EXPECT_EQ(gl.callsNamed("glVertex3f").size(), 4u) << c.file;
        EXPECT_FALSE(gl.isEnabled(GL_TEXTURE_2D)) << c.file;
        EXPECT_EQ(gl.matrixDepth(GL_MODELVIEW), 1) << c.file;
        EXPECT_EQ(gl.pendingError(), GLenum(GL_NO_ERROR)) << c.file;
    }
}

TEST_F(TexturedPanelTest, PictureIsDecodedAndUploadedAgainOnlyWhenItsFileChanges) {
    const std::string file = writeBmp("two.bmp", 2, 1, {red, blue});
    GlRecorder gl;
    const long before = GlRecorder::liveTextures();
    GLuint first = 0;
    {
        const TexturedPanel panel(vec(0, 0, 0), vec(2, 0, 0), vec(0, 3, 0), 1);
        ASSERT_EQ(showPicture(panel, file.c_str()), "");
        first = panelTexture(panel);
    }
    // The next game's panel, the file as it was: the same texture, nothing uploaded.
    const TexturedPanel panel(vec(0, 0, 0), vec(2, 0, 0), vec(0, 3, 0), 1);
    ASSERT_EQ(showPicture(panel, file.c_str()), "");
    EXPECT_EQ(panelTexture(panel), first);
    EXPECT_EQ(gl.texImages().size(), 1u);
    EXPECT_EQ(GlRecorder::liveTextures(), before + 1);

    // Other pixels, the same size: uploaded again, in place of the old texture.
    writeBmp("two.bmp", 2, 1, {green, blue});
    ASSERT_EQ(showPicture(panel, file.c_str()), "");
    ASSERT_EQ(gl.texImages().size(), 2u);
    EXPECT_EQ(gl.lastTexImage().bytes, (std::vector<unsigned char>{0, 0, 255, 0, 255, 0}));
    EXPECT_EQ(panelTexture(panel), gl.lastTexImage().texture);
    EXPECT_EQ(GlRecorder::liveTextures(), before + 1);

    // Broken now: said so, the panel untextured and the texture given back.
    writeFile(folder / "two.bmp", "BM broken");
    EXPECT_EQ(showPicture(panel, file.c_str()).rfind(file + ": cannot load picture: ", 0), 0u);
    EXPECT_EQ(panelTexture(panel), 0u);
    EXPECT_EQ(GlRecorder::liveTextures(), before);
}
