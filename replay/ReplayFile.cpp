#include "replay/ReplayFile.h"

#include <climits>
#include <cstdio>

#include "io/Count.h"
#include "io/InputFile.h"
#include "softbody/ModelReader.h"

namespace {

constexpr int hashDigits = 16;
constexpr char keyCodeKind[] = "keycode";

// A key written as its own character: the printable ASCII characters but the space.
bool printableKey(unsigned char key) { return key > ' ' && key < 0x7f; }

/// One line of the file, read with a bound on its length.
enum class LineStatus { line, endOfFile, tooLong, unterminated };

LineStatus nextLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) return LineStatus::endOfFile;
    for (;;) {
        const auto c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            if (line.empty()) return LineStatus::endOfFile;
            if (line.back() == '\r') line.pop_back();  // a CR LF line cut between the two
            return LineStatus::unterminated;
        }
        if (c == '\n') {
            // A line from a system that ends lines with CR LF reads the same.
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line.size() > replayMaxLineLength ? LineStatus::tooLong : LineStatus::line;
        }
        // One more than the limit, to tell a CR of a CR LF ending from a character too many.
        if (line.size() > replayMaxLineLength) return LineStatus::tooLong;
        line.push_back(static_cast<char>(c));
    }
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = line.find(' ', start);
        parts.push_back(line.substr(start, space - start));
        if (space == std::string::npos) return parts;
        start = space + 1;
    }
}

/// Reads the file line by line and keeps what it has learnt, to check each line against the ones before.
class Reader {
public:
    Reader(std::istream& in, const std::string& fileName, Replay& replay)
        : in_(in), fileName_(fileName), replay_(replay) {}

    std::string read() {
        std::string problem = readAll();
        if (!problem.empty()) {
            replay_ = Replay{};
            return fileName_ + ": line " + std::to_string(lineNumber_) + ": " + problem;
        }
        return "";
    }

private:
    std::string readAll() {
        skipByteOrderMark();
        std::string line;
        std::string problem;
        if (!next(line, problem)) {
            if (!problem.empty()) return problem;
            ++lineNumber_;
            return "the file is empty: not a flipper replay";
        }
        if (line != replayHeader) {
            if (line.rfind("flipper-replay ", 0) == 0)
                return "unknown version '" + line.substr(15) + "': this game reads '" + replayHeader + "'";
            return std::string("not a flipper replay: the first line must be '") + replayHeader + "'";
        }
        if (!next(line, problem)) {
            if (!problem.empty()) return problem;
            ++lineNumber_;  // the line that should have been there
            return "truncated: the model line is missing";
        }
        const std::vector<std::string> model = fields(line);
        if (model[0] != "model") return "the second line must be the model line, not '" + model[0] + "'";
        if (model.size() != 2) return "a model line is 'model HASH'";
        if (!hash(model[1], replay_.modelHash, problem)) return problem;

        while (next(line, problem)) {
            if (replay_.hasEnd) return "a line after the end line";
            problem = record(fields(line));
            if (!problem.empty()) return problem;
        }
        if (cut_ && !replay_.hasEnd) {
            // A recording cut short is still a recording: the whole lines before the cut are kept.
            replay_.cutNote = fileName_ + ": line " + std::to_string(lineNumber_) + ": " + problem;
            return "";
        }
        return problem;
    }

    // A UTF-8 byte-order mark at the very start, as some editors write it, is not part of the header.
    void skipByteOrderMark() {
        std::streambuf* buffer = in_.rdbuf();
        for (const unsigned char byte : {0xEF, 0xBB, 0xBF}) {
            if (buffer == nullptr || buffer->sgetc() != byte) return;
            buffer->sbumpc();
        }
    }

