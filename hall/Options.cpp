#include "hall/Options.h"

#include <climits>

#include "io/Count.h"

namespace {

constexpr std::size_t usageColumn = 28;  // where the descriptions start in the usage

Problem takeName(const char* option, const char* text, std::string& name) {
    if (*text == '\0') return std::string("empty name for ") + option;
    name = text;
    return {};
}

template <class T>
Problem takeCount(const char* option, const char* text, long long minimum, long long maximum, T& value) {
    const Result<long long> count = parseCount(text, minimum, maximum);
    if (!count.ok()) return std::string("bad ") + option + " '" + text + "': " + count.problem().line();
    value = T(count.value());
    return {};
}

Problem takeSite(const char* text, HallOptions& o) { return takeName("--site", text, o.site); }
Problem takeDb(const char* text, HallOptions& o) { return takeName("--db", text, o.db); }
Problem takeBind(const char* text, HallOptions& o) { return takeName("--bind", text, o.server.bind); }
Problem takePort(const char* text, HallOptions& o) { return takeCount("--port", text, 0, 65535, o.server.port); }
Problem takeRate(const char* text, HallOptions& o) {
    return takeCount("--games-per-minute", text, 1, 100000, o.server.submissionsPerMinute);
}
Problem takeRemove(const char* text, HallOptions& o) { return takeCount("--remove", text, 1, LLONG_MAX, o.removeId); }
Problem takeHelp(const char*, HallOptions& o) {
    o.help = true;
    return {};
}

}  // namespace

const std::vector<OptionEntry<HallOptions>>& hallOptionEntries() {
    static const std::vector<OptionEntry<HallOptions>> entries{
        {"--site", "DIR", "a folder", "the page's files to serve; its sphere.iv is the ball games are played with",
         takeSite},
        {"--db", "FILE", "a database file", "the SQLite database of the hall (made if missing)", takeDb},
        {"--port", "N", "a port number", "TCP port to listen on (default 8080; 0 picks a free one)", takePort},
        {"--bind", "ADDR", "an IP address", "address to listen on (default 127.0.0.1)", takeBind},
        {"--games-per-minute", "N", "a number of games", "games each client address may send a minute (default 6)",
         takeRate},
        {"--remove", "ID", "a game's id", "take game ID out of the hall in --db, and stop", takeRemove},
        {"--help", nullptr, nullptr, "print this usage", takeHelp},
    };
    return entries;
}

Result<HallOptions> parseHallOptions(int argc, char** argv) {
    HallOptions options;
    Problem problem = parseOptionTable(hallOptionEntries(), argc, argv, options);
    if (problem) return problem;
    if (options.help) return options;
    if (options.db.empty()) return Problem("--db is needed");
    if (options.removeId > 0) {
        if (!options.site.empty()) return Problem("--remove takes only --db");
        return options;
    }
    if (options.site.empty()) return Problem("--site is needed");
    return options;
}

std::string hallUsage() {
    return "usage: flipper-hall --site DIR --db FILE [--port N] [--bind ADDR]\n"
           "       flipper-hall --remove ID --db FILE\n"
           "A hall of fame for Flipper: serves the page's site and keeps the games sent to it, each one\n"
           "played again with the site's ball before it is listed.\n" +
           optionTableUsage(hallOptionEntries(), usageColumn);
}
