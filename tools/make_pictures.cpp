// make-pictures: draws the game's two pictures, the playfield's standing woman and
// the back panel's head in profile, and writes them as 24-bit BMP files.

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int exitUsage = 2;
constexpr int exitIoError = 1;
constexpr int channels = 3;  // 8-bit red, green, blue

// The playfield panel is 12 units wide and 20 deep, the back panel 12 wide and
// 6 high: 16 pixels per unit on the playfield, a bit more on the back.
constexpr int playfieldWidth = 192;
constexpr int playfieldHeight = 320;
constexpr int backWidth = 256;
constexpr int backHeight = 128;

constexpr double pi = 3.14159265358979323846;

struct Colour {
    std::uint8_t r, g, b;
};

struct Point {
    double x, y;
};

Colour mix(Colour a, Colour b, double t) {
    auto channel = [t](std::uint8_t p, std::uint8_t q) {
        return static_cast<std::uint8_t>(std::lround(p + (q - p) * std::clamp(t, 0.0, 1.0)));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

/// An RGB picture, rows top to bottom, with shapes painted over each other in
/// call order. A pixel is covered when its centre lies inside the shape.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), pixels_(width * height * channels) {}

    int width() const { return width_; }
    int height() const { return height_; }
    const std::uint8_t* data() const { return pixels_.data(); }

    void set(int x, int y, Colour c) {
        std::uint8_t* p = &pixels_[(y * width_ + x) * channels];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }

    /// Paints every pixel in the bounding box whose centre passes `inside`.
    template <typename Inside>
    void paint(double left, double top, double right, double bottom, Colour c, Inside inside) {
        const int x0 = std::max(0, static_cast<int>(std::floor(left)));
        const int y0 = std::max(0, static_cast<int>(std::floor(top)));
        const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(right)));
        const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(bottom)));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                if (inside(x + 0.5, y + 0.5)) set(x, y, c);
            }
        }
    }

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

void fillRect(Canvas& canvas, double left, double top, double right, double bottom, Colour c) {
    canvas.paint(left, top, right, bottom, c, [&](double x, double y) {
        return x >= left && x < right && y >= top && y < bottom;
    });
}

void fillEllipse(Canvas& canvas, Point centre, double rx, double ry, Colour c) {
    canvas.paint(centre.x - rx, centre.y - ry, centre.x + rx, centre.y + ry, c, [&](double x, double y) {
        const double u = (x - centre.x) / rx;
        const double v = (y - centre.y) / ry;
        return u * u + v * v <= 1.0;
    });
}

void fillCircle(Canvas& canvas, Point centre, double r, Colour c) { fillEllipse(canvas, centre, r, r, c); }

// Even-odd rule: a point is inside when a ray to the right crosses the outline an odd number of times.
void fillPolygon(Canvas& canvas, const std::vector<Point>& corners, Colour c) {
    double left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (const Point& p : corners) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    canvas.paint(left, top, right, bottom, c, [&](double x, double y) {
        bool inside = false;
        for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const Point& a = corners[i];
            const Point& b = corners[j];
            if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
        }
        return inside;
    });
}

// A stroke of the given width with round ends: every point within width / 2 of the segment.
void fillStroke(Canvas& canvas, Point a, Point b, double width, Colour c) {
    const double r = width / 2;
    canvas.paint(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
                 std::max(a.y, b.y) + r, c, [&](double x, double y) {
                     const double dx = b.x - a.x, dy = b.y - a.y;
                     const double lengthSquared = dx * dx + dy * dy;
                     double t = lengthSquared > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / lengthSquared : 0;
                     t = std::clamp(t, 0.0, 1.0);
                     const double ex = x - (a.x + t * dx), ey = y - (a.y + t * dy);
                     return ex * ex + ey * ey <= r * r;
                 });
}

// A star of `points` tips, alternating between the outer and the inner radius.
void fillStar(Canvas& canvas, Point centre, int points, double outer, double inner, double turn, Colour c) {
    std::vector<Point> corners;
    for (int k = 0; k < 2 * points; ++k) {
        const double angle = turn + k * pi / points;
        const double r = k % 2 == 0 ? outer : inner;
        corners.push_back({centre.x + r * std::sin(angle), centre.y - r * std::cos(angle)});
    }
    fillPolygon(canvas, corners, c);
}

