// flipper-shot-check: looks at screenshots of the real game window and says whether the player would
// see what the game promises. The end-to-end test runs it on screenshots taken under Xvfb.
//
// Positions are worked out from the opening view (the window 768 pixels square, a 45-degree
// perspective, the camera 38 back, the table tilted 15 degrees about x, no trackball turn), so a
// check can name a place on the table and find its pixel.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr const char* usage =
    "usage: flipper-shot-check table SHOT ASSETS   walls, playfield and back pictures upright and unmirrored\n"
    "       flipper-shot-check texts SHOT          score, \"Score:\" and \"Vantorello\"\n"
    "       flipper-shot-check ball SHOT1 SHOT2    the ball and its shadow, moving between two shots\n"
    "       flipper-shot-check turned BEFORE AFTER the view turned: much of the window changed\n"
    "       flipper-shot-check moving SHOT1 SHOT2  something in the window moved\n"
    "SHOT1 and SHOT2 are of the same view a moment apart; all but 'turned' expect the opening view.\n";

constexpr int windowSize = 768;           // the game's window, in pixels
constexpr double fieldOfView = 45.0;      // degrees, vertical
constexpr double cameraDistance = 38.0;
constexpr double tableTilt = 15.0;        // degrees about x
constexpr double pi = 3.14159265358979;
constexpr int changedThreshold = 30;      // summed channel difference that counts as a changed pixel

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> bytes;  // RGB, top row first

    Rgb at(int x, int y) const {
        const std::size_t i = (std::size_t(y) * width + x) * 3;
        return {bytes[i], bytes[i + 1], bytes[i + 2]};
    }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "flipper-shot-check: %s\n", message.c_str());
    std::exit(2);
}

Picture load(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (data == nullptr) fail("cannot read " + path + ": " + stbi_failure_reason());
    Picture p;
    p.width = width;
    p.height = height;
    p.bytes.assign(data, data + std::size_t(width) * height * 3);
    stbi_image_free(data);
    return p;
}

/// A screenshot of the game window, which must be the game's size.
Picture loadShot(const std::string& path) {
    Picture shot = load(path);
    if (shot.width != windowSize || shot.height != windowSize)
        fail(path + " is " + std::to_string(shot.width) + " x " + std::to_string(shot.height) +
             " pixels, not the game's 768 x 768 window");
    return shot;
}

/// The pixel (column, row from the top) where a table point lands in the opening view.
void onScreen(double x, double y, double z, int& column, int& row) {
    const double tilt = tableTilt * pi / 180.0;
    const double ey = std::cos(tilt) * y - std::sin(tilt) * z;
    const double ez = std::sin(tilt) * y + std::cos(tilt) * z - cameraDistance;
    const double scale = 1.0 / std::tan(fieldOfView / 2.0 * pi / 180.0);
    const double nx = scale * x / -ez;
    const double ny = scale * ey / -ez;
    column = int(std::floor((nx + 1.0) * windowSize / 2.0));
    row = int(std::floor((1.0 - ny) * windowSize / 2.0));
}

int changed(const Rgb& a, const Rgb& b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

/// The ball's colour (0.8, 0.4, 0) under white light: orange to dark brown, never blue. The score
/// texts, the bumpers and the shadow share it.
bool ballHued(const Rgb& c) { return c.b <= 8 && c.r >= 25 && c.g * 100 >= c.r * 35 && c.g * 100 <= c.r * 65; }

/// The walls' (0, 0.1, 0.9) from dark navy in the ambient light to bright blue facing the light.
bool wallBlue(const Rgb& c) { return c.r <= 10 && c.g <= 40 && c.b >= 35 && c.b >= 3 * c.g; }

/// Whether the shot shows the picture's own colour near the expected texel; textures are drawn unlit
/// and unfiltered, so a visible texel comes through exactly, give or take a neighbour at its edges.
bool showsTexel(const Rgb& seen, const Picture& picture, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            if (!picture.inside(x + dx, y + dy)) continue;
            if (changed(seen, picture.at(x + dx, y + dy)) <= 6) return true;
        }
    return false;
}

struct Panel {
    const char* name;
    const char* file;
    double origin[3], edgeU[3], edgeV[3];  // the picture's top row runs along edgeU, left to right
};