    // The next line, checked to be text of a sensible length. False at the end of the file (problem
    // empty) or on a bad line (problem set).
    bool next(std::string& line, std::string& problem) {
        const LineStatus status = nextLine(in_, line);
        if (status == LineStatus::endOfFile) return false;
        ++lineNumber_;
        if (status == LineStatus::tooLong) {
            problem = "longer than " + std::to_string(replayMaxLineLength) + " characters";
            return false;
        }
        if (status == LineStatus::unterminated) {
            // Whatever the line holds, it was cut off; a CR LF file may be cut between the two.
            problem = "truncated: the last line has no end of line";
            cut_ = true;
            return false;
        }
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < ' ' || byte >= 0x7f) {
                char text[64];
                std::snprintf(text, sizeof text, "not text: it holds the byte 0x%02x", byte);
                problem = text;
                return false;
            }
        }
        if (line.empty()) {
            problem = "an empty line";
            return false;
        }
        return true;
    }

    std::string record(const std::vector<std::string>& f) {
        const std::string& kind = f[0];
        if (kind == "key" || kind == keyCodeKind) return recordKey(f);
        if (kind == "check") return recordCheck(f);
        if (kind == "end") return recordEnd(f);
        return "unknown kind of line '" + kind + "'";
    }

    // "key IDLE KEY" or "keycode IDLE CODE".
    std::string recordKey(const std::vector<std::string>& f) {
        const std::string& kind = f[0];
        if (f.size() != 3) return "a " + kind + " line is '" + kind + (kind == "key" ? " IDLE KEY'" : " IDLE CODE'");
        ReplayKey key;
        std::string problem;
        if (!count(f[1], "idle number", LLONG_MAX, key.idle, problem)) return problem;
        if (kind == "key") {
            if (f[2].size() != 1 || !printableKey(static_cast<unsigned char>(f[2][0])))
                return "the key must be one printable character, not '" + f[2] + "'";
            key.key = static_cast<unsigned char>(f[2][0]);
        } else {
            long long code = 0;
            if (!count(f[2], "key code", UCHAR_MAX, code, problem)) return problem;
            if (printableKey(static_cast<unsigned char>(code)))
                return "key code " + f[2] + " is a printable key: it is written as a key line";
            key.key = static_cast<unsigned char>(code);
        }
        if (key.idle <= lastCheck_)
            return "a key before idle call " + f[1] + " comes after the check after idle call " +
                   std::to_string(lastCheck_) + ": lines must be in the order of the game";
        if (!replay_.keys.empty() && key.idle < replay_.keys.back().idle)
            return "a key before idle call " + f[1] + " comes after a key before idle call " +
                   std::to_string(replay_.keys.back().idle) + ": lines must be in the order of the game";
        replay_.keys.push_back(key);
        replay_.lastIdle = key.idle;
        ++keysSinceCheck_;
        lastKeyLine_ = lineNumber_;
        return "";
    }

    // "check IDLE HASH".
    std::string recordCheck(const std::vector<std::string>& f) {
        if (f.size() != 3) return "a check line is 'check IDLE HASH'";
        ReplayCheck check;
        std::string problem;
        if (!count(f[1], "idle number", LLONG_MAX, check.idle, problem) || !hash(f[2], check.hash, problem))
            return problem;
        if (check.idle <= lastCheck_)
            return "the check after idle call " + f[1] + " comes after the check after idle call " +
                   std::to_string(lastCheck_) + ": lines must be in the order of the game";
        if (!replay_.keys.empty() && check.idle < replay_.keys.back().idle)
            return "the check after idle call " + f[1] + " comes after a key before idle call " +
                   std::to_string(replay_.keys.back().idle) + ": lines must be in the order of the game";
        problem = gapTo(check.idle);
        if (!problem.empty()) return problem;
        replay_.checks.push_back(check);
        replay_.lastIdle = check.idle;
        lastCheck_ = check.idle;
        keysSinceCheck_ = 0;
        return "";
    }

    // "end IDLES ticks T score S hash H".
    std::string recordEnd(const std::vector<std::string>& f) {
        if (f.size() != 8 || f[2] != "ticks" || f[4] != "score" || f[6] != "hash")
            return "an end line is 'end IDLES ticks T score S hash H'";
        ReplayEnd& end = replay_.end;
        long long ticks = 0, score = 0;
        std::string problem;
        if (!count(f[1], "idle count", LLONG_MAX, end.idles, problem) ||
            !count(f[3], "tick count", INT_MAX, ticks, problem) || !count(f[5], "score", INT_MAX, score, problem) ||
            !hash(f[7], end.hash, problem))
            return problem;
        end.ticks = static_cast<int>(ticks);
        end.score = static_cast<int>(score);
        if (!replay_.keys.empty() && replay_.keys.back().idle > end.idles)
            return "the game ended after " + f[1] + " idle calls, but line " + std::to_string(lastKeyLine_) +
                   " has a key before idle call " + std::to_string(replay_.keys.back().idle);
        if (lastCheck_ >= end.idles)
            return "the game ended after " + f[1] + " idle calls, but there is a check after idle call " +
                   std::to_string(lastCheck_);
        if (end.ticks > end.idles) return "the game cannot make " + f[3] + " ticks in " + f[1] + " idle calls";
        if (end.idles > 0) {
            problem = gapTo(end.idles - 1);
            if (!problem.empty()) return problem;
        }
        replay_.hasEnd = true;
        return "";
    }

    // A checkpoint comes after every 1000 ticks; between two, the only idle calls that make no tick
    // are rebuilds, one for the start and at most one per key.
    std::string gapTo(long long idle) const {
        const long long most = replayCheckEvery + 1 + keysSinceCheck_;
        if (idle - most <= lastCheck_) return "";
        // In unsigned arithmetic, so the distance from "before the start" to the largest idle number fits.
        const unsigned long long gap =
            static_cast<unsigned long long>(idle) - static_cast<unsigned long long>(lastCheck_);
        return "idle call " + std::to_string(idle) + " is " + std::to_string(gap) +
               " idle calls after the last check, more than the recording leaves between checks (" +
               std::to_string(most) + ")";
    }

    // A whole number from 0 to most (io/Count's rule); what names the field in the problem.
    static bool count(const std::string& text, const char* what, long long most, long long& value,
                      std::string& problem) {
        const Result<long long> read = parseCount(text, 0, most);
        if (read.ok()) value = read.value();
        else problem = std::string("bad ") + what + " '" + text + "': " + read.problem().line();
        return read.ok();
    }

    static bool hash(const std::string& text, std::uint64_t& value, std::string& problem) {
        if (text.size() != hashDigits || text.find_first_not_of("0123456789abcdef") != std::string::npos) {
            problem = "'" + text + "' is not a hash (16 lowercase hex digits)";
            return false;
        }
        value = 0;
        for (const char c : text) value = value * 16 + std::uint64_t(c <= '9' ? c - '0' : c - 'a' + 10);
        return true;
    }

    std::istream& in_;
    const std::string& fileName_;
    Replay& replay_;
    long long lineNumber_ = 0;
    long long lastCheck_ = -1;      // idle call of the last check; -1 before the first
    long long keysSinceCheck_ = 0;  // key lines since the last check
    long long lastKeyLine_ = 0;
    bool cut_ = false;  // the last line has no end of line
};

}  // namespace

