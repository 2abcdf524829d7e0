#include "replay/ReplayFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string header = "flipper-replay 1\nmodel 0123456789abcdef\n";

// Reads text as game.replay into replay (left empty when it is refused); returns the problem's line.
std::string read(const std::string& text, Replay& replay) {
    std::istringstream in(text);
    Result<Replay> read = readReplay(in, "game.replay");
    replay = read.ok() ? std::move(read.value()) : Replay{};
    return read.problem().line();
}

}  // namespace

TEST(ReplayFileTest, ReadsEveryKindOfLine) {
    Replay replay;
    const std::string text = header +
                             "key 0 f\n"
                             "key 0 x\n"
                             "keycode 7 32\n"
                             "check 1000 00000000000000ff\n"
                             "key 1500 n\n"
                             "check 2001 ffffffffffffffff\n"
                             "end 2500 ticks 2498 score 12 hash 8000000000000001\n";
    ASSERT_EQ(read(text, replay), "");
    EXPECT_EQ(replay.modelHash, 0x0123456789abcdefull);
    ASSERT_EQ(replay.keys.size(), 4u);
    const long long idles[] = {0, 0, 7, 1500};
    const char keys[] = {'f', 'x', ' ', 'n'};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(replay.keys[k].idle, idles[k]);
        EXPECT_EQ(replay.keys[k].key, keys[k]);
    }
    ASSERT_EQ(replay.checks.size(), 2u);
    EXPECT_EQ(replay.checks[0].idle, 1000);
    EXPECT_EQ(replay.checks[0].hash, 255u);
    EXPECT_EQ(replay.checks[1].idle, 2001);
    EXPECT_EQ(replay.checks[1].hash, ~0ull);
    ASSERT_TRUE(replay.hasEnd);
    EXPECT_EQ(replay.end.idles, 2500);
    EXPECT_EQ(replay.end.ticks, 2498);
    EXPECT_EQ(replay.end.score, 12);
    EXPECT_EQ(replay.end.hash, 0x8000000000000001ull);
}

TEST(ReplayFileTest, CutShortRecordingAndLineEndingsOfOtherSystems) {
    Replay replay;
    // A game killed outright: no end line, every line whole.
    ASSERT_EQ(read(header + "key 3 j\ncheck 1000 0000000000000000\n", replay), "");
    EXPECT_FALSE(replay.hasEnd);
    EXPECT_EQ(replay.checks.size(), 1u);
    // CR LF line endings read the same.
    ASSERT_EQ(read("flipper-replay 1\r\nmodel 0123456789abcdef\r\nkey 3 j\r\nend 4 ticks 3 score 0 hash "
                   "0000000000000000\r\n",
                   replay),
              "");
    EXPECT_TRUE(replay.hasEnd);
    EXPECT_EQ(replay.keys.size(), 1u);
    // The largest numbers their types hold.
    ASSERT_EQ(read(header + "key 9223372036854775807 f\n", replay), "");
    EXPECT_EQ(replay.keys[0].idle, 9223372036854775807LL);
    ASSERT_EQ(read(header + "end 1001 ticks 1000 score 2147483647 hash 0000000000000000\n", replay), "");
    EXPECT_EQ(replay.end.score, 2147483647);
    // A byte-order mark at the very start is skipped.
    ASSERT_EQ(read("\xEF\xBB\xBF" + header + "key 3 j\n", replay), "");
    EXPECT_EQ(replay.keys.size(), 1u);
}

TEST(ReplayFileTest, AFileCutInsideALineKeepsEveryWholeLineBeforeIt) {
    // A disk that filled during the recording, in LF and in CR LF files (cut after the CR).
    struct Case {
        std::string text;
        std::size_t keys, checks;
        long long lastIdle;
        std::string note;
    };
    const std::string crlf = "flipper-replay 1\r\nmodel 0123456789abcdef\r\nkey 3 j\r\n";
    for (const Case& c : {Case{header + "key 5 f\ncheck 1000 0000000000000000\nkey 1200 j\ncheck 20", 2, 1, 1200,
                               "game.replay: line 6: truncated: the last line has no end of line"},
                          Case{crlf + "check 1000 0000000000000000\r", 1, 0, 3,
                               "game.replay: line 4: truncated: the last line has no end of line"},
                          Case{header + "en", 0, 0, -1, "game.replay: line 3: truncated: the last line has no end of line"}}) {
        Replay replay;
        ASSERT_EQ(read(c.text, replay), "") << c.text;
        EXPECT_TRUE(replay.cutShort());
        EXPECT_FALSE(replay.hasEnd);
        EXPECT_EQ(replay.keys.size(), c.keys);
        EXPECT_EQ(replay.checks.size(), c.checks);
        EXPECT_EQ(replay.lastIdle, c.lastIdle);
        EXPECT_EQ(replay.cutNote, c.note);
    }
}

