#include "hall/HallStore.h"

#include <sqlite3.h>

namespace {

constexpr int busyMilliseconds = 5000;  // another process's write (flipper-hall --remove) is waited for

/// A prepared statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { ok_ = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) == SQLITE_OK; }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return ok_; }
    Statement& bind(int i, long long value) {
        ok_ = ok_ && sqlite3_bind_int64(statement_, i, value) == SQLITE_OK;
        return *this;
    }
    Statement& bind(int i, const std::string& text) {
        ok_ = ok_ && sqlite3_bind_text(statement_, i, text.data(), int(text.size()), SQLITE_TRANSIENT) == SQLITE_OK;
        return *this;
    }
    Statement& bindBlob(int i, const std::string& bytes) {
        ok_ = ok_ && sqlite3_bind_blob(statement_, i, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT) == SQLITE_OK;
        return *this;
    }
    /// SQLITE_ROW, SQLITE_DONE, or the error.
    int step() { return ok_ ? sqlite3_step(statement_) : SQLITE_ERROR; }
    long long integer(int column) { return sqlite3_column_int64(statement_, column); }
    std::string text(int column) {
        const void* bytes = sqlite3_column_blob(statement_, column);
        return bytes ? std::string(static_cast<const char*>(bytes), std::size_t(sqlite3_column_bytes(statement_, column)))
                     : std::string();
    }

private:
    sqlite3_stmt* statement_ = nullptr;
    bool ok_ = false;
};

bool execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

// Names are compared without case: "Ann" and "ann" are one player.
constexpr const char* schema =
    "CREATE TABLE IF NOT EXISTS names (name TEXT PRIMARY KEY COLLATE NOCASE, token_hash TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS games (id INTEGER PRIMARY KEY, name TEXT NOT NULL COLLATE NOCASE,"
    " score INTEGER NOT NULL, ticks INTEGER NOT NULL, date TEXT NOT NULL, replay BLOB NOT NULL);"
    "CREATE INDEX IF NOT EXISTS games_by_name ON games (name, score DESC, date, id);";

// A name's best game: the highest score, the earliest of equal ones.
constexpr const char* bestOfEachName =
    "SELECT id, name, score, ticks, date FROM games g WHERE id = (SELECT id FROM games h WHERE h.name = g.name"
    " ORDER BY score DESC, date, id LIMIT 1) ORDER BY score DESC, date, id LIMIT ?1";

}  // namespace

HallStore::~HallStore() { sqlite3_close(db_); }

Problem HallStore::failure(const char* doing) {
    return fileName_ + ": cannot " + doing + ": " + sqlite3_errmsg(db_);
}

Problem HallStore::open(const std::string& fileName) {
    std::lock_guard<std::mutex> lock(mutex_);
    fileName_ = fileName;
    if (sqlite3_open_v2(fileName.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK)
        return failure("open the database");
    sqlite3_busy_timeout(db_, busyMilliseconds);
    // WAL: readers never wait for a writer. synchronous=FULL: each commit syncs the log before it
    // returns, so a game answered 201 outlives a kill or a power cut (NORMAL would keep it through
    // a kill but not a power cut).
    if (!execute(db_, "PRAGMA journal_mode=WAL") || !execute(db_, "PRAGMA synchronous=FULL") ||
        !execute(db_, schema)) {
        // A read-only database still lists its games; storing says why it cannot.
        if (sqlite3_db_readonly(db_, "main") == 1) return {};
        return failure("prepare the database");
    }
    return {};
}

bool HallStore::nameFree(const std::string& name, const std::string& tokenHash) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement bound(db_, "SELECT token_hash FROM names WHERE name = ?1");
    bound.bind(1, name);
    return bound.step() != SQLITE_ROW || bound.text(0) == tokenHash;
}

HallStore::Added HallStore::add(const std::string& name, const std::string& tokenHash, int score, int ticks,
                                const std::string& replay) {
    std::lock_guard<std::mutex> lock(mutex_);
    Added added;
    // IMMEDIATE: the write lock from the start, so the name's check and the insert see one state.
    if (!execute(db_, "BEGIN IMMEDIATE")) {
        added.failure = failure("store a game").line();
        return added;
    }
    auto rollBack = [&](Outcome outcome) {
        if (outcome == Outcome::failed) added.failure = failure("store a game").line();
        execute(db_, "ROLLBACK");
        added.outcome = outcome;
        return added;
    };
    Statement bound(db_, "SELECT token_hash FROM names WHERE name = ?1");
    bound.bind(1, name);
    const int found = bound.step();
    if (found == SQLITE_ROW && bound.text(0) != tokenHash) return rollBack(Outcome::nameTaken);
    if (found != SQLITE_ROW && found != SQLITE_DONE) return rollBack(Outcome::failed);
    if (found == SQLITE_DONE) {
        Statement bind(db_, "INSERT INTO names (name, token_hash) VALUES (?1, ?2)");
        if (bind.bind(1, name).bind(2, tokenHash).step() != SQLITE_DONE) return rollBack(Outcome::failed);
    }
    Statement insert(db_, "INSERT INTO games (name, score, ticks, date, replay)"
                          " VALUES (?1, ?2, ?3, strftime('%Y-%m-%dT%H:%M:%fZ', 'now'), ?4)");
    if (insert.bind(1, name).bind(2, score).bind(3, ticks).bindBlob(4, replay).step() != SQLITE_DONE)
        return rollBack(Outcome::failed);
    added.id = sqlite3_last_insert_rowid(db_);
    // The game just stored is the latest: every other name with a best as good ranks above it.
    Statement above(db_, "SELECT COUNT(*) FROM (SELECT name FROM games WHERE name <> ?1 GROUP BY name"
                         " HAVING MAX(score) >= ?2)");
    if (above.bind(1, name).bind(2, score).step() != SQLITE_ROW) return rollBack(Outcome::failed);
    added.rank = int(above.integer(0)) + 1;
    if (!execute(db_, "COMMIT")) return rollBack(Outcome::failed);
    added.outcome = Outcome::stored;
    return added;
}

Result<std::vector<HallEntry>> HallStore::top(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement best(db_, bestOfEachName);
    best.bind(1, count);
    std::vector<HallEntry> entries;
    int status;
    while ((status = best.step()) == SQLITE_ROW)
        entries.push_back({best.integer(0), best.text(1), int(best.integer(2)), int(best.integer(3)), best.text(4)});
    if (status != SQLITE_DONE) return failure("list the games");
    return entries;
}

Result<bool> HallStore::replay(long long id, std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement game(db_, "SELECT replay FROM games WHERE id = ?1");
    const int status = game.bind(1, id).step();
    if (status == SQLITE_ROW) text = game.text(0);
    if (status != SQLITE_ROW && status != SQLITE_DONE) return failure("read a replay");
    return status == SQLITE_ROW;
}

Result<bool> HallStore::remove(long long id) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement game(db_, "DELETE FROM games WHERE id = ?1");
    if (game.bind(1, id).step() != SQLITE_DONE) return failure("remove a game");
    return sqlite3_changes(db_) > 0;
}
