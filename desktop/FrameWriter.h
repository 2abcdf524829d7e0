#pragma once

#include <string>

/// Writes the window's pictures as numbered PNG files in one folder (frame-000000.png, frame-000001.png,
/// ...), each checked as it is written: the frames of a film.
class FrameWriter {
public:
    /// Makes folder if it is missing (its parent must exist) and refuses one that already holds frames,
    /// which a film made from it would mix in. Returns "" or one line naming the folder.
    [[nodiscard]] std::string open(const std::string& folder);
    /// Reads the back buffer, width by height pixels from the lower left, and writes it as the next
    /// frame, top row first. Returns "" or one line naming the file.
    [[nodiscard]] std::string capture(int width, int height);
    /// Frames written so far.
    int written() const { return written_; }
    /// The file name of frame number index.
    std::string framePath(int index) const;

private:
    std::string folder_;
    int written_ = 0;
};