TEST(ReplayFileTest, BadFilesNameTheirLineAndProblem) {
    const std::string end = "end 10 ticks 9 score 0 hash 0000000000000000\n";
    const std::string longLine = "key " + std::string(300, '1') + " f\n";
    struct Case {
        std::string text;
        std::string message;  // the whole line the reader gives
    };
    const std::vector<Case> cases = {
        {"", "game.replay: line 1: the file is empty: not a flipper replay"},
        {"flipper-replay 2\nmodel 0123456789abcdef\n",
         "game.replay: line 1: unknown version '2': this game reads 'flipper-replay 1'"},
        {"P3\n768 768\n", "game.replay: line 1: not a flipper replay: the first line must be 'flipper-replay 1'"},
        {"flipper-replay 1\n", "game.replay: line 2: truncated: the model line is missing"},
        {"flipper-replay 1\nmodel 0123", "game.replay: line 2: truncated: the last line has no end of line"},
        {"flipper-replay 1\r\nmodel 0123456789abcdef\r", "game.replay: line 2: truncated: the last line has no end of line"},
        {header + end + "key 3", "game.replay: line 4: truncated: the last line has no end of line"},
        {"flipper-replay 1\nkey 5 f\n", "game.replay: line 2: the second line must be the model line, not 'key'"},
        {header + "model 0123456789abcdef\n", "game.replay: line 3: unknown kind of line 'model'"},
        {header + "jump 5\n", "game.replay: line 3: unknown kind of line 'jump'"},
        {header + "\n", "game.replay: line 3: an empty line"},
        // Keys and checkpoints out of order.
        {header + "key 10 f\nkey 5 j\n",
         "game.replay: line 4: a key before idle call 5 comes after a key before idle call 10: lines must be "
         "in the order of the game"},
        {header + "check 900 0000000000000000\ncheck 800 0000000000000000\n",
         "game.replay: line 4: the check after idle call 800 comes after the check after idle call 900: lines "
         "must be in the order of the game"},
        {header + "check 900 0000000000000000\ncheck 900 0000000000000000\n",
         "game.replay: line 4: the check after idle call 900 comes after the check after idle call 900: lines "
         "must be in the order of the game"},
        {header + "check 900 0000000000000000\nkey 900 f\n",
         "game.replay: line 4: a key before idle call 900 comes after the check after idle call 900: lines "
         "must be in the order of the game"},
        {header + "key 901 f\ncheck 900 0000000000000000\n",
         "game.replay: line 4: the check after idle call 900 comes after a key before idle call 901: lines "
         "must be in the order of the game"},
        // Idle numbers past the end.
        {header + "key 11 f\n" + end,
         "game.replay: line 4: the game ended after 10 idle calls, but line 3 has a key "
         "before idle call 11"},
        {header + "check 10 0000000000000000\n" + end,
         "game.replay: line 4: the game ended after 10 idle calls, but there is a check after idle call 10"},
        {header + end + "key 3 f\n", "game.replay: line 4: a line after the end line"},
        {header + "end 10 ticks 11 score 0 hash 0000000000000000\n",
         "game.replay: line 3: the game cannot make 11 ticks in 10 idle calls"},
        // Checkpoints too far apart: the first may come after idle call 1000 (the start is a rebuild),
        // one more for every key in between.
        {header + "check 1001 0000000000000000\n",
         "game.replay: line 3: idle call 1001 is 1002 idle calls after the last check, more than the recording "
         "leaves between checks (1001)"},
        {header + "check 1000 0000000000000000\nkey 1500 n\ncheck 2003 0000000000000000\n",
         "game.replay: line 5: idle call 2003 is 1003 idle calls after the last check, more than the recording "
         "leaves between checks (1002)"},
        {header + "end 9223372036854775807 ticks 0 score 0 hash 0000000000000000\n",
         "game.replay: line 3: idle call 9223372036854775806 is 9223372036854775807 idle calls after the last "
         "check, more than the recording leaves between checks (1001)"},
        // Over-long lines and binary junk.
        {header + longLine, "game.replay: line 3: longer than 200 characters"},
        {std::string(100000, 'x'), "game.replay: line 1: longer than 200 characters"},
        {header + "key 5 f\x01\n", "game.replay: line 3: not text: it holds the byte 0x01"},
        {header + std::string("key 5 \0\n", 8), "game.replay: line 3: not text: it holds the byte 0x00"},
        {"\x89PNG\r\n\x1a\n", "game.replay: line 1: not text: it holds the byte 0x89"},
        {header + "key 5 \xc3\xa9\n", "game.replay: line 3: not text: it holds the byte 0xc3"},
        // Numbers too large for their type, or not numbers at all.
        {header + "key 9223372036854775808 f\n",
         "game.replay: line 3: bad idle number '9223372036854775808': it must be a whole number from 0 to "
         "9223372036854775807"},
        {header + "check 99999999999999999999999 0000000000000000\n",
         "game.replay: line 3: bad idle number '99999999999999999999999': it must be a whole number from 0 to "
         "9223372036854775807"},
        {header + "end 10 ticks 2147483648 score 0 hash 0000000000000000\n",
         "game.replay: line 3: bad tick count '2147483648': it must be a whole number from 0 to 2147483647"},
        {header + "end 10 ticks 9 score 4294967296 hash 0000000000000000\n",
         "game.replay: line 3: bad score '4294967296': it must be a whole number from 0 to 2147483647"},
        {header + "end 1x ticks 9 score 0 hash 0000000000000000\n",
         "game.replay: line 3: bad idle count '1x': it must be a whole number from 0 to 9223372036854775807"},
        {header + "keycode 5 256\n", "game.replay: line 3: bad key code '256': it must be a whole number from 0 to 255"},
        {header + "key -5 f\n",
         "game.replay: line 3: bad idle number '-5': it must be a whole number from 0 to 9223372036854775807"},
        {header + "key 05 f\n",
         "game.replay: line 3: bad idle number '05': it must be a whole number from 0 to 9223372036854775807"},
        // Hashes and keys that are not what they should be.
        {"flipper-replay 1\nmodel 0123456789ABCDEF\n",
         "game.replay: line 2: '0123456789ABCDEF' is not a hash (16 lowercase hex digits)"},
        {header + "check 10 123456789abcdef\n",
         "game.replay: line 3: '123456789abcdef' is not a hash (16 lowercase hex digits)"},
        {header + "check 10 00123456789abcdef\n",
         "game.replay: line 3: '00123456789abcdef' is not a hash (16 lowercase hex digits)"},
        {header + "key 5 fj\n", "game.replay: line 3: the key must be one printable character, not 'fj'"},
        {header + "key 5\n", "game.replay: line 3: a key line is 'key IDLE KEY'"},
        {header + "key  5 f\n", "game.replay: line 3: a key line is 'key IDLE KEY'"},
        {header + "keycode 5 102\n",
         "game.replay: line 3: key code 102 is a printable key: it is written as a key line"},
        {header + "check 5 0000000000000000 \n", "game.replay: line 3: a check line is 'check IDLE HASH'"},
        {header + "end 10 tick 9 score 0 hash 0000000000000000\n",
         "game.replay: line 3: an end line is 'end IDLES ticks T score S hash H'"},
    };
    for (const Case& c : cases) {
        Replay replay;
        replay.keys.push_back({1, 'f'});  // a refused file leaves nothing behind
        EXPECT_EQ(read(c.text, replay), c.message) << c.text.substr(0, 120);
        EXPECT_TRUE(replay.keys.empty() && replay.checks.empty() && !replay.hasEnd) << c.message;
    }
}

