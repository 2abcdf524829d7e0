#include "io/OutputFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/Files.h"

TEST(OutputFileTest, WritesAndClosesCleanly) {
    ScratchFolder dir;
    OutputFile out(dir / "t.csv", "trace");
    ASSERT_EQ(out.open(), "");
    EXPECT_EQ(out.print("%s,%d\n", "idle", 7), "");
    EXPECT_EQ(out.write("xyz\n", 4), "");
    EXPECT_EQ(out.close(), "");
    EXPECT_FALSE(out.failed());
    EXPECT_EQ(readFile(dir / "t.csv"), "idle,7\nxyz\n");
}

TEST(OutputFileTest, AFileThatCannotBeOpenedSaysWhy) {
    ScratchFolder dir;
    OutputFile out(dir / "missing/t.csv", "trace");
    const std::string why = dir / "missing/t.csv: cannot write trace: no such file or directory";
    EXPECT_EQ(out.open(), why);
    EXPECT_EQ(out.print("row\n"), why);
    EXPECT_EQ(out.close(), why);
    EXPECT_EQ(out.message(), why);
}

TEST(OutputFileTest, AFullDeviceFailsAtTheFirstFlushAndTheCloseSaysSo) {
    // Small writes sit in the buffer and seem to succeed; the close, which flushes, must not.
    OutputFile small("/dev/full", "trace");
    ASSERT_EQ(small.open(), "");
    EXPECT_EQ(small.print("idle,tick\n"), "");
    EXPECT_EQ(small.close(), "/dev/full: cannot write trace: no space left on device");

    // Writes past the buffer fail on the spot, and nothing after the first failure is tried.
    OutputFile large("/dev/full", "frame");
    ASSERT_EQ(large.open(), "");
    const std::string row(1000, 'x');
    int accepted = 0;
    for (int i = 0; i < 100 && large.write(row.data(), row.size()).empty(); ++i) ++accepted;
    EXPECT_LT(accepted, 100);
    EXPECT_TRUE(large.failed());
    const std::string full = "/dev/full: cannot write frame: no space left on device";
    EXPECT_EQ(large.write("x", 1), full);
    EXPECT_EQ(large.close(), full);
}

TEST(OutputFileTest, AFileLimitHitAtAnyPointIsReported) {
    // The file-size limit stands in for a disk that fills up: a child process writes 10000 bytes in
    // rows of 100 under a limit of `limit` bytes and says by its exit status whether close succeeded.
    ScratchFolder dir;
    struct Case {
        long limit;
        bool succeeds;
    };
    for (const Case c : {Case{0, false}, Case{1, false}, Case{99, false}, Case{100, false}, Case{4095, false},
                         Case{4096, false}, Case{4097, false}, Case{9999, false}, Case{10000, true},
                         Case{20000, true}}) {
        const std::string path = dir / ("t" + std::to_string(c.limit) + ".csv");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG instead
            const rlimit limit{static_cast<rlim_t>(c.limit), static_cast<rlim_t>(c.limit)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
            OutputFile out(path, "trace");
            if (!out.open().empty()) ::_exit(4);
            const std::string row = std::string(99, 'r') + "\n";
            // Whatever the writes say, the close must say it too.
            for (int i = 0; i < 100; ++i) static_cast<void>(out.write(row.data(), row.size()));
            const std::string closed = out.close();
            if (!closed.empty() && closed != path + ": cannot write trace: file too large") ::_exit(5);
            ::_exit(closed.empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << c.limit;
        EXPECT_EQ(WEXITSTATUS(status), c.succeeds ? 0 : 1) << "limit " << c.limit << " bytes";
    }
}

TEST(OutputFileTest, AnOutputThatIsAnInputIsRefusedThroughAnyLink) {
    ScratchFolder dir;
    {
        std::ofstream(dir / "a") << "a";
        std::ofstream(dir / "b") << "b";
    }
    ASSERT_EQ(::link((dir / "a").c_str(), (dir / "hard").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "a").c_str(), (dir / "soft").c_str()), 0);
    const std::vector<std::string> inputs{dir / "b", dir / "a"};
    const std::string refusal = ": will not write there: it is " + (dir / "a") + ", which the game reads";
    EXPECT_EQ(refuseInput(dir / "a", inputs), dir / "a" + refusal);
    EXPECT_EQ(refuseInput(dir / "hard", inputs), dir / "hard" + refusal);
    EXPECT_EQ(refuseInput(dir / "soft", inputs), dir / "soft" + refusal);
    EXPECT_EQ(refuseInput(dir.path() + "/./a", inputs), dir.path() + "/./a" + refusal);
    EXPECT_EQ(refuseInput(dir / "new.csv", inputs), "");  // nothing there yet to clobber
    EXPECT_EQ(refuseInput(dir / "b2", {dir / "missing"}), "");
}
