#pragma once

#include <string>
#include <vector>

#include "io/Problem.h"

/// A decoded picture: 8-bit RGB, rows top first, left to right, tightly packed (3 bytes a pixel).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  ///< width * height * 3 bytes
};

/// Reads a picture file whole (a regular file of bounded size, not empty), or says why not as loadImage
/// does.
Result<std::string> readPictureFile(const std::string& fileName);

/// Decodes the bytes of a picture file, or says why not as loadImage does.
Result<Image> decodeImage(const std::string& bytes);

/// Reads and decodes a picture file; a failure is one line without the file name (e.g. "no such file or
/// directory", "is a FIFO, not a regular file", "not a picture this game can read: <stb reason>",
/// "8000000 x 3 pixels is too large"). Only regular files are read.
Result<Image> loadImage(const std::string& fileName);