TEST(ReplayFileTest, WritesEachKindOfLine) {
    EXPECT_EQ(modelLine(0xfedcba9876543210ull), "model fedcba9876543210\n");
    EXPECT_EQ(keyLine(12, 'f'), "key 12 f\n");
    EXPECT_EQ(keyLine(0, 'F'), "key 0 F\n");
    // Keys with no visible character of their own go by their code: space, Escape, Return, DEL, Latin-1.
    EXPECT_EQ(keyLine(3, ' '), "keycode 3 32\n");
    EXPECT_EQ(keyLine(3, 27), "keycode 3 27\n");
    EXPECT_EQ(keyLine(3, '\r'), "keycode 3 13\n");
    EXPECT_EQ(keyLine(3, 127), "keycode 3 127\n");
    EXPECT_EQ(keyLine(3, 233), "keycode 3 233\n");
    EXPECT_EQ(checkLine(1000, 0xabcull), "check 1000 0000000000000abc\n");
    EXPECT_EQ(endLine({5000, 4990, 7, 0x1ull}), "end 5000 ticks 4990 score 7 hash 0000000000000001\n");
}

TEST(ReplayFileTest, EveryKeyReadsBackAsWritten) {
    for (int key = 0; key < 256; ++key) {
        Replay replay;
        const std::string text = header + keyLine(4, static_cast<unsigned char>(key));
        ASSERT_EQ(read(text, replay), "") << key;
        ASSERT_EQ(replay.keys.size(), 1u);
        EXPECT_EQ(replay.keys[0].key, key);
    }
}

TEST(ReplayFileTest, AModelThatCannotBeReadIsNamed) {
    EXPECT_EQ(hashModelFile("no-such-ball.iv").problem().line(),
              "no-such-ball.iv: cannot read model: no such file or directory");
}
