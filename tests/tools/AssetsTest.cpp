// The committed asset files: the ball must be what the generator makes today, and
// the pictures must be 24-bit BMPs of the planned sizes that look different when
// mirrored or turned upside down, so a wrongly mapped texture shows at once.

#include "tools/Icosphere.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/Files.h"

namespace {

std::uint32_t little32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// Share of pixels whose colour differs from the pixel at the mirrored place.
double mismatch(const std::vector<unsigned char>& bmp, int width, int height, bool mirrorColumns) {
    const std::size_t rowBytes = (width * 3 + 3) / 4 * 4;
    const std::size_t pixelsAt = little32(bmp, 10);
    auto pixel = [&](int x, int y) { return &bmp[pixelsAt + y * rowBytes + x * 3]; };
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = pixel(x, y);
            const unsigned char* q = mirrorColumns ? pixel(width - 1 - x, y) : pixel(x, height - 1 - y);
            // Small differences are gradients; count only clearly different colours.
            // A symmetric picture scores near 0; ours score above 0.1.
            int distance = 0;
            for (int c = 0; c < 3; ++c) distance += std::abs(p[c] - q[c]);
            if (distance > 60) ++differing;
        }
    }
    return double(differing) / (width * height);
}

}  // namespace

TEST(AssetsTest, CommittedBallIsTheGeneratorsOutput) {
    std::ifstream in(std::string(FLIPPER_ASSETS) + "/sphere.iv", std::ios::binary);
    ASSERT_TRUE(in);
    std::ostringstream committed;
    committed << in.rdbuf();
    std::ostringstream generated;
    writeIcosphereModel(generated, 1, 1.0);
    EXPECT_EQ(committed.str(), generated.str()) << "regenerate with: make-ball --output assets/sphere.iv";
}

TEST(AssetsTest, PicturesAre24BitAndClearlyAsymmetric) {
    struct Picture {
        const char* name;
        int width, height;
    };
    for (const Picture p : {Picture{"woman.bmp", 192, 320}, Picture{"head.bmp", 256, 128}}) {
        const std::vector<unsigned char> bmp = readBytes(std::string(FLIPPER_ASSETS) + "/" + p.name);
        ASSERT_GE(bmp.size(), 54u) << p.name;
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(int(little32(bmp, 18)), p.width) << p.name;
        EXPECT_EQ(int(little32(bmp, 22)), p.height) << p.name;
        EXPECT_EQ(bmp[28] | bmp[29] << 8, 24) << p.name;
        EXPECT_EQ(little32(bmp, 30), 0u) << p.name << " is compressed";
        const std::size_t rowBytes = (p.width * 3 + 3) / 4 * 4;
        ASSERT_EQ(bmp.size(), little32(bmp, 10) + rowBytes * p.height) << p.name;

        EXPECT_GT(mismatch(bmp, p.width, p.height, true), 0.05) << p.name << " looks the same mirrored";
        EXPECT_GT(mismatch(bmp, p.width, p.height, false), 0.05) << p.name << " looks the same upside down";
    }
}
