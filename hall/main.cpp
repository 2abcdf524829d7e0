// flipper-hall: the page's site and its hall of fame, every game in it played again before it is listed.
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <mutex>
#include <string>
#include <unistd.h>

#include "hall/Hall.h"
#include "hall/HallStore.h"
#include "hall/Options.h"
#include "hall/Server.h"
#include "hall/Site.h"
#include "io/Platform.h"
#include "replay/ReplayFile.h"

namespace {

// The log: the standard error the program started with. The game's own lines (the ball's reading
// and the spin limiter's, for every game verified) are not the server's log: once it listens,
// standard output and standard error go nowhere.
std::FILE* logFile = stderr;
std::mutex logMutex;

void logLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(logMutex);
    std::fprintf(logFile, "flipper-hall: %s\n", line.c_str());
    std::fflush(logFile);
}

void quietGameLines();

void sayListening(const std::string& url) {
    std::printf("flipper-hall: serving on %s\n", url.c_str());
    std::fflush(stdout);
    quietGameLines();
}

int fail(const std::string& line) {
    std::cerr << "flipper-hall: " << line << '\n';
    return 1;
}

void quietGameLines() {
    const int log = dup(STDERR_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY);
    if (log < 0 || nowhere < 0) return;
    std::FILE* file = fdopen(log, "w");
    if (file == nullptr || dup2(nowhere, STDERR_FILENO) < 0 || dup2(nowhere, STDOUT_FILENO) < 0) return;
    close(nowhere);
    logFile = file;
}

}  // namespace

int main(int argc, char** argv) {
    useLfLineEnds();
    Result<HallOptions> parsed = parseHallOptions(argc, argv);
    if (!parsed.ok()) {
        std::cerr << "flipper-hall: " << parsed.problem().line() << '\n' << hallUsage();
        return 2;
    }
    const HallOptions& options = parsed.value();
    if (options.help) {
        std::fputs(hallUsage().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    HallStore store;
    if (Problem problem = store.open(options.db)) return fail(problem.line());
    if (options.removeId > 0) {
        const Result<bool> removed = store.remove(options.removeId);
        if (!removed.ok()) return fail(removed.problem().line());
        if (!removed.value()) return fail(options.db + ": no game " + std::to_string(options.removeId));
        std::printf("removed game %lld\n", options.removeId);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    const std::string model = options.site + "/sphere.iv";
    const Result<std::uint64_t> modelHash = hashModelFile(model);
    if (!modelHash.ok()) return fail(modelHash.problem().line());
    const Site site(options.site);
    Hall hall(store, site, model, modelHash.value(), logLine);
    if (Problem problem = serveHall(hall, options.server, sayListening, logLine)) {
        logLine(problem.line());
        return 1;
    }
    return 0;
}