// The playfield: a woman in a red dress standing on grass, her right arm (on the
// picture's right) raised towards the top, the sun in the top left corner and the
// painter's mark, a diamond over a stroke, in the bottom right corner.
Canvas drawWoman() {
    Canvas canvas(playfieldWidth, playfieldHeight);
    constexpr Colour skyTop{70, 200, 235};
    constexpr Colour skyLow{245, 150, 200};
    constexpr Colour grass{100, 205, 90};
    constexpr Colour grassShade{70, 165, 75};
    constexpr Colour sun{255, 225, 60};
    constexpr Colour sunRay{255, 185, 40};
    constexpr Colour skin{250, 205, 170};
    constexpr Colour hair{215, 95, 40};
    constexpr Colour dress{235, 45, 85};
    constexpr Colour dressDots{255, 190, 215};
    constexpr Colour belt{255, 215, 70};
    constexpr Colour shoes{140, 70, 200};
    constexpr Colour eyes{60, 40, 90};
    constexpr Colour lips{200, 30, 60};
    constexpr Colour petals{255, 245, 120};
    constexpr Colour flowerHeart{250, 130, 40};
    constexpr Colour mark{250, 250, 235};

    // Sky fading from turquoise at the top to pink at the horizon, grass below it.
    constexpr int horizon = 258;
    for (int y = 0; y < horizon; ++y) {
        fillRect(canvas, 0, y, playfieldWidth, y + 1, mix(skyTop, skyLow, y / double(horizon - 1)));
    }
    fillRect(canvas, 0, horizon, playfieldWidth, playfieldHeight, grass);
    fillRect(canvas, 0, horizon, playfieldWidth, horizon + 4, grassShade);

    // The sun, with twelve rays, in the top left corner.
    const Point sunCentre{36, 40};
    for (int k = 0; k < 12; ++k) {
        const double angle = k * pi / 6;
        fillStroke(canvas, {sunCentre.x + 25 * std::cos(angle), sunCentre.y + 25 * std::sin(angle)},
                   {sunCentre.x + 33 * std::cos(angle), sunCentre.y + 33 * std::sin(angle)}, 4, sunRay);
    }
    fillCircle(canvas, sunCentre, 20, sun);

    // Flowers in the grass on the left.
    for (const Point& f : {Point{18, 278}, Point{40, 300}, Point{14, 308}, Point{150, 274}}) {
        for (int k = 0; k < 5; ++k) {
            const double angle = k * 2 * pi / 5;
            fillCircle(canvas, {f.x + 4 * std::cos(angle), f.y + 4 * std::sin(angle)}, 3, petals);
        }
        fillCircle(canvas, f, 2.5, flowerHeart);
    }

    // Her shadow, then legs and shoes pointing outwards.
    fillEllipse(canvas, {96, 292}, 42, 7, grassShade);
    fillStroke(canvas, {86, 230}, {84, 287}, 10, skin);
    fillStroke(canvas, {106, 230}, {108, 287}, 10, skin);
    fillEllipse(canvas, {79, 290}, 11, 5, shoes);
    fillEllipse(canvas, {113, 290}, 11, 5, shoes);

    // Long hair behind the shoulders.
    fillEllipse(canvas, {96, 86}, 21, 28, hair);

    // Arms: the left one hangs down, the right one reaches up. Sleeves over the shoulders.
    fillStroke(canvas, {82, 102}, {70, 140}, 9, skin);
    fillStroke(canvas, {70, 140}, {66, 174}, 8, skin);
    fillCircle(canvas, {66, 178}, 6, skin);
    fillStroke(canvas, {110, 102}, {134, 78}, 9, skin);
    fillStroke(canvas, {134, 78}, {146, 46}, 8, skin);
    fillCircle(canvas, {147, 41}, 6.5, skin);

    // The dress: bodice, sleeves, a flared skirt with dots and a belt.
    fillPolygon(canvas, {{78, 94}, {114, 94}, {108, 140}, {84, 140}}, dress);
    fillStroke(canvas, {82, 99}, {77, 116}, 14, dress);
    fillStroke(canvas, {110, 99}, {119, 90}, 14, dress);
    fillPolygon(canvas, {{84, 138}, {108, 138}, {142, 236}, {50, 236}}, dress);
    for (const Point& d : {Point{88, 160}, Point{104, 172}, Point{80, 190}, Point{98, 200}, Point{118, 208},
                           Point{68, 218}, Point{88, 224}, Point{110, 228}, Point{130, 226}}) {
        fillCircle(canvas, d, 3, dressDots);
    }
    fillRect(canvas, 83, 136, 109, 143, belt);

    // Neck, face and the fringe over the forehead.
    fillRect(canvas, 91, 82, 101, 96, skin);
    fillCircle(canvas, {96, 70}, 15, skin);
    fillEllipse(canvas, {96, 58}, 17, 9, hair);
    fillCircle(canvas, {90, 70}, 2, eyes);
    fillCircle(canvas, {102, 70}, 2, eyes);
    fillEllipse(canvas, {96, 78}, 4, 1.8, lips);

    // The painter's mark in the bottom right corner.
    fillPolygon(canvas, {{174, 284}, {182, 296}, {174, 308}, {166, 296}}, mark);
    fillCircle(canvas, {174, 296}, 2.5, dress);
    fillStroke(canvas, {152, 314}, {186, 308}, 3, mark);
    return canvas;
}