Result<Replay> readReplay(std::istream& in, const std::string& fileName) {
    Replay replay;
    const std::string problem = Reader(in, fileName, replay).read();
    if (!problem.empty()) return Problem(problem);
    return replay;
}

std::string hexHash(std::uint64_t hash) {
    char text[hashDigits + 1];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string modelLine(std::uint64_t modelHash) { return "model " + hexHash(modelHash) + "\n"; }

std::string keyLine(long long idle, unsigned char key) {
    if (printableKey(key)) return "key " + std::to_string(idle) + " " + std::string(1, char(key)) + "\n";
    return std::string(keyCodeKind) + " " + std::to_string(idle) + " " + std::to_string(int(key)) + "\n";
}

std::string checkLine(long long idle, std::uint64_t hash) {
    return "check " + std::to_string(idle) + " " + hexHash(hash) + "\n";
}

std::string endLine(const ReplayEnd& end) {
    return "end " + std::to_string(end.idles) + " ticks " + std::to_string(end.ticks) + " score " +
           std::to_string(end.score) + " hash " + hexHash(end.hash) + "\n";
}

Result<std::uint64_t> hashModelFile(const std::string& fileName) {
    // The same rule as the game's own reading: a regular file of bounded size, read whole.
    const Result<std::string> bytes = readRegularFile(fileName, maxModelFileBytes);
    if (!bytes.ok()) return Problem(fileName + ": cannot read model: " + bytes.problem().line());
    return fnv1a64(bytes.value());
}