/// Samples a grid over the panel and compares each sample with the picture as a player should see it,
/// and with its mirror image and its upside-down image. Only the samples where the two images differ
/// tell them apart; of those, the upright picture must win by far.
bool checkPanel(const Picture& shot, const Panel& panel, const std::string& assets) {
    const Picture picture = load(assets + "/" + panel.file);
    int samples = 0, upright = 0, onlyUpright = 0, onlyMirrored = 0, onlyUprightVsFlipped = 0, onlyFlipped = 0;
    constexpr int steps = 24;
    for (int i = 0; i < steps; ++i)
        for (int j = 0; j < steps; ++j) {
            const double u = (i + 0.5) / steps, v = (j + 0.5) / steps;
            double p[3];
            for (int k = 0; k < 3; ++k) p[k] = panel.origin[k] + u * panel.edgeU[k] + v * panel.edgeV[k];
            int column = 0, row = 0;
            onScreen(p[0], p[1], p[2], column, row);
            if (!shot.inside(column, row)) continue;
            const Rgb seen = shot.at(column, row);
            const int x = int(u * picture.width), y = int(v * picture.height);
            const bool asIs = showsTexel(seen, picture, x, y);
            const bool mirrored = showsTexel(seen, picture, picture.width - 1 - x, y);
            const bool flipped = showsTexel(seen, picture, x, picture.height - 1 - y);
            ++samples;
            if (asIs) ++upright;
            if (asIs && !mirrored) ++onlyUpright;
            if (mirrored && !asIs) ++onlyMirrored;
            if (asIs && !flipped) ++onlyUprightVsFlipped;
            if (flipped && !asIs) ++onlyFlipped;
        }
    // Bumpers, the ball, the flippers' wires and the texts hide part of each picture.
    const bool shown = samples > 0 && upright * 100 >= samples * 60;
    const bool unmirrored = onlyUpright >= 20 && onlyUpright > 3 * onlyMirrored;
    const bool notFlipped = onlyUprightVsFlipped >= 20 && onlyUprightVsFlipped > 3 * onlyFlipped;
    const bool ok = shown && unmirrored && notFlipped;
    std::printf("%s %s: %d of %d sample points show %s; where it differs from its mirror image %d match "
                "the picture and %d the mirror image; from it upside down, %d and %d\n",
                ok ? "ok:" : "MISSING:", panel.name, upright, samples, panel.file, onlyUpright, onlyMirrored,
                onlyUprightVsFlipped, onlyFlipped);
    return ok;
}

/// Counts wall-blue pixels over a grid on a wall's face.
bool checkWall(const Picture& shot, const char* name, const double origin[3], const double edgeU[3],
               const double edgeV[3]) {
    int samples = 0, blue = 0;
    constexpr int steps = 12;
    for (int i = 1; i < steps; ++i)
        for (int j = 1; j < steps; ++j) {
            const double u = double(i) / steps, v = double(j) / steps;
            int column = 0, row = 0;
            onScreen(origin[0] + u * edgeU[0] + v * edgeV[0], origin[1] + u * edgeU[1] + v * edgeV[1],
                     origin[2] + u * edgeU[2] + v * edgeV[2], column, row);
            if (!shot.inside(column, row)) continue;
            ++samples;
            if (wallBlue(shot.at(column, row))) ++blue;
        }
    const bool ok = samples > 0 && blue * 100 >= samples * 70;
    std::printf("%s %s: %d of %d sample points wall blue\n", ok ? "ok:" : "MISSING:", name, blue, samples);
    return ok;
}

bool checkTable(const std::string& shotPath, const std::string& assets) {
    const Picture shot = loadShot(shotPath);
    bool ok = true;
    // The inner faces of the side walls, a little in from the wall planes; in the ambient light alone
    // they are dark navy.
    const double leftOrigin[3] = {-4.9, 0.3, 1}, leftU[3] = {0, 2.4, 0}, leftV[3] = {0, 0, 14};
    const double rightOrigin[3] = {6.9, 0.3, 1}, rightU[3] = {0, 2.4, 0}, rightV[3] = {0, 0, 18};
    ok &= checkWall(shot, "left wall", leftOrigin, leftU, leftV);
    ok &= checkWall(shot, "right wall", rightOrigin, rightU, rightV);
    // The deflector's back faces the light and shows the walls' blue at its brightest.
    int bright = 0;
    for (int y = 0; y < windowSize; ++y)
        for (int x = 0; x < windowSize; ++x) {
            const Rgb c = shot.at(x, y);
            if (wallBlue(c) && c.b >= 100) ++bright;
        }
    const bool lit = bright >= 200;
    std::printf("%s lit wall blue: %d pixels\n", lit ? "ok:" : "MISSING:", bright);
    ok &= lit;
    const Panel playfield{"playfield picture", "woman.bmp", {-5, 0.1, 0}, {12, 0, 0}, {0, 0, 20}};
    const Panel back{"back picture", "head.bmp", {-5, 6, 0.1}, {12, 0, 0}, {0, -6, 0}};
    ok &= checkPanel(shot, playfield, assets);
    ok &= checkPanel(shot, back, assets);
    return ok;
}

