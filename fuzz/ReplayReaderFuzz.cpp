// Feeds arbitrary bytes to the replay reader and checks its promise: a file is either read whole, in
// the order of the game, and writes back to a file that reads the same; or refused in one line that
// names the file and the line, leaving nothing behind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "replay/ReplayFile.h"

namespace {

constexpr const char* fileName = "fuzz.replay";

void check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "replay reader broke its promise: %s\n", what);
    std::abort();
}

void checkRefused(const std::string& reason) {
    check(reason.find('\n') == std::string::npos, "the reason is more than one line");
    check(reason.rfind(std::string(fileName) + ": line ", 0) == 0, "the reason names no file and line");
}

// The file again, as a recording would have written it.
std::string writeBack(const Replay& replay) {
    std::string text = std::string(replayHeader) + "\n" + modelLine(replay.modelHash);
    std::size_t k = 0;
    for (const ReplayCheck& c : replay.checks) {
        for (; k < replay.keys.size() && replay.keys[k].idle <= c.idle; ++k)
            text += keyLine(replay.keys[k].idle, replay.keys[k].key);
        text += checkLine(c.idle, c.hash);
    }
    for (; k < replay.keys.size(); ++k) text += keyLine(replay.keys[k].idle, replay.keys[k].key);
    if (replay.hasEnd) text += endLine(replay.end);
    return text;
}

void checkRead(const Replay& replay) {
    for (std::size_t k = 1; k < replay.keys.size(); ++k)
        check(replay.keys[k - 1].idle <= replay.keys[k].idle, "keys out of order");
    for (std::size_t k = 1; k < replay.checks.size(); ++k)
        check(replay.checks[k - 1].idle < replay.checks[k].idle, "checks out of order");
    if (replay.hasEnd) {
        check(replay.keys.empty() || replay.keys.back().idle <= replay.end.idles, "a key past the end");
        check(replay.checks.empty() || replay.checks.back().idle < replay.end.idles, "a check past the end");
        check(replay.end.ticks >= 0 && replay.end.ticks <= replay.end.idles, "more ticks than idle calls");
    }
    std::istringstream again(writeBack(replay));
    const Result<Replay> read = readReplay(again, fileName);
    check(read.ok(), "what was read does not read back");
    const Replay& reread = read.value();
    check(reread.modelHash == replay.modelHash && reread.keys.size() == replay.keys.size() &&
              reread.checks.size() == replay.checks.size() && reread.hasEnd == replay.hasEnd,
          "what was read reads back differently");
    for (std::size_t k = 0; k < replay.keys.size(); ++k)
        check(reread.keys[k].idle == replay.keys[k].idle && reread.keys[k].key == replay.keys[k].key,
              "a key reads back differently");
    for (std::size_t k = 0; k < replay.checks.size(); ++k)
        check(reread.checks[k].idle == replay.checks[k].idle && reread.checks[k].hash == replay.checks[k].hash,
              "a check reads back differently");
    check(!replay.hasEnd || (reread.end.idles == replay.end.idles && reread.end.ticks == replay.end.ticks &&
                             reread.end.score == replay.end.score && reread.end.hash == replay.end.hash),
          "the end reads back differently");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const Result<Replay> replay = readReplay(in, fileName);
    if (replay.ok())
        checkRead(replay.value());
    else
        checkRefused(replay.problem().line());
    return 0;
}
