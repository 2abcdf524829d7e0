#include "front/Trackball.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

/// The game's trackball after its first reshape: a 768 x 768 window.
Trackball trackballFor768Window() {
    Trackball trackball(3.0, 256, 256);
    trackball.resize(768, 768);
    return trackball;
}

double length(const Trackball::Quaternion& q) {
    return std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
}

}  // namespace

TEST(TrackballTest, StartsWithIdentityMatrix) {
    const Trackball trackball(3.0, 256, 256);
    const std::array<float, 16> identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(trackball.rotationMatrix(), identity);
    EXPECT_FALSE(trackball.dragging);
}

TEST(TrackballTest, ResizeTruncatesHalfSizes) {
    Trackball trackball(3.0, 256, 256);
    const struct {
        int width, height, halfWidth, halfHeight;
    } cases[] = {{768, 768, 384, 384}, {767, 511, 383, 255}, {1, 1, 0, 0}};
    for (const auto& c : cases) {
        trackball.resize(c.width, c.height);
        EXPECT_EQ(trackball.halfWidth, c.halfWidth) << c.width;
        EXPECT_EQ(trackball.halfHeight, c.halfHeight) << c.height;
    }
}

TEST(TrackballTest, SpherePointMapsCentreEdgesAndClampsOutsidePixels) {
    const Trackball trackball = trackballFor768Window();
    const struct {
        int x, y;
        double px, py, pz;
    } cases[] = {
        {384, 384, 0.0, 0.0, 3.0},
        {384, 0, 0.0, 1.0, std::sqrt(8.0)},
        {768, 384, 1.0, 0.0, std::sqrt(8.0)},
        {-10, 900, -1.0, -1.0, std::sqrt(7.0)},
        {5000, -5000, 1.0, 1.0, std::sqrt(7.0)},
        {480, 384, 0.25, 0.0, std::sqrt(9.0 - 0.0625)},
    };
    for (const auto& c : cases) {
        const Trackball::Point p = trackball.spherePoint(c.x, c.y);
        EXPECT_EQ(p[0], c.px) << c.x << "," << c.y;
        EXPECT_EQ(p[1], c.py) << c.x << "," << c.y;
        EXPECT_EQ(p[2], c.pz) << c.x << "," << c.y;
    }
}

TEST(TrackballTest, OneDragStepTurnsAboutYByFourTimesTheArc) {
    Trackball trackball = trackballFor768Window();
    trackball.beginDrag(384, 384);
    trackball.drag(480, 384);

    EXPECT_NEAR(trackball.orientation[0], 0.972271, 1e-6);
    EXPECT_EQ(trackball.orientation[1], 0.0);
    EXPECT_NEAR(trackball.orientation[2], 0.233859, 1e-6);
    EXPECT_EQ(trackball.orientation[3], 0.0);
    // The step's angle is 2 asin(|d| / (sqrt 2 r)) times the gain of 4: about 0.472089 rad.
    EXPECT_NEAR(2.0 * std::acos(trackball.increment[0]), 0.472089, 1e-6);

    EXPECT_EQ(trackball.lastPoint, (Trackball::Point{0.25, 0.0, std::sqrt(9.0 - 0.0625)}));
}

TEST(TrackballTest, MotionAtPressPixelLeavesOrientationAlone) {
    Trackball trackball = trackballFor768Window();
    trackball.beginDrag(300, 200);
    trackball.drag(350, 260);
    const Trackball::Quaternion before = trackball.orientation;
    trackball.drag(350, 260);
    EXPECT_EQ(trackball.orientation, before);
    EXPECT_EQ(trackball.increment, (Trackball::Quaternion{1.0, 0.0, 0.0, 0.0}));
    EXPECT_FALSE(std::isnan(trackball.orientation[0]));
}

TEST(TrackballTest, MotionWithoutPressOrAfterReleaseChangesNothing) {
    Trackball trackball = trackballFor768Window();
    trackball.drag(500, 100);
    EXPECT_EQ(trackball.orientation, (Trackball::Quaternion{1.0, 0.0, 0.0, 0.0}));
    EXPECT_EQ(trackball.lastPoint, (Trackball::Point{0.0, 0.0, 0.0}));

    trackball.beginDrag(384, 384);
    trackball.drag(480, 384);
    trackball.endDrag();
    const Trackball::Quaternion afterRelease = trackball.orientation;
    const Trackball::Point lastAfterRelease = trackball.lastPoint;
    trackball.drag(100, 700);
    EXPECT_EQ(trackball.orientation, afterRelease);
    EXPECT_EQ(trackball.lastPoint, lastAfterRelease);
}

TEST(TrackballTest, NextPressStartsFromItsOwnPointWithoutAJump) {
    Trackball trackball = trackballFor768Window();
    trackball.beginDrag(384, 384);
    trackball.drag(480, 384);
    trackball.endDrag();
    const Trackball::Quaternion afterFirstDrag = trackball.orientation;

    // The press far away turns nothing; the step that follows is the step from (100, 600) to
    // (110, 590) alone, multiplied on the left of the first drag's turn.
    trackball.beginDrag(100, 600);
    EXPECT_EQ(trackball.orientation, afterFirstDrag);
    trackball.drag(110, 590);
    const Trackball::Quaternion step{0.999337166, -0.025395412, 0.026042297, -0.001448999};
    const Trackball::Quaternion turned{0.965535947, -0.024352352, 0.259023761, -0.007347755};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(trackball.increment[i], step[i], 1e-9) << i;
        EXPECT_NEAR(trackball.orientation[i], turned[i], 1e-9) << i;
    }
}

