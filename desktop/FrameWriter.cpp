#include "desktop/FrameWriter.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "io/OutputFile.h"
#include "io/SystemError.h"

// stb's writer, compiled here with internal linkage. Its structs are zeroed with { 0 }, which -Wextra dislikes.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr int rgb = 3;  // bytes a pixel

void appendBytes(void* context, void* data, int size) {
    auto* png = static_cast<std::string*>(context);
    png->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

}  // namespace

std::string FrameWriter::open(const std::string& folder) {
    namespace fs = std::filesystem;
    folder_ = folder;
    written_ = 0;
    std::error_code error;
    if (!fs::is_directory(folder, error) && !fs::create_directory(folder, error))
        return folder + ": cannot make the frames folder: " + (error ? systemReason(error.value()) : "it is not a folder");
    if (fs::exists(framePath(0), error)) return folder + ": already holds frames; film into an empty folder";
    return "";
}

std::string FrameWriter::framePath(int index) const {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", index);
    return (std::filesystem::path(folder_) / name).string();
}

std::string FrameWriter::capture(int width, int height) {
    if (width <= 0 || height <= 0) return framePath(written_) + ": cannot write frame: the window has no size";
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * rgb);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    // OpenGL's rows run from the bottom up, a PNG's from the top down: start at the last row and
    // step backwards.
    std::string png;
    const int stride = width * rgb;
    const unsigned char* top = pixels.data() + static_cast<std::size_t>(height - 1) * stride;
    if (stbi_write_png_to_func(appendBytes, &png, width, height, rgb, top, -stride) == 0)
        return framePath(written_) + ": cannot write frame: the picture could not be encoded";
    OutputFile out(framePath(written_), "frame");
    std::string problem = out.open();
    if (problem.empty()) problem = out.write(png);
    if (problem.empty()) problem = out.close();
    if (problem.empty()) ++written_;
    return problem;
}
