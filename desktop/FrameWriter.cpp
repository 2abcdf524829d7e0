#include "desktop/FrameWriter.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "io/OutputFile.h"
#include "io/SystemError.h"

// stb's writer, compiled here with internal linkage (included as a system header: its own warnings stay out).
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

constexpr int rgb = 3;  // bytes a pixel

void appendBytes(void* context, void* data, int size) {
    auto* png = static_cast<std::string*>(context);
    png->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

}  // namespace

std::string FrameWriter::check(const std::string& folder, const std::vector<std::string>& inputs) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (fs::exists(status) && !fs::is_directory(status))
        return folder + ": cannot make the frames folder: it is a file, not a folder";
    if (!fs::exists(status)) return "";
    // An input kept in the folder under a frame's name would be written over while it is read.
    for (const std::string& input : inputs) {
        const fs::path path(input);
        const std::string name = path.filename().string();
        unsigned number = 0;
        char end = 0;
        if (std::sscanf(name.c_str(), "frame-%6u.png%c", &number, &end) != 1 || name.size() != 16) continue;
        const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
        if (fs::equivalent(parent, folder, error)) {
            const std::string refusal = refuseInput(framePath(folder, int(number)), {input});
            if (!refusal.empty()) return refusal;
        }
    }
    const std::string trackRefusal = refuseInput(soundTrackPath(folder), inputs);
    if (!trackRefusal.empty()) return trackRefusal;
    if (fs::exists(framePath(folder, 0), error)) return folder + ": already holds frames; film into an empty folder";
    // A link by that name counts too: the track is never written through one.
    if (fs::symlink_status(soundTrackPath(folder), error).type() != fs::file_type::not_found)
        return folder + ": already holds a sound.wav; film into an empty folder";
    return "";
}

std::string FrameWriter::open(const std::string& folder, const std::vector<std::string>& inputs) {
    namespace fs = std::filesystem;
    folder_ = folder;
    written_ = 0;
    std::string problem = check(folder, inputs);
    if (!problem.empty()) return problem;
    std::error_code error;
    if (!fs::is_directory(folder, error) && !fs::create_directory(folder, error))
        return folder + ": cannot make the frames folder: " + systemReason(error.value());
    return "";
}

std::string FrameWriter::framePath(const std::string& folder, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", index);
    return (std::filesystem::path(folder) / name).string();
}

std::string FrameWriter::soundTrackPath(const std::string& folder) {
    return (std::filesystem::path(folder) / "sound.wav").string();
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
    std::string problem = out.open(OutputFile::Mode::createNew);
    if (problem.empty()) problem = out.write(png);
    if (problem.empty()) problem = out.close();
    if (problem.empty()) ++written_;
    return problem;
}
