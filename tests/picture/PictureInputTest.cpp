// Pictures are read only from regular files: nothing else can hang the game or feed it for ever.
#include "picture/Image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "io/FifoWriter.h"
#include "support/Files.h"

TEST(PictureInputTest, WhatIsNotARegularFileIsRefusedAtOnce) {
    ScratchFolder dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir((dir / "folder.bmp").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("/dev/zero", (dir / "zero.bmp").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/urandom", (dir / "random.bmp").c_str()), 0);
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {dir / "fifo.bmp", "is a FIFO, not a regular file"},
        {dir / "folder.bmp", "is a directory"},
        {dir / "zero.bmp", "is a device, not a regular file"},
        {dir / "random.bmp", "is a device, not a regular file"},
        {dir / "missing.bmp", "no such file or directory"},
    };
    for (const Case& c : cases) {
        const FifoWriter writer(c.path);  // should the loader wait for a writer, one comes after a while
        const auto start = std::chrono::steady_clock::now();
        const Result<Image> image = loadImage(c.path);
        const bool loaded = image.ok();
        const std::string reason = image.problem().line();
        const long long taken = millisecondsSince(start);
        EXPECT_FALSE(loaded) << c.path;
        EXPECT_EQ(reason, c.reason) << c.path;
        EXPECT_LT(taken, 500) << "ms for " << c.path;
    }
}
