#pragma once

#include <string>
#include <vector>

/// Writes the window's pictures as numbered PNG files in one folder (frame-000000.png, frame-000001.png,
/// ...), each checked as it is written: the frames of a film.
class FrameWriter {
public:
    /// Checks folder without making anything: it must be a folder or missing, hold no frames (a film
    /// made from it would mix them in) and no sound track, and none of inputs under a frame's name or
    /// the sound track's. Returns "" or one line.
    [[nodiscard]] static std::string check(const std::string& folder, const std::vector<std::string>& inputs);
    /// Checks folder, then makes it if it is missing (its parent must exist). Returns "" or one line
    /// naming the folder.
    [[nodiscard]] std::string open(const std::string& folder, const std::vector<std::string>& inputs = {});
    /// Reads the back buffer, width by height pixels from the lower left, and writes it as the next
    /// frame, top row first, into a file made new: never over a file, never through a link. Returns
    /// "" or one line naming the file.
    [[nodiscard]] std::string capture(int width, int height);
    /// Frames written so far.
    int written() const { return written_; }
    /// The file name of frame number index.
    std::string framePath(int index) const { return framePath(folder_, index); }
    static std::string framePath(const std::string& folder, int index);
    /// The file name of the film's sound track, beside its frames.
    static std::string soundTrackPath(const std::string& folder);

private:
    std::string folder_;
    int written_ = 0;
};