bool checkTexts(const std::string& shotPath) {
    const Picture shot = loadShot(shotPath);
    struct Text {
        const char* name;
        double x, y, z;
        int width;    // pixels the text may take to the right of its raster position
        int minimum;  // text-coloured pixels expected at least
    };
    const Text texts[] = {
        {"score number", 2.0, 2.5, 1.0, 60, 12},
        {"\"Score:\"", -1.5, 2.5, 1.0, 70, 60},
        {"title \"Vantorello\"", -1.5, 4.0, 1.0, 110, 100},
    };
    bool ok = true;
    for (const Text& t : texts) {
        int column = 0, row = 0;
        onScreen(t.x, t.y, t.z, column, row);
        // Helvetica 18 stands about 14 pixels above its baseline and hangs 4 below it.
        int count = 0;
        for (int y = row - 16; y <= row + 4; ++y)
            for (int x = column - 2; x <= column + t.width; ++x)
                if (shot.inside(x, y) && ballHued(shot.at(x, y))) ++count;
        const bool found = count >= t.minimum;
        std::printf("%s %s: %d pixels in the text colour right of (%d, %d)\n", found ? "ok:" : "MISSING:", t.name,
                    count, column, row);
        ok &= found;
    }
    return ok;
}

/// Whether a pixel is where the score texts stand, which change as the score does.
bool inTexts(int x, int y) {
    int left = 0, top = 0, right = 0, bottom = 0;
    onScreen(-1.5, 4.0, 1.0, left, top);
    onScreen(2.0, 2.5, 1.0, right, bottom);
    return x >= left - 4 && x <= right + 80 && y >= top - 20 && y <= bottom + 6;
}

bool checkBall(const std::string& firstPath, const std::string& secondPath) {
    const Picture first = loadShot(firstPath), second = loadShot(secondPath);
    // The bumpers share the ball's colour but stand still: only what moved between the shots counts.
    // The lit ball is brighter than its shadow, which gets the ambient light only (about 0.16 red).
    int lit = 0, shadow = 0;
    for (int y = 0; y < windowSize; ++y)
        for (int x = 0; x < windowSize; ++x) {
            const Rgb a = first.at(x, y), b = second.at(x, y);
            if (changed(a, b) < changedThreshold || inTexts(x, y)) continue;
            for (const Rgb& c : {a, b}) {
                if (!ballHued(c)) continue;
                if (c.r >= 52)
                    ++lit;
                else if (c.r <= 48)
                    ++shadow;
            }
        }
    const bool ballOk = lit >= 150, shadowOk = shadow >= 40;
    std::printf("%s ball: %d moving pixels in the lit ball colour\n", ballOk ? "ok:" : "MISSING:", lit);
    std::printf("%s shadow: %d moving pixels in the shadow's dark ball colour\n", shadowOk ? "ok:" : "MISSING:",
                shadow);
    return ballOk && shadowOk;
}

/// The share of pixels, in percent, that differ between two shots.
double changedShare(const Picture& a, const Picture& b, int& count) {
    count = 0;
    for (int y = 0; y < windowSize; ++y)
        for (int x = 0; x < windowSize; ++x)
            if (changed(a.at(x, y), b.at(x, y)) >= changedThreshold) ++count;
    return 100.0 * count / (windowSize * windowSize);
}

bool checkTurned(const std::string& beforePath, const std::string& afterPath) {
    int count = 0;
    const double share = changedShare(loadShot(beforePath), loadShot(afterPath), count);
    const bool ok = share >= 8.0;
    std::printf("%s view turned: %.1f%% of the window changed (%d pixels)\n", ok ? "ok:" : "MISSING:", share, count);
    return ok;
}

bool checkMoving(const std::string& firstPath, const std::string& secondPath) {
    int count = 0;
    const double share = changedShare(loadShot(firstPath), loadShot(secondPath), count);
    const bool ok = count >= 100;
    std::printf("%s game goes on: %d pixels (%.2f%%) changed\n", ok ? "ok:" : "MISSING:", count, share);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    bool ok = false;
    if (command == "table" && argc == 4)
        ok = checkTable(argv[2], argv[3]);
    else if (command == "texts" && argc == 3)
        ok = checkTexts(argv[2]);
    else if (command == "ball" && argc == 4)
        ok = checkBall(argv[2], argv[3]);
    else if (command == "turned" && argc == 4)
        ok = checkTurned(argv[2], argv[3]);
    else if (command == "moving" && argc == 4)
        ok = checkMoving(argv[2], argv[3]);
    else {
        std::fputs(usage, stderr);
        return 2;
    }
    return ok ? 0 : 1;
}
