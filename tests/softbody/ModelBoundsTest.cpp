// The model reader's input at its edges: a byte-order mark, words of any length, and the model file
// itself (only a regular file of bounded size), through the game's own rebuild.
#include "softbody/ModelReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "game/Game.h"
#include "io/FifoWriter.h"
#include "support/Files.h"
#include "softbody/SoftBody.h"
#include "support/AllocationCounter.h"
#include "support/Capture.h"

namespace {

constexpr const char* twoMasses = "Masses 2\n0 0 0\n2 0 0\nSprings 1\n0 1\nFaces 0\n";

std::string reasonFor(const std::string& text, SoftBody& body) {
    Capture out(std::cout);
    Capture err(std::cerr);
    std::istringstream in(text);
    return readModel(in, body);
}

// A stream of `length` bytes of 'x' followed by the given text, made as it is read: a word as long
// as a device of zeros would give, which no test could hold in memory twice over.
class LongWordThen : public std::streambuf {
public:
    LongWordThen(long long length, std::string text) : left_(length), text_(std::move(text)) {}

protected:
    int_type underflow() override {
        if (left_ > 0) {
            const long long n = std::min<long long>(left_, sizeof chunk_);
            std::fill(chunk_, chunk_ + n, 'x');
            left_ -= n;
            setg(chunk_, chunk_, chunk_ + n);
            return traits_type::to_int_type(chunk_[0]);
        }
        if (!textGiven_) {
            textGiven_ = true;
            setg(&text_[0], &text_[0], &text_[0] + text_.size());
            return text_.empty() ? traits_type::eof() : traits_type::to_int_type(text_[0]);
        }
        return traits_type::eof();
    }

private:
    char chunk_[4096];
    long long left_;
    std::string text_;
    bool textGiven_ = false;
};

// Operator-new calls while reading the two-mass model behind a word of `length` bytes.
long allocationsBehindAWordOf(long long length) {
    Capture out(std::cout);
    Capture err(std::cerr);
    LongWordThen buffer(length, std::string(" ") + twoMasses);
    std::istream in(&buffer);
    SoftBody body;
    AllocationCounter counter;
    const std::string reason = readModel(in, body);
    const long count = counter.count();
    EXPECT_EQ(reason, "") << length;
    EXPECT_EQ(body.masses.size(), 3u) << length;
    return count;
}

}  // namespace

TEST(ModelBoundsTest, AByteOrderMarkAtTheStartIsSkipped) {
    const std::string mark = "\xEF\xBB\xBF";
    struct Case {
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {mark + twoMasses, ""},                                     // right against the keyword
        {mark + "\n" + twoMasses, ""},                              // alone on its line
        {mark + "# a header\n" + twoMasses, ""},                    // in front of another first word
        {"\xEF\xBB" + std::string(twoMasses), "no \"Masses\" section"},   // half a mark is part of the word
        {mark + mark + twoMasses, "no \"Masses\" section"},          // only one mark is skipped
        {"x " + mark + twoMasses, "no \"Masses\" section"},          // and only at the very start
        {"\n" + mark + twoMasses, "no \"Masses\" section"},
        {"Masses 2\n0 0 0\n2 0 0\n" + mark + "Springs 1\n0 1\nFaces 0\n", "no \"Springs\" section"},
    };
    for (const Case& c : cases) {
        SoftBody body;
        EXPECT_EQ(reasonFor(c.text, body), c.reason) << c.text;
        EXPECT_EQ(body.masses.size(), *c.reason == '\0' ? 3u : 0u) << c.text;
    }
}

TEST(ModelBoundsTest, AWordOfAnyLengthCostsNoMemory) {
    // The words before a keyword are compared as they are read, never kept: 64 MB of one word
    // allocates nothing more than a word of one byte.
    const long shortWord = allocationsBehindAWordOf(1);
    EXPECT_EQ(allocationsBehindAWordOf(64LL << 20), shortWord);

    // A word that starts like a keyword and runs on is still not the keyword.
    Capture out(std::cout);
    Capture err(std::cerr);
    LongWordThen buffer(0, "Massesxxxxxxxxxxxxxxxxxxxxxxxxxxxxx 2 0 0 0 2 0 0");
    std::istream in(&buffer);
    SoftBody body;
    EXPECT_EQ(readModel(in, body), "no \"Masses\" section");
}

namespace {

// A game whose model is the named file, with its console lines kept out of the output.
std::string loadErrorFor(const std::string& path) {
    Capture out(std::cout);
    Capture err(std::cerr);
    Game game;
    game.modelFileName = path.c_str();
    game.restartRequested = true;
    game.idle();
    EXPECT_FALSE(game.currentWorld->hasBall()) << path;
    return game.loadError;
}

}  // namespace

TEST(ModelBoundsTest, OnlyARegularModelFileOfBoundedSizeIsRead) {
    ScratchFolder dir;
    ASSERT_EQ(::mkdir((dir / "folder.iv").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("/dev/null", (dir / "null.iv").c_str()), 0);
    {
        std::ofstream(dir / "huge.iv") << twoMasses;
    }
    // A sparse file one byte over the limit: refused from its size before a byte is read.
    ASSERT_EQ(::truncate((dir / "huge.iv").c_str(), maxModelFileBytes + 1), 0);
    struct Case {
        std::string path;
        std::string line;
    };
    const Case cases[] = {
        {dir / "folder.iv", dir / "folder.iv: cannot read model: is a directory"},
        {dir / "null.iv", dir / "null.iv: cannot read model: is a device, not a regular file"},
        {dir / "huge.iv", dir / "huge.iv: cannot read model: the file is 67108865 bytes, more than the 67108864 allowed"},
        {dir / "gone.iv", dir / "gone.iv: cannot read model: no such file or directory"},
    };
    for (const Case& c : cases) EXPECT_EQ(loadErrorFor(c.path), c.line);
}

TEST(ModelBoundsTest, AFifoIsRefusedWithoutWaitingForAWriter) {
    ScratchFolder dir;
    const std::string fifo = dir / "sphere.iv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const FifoWriter writer(fifo);  // should the game wait for a writer, one comes after a while
    const auto start = std::chrono::steady_clock::now();
    const std::string line = loadErrorFor(fifo);
    const long long taken = millisecondsSince(start);
    EXPECT_EQ(line, fifo + ": cannot read model: is a FIFO, not a regular file");
    EXPECT_LT(taken, 500) << "ms: the game waited for a writer";
}
