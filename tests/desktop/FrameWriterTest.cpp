#include "desktop/FrameWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/Files.h"
#include "support/GlRecorder.h"

namespace {

namespace fs = std::filesystem;

// A PNG's size, from its header: the signature, then the IHDR chunk with width and height big-endian.
std::pair<unsigned, unsigned> pngSize(const std::string& png) {
    auto at = [&png](std::size_t i) {
        return (unsigned(static_cast<unsigned char>(png[i])) << 24) |
               (unsigned(static_cast<unsigned char>(png[i + 1])) << 16) |
               (unsigned(static_cast<unsigned char>(png[i + 2])) << 8) |
               unsigned(static_cast<unsigned char>(png[i + 3]));
    };
    return {at(16), at(20)};
}

class FrameWriterTest : public testing::Test {
protected:
    ScratchFolder scratch;
    const fs::path folder = scratch.path();
};

}  // namespace

TEST_F(FrameWriterTest, WritesNumberedPngsOfTheBackBuffer) {
    GlRecorder gl;
    FrameWriter frames;
    ASSERT_EQ(frames.open((folder / "film").string()), "");  // made when missing
    ASSERT_EQ(frames.capture(7, 5), "");
    ASSERT_EQ(frames.capture(7, 5), "");
    EXPECT_EQ(frames.written(), 2);
    EXPECT_EQ(gl.calls(), (Calls{{"glPixelStorei", GL_PACK_ALIGNMENT, 1},
                                 {"glReadBuffer", GL_BACK},
                                 {"glReadPixels", 0, 0, 7, 5, GL_RGB, GL_UNSIGNED_BYTE},
                                 {"glPixelStorei", GL_PACK_ALIGNMENT, 1},
                                 {"glReadBuffer", GL_BACK},
                                 {"glReadPixels", 0, 0, 7, 5, GL_RGB, GL_UNSIGNED_BYTE}}));
    for (const char* name : {"frame-000000.png", "frame-000001.png"}) {
        const std::string png = readFile(folder / "film" / name);
        ASSERT_GT(png.size(), 24u) << name;
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n") << name;
        EXPECT_EQ(pngSize(png), std::make_pair(7u, 5u)) << name;
    }
    EXPECT_FALSE(fs::exists(folder / "film" / "frame-000002.png"));
}

TEST_F(FrameWriterTest, RefusesOldFramesAndReportsWhatCannotBeWritten) {
    GlRecorder gl;
    fs::create_directories(folder / "old");
    std::ofstream(folder / "old" / "frame-000000.png") << "an older film";
    FrameWriter frames;
    EXPECT_EQ(frames.open((folder / "old").string()),
              (folder / "old").string() + ": already holds frames; film into an empty folder");

    const std::string lost = (folder / "no" / "film").string();
    EXPECT_EQ(frames.open(lost), lost + ": cannot make the frames folder: no such file or directory");

    // The folder vanishes while filming: the frame's file is named.
    ASSERT_EQ(frames.open((folder / "gone").string()), "");
    fs::remove_all(folder / "gone");
    EXPECT_EQ(frames.capture(4, 4),
              (folder / "gone" / "frame-000000.png").string() + ": cannot write frame: no such file or directory");
    EXPECT_EQ(frames.written(), 0);
}

TEST_F(FrameWriterTest, NeverWritesOverAFileOrThroughALink) {
    GlRecorder gl;
    const std::string outside = (folder / "outside.txt").string();
    std::ofstream(outside) << "keep";
    const fs::path film = folder / "film";
    FrameWriter frames;
    ASSERT_EQ(frames.open(film.string()), "");
    fs::create_symlink(outside, film / "frame-000001.png");
    std::ofstream(film / "frame-000002.png") << "a file";
    ASSERT_EQ(frames.capture(4, 4), "");
    EXPECT_EQ(frames.capture(4, 4), (film / "frame-000001.png").string() + ": cannot write frame: file exists");
    EXPECT_EQ(readFile(outside), "keep");
    EXPECT_EQ(readFile(film / "frame-000002.png"), "a file");

    // An input under a frame's name in the folder, however it is named, is refused before anything.
    const std::string replay = (film / "frame-000002.png").string();
    EXPECT_EQ(FrameWriter::check((folder / "." / "film").string(), {"sphere.iv", replay}),
              (folder / "." / "film" / "frame-000002.png").string() + ": will not write there: it is " + replay +
                  ", which the game reads");
    EXPECT_EQ(FrameWriter::check(outside, {}), outside + ": cannot make the frames folder: it is a file, not a folder");

    // The sound track too: never over the replay played, a file of the user's or a link.
    const fs::path quiet = folder / "quiet";
    fs::create_directories(quiet);
    std::ofstream(quiet / "sound.wav") << "a replay";
    EXPECT_EQ(FrameWriter::check(quiet.string(), {(quiet / "sound.wav").string()}),
              (quiet / "sound.wav").string() + ": will not write there: it is " + (quiet / "sound.wav").string() +
                  ", which the game reads");
    EXPECT_EQ(FrameWriter::check(quiet.string(), {}), quiet.string() + ": already holds a sound.wav; film into an empty folder");
    fs::remove(quiet / "sound.wav");
    fs::create_symlink(folder / "nowhere.wav", quiet / "sound.wav");
    EXPECT_EQ(FrameWriter::check(quiet.string(), {}), quiet.string() + ": already holds a sound.wav; film into an empty folder");
}
