#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "hall/HallHttp.h"
#include "hall/HallStore.h"
#include "hall/Site.h"

/// Largest replay a client may send, in bytes: hours of play with every key; a game of the hall's
/// longest is a few kilobytes.
constexpr std::size_t maxSubmissionBytes = 256 * 1024;
/// Longest game the hall plays: 10 minutes at 117.6 ticks a second, the game's own pace.
constexpr long long maxHallTicks = 540000;

/// The hall of fame's answers: the API over a store, the site's files for everything else. A
/// submission is verified by playing it again with the site's own ball before it is stored.
class Hall {
public:
    /// Called with one line when the hall cannot do its work (the database refuses a write).
    using Log = std::function<void(const std::string& line)>;

    /// modelFile: the site's ball, every game is played with; modelHash: FNV-1a 64 of its bytes.
    Hall(HallStore& store, const Site& site, std::string modelFile, std::uint64_t modelHash, Log log);

    /// True for a request that sends a game: the one kind that is verified (and rate limited).
    static bool isSubmission(const HallRequest& request);
    /// The answer to any request, a submission's played and stored (or refused) first.
    HallAnswer answer(const HallRequest& request);
    /// From now on a game being verified is given up, and answered 503: the server is stopping.
    void stop() { stopping_ = true; }

private:
    HallAnswer submit(const HallRequest& request);
    HallAnswer list(const HallRequest& request);
    HallAnswer replayFile(long long id, bool headOnly);
    HallAnswer unavailable(const std::string& line);

    HallStore& store_;
    const Site& site_;
    std::string modelFile_;
    std::uint64_t modelHash_;
    Log log_;
    std::atomic<bool> stopping_{false};
};
