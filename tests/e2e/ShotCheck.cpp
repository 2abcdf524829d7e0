// flipper-shot-check: looks at screenshots of the real game window and says whether the player would
// see what the game promises. The end-to-end test runs it on screenshots taken under Xvfb.
//
// Positions are worked out from the opening view (the window 768 pixels square, a 45-degree
// perspective, the camera 38 back, the table tilted 15 degrees about x, no trackball turn), so a
// check can name a place on the table and find its pixel.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

namespace {

constexpr const char* usage =
    "usage: flipper-shot-check table SHOT ASSETS   walls, playfield and back pictures upright and unmirrored\n"
    "       flipper-shot-check texts SHOT          score, \"Score:\" and \"Vantorello\"\n"
    "       flipper-shot-check ball SHOT1 SHOT2    the ball and its shadow, moving between two shots\n"
    "       flipper-shot-check flippers REST LEFT1 LEFT2 RIGHT1 RIGHT2\n"
    "                                             the left flipper up in LEFT1 or LEFT2 and the right one in\n"
    "                                             neither, the right one up in RIGHT1 or RIGHT2, against REST\n"
    "       flipper-shot-check restarted BEFORE AFTER\n"
    "                                             the ball back at its start point in AFTER, not in BEFORE\n"
    "       flipper-shot-check turned SHOT ASSETS DX DY\n"
    "                                             the walls and pictures where a middle-button drag from the\n"
    "                                             window's centre, DX right and DY down in six steps, puts them\n"
    "       flipper-shot-check moving SHOT1 SHOT2  something in the window moved\n"
    "All but 'turned' expect the opening view; SHOT1 and SHOT2 are of the same view a moment apart.\n";

constexpr int windowSize = 768;       // the game's window, in pixels
constexpr double fieldOfView = 45.0;  // degrees, vertical
constexpr double cameraDistance = 38.0;
constexpr double tableTilt = 15.0;  // degrees about x
constexpr double pi = 3.14159265358979;
constexpr int changedThreshold = 30;  // summed channel difference that counts as a changed pixel

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

/// The trackball's turn as the game hands it to glMultMatrixf: column-major, element 4 * column + row.
using Turn = std::array<double, 16>;
constexpr Turn noTurn{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

/// The pixel (column, row from the top) where a table point lands in the view turned by turn.
void onScreen(const Turn& turn, double x, double y, double z, int& column, int& row) {
    const double tx = turn[0] * x + turn[4] * y + turn[8] * z;
    const double ty = turn[1] * x + turn[5] * y + turn[9] * z;
    const double tz = turn[2] * x + turn[6] * y + turn[10] * z;
    const double tilt = tableTilt * pi / 180.0;
    const double ey = std::cos(tilt) * ty - std::sin(tilt) * tz;
    const double ez = std::sin(tilt) * ty + std::cos(tilt) * tz - cameraDistance;
    const double scale = 1.0 / std::tan(fieldOfView / 2.0 * pi / 180.0);
    const double nx = scale * tx / -ez;
    const double ny = scale * ey / -ez;
    column = int(std::floor((nx + 1.0) * windowSize / 2.0));
    row = int(std::floor((1.0 - ny) * windowSize / 2.0));
}

/// The pixel where a table point lands in the opening view.
void onScreen(double x, double y, double z, int& column, int& row) { onScreen(noTurn, x, y, z, column, row); }

/// The turn of a middle-button drag from the window's centre, dx right and dy down, in six equal steps
/// as the test's xdotool makes it, worked out the trackball's way: each pixel onto a sphere of radius 3
/// over the window, each step a turn about last x p by four times 2 asin(|d| / (sqrt 2 * 3)), the
/// steps multiplied on the left, the quaternion (w, x, y, z) written as its rotation matrix row by row.
/// factor scales every step's angle, to ask where the picture would be after a smaller or larger turn.
Turn dragTurn(int dx, int dy, double factor) {
    const double radius = 3.0, half = windowSize / 2;
    auto spherePoint = [&](int x, int y) {
        const double px = std::clamp(x / half - 1.0, -1.0, 1.0), py = std::clamp(1.0 - y / half, -1.0, 1.0);
        return std::array<double, 3>{px, py, std::sqrt(radius * radius - px * px - py * py)};
    };
    std::array<double, 4> q{1, 0, 0, 0};
    std::array<double, 3> last = spherePoint(384, 384);
    for (int step = 1; step <= 6; ++step) {
        const std::array<double, 3> p = spherePoint(384 + dx * step / 6, 384 + dy * step / 6);
        const double d = std::hypot(p[0] - last[0], p[1] - last[1], p[2] - last[2]);
        const double angle = 4.0 * 2.0 * std::asin(d / (std::sqrt(2.0) * radius)) * factor;
        std::array<double, 3> axis{last[1] * p[2] - last[2] * p[1], last[2] * p[0] - last[0] * p[2],
                                   last[0] * p[1] - last[1] * p[0]};
        const double n = std::hypot(axis[0], axis[1], axis[2]);
        const double s = std::sin(angle / 2) / n;
        const std::array<double, 4> a{std::cos(angle / 2), s * axis[0], s * axis[1], s * axis[2]};
        q = {a[0] * q[0] - a[1] * q[1] - a[2] * q[2] - a[3] * q[3],
             a[0] * q[1] + a[1] * q[0] + a[2] * q[3] - a[3] * q[2],
             a[0] * q[2] - a[1] * q[3] + a[2] * q[0] + a[3] * q[1],
             a[0] * q[3] + a[1] * q[2] - a[2] * q[1] + a[3] * q[0]};
        last = p;
    }
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    return {1 - 2 * (y * y + z * z),
            2 * (x * y - w * z),
            2 * (x * z + w * y),
            0,
            2 * (x * y + w * z),
            1 - 2 * (x * x + z * z),
            2 * (y * z - w * x),
            0,
            2 * (x * z - w * y),
            2 * (y * z + w * x),
            1 - 2 * (x * x + y * y),
            0,
            0,
            0,
            0,
            1};
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
bool checkPanel(const Picture& shot, const Panel& panel, const std::string& assets, const Turn& turn = noTurn) {
    const Picture picture = load(assets + "/" + panel.file);
    int samples = 0, upright = 0, onlyUpright = 0, onlyMirrored = 0, onlyUprightVsFlipped = 0, onlyFlipped = 0;
    constexpr int steps = 24;
    for (int i = 0; i < steps; ++i)
        for (int j = 0; j < steps; ++j) {
            const double u = (i + 0.5) / steps, v = (j + 0.5) / steps;
            double p[3];
            for (int k = 0; k < 3; ++k) p[k] = panel.origin[k] + u * panel.edgeU[k] + v * panel.edgeV[k];
            int column = 0, row = 0;
            onScreen(turn, p[0], p[1], p[2], column, row);
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
    std::printf(
        "%s %s: %d of %d sample points show %s; where it differs from its mirror image %d match "
        "the picture and %d the mirror image; from it upside down, %d and %d\n",
        ok ? "ok:" : "MISSING:", panel.name, upright, samples, panel.file, onlyUpright, onlyMirrored,
        onlyUprightVsFlipped, onlyFlipped);
    return ok;
}

/// Counts wall-blue pixels over a grid on a wall's face.
bool checkWall(const Picture& shot, const char* name, const double origin[3], const double edgeU[3],
               const double edgeV[3], const Turn& turn = noTurn) {
    int samples = 0, blue = 0;
    constexpr int steps = 12;
    for (int i = 1; i < steps; ++i)
        for (int j = 1; j < steps; ++j) {
            const double u = double(i) / steps, v = double(j) / steps;
            int column = 0, row = 0;
            onScreen(turn, origin[0] + u * edgeU[0] + v * edgeV[0], origin[1] + u * edgeU[1] + v * edgeV[1],
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
    std::printf("%s shadow: %d moving pixels in the shadow's dark ball colour\n",
                shadowOk ? "ok:" : "MISSING:", shadow);
    return ballOk && shadowOk;
}

/// The pixels a flipper covers anywhere in its swing, from rest to 40 degrees, a pixel around each:
/// its slab turns about its first edge, the hinge, the second edge turning towards its normal.
std::vector<bool> flipperSweep(const double origin[3], const double edgeU[3], const double edgeV[3]) {
    const double normalRaw[3] = {edgeU[1] * edgeV[2] - edgeU[2] * edgeV[1], edgeU[2] * edgeV[0] - edgeU[0] * edgeV[2],
                                 edgeU[0] * edgeV[1] - edgeU[1] * edgeV[0]};
    const double n = std::hypot(normalRaw[0], normalRaw[1], normalRaw[2]);
    std::vector<bool> mask(windowSize * windowSize, false);
    for (int degrees = 0; degrees <= 40; ++degrees) {
        const double a = degrees * pi / 180.0;
        double turned[3];
        for (int k = 0; k < 3; ++k)
            turned[k] =
                std::cos(a) * edgeV[k] + std::sin(a) * normalRaw[k] / n * std::hypot(edgeV[0], edgeV[1], edgeV[2]);
        for (int i = 0; i <= 20; ++i)
            for (int j = 0; j <= 50; ++j) {
                const double u = i / 20.0, v = j / 50.0;
                int column = 0, row = 0;
                onScreen(origin[0] + u * edgeU[0] + v * turned[0], origin[1] + u * edgeU[1] + v * turned[1],
                         origin[2] + u * edgeU[2] + v * turned[2], column, row);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int x = column + dx, y = row + dy;
                        if (x >= 0 && y >= 0 && x < windowSize && y < windowSize) mask[y * windowSize + x] = true;
                    }
            }
    }
    return mask;
}

/// How many pixels of the mask differ between two shots.
int changedWithin(const std::vector<bool>& mask, const Picture& a, const Picture& b) {
    int count = 0;
    for (int y = 0; y < windowSize; ++y)
        for (int x = 0; x < windowSize; ++x)
            if (mask[y * windowSize + x] && changed(a.at(x, y), b.at(x, y)) >= changedThreshold) ++count;
    return count;
}

/// 'f' swings the left flipper and not the right one, 'j' the right one: the pixels that each flipper
/// sweeps change against the resting shot when, and only when, that flipper's key was pressed. Two
/// shots are taken while each key is pressed again and again; a flipper need be up in one of them.
bool checkFlippers(const std::string& restPath, const std::string leftPaths[2], const std::string rightPaths[2]) {
    const Picture rest = loadShot(restPath);
    const double leftOrigin[3] = {-5, 0, 16}, leftU[3] = {0, 3, 0}, leftV[3] = {3.5, 0, 2};
    const double rightOrigin[3] = {5, 3, 16}, rightU[3] = {0, -3, 0}, rightV[3] = {-3.5, 0, 2};
    const std::vector<bool> leftSweep = flipperSweep(leftOrigin, leftU, leftV);
    const std::vector<bool> rightSweep = flipperSweep(rightOrigin, rightU, rightV);
    constexpr int moved = 300;  // changed pixels that show a flipper up
    constexpr int still = 30;   // at most this many where nothing should move
    int leftUp = 0, rightStill = windowSize * windowSize, rightUp = 0;
    for (int i = 0; i < 2; ++i) {
        const Picture left = loadShot(leftPaths[i]), right = loadShot(rightPaths[i]);
        leftUp = std::max(leftUp, changedWithin(leftSweep, rest, left));
        rightStill = std::min(rightStill, changedWithin(rightSweep, rest, left));
        rightUp = std::max(rightUp, changedWithin(rightSweep, rest, right));
    }
    const bool ok = leftUp >= moved && rightStill <= still && rightUp >= moved;
    std::printf(
        "%s flippers: after f %d pixels changed where the left flipper swings and %d where the right one "
        "does; after j %d where the right one swings\n",
        ok ? "ok:" : "MISSING:", leftUp, rightStill, rightUp);
    return ok;
}

/// After 'n' the ball stands at its start point again, (-2, 3, 2) with radius 1 and falling: the part
/// of the window where it can be in the first moments of a game shows the lit ball where, before the
/// restart, it did not.
bool checkRestarted(const std::string& beforePath, const std::string& afterPath) {
    const Picture before = loadShot(beforePath), after = loadShot(afterPath);
    int left = windowSize, right = 0, top = windowSize, bottom = 0;
    for (double x : {-3.0, -1.0})
        for (double y : {0.5, 4.0})
            for (double z : {1.0, 3.0}) {
                int column = 0, row = 0;
                onScreen(x, y, z, column, row);
                left = std::min(left, column), right = std::max(right, column);
                top = std::min(top, row), bottom = std::max(bottom, row);
            }
    int arrived = 0;
    for (int y = std::max(top, 0); y <= std::min(bottom, windowSize - 1); ++y)
        for (int x = std::max(left, 0); x <= std::min(right, windowSize - 1); ++x) {
            const Rgb a = before.at(x, y), b = after.at(x, y);
            if (inTexts(x, y) || changed(a, b) < changedThreshold) continue;
            if (ballHued(b) && b.r >= 52 && !ballHued(a)) ++arrived;
        }
    const bool ok = arrived >= 150;
    std::printf("%s restart: %d pixels of the lit ball appeared around its start point (%d..%d, %d..%d)\n",
                ok ? "ok:" : "MISSING:", arrived, left, right, top, bottom);
    return ok;
}

/// How many sample points of a panel show the picture's own texel in the view turned by turn.
int panelMatches(const Picture& shot, const Picture& picture, const Panel& panel, const Turn& turn) {
    int matches = 0;
    constexpr int steps = 24;
    for (int i = 0; i < steps; ++i)
        for (int j = 0; j < steps; ++j) {
            const double u = (i + 0.5) / steps, v = (j + 0.5) / steps;
            int column = 0, row = 0;
            onScreen(turn, panel.origin[0] + u * panel.edgeU[0] + v * panel.edgeV[0],
                     panel.origin[1] + u * panel.edgeU[1] + v * panel.edgeV[1],
                     panel.origin[2] + u * panel.edgeU[2] + v * panel.edgeV[2], column, row);
            if (shot.inside(column, row) &&
                showsTexel(shot.at(column, row), picture, int(u * picture.width), int(v * picture.height)))
                ++matches;
        }
    return matches;
}

/// The view turned by the drag, by as much as the trackball says: the playfield picture lies where the
/// drag's turn puts it, and fits that turn far better than none, three quarters or five quarters of it;
/// the back picture, near the turn's centre, is still shown upright and unmirrored. (The walls are no
/// help here: turned, they meet the light at other angles and change colour.)
bool checkTurned(const std::string& shotPath, const std::string& assets, int dx, int dy) {
    const Picture shot = loadShot(shotPath);
    const Turn turn = dragTurn(dx, dy, 1.0);
    const Panel playfield{"playfield picture, turned", "woman.bmp", {-5, 0.1, 0}, {12, 0, 0}, {0, 0, 20}};
    const Panel back{"back picture, turned", "head.bmp", {-5, 6, 0.1}, {12, 0, 0}, {0, -6, 0}};
    bool ok = checkPanel(shot, back, assets, turn);
    const Picture picture = load(assets + "/" + playfield.file);
    const int expected = panelMatches(shot, picture, playfield, turn);
    bool fits = expected * 2 >= 24 * 24;  // half the samples: the ball, bumpers and flippers hide some
    std::printf("   the playfield picture fits the drag's turn at %d of %d sample points;", expected, 24 * 24);
    for (double factor : {0.0, 0.75, 1.25}) {
        const int other = panelMatches(shot, picture, playfield, dragTurn(dx, dy, factor));
        std::printf(" %.2f of the turn at %d;", factor, other);
        fits &= other * 2 < expected;
    }
    std::printf("\n%s view turned by the drag: the playfield picture %s\n", fits ? "ok:" : "MISSING:",
                fits ? "fits the drag's turn and no other" : "does not fit the drag's turn best");
    return ok && fits;
}

/// The share of pixels, in percent, that differ between two shots.
double changedShare(const Picture& a, const Picture& b, int& count) {
    count = 0;
    for (int y = 0; y < windowSize; ++y)
        for (int x = 0; x < windowSize; ++x)
            if (changed(a.at(x, y), b.at(x, y)) >= changedThreshold) ++count;
    return 100.0 * count / (windowSize * windowSize);
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
    else if (command == "flippers" && argc == 7) {
        const std::string left[2] = {argv[3], argv[4]}, right[2] = {argv[5], argv[6]};
        ok = checkFlippers(argv[2], left, right);
    } else if (command == "restarted" && argc == 4)
        ok = checkRestarted(argv[2], argv[3]);
    else if (command == "turned" && argc == 6)
        ok = checkTurned(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    else if (command == "moving" && argc == 4)
        ok = checkMoving(argv[2], argv[3]);
    else {
        std::fputs(usage, stderr);
        return 2;
    }
    return ok ? 0 : 1;
}
