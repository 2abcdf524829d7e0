#include "sim/Options.h"

#include <climits>

#include "io/Count.h"

namespace {

constexpr std::size_t usageColumn = 17;  // where the descriptions start in the usage

// A whole number of at least minimum into value; what names the number in the problem.
Problem takeCount(const char* text, const char* what, long long minimum, long long& value) {
    const Result<long long> count = parseCount(text, minimum, LLONG_MAX);
    if (!count.ok()) return std::string("bad ") + what + " '" + text + "': " + count.problem().line();
    value = count.value();
    return {};
}

// A file name given on the command line: anything but nothing.
Problem takeName(const char* option, const char* text, std::string& name) {
    if (*text == '\0') return std::string("empty file name for ") + option;
    name = text;
    return {};
}

Problem takeModel(const char* text, SimOptions& o) {
    o.modelGiven = true;
    return takeName("--model", text, o.model);
}
Problem takeTrace(const char* text, SimOptions& o) { return takeName("--trace", text, o.trace); }
Problem takeReplay(const char* text, SimOptions& o) { return takeName("--replay", text, o.replay); }

Problem takeIdles(const char* text, SimOptions& o) {
    o.idlesGiven = true;
    return takeCount(text, "idle count", 0, o.idles);
}

Problem takeEvery(const char* text, SimOptions& o) {
    o.everyGiven = true;
    return takeCount(text, "--every", 1, o.every);
}

// I:K, the idle call and the one character.
Problem takeKey(const char* text, SimOptions& o) {
    const std::string value = text;
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos || value.size() != colon + 2) return "bad key '" + value + "'";
    long long idle = 0;
    Problem problem = takeCount(value.substr(0, colon).c_str(), "key idle number", 0, idle);
    if (!problem) o.keys.emplace(idle, value[colon + 1]);
    return problem;
}

Problem takeHelp(const char*, SimOptions& o) {
    o.help = true;
    return {};
}

Problem takeGameOver(const char*, SimOptions& o) {
    o.gameOver = true;
    return {};
}

const std::vector<OptionEntry<SimOptions>> entries = {
    {"--model", "FILE", "a model file", "ball model to read (default sphere.iv)", takeModel},
    {"--idles", "N", "an idle count", "idle calls to perform, numbered 0 to N-1 (default 1000)", takeIdles},
    {"--key", "I:K", "an idle call and a key", "deliver the one-character key K before idle call I (repeatable)",
     takeKey},
    {"--trace", "FILE", "a trace file", "write a CSV row after every step", takeTrace},
    {"--every", "K", "a number of ticks", "with --trace, only after steps whose tick count is a multiple of K",
     takeEvery},
    {"--replay", "FILE", "a replay file",
     "play a recorded game again and check it against its checkpoints and end;\n"
     "exit status 0 when it agrees, 1 when it diverges or the file is bad",
     takeReplay},
    {"--game-over", nullptr, nullptr,
     "after the end line, say when the ball was lost: 'game over at tick T score S',\n"
     "or 'game not over'",
     takeGameOver},
    {"--help", nullptr, nullptr, "print this usage", takeHelp},
    {"-h", nullptr, nullptr, "the same", takeHelp},
};

// Options that each make sense alone but not together.
Problem checkTogether(const SimOptions& options) {
    if (options.everyGiven && options.trace.empty()) return "--every needs --trace";
    // A key that would never be delivered is a mistake in the command line, not a quiet no-op.
    if (options.replay.empty() && !options.keys.empty() && options.keys.rbegin()->first >= options.idles) {
        const auto& last = *options.keys.rbegin();
        return "key '" + std::string(1, last.second) + "' at idle call " + std::to_string(last.first) +
               " is past the last idle call (--idles " + std::to_string(options.idles) + " numbers them 0 to " +
               std::to_string(options.idles - 1) + ")";
    }
    return {};
}

}  // namespace

const std::vector<OptionEntry<SimOptions>>& simOptionEntries() { return entries; }

Result<SimOptions> parseSimOptions(int argc, char** argv) {
    SimOptions options;
    Problem problem = parseOptionTable(entries, argc, argv, options);
    if (!problem && !options.help) problem = checkTogether(options);
    if (problem) return problem;
    return options;
}

std::string simUsage() {
    return "usage: flipper-sim [--model FILE] [--idles N] [--key I:K]... [--trace FILE] [--every K]\n"
           "       flipper-sim --replay FILE [--model FILE] [--trace FILE] [--every K]\n" +
           optionTableUsage(entries, usageColumn) +
           "Without --model the ball is sphere.iv from the working directory, or else from\n"
           "../share/games/flipper beside the program, or else from the program's own folder.\n";
}
