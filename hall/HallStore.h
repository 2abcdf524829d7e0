#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "io/Problem.h"

struct sqlite3;

/// One game in the hall, as listed.
struct HallEntry {
    long long id = 0;
    std::string name;
    int score = 0;
    int ticks = 0;
    std::string date;  ///< when it was stored, UTC, "2026-12-09T08:30:00.000Z"
};

/// The hall's games and the names they were sent under, in one SQLite database in WAL mode. Every
/// write is one transaction that SQLite has synced to disk before it returns. Safe to share
/// between threads: one connection, one statement at a time.
class HallStore {
public:
    /// What storing a game did.
    enum class Outcome { stored, nameTaken, failed };
    struct Added {
        Outcome outcome = Outcome::failed;
        long long id = 0;
        int rank = 0;          ///< 1 for the best; among one best game per name
        std::string failure;   ///< for failed: one line, SQLite's words
    };

    HallStore() = default;
    ~HallStore();
    HallStore(const HallStore&) = delete;
    HallStore& operator=(const HallStore&) = delete;

    /// Opens (or makes) the database file; one line naming it and the problem if it cannot.
    [[nodiscard]] Problem open(const std::string& fileName);
    /// False when name is bound to a token other than the one tokenHash is the hash of.
    bool nameFree(const std::string& name, const std::string& tokenHash);
    /// Stores a verified game under name, binding the name to tokenHash if it is new, in one
    /// durable transaction: stored only once SQLite has committed it.
    Added add(const std::string& name, const std::string& tokenHash, int score, int ticks, const std::string& replay);
    /// The best game of each name, best first (ties: the earlier date), at most count of them.
    Result<std::vector<HallEntry>> top(int count);
    /// The replay file of game id as it was sent; false when there is none.
    Result<bool> replay(long long id, std::string& text);
    /// Takes game id out of the hall; false when there is none.
    Result<bool> remove(long long id);

private:
    Problem failure(const char* doing);
    sqlite3* db_ = nullptr;
    std::string fileName_;
    std::mutex mutex_;
};