// The whole matrix after two drags, worked out from the drags' quaternions (w, x, y, z) with the
// rotation matrix of a quaternion written row by row. The first drag is the one-step turn about y;
// the second adds a step up the window, which turns about an oblique axis, so that no entry is 0
// for an accident of symmetry and both products of the quaternion's parts show in every entry.
TEST(TrackballTest, RotationMatrixOfTwoDrags) {
    const struct {
        const char* drag;
        std::vector<std::array<int, 2>> pixels;  // the press, then each motion event
        Trackball::Quaternion orientation;
        std::array<float, 16> matrix;
    } cases[] = {
        {"one step right",
         {{384, 384}, {480, 384}},
         {0.972270616, 0.0, 0.233858611, 0.0},
         {0.890620f, 0, 0.454748f, 0, 0, 1, 0, 0, -0.454748f, 0, 0.890620f, 0, 0, 0, 0, 1}},
        {"right, then up",
         {{384, 384}, {480, 384}, {480, 300}},
         {0.951473989, -0.202621948, 0.229500140, -0.031165357},
         {0.892717f, -0.033697f, 0.449356f, 0, -0.152310f, 0.915946f, 0.371274f, 0, -0.424097f, -0.399884f, 0.812548f,
          0, 0, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        Trackball trackball = trackballFor768Window();
        trackball.beginDrag(c.pixels[0][0], c.pixels[0][1]);
        for (std::size_t i = 1; i < c.pixels.size(); ++i) trackball.drag(c.pixels[i][0], c.pixels[i][1]);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(trackball.orientation[i], c.orientation[i], 1e-9) << c.drag << ", " << i;
        const std::array<float, 16> m = trackball.rotationMatrix();
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], c.matrix[i], 1e-6) << c.drag << ", element " << i;
    }
}

TEST(TrackballTest, ZeroHalfSizeIgnoresPressesAndDrags) {
    for (const auto& size : {std::array<int, 2>{1, 768}, {768, 1}, {0, 0}}) {
        Trackball trackball(3.0, 256, 256);
        trackball.resize(size[0], size[1]);
        trackball.beginDrag(0, 0);
        EXPECT_FALSE(trackball.dragging) << size[0] << "x" << size[1];
        EXPECT_EQ(trackball.lastPoint, (Trackball::Point{0.0, 0.0, 0.0}));

        // A drag begun in a big window goes no further once the window has shrunk.
        trackball.resize(768, 768);
        trackball.beginDrag(384, 384);
        trackball.resize(size[0], size[1]);
        trackball.drag(0, 0);
        EXPECT_EQ(trackball.orientation, (Trackball::Quaternion{1.0, 0.0, 0.0, 0.0}));
        EXPECT_EQ(trackball.increment, (Trackball::Quaternion{1.0, 0.0, 0.0, 0.0}));
    }
}

TEST(TrackballTest, QuaternionProductComposesRotationsInOrder) {
    // Quarter turns about x then about y: i and j do not commute, ij = k, ji = -k.
    const double h = std::sqrt(0.5);
    const Trackball::Quaternion aboutX{h, h, 0, 0};
    const Trackball::Quaternion aboutY{h, 0, h, 0};
    const Trackball::Quaternion xy = Trackball::quaternionProduct(aboutX, aboutY);
    const Trackball::Quaternion yx = Trackball::quaternionProduct(aboutY, aboutX);
    const Trackball::Quaternion xyExpected{0.5, 0.5, 0.5, 0.5};
    const Trackball::Quaternion yxExpected{0.5, 0.5, 0.5, -0.5};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(xy[i], xyExpected[i], 1e-15) << i;
        EXPECT_NEAR(yx[i], yxExpected[i], 1e-15) << i;
    }
    // The result is renormalised whatever the inputs' lengths.
    const Trackball::Quaternion scaled = Trackball::quaternionProduct({2, 0, 0, 0}, {0, 0, 3, 0});
    EXPECT_EQ(scaled, (Trackball::Quaternion{0, 0, 1, 0}));
}

TEST(TrackballTest, QuaternionProductOfTurnsAboutObliqueAxes) {
    // Turns about the oblique axes (3, 5, 7) and (-13, 17, 19), not of unit length: every part of
    // both is nonzero and no two are alike, so each of the product's sixteen terms moves the result.
    // Worked out apart from the game in integers: (2, 3, 5, 7)(11, -13, 17, 19) = (-157, -17, -59, 231)
    // and (11, -13, 17, 19)(2, 3, 5, 7) = (-157, 31, 237, -1), both of squared length 81780.
    const Trackball::Quaternion a{2, 3, 5, 7};
    const Trackball::Quaternion b{11, -13, 17, 19};
    const double n = std::sqrt(81780.0);
    const Trackball::Quaternion abExpected{-157 / n, -17 / n, -59 / n, 231 / n};
    const Trackball::Quaternion baExpected{-157 / n, 31 / n, 237 / n, -1 / n};
    const Trackball::Quaternion ab = Trackball::quaternionProduct(a, b);
    const Trackball::Quaternion ba = Trackball::quaternionProduct(b, a);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(ab[i], abExpected[i], 1e-15) << i;
        EXPECT_NEAR(ba[i], baExpected[i], 1e-15) << i;
    }
}

TEST(TrackballTest, CircularDragsKeepOrientationUnitLength) {
    Trackball trackball = trackballFor768Window();
    trackball.beginDrag(584, 384);
    for (int step = 1; step <= 5000; ++step) {
        const double angle = step * 0.05;
        trackball.drag(384 + static_cast<int>(std::lround(200.0 * std::cos(angle))),
                       384 + static_cast<int>(std::lround(200.0 * std::sin(angle))));
        ASSERT_NEAR(length(trackball.orientation), 1.0, 1e-12) << "step " << step;
    }
    // The scene really turned: this is no identity that trivially stays unit.
    EXPECT_LT(std::fabs(trackball.orientation[0]), 0.999);
}
