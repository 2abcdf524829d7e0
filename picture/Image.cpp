#include "picture/Image.h"

#include "io/InputFile.h"

#include <algorithm>
#include <cstdint>
#include <memory>

// The decoder is compiled into this file alone and kept private to it, so nothing else in the game can
// change its settings (such as flipping rows on load) or clash with another copy.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

namespace {

// Bounds on what a table picture may be: far above any texture the game draws, far below what would
// exhaust memory when a damaged header claims billions of pixels.
constexpr long long maxSide = 8192;                    // pixels along either edge
constexpr long long maxPixels = 16LL * 1024 * 1024;    // pixels in all
constexpr long long maxFileBytes = 128LL * 1024 * 1024;  // the most pixels at 4 bytes each, twice over
constexpr std::size_t bmpFileHeaderSize = 14;          // "BM", file size, two reserved words, pixel offset
constexpr std::size_t bmpHeaderBytesRead = 54;         // the file header and a 40-byte info header

struct StbFree {
    void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

std::uint32_t little16(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8;
}

std::uint32_t little32(const unsigned char* bytes) {
    return little16(bytes) | little16(bytes + 2) << 16;
}

bool isBmp(const unsigned char* header, std::size_t headerBytes) {
    return headerBytes >= 2 && header[0] == 'B' && header[1] == 'M';
}

/// The bytes a BMP's headers take: the file header and the info header, as far as this loader reads it.
std::size_t bmpHeaderBytesNeeded(const unsigned char* header, std::size_t headerBytes) {
    if (headerBytes < bmpFileHeaderSize + 4) return bmpFileHeaderSize + 4;
    const std::uint32_t infoSize = little32(header + 14);
    return infoSize == 12 ? bmpFileHeaderSize + 12 : bmpHeaderBytesRead;
}

/// For an uncompressed BMP whose headers are all there, the file size needed to hold every pixel row (the
/// last row's padding may be missing); 0 when the rows are compressed or the header makes no sense.
/// The decoder itself reads zeros past the end of a file, so a cut-off BMP would load as a picture
/// with a black band instead of failing.
long long bmpBytesNeeded(const unsigned char* header) {
    const long long pixelOffset = little32(header + 10);
    const std::uint32_t infoSize = little32(header + 14);
    long long width = 0;
    long long height = 0;
    long long bitsPerPixel = 0;
    std::uint32_t compression = 0;
    if (infoSize == 12) {
        // The old OS/2 header: 16-bit sizes, never compressed.
        width = little16(header + 18);
        height = little16(header + 20);
        bitsPerPixel = little16(header + 24);
    } else {
        width = static_cast<std::int32_t>(little32(header + 18));
        height = static_cast<std::int32_t>(little32(header + 22));
        bitsPerPixel = little16(header + 28);
        compression = little32(header + 30);
    }
    // Only plain rows (0) and bit-field rows (3) have a size that follows from the header.
    if ((compression != 0 && compression != 3) || width <= 0 || bitsPerPixel <= 0) return 0;
    if (height < 0) height = -height;  // a top-down BMP gives its height negative
    if (height == 0) return 0;
    // Every row is padded to a multiple of 4 bytes.
    const long long rowBits = width * bitsPerPixel;
    const long long stride = (rowBits + 31) / 32 * 4;
    const long long lastRow = (rowBits + 7) / 8;
    return pixelOffset + stride * (height - 1) + lastRow;
}

/// The one-line reason for a file the decoder gave up on, with its own words for why.
std::string notAPicture() {
    const char* why = stbi_failure_reason();
    return std::string("not a picture this game can read: ") + (why != nullptr ? why : "unknown format");
}

/// The one-line reason for a file shorter than its picture.
std::string cutShort(long long fileSize, long long needed) {
    return "the file is cut short: " + std::to_string(fileSize) + " bytes of the " + std::to_string(needed) +
           " its picture needs";
}

}  // namespace

Result<std::string> readPictureFile(const std::string& fileName) {
    // Only a regular file is read: a directory, FIFO or device is refused before it can block the game.
    Result<std::string> read = readRegularFile(fileName, maxFileBytes);
    if (read.ok() && read.value().empty()) return Problem("the file is empty");
    return read;
}

Result<Image> decodeImage(const std::string& bytes) {
    if (bytes.empty()) return Problem("the file is empty");
    if (bytes.size() > static_cast<std::size_t>(maxFileBytes)) {
        return Problem("the file is " + std::to_string(bytes.size()) + " bytes, more than the " +
                       std::to_string(maxFileBytes) + " allowed");
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    const long long fileSize = size;

    // The first bytes tell a BMP's layout.
    unsigned char header[bmpHeaderBytesRead] = {};
    const std::size_t headerBytes = std::min(bytes.size(), sizeof header);
    std::copy(data, data + headerBytes, header);
    const bool bmp = isBmp(header, headerBytes);
    if (bmp) {
        const std::size_t headerNeeded = bmpHeaderBytesNeeded(header, headerBytes);
        if (headerBytes < headerNeeded) return Problem(cutShort(fileSize, static_cast<long long>(headerNeeded)));
    }

    // Look at the claimed size before decoding, so a damaged header cannot ask for gigabytes.
    int infoWidth = 0;
    int infoHeight = 0;
    int channels = 0;
    if (stbi_info_from_memory(data, size, &infoWidth, &infoHeight, &channels) == 0) return Problem(notAPicture());
    const long long width = infoWidth;
    const long long height = infoHeight < 0 ? -static_cast<long long>(infoHeight) : infoHeight;
    if (width <= 0 || height <= 0) {
        return Problem("a picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is empty");
    }
    if (width > maxSide || height > maxSide || width * height > maxPixels) {
        return Problem(std::to_string(width) + " x " + std::to_string(height) + " pixels is too large");
    }
    if (bmp && bmpBytesNeeded(header) > fileSize) return Problem(cutShort(fileSize, bmpBytesNeeded(header)));

    // Three channels whatever the file holds: grey, palette and alpha all become plain RGB, rows top first.
    int decodedWidth = 0;
    int decodedHeight = 0;
    const std::unique_ptr<unsigned char, StbFree> pixels(
        stbi_load_from_memory(data, size, &decodedWidth, &decodedHeight, &channels, 3));
    if (!pixels) return Problem(notAPicture());
    if (decodedWidth != width || decodedHeight != height)
        return Problem("the picture's size is not the one its header gives");
    const std::size_t byteCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    Image image;
    image.width = decodedWidth;
    image.height = decodedHeight;
    image.pixels.assign(pixels.get(), pixels.get() + byteCount);
    return image;
}

Result<Image> loadImage(const std::string& fileName) {
    const Result<std::string> bytes = readPictureFile(fileName);
    if (!bytes.ok()) return bytes.problem();
    return decodeImage(bytes.value());
}