// The back panel: a woman's head in profile looking to the right, her hair flowing
// out to the left, against a turquoise disc on a magenta-to-orange backdrop with
// three sparkles in the top left corner.
Canvas drawHead() {
    Canvas canvas(backWidth, backHeight);
    constexpr Colour backLeft{220, 60, 150};
    constexpr Colour backRight{255, 165, 60};
    constexpr Colour disc{80, 215, 215};
    constexpr Colour sparkle{255, 250, 210};
    constexpr Colour skin{250, 205, 170};
    constexpr Colour skinShade{232, 172, 140};
    constexpr Colour hair{95, 55, 175};
    constexpr Colour dress{50, 170, 95};
    constexpr Colour eye{45, 30, 70};
    constexpr Colour lips{215, 35, 70};
    constexpr Colour gold{255, 220, 50};

    for (int x = 0; x < backWidth; ++x) {
        fillRect(canvas, x, 0, x + 1, backHeight, mix(backLeft, backRight, x / double(backWidth - 1)));
    }
    fillCircle(canvas, {150, 60}, 54, disc);
    fillStar(canvas, {22, 20}, 4, 9, 2.5, 0, sparkle);
    fillStar(canvas, {48, 34}, 4, 6, 2, 0.4, sparkle);
    fillStar(canvas, {18, 50}, 4, 5, 1.5, 0.2, sparkle);

    // Hair flowing out behind the head, then the shoulders and neck.
    fillPolygon(canvas, {{100, 30}, {70, 44}, {44, 70}, {34, 104}, {52, 88}, {58, 106}, {74, 92},
                         {84, 108}, {98, 90}, {108, 70}},
                hair);
    fillEllipse(canvas, {118, 140}, 72, 30, dress);
    fillPolygon(canvas, {{110, 76}, {140, 84}, {144, 116}, {106, 116}}, skinShade);

    // The head: skull, then the face's outline from brow over nose, lips and chin.
    fillCircle(canvas, {124, 54}, 30, skin);
    fillPolygon(canvas, {{124, 24}, {146, 30}, {154, 42}, {156, 52}, {167, 65}, {158, 68}, {160, 73},
                         {155, 76}, {159, 80}, {154, 90}, {142, 96}, {124, 92}},
                skin);

    // Hair over the top and back of the head, leaving face and ear free.
    fillPolygon(canvas, {{152, 34}, {142, 21}, {124, 16}, {104, 20}, {90, 34}, {86, 56}, {92, 76},
                         {104, 88}, {114, 80}, {111, 62}, {118, 46}, {134, 36}, {148, 40}},
                hair);

    fillEllipse(canvas, {119, 60}, 5, 8, skinShade);
    fillCircle(canvas, {119, 73}, 3, gold);
    fillEllipse(canvas, {146, 51}, 3.5, 2.2, eye);
    fillStroke(canvas, {140, 44}, {152, 43}, 2, hair);
    fillEllipse(canvas, {157, 77}, 3, 2, lips);
    return canvas;
}

bool writeBmp(const std::string& path, const Canvas& canvas) {
    // The first row handed over is the top of the picture; stb turns it into the
    // bottom-up row order that BMP files use.
    return stbi_write_bmp(path.c_str(), canvas.width(), canvas.height(), channels, canvas.data()) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << "usage: make-pictures OUTDIR\n"
                     "  writes OUTDIR/woman.bmp (playfield) and OUTDIR/head.bmp (back panel)\n";
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0') {
        std::cerr << "usage: make-pictures OUTDIR\n";
        return exitUsage;
    }
    const std::string directory = argv[1];
    const std::pair<std::string, Canvas> pictures[] = {{"woman.bmp", drawWoman()}, {"head.bmp", drawHead()}};
    for (const auto& [name, canvas] : pictures) {
        const std::string path = directory + "/" + name;
        if (!writeBmp(path, canvas)) {
            std::cerr << "make-pictures: cannot write '" << path << "'\n";
            return exitIoError;
        }
    }
    return 0;
}
