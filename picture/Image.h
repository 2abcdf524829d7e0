#pragma once

#include <string>
#include <vector>

/// A decoded picture: 8-bit RGB, rows top first, left to right, tightly packed (3 bytes a pixel).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  ///< width * height * 3 bytes
};

/// Reads a picture file whole into bytes (a regular file of bounded size, not empty) and returns "", or a
/// one-line reason as loadImage gives it.
[[nodiscard]] std::string readPictureFile(const std::string& fileName, std::string& bytes);

/// Decodes the bytes of a picture file into image and returns "", or leaves image empty and returns a
/// one-line reason as loadImage gives it.
[[nodiscard]] std::string decodeImage(const std::string& bytes, Image& image);

/// Reads a picture file into image and returns ""; on failure leaves image empty and returns a one-line
/// explanation without the file name (e.g. "no such file or directory", "is a FIFO, not a regular file",
/// "not a picture this game can read: <stb reason>", "8000000 x 3 pixels is too large"). Only regular files are read.
[[nodiscard]] std::string loadImage(const std::string& fileName, Image& image);
