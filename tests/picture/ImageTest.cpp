#include "picture/Image.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/Files.h"

namespace {

namespace fs = std::filesystem;

/// A 3 x 2 picture, top row first, every pixel a different colour, so a flip or a swap shows.
const std::vector<unsigned char> threeByTwo{
    255, 0, 0,   0, 255, 0,   0, 0, 255,     // top: red, green, blue
    255, 255, 0, 0, 255, 255, 255, 0, 255,   // bottom: yellow, cyan, magenta
};

void putLittle(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

/// A 24-bit BMP's 54 header bytes for the given size; a negative height means rows stored top first.
std::vector<unsigned char> bmpHeader(std::int32_t width, std::int32_t height, std::uint32_t pixelBytes) {
    std::vector<unsigned char> bytes(54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLittle(bytes, 2, 54 + pixelBytes, 4);
    putLittle(bytes, 10, 54, 4);                                   // pixels start after the headers
    putLittle(bytes, 14, 40, 4);                                   // info header size
    putLittle(bytes, 18, static_cast<std::uint32_t>(width), 4);
    putLittle(bytes, 22, static_cast<std::uint32_t>(height), 4);
    putLittle(bytes, 26, 1, 2);                                    // planes
    putLittle(bytes, 28, 24, 2);                                   // bits a pixel
    putLittle(bytes, 34, pixelBytes, 4);
    return bytes;
}

class ImageTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder / name; }

    /// Writes the bytes to the named file in the folder and returns its path.
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        writeFile(path(name), bytes);
        return path(name);
    }

    ScratchFolder folder;
};

}  // namespace

TEST_F(ImageTest, ReadsBmpTopRowFirstTightlyPacked) {
    ASSERT_NE(stbi_write_bmp(path("small.bmp").c_str(), 3, 2, 3, threeByTwo.data()), 0);
    const Result<Image> loaded = loadImage(path("small.bmp"));
    ASSERT_TRUE(loaded.ok()) << loaded.problem().line();
    const Image& image = loaded.value();
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    // 18 bytes, although each BMP row of 9 bytes is padded to 12 in the file.
    EXPECT_EQ(image.pixels, threeByTwo);
}

TEST_F(ImageTest, ReadsTopDownBmpAndOtherFormatsAsRgb) {
    // A BMP stored top row first (negative height): 1 x 2, red over blue, each row padded to 4 bytes.
    std::vector<unsigned char> topDown = bmpHeader(1, -2, 8);
    for (unsigned char byte : {0, 0, 255, 0, 255, 0, 0, 0}) topDown.push_back(byte);  // BGR + pad
    write("topdown.bmp", topDown);

    // A PNG with alpha: the alpha is dropped.
    std::vector<unsigned char> rgba;
    for (std::size_t i = 0; i < threeByTwo.size(); i += 3) {
        rgba.insert(rgba.end(), {threeByTwo[i], threeByTwo[i + 1], threeByTwo[i + 2], 128});
    }
    ASSERT_NE(stbi_write_png(path("alpha.png").c_str(), 3, 2, 4, rgba.data(), 3 * 4), 0);

    // A grey PNG: every grey becomes three equal bytes.
    const unsigned char grey[2] = {10, 200};
    ASSERT_NE(stbi_write_png(path("grey.png").c_str(), 2, 1, 1, grey, 2), 0);

    const struct {
        const char* file;
        int width, height;
        std::vector<unsigned char> pixels;
    } cases[] = {
        {"topdown.bmp", 1, 2, {255, 0, 0, 0, 0, 255}},
        {"alpha.png", 3, 2, threeByTwo},
        {"grey.png", 2, 1, {10, 10, 10, 200, 200, 200}},
    };
    for (const auto& c : cases) {
        const Result<Image> loaded = loadImage(path(c.file));
        ASSERT_TRUE(loaded.ok()) << c.file << ": " << loaded.problem().line();
        const Image& image = loaded.value();
        EXPECT_EQ(image.width, c.width) << c.file;
        EXPECT_EQ(image.height, c.height) << c.file;
        EXPECT_EQ(image.pixels, c.pixels) << c.file;
    }
}

TEST_F(ImageTest, RefusesBadFilesWithAReason) {
    ASSERT_NE(stbi_write_bmp(path("whole.bmp").c_str(), 3, 2, 3, threeByTwo.data()), 0);
    std::vector<unsigned char> cut = readBytes(path("whole.bmp"));
    ASSERT_EQ(cut.size(), 54u + 2 * 12);
    cut.resize(cut.size() - 8);
    write("cut.bmp", cut);
    std::vector<unsigned char> headerOnly = cut;
    headerOnly.resize(30);
    write("header-cut.bmp", headerOnly);
    write("empty.bmp", {});
    const std::string junk = "this is a shopping list, not a picture";
    write("junk.bmp", std::vector<unsigned char>(junk.begin(), junk.end()));
    write("tiff.bmp", {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0});  // a TIFF saved under the BMP's name
    // 100000 x 100000 pixels would be 30 gigabytes: refused from the header alone. The limits are
    // 8192 a side and 4096 x 4096 in all: a header just inside them is believed, and the file is
    // then found too short for it. A BMP needs its 54 header bytes and every row padded to 4 bytes
    // but the last, which needs only its pixels: 3 x 2 takes 54 + 12 + 9, 1 x 8192 takes
    // 54 + 8191 * 4 + 3.
    write("huge.bmp", bmpHeader(100000, 100000, 0));
    write("wide.bmp", bmpHeader(8193, 1, 0));
    write("widest.bmp", bmpHeader(8192, 1, 0));
    write("tallest.bmp", bmpHeader(1, 8192, 0));
    write("over.bmp", bmpHeader(4096, 4097, 0));
    write("most.bmp", bmpHeader(4096, 4096, 0));

    const struct {
        std::string file;
        std::string reason;
    } cases[] = {
        {"missing.bmp", "no such file or directory"},
        {"empty.bmp", "the file is empty"},
        {"cut.bmp", "the file is cut short: 70 bytes of the 75 its picture needs"},
        {"header-cut.bmp", "the file is cut short: 30 bytes of the 54 its picture needs"},
        {"junk.bmp", "not a picture this game can read: Image not of any known type, or corrupt"},
        {"tiff.bmp", "not a picture this game can read: Image not of any known type, or corrupt"},
        {"huge.bmp", "100000 x 100000 pixels is too large"},
        {"wide.bmp", "8193 x 1 pixels is too large"},
        {"widest.bmp", "the file is cut short: 54 bytes of the 24630 its picture needs"},
        {"tallest.bmp", "the file is cut short: 54 bytes of the 32821 its picture needs"},
        {"over.bmp", "4096 x 4097 pixels is too large"},
        {"most.bmp", "the file is cut short: 54 bytes of the 50331702 its picture needs"},
        {"", "is a directory"},
    };
    for (const auto& c : cases) {
        const Result<Image> loaded = loadImage(path(c.file));
        EXPECT_FALSE(loaded.ok()) << c.file;
        EXPECT_EQ(loaded.problem().line(), c.reason) << c.file;
    }
}
