// Failures of single C library calls, put in by the linker (support/CallFaults.h).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>

#include "io/FifoWriter.h"
#include "io/InputFile.h"
#include "io/OutputFile.h"
#include "support/Files.h"
#include "support/CallFaults.h"

TEST(OutputFileFaultTest, EveryCheckedCallThatFailsIsReportedAndEndsTheWriting) {
    // A trace is written in four steps; one call of one step fails with the given errno. That step
    // and every later one fail, and the message names the first failure.
    enum Step { Write, Print, Flush, Close, Steps };
    const char* const stepNames[Steps] = {"write", "print", "flush", "close"};
    struct Case {
        Step step;
        int CallFaults::*call;
        int error;
        const char* reason;
    };
    const Case cases[] = {
        {Write, &CallFaults::fwrite, EFBIG, "file too large"},
        {Print, &CallFaults::vfprintf, ENOSPC, "no space left on device"},
        {Flush, &CallFaults::fflush, EIO, "input/output error"},
        {Close, &CallFaults::fflush, EDQUOT, "disk quota exceeded"},  // the flush before the close
        {Close, &CallFaults::fclose, ESTALE, "stale file handle"},    // after everything was handed over
    };
    ScratchFolder dir;
    for (const Case& c : cases) {
        const std::string path = dir / "t.csv";
        OutputFile out(path, "trace");
        ASSERT_EQ(out.open(), "");
        for (int step = Write; step < Steps; ++step) {
            if (step == c.step) callFaults.*c.call = c.error;
            bool done = false;
            switch (step) {
                case Write: done = out.write("idle,tick\n").empty(); break;
                case Print: done = out.print("%d,%d\n", 1, 2).empty(); break;
                case Flush: done = out.flush().empty(); break;
                default: done = out.close().empty(); break;
            }
            EXPECT_EQ(done, step < c.step) << c.reason << ", at the " << stepNames[step];
        }
        EXPECT_EQ(callFaults.*c.call, 0) << c.reason << ": the call was never made";
        callFaults.*c.call = 0;
        EXPECT_FALSE(out.isOpen()) << c.reason;
        EXPECT_EQ(out.message(), path + ": cannot write trace: " + c.reason);
    }
}

TEST(InputFileFaultTest, AFileSwappedForAFifoAfterItsCheckIsRefusedWithoutWaiting) {
    // The name is looked at before it is opened; should it become a FIFO with no writer in between,
    // the open must not wait for one.
    ScratchFolder dir;
    const std::string name = dir / "ball.iv";
    const std::string fifo = dir / "fifo";
    std::ofstream(name) << "Masses 1\n0 0 0\n";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const FifoWriter writer(name);  // should the open wait for a writer, one comes after a while
    callFaults.afterStat = [&] { ::rename(fifo.c_str(), name.c_str()); };
    const auto start = std::chrono::steady_clock::now();
    const Result<int> opened = openRegularFile(name, 100);
    const long long taken = millisecondsSince(start);
    EXPECT_FALSE(callFaults.afterStat) << "the file was never looked at";
    callFaults.afterStat = nullptr;
    if (opened.ok()) ::close(opened.value());
    EXPECT_EQ(opened.problem().line(), "is a FIFO, not a regular file");
    EXPECT_LT(taken, 500) << "ms: the open waited for a writer";
}
