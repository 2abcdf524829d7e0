#include "io/InputFile.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>

#include "io/FifoWriter.h"
#include "support/Files.h"

namespace {

// What a read gave: the contents, or "failed: " and the reason.
std::string contents(const Result<std::string>& read) {
    return read.ok() ? read.value() : "failed: " + read.problem().line();
}

}  // namespace

TEST(InputFileTest, ReadsARegularFileWhole) {
    ScratchFolder dir;
    writeFile(dir / "ball.iv", "Masses 1\n0 0 0\n");
    EXPECT_EQ(contents(readRegularFile(dir / "ball.iv", 100)), "Masses 1\n0 0 0\n");

    // Through a symbolic link to it, and when it is empty.
    ASSERT_EQ(::symlink((dir / "ball.iv").c_str(), (dir / "link.iv").c_str()), 0);
    EXPECT_EQ(contents(readRegularFile(dir / "link.iv", 100)), "Masses 1\n0 0 0\n");
    writeFile(dir / "empty.iv", "");
    EXPECT_EQ(contents(readRegularFile(dir / "empty.iv", 100)), "");
}

TEST(InputFileTest, RefusesWhatIsNotARegularFileWithoutWaiting) {
    ScratchFolder dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("/dev/zero", (dir / "zero.iv").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/urandom", (dir / "random.iv").c_str()), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "socket";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {dir / "fifo", "is a FIFO, not a regular file"},      // no writer: a plain open would wait for ever
        {dir / "folder", "is a directory"},
        {dir / "zero.iv", "is a device, not a regular file"},  // an endless run of zeros
        {dir / "random.iv", "is a device, not a regular file"},
        {"/dev/null", "is a device, not a regular file"},
        {socketPath, "is a socket, not a regular file"},
        {dir / "missing.iv", "no such file or directory"},
        {dir / "missing/inside.iv", "no such file or directory"},
    };
    for (const Case& c : cases) {
        const FifoWriter writer(c.path);  // should the reader wait for a writer, one comes after a while
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(contents(readRegularFile(c.path, 1000)), std::string("failed: ") + c.reason) << c.path;
        const Result<int> opened = openRegularFile(c.path, 1000);
        if (opened.ok()) ::close(opened.value());
        EXPECT_EQ(opened.problem().line(), c.reason) << c.path;
        EXPECT_LT(millisecondsSince(start), 1000) << "ms for " << c.path;
    }
    ::close(sock);
}

TEST(InputFileTest, RefusesAFileLargerThanTheLimitWithItsSize) {
    ScratchFolder dir;
    writeFile(dir / "ten", "0123456789");
    writeFile(dir / "eleven", "0123456789A");
    EXPECT_EQ(contents(readRegularFile(dir / "ten", 10)), "0123456789");
    EXPECT_EQ(contents(readRegularFile(dir / "eleven", 10)), "failed: the file is 11 bytes, more than the 10 allowed");

    // A huge sparse file costs nothing to make and is refused from its size, unread.
    {
        std::ofstream(dir / "huge", std::ios::binary);
    }
    ASSERT_EQ(::truncate((dir / "huge").c_str(), 5'000'000'000LL), 0);
    EXPECT_EQ(contents(readRegularFile(dir / "huge", 10)),
              "failed: the file is 5000000000 bytes, more than the 10 allowed");
}

TEST(InputFileTest, ReadsToTheEndWhateverTheSizeTheFileGives) {
    // Files under /proc say they are empty and still hold text; the limit holds all the same.
    EXPECT_EQ(contents(readRegularFile("/proc/self/status", 1 << 20)).rfind("Name:", 0), 0u);
    EXPECT_EQ(contents(readRegularFile("/proc/self/status", 16)), "failed: the file is more than 16 bytes");
}
