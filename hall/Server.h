#pragma once

#include <string>

#include "io/Problem.h"

class Hall;

/// Where and how the server listens, with its limits.
struct ServerSettings {
    std::string bind = "127.0.0.1";
    unsigned short port = 8080;     ///< 0: any free port
    int submissionsPerMinute = 6;   ///< per client address
    unsigned verifyThreads = 0;     ///< 0: one per core
    std::size_t verifyQueue = 32;   ///< games waiting for a thread; more are answered 503
};

/// Serves hall over HTTP until SIGINT or SIGTERM. say gets one line once it listens (with the
/// address), and every line of the log. Returns why it could not listen, or nothing after a clean stop.
[[nodiscard]] Problem serveHall(Hall& hall, const ServerSettings& settings, void (*say)(const std::string&),
                                void (*log)(const std::string&));
