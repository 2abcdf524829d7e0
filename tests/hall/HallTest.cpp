#include "hall/Hall.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "hall/HallRules.h"
#include "hall/Limits.h"
#include "support/Files.h"

namespace {

const std::string demo = readFile(std::string(FLIPPER_SOURCE_DIR) + "/docs/demo.replay");
const std::string token = "abcdefghij-_0123";  // 16 characters: the shortest token taken

// demo with one text replaced by another.
std::string edited(const std::string& from, const std::string& to) {
    std::string text = demo;
    text.replace(text.find(from), from.size(), to);
    return text;
}

// A well-formed recording of 541,000 ticks, a checkpoint every 1000: past the hall's 10 minutes.
std::string longGame() {
    std::string text = "flipper-replay 1\nmodel 17d1a8709f6f1c71\n";
    for (int k = 1; k <= 541; ++k) text += "check " + std::to_string(k * 1000) + " 0000000000000000\n";
    return text + "end 541001 ticks 541000 score 0 hash 0000000000000000\n";
}

// A hall on a scratch site (the game's ball, a page, a hashed script and its gzip) and database.
struct TestHall {
    ScratchFolder folder;
    HallStore store;
    std::unique_ptr<Site> site;
    std::unique_ptr<Hall> hall;
    std::vector<std::string> log;

    TestHall() {
        std::filesystem::create_directory(folder / "site");
        std::filesystem::copy_file(std::string(FLIPPER_ASSETS) + "/sphere.iv", folder / "site/sphere.iv");
        writeFile(folder / "site/index.html", "<p>page</p>");
        writeFile(folder / "site/app.0123abcd.js", "plain");
        writeFile(folder / "site/app.0123abcd.js.gz", "zipped");
        writeFile(folder / "outside.html", "secret");
        std::filesystem::create_symlink(folder / "outside.html", folder / "site/link.html");
        EXPECT_FALSE(store.open(folder / "hall.db"));
        site = std::make_unique<Site>(folder / "site");
        hall = std::make_unique<Hall>(store, *site, folder / "site/sphere.iv", 0x17d1a8709f6f1c71ull,
                                      [this](const std::string& line) { log.push_back(line); });
    }
    HallAnswer post(const std::string& name, const std::string& body, const std::string& auth = "Bearer " + token) {
        return hall->answer({"POST", "/api/games?name=" + name, auth, "", "", body});
    }
    HallAnswer get(const std::string& target, const std::string& encoding = "", const std::string& tag = "") {
        return hall->answer({"GET", target, "", encoding, tag, ""});
    }
};

std::string header(const HallAnswer& answer, const std::string& name) {
    for (const auto& [key, value] : answer.headers)
        if (key == name) return value;
    return "";
}

TEST(HallTest, SubmissionsAreVerifiedBeforeTheyAreStored) {
    TestHall t;
    const struct {
        std::string name, body, auth;
        int status;
        std::string says;
    } table[] = {
        {"Ann", demo, "Bearer " + token, 201, R"("name":"Ann","rank":1,"score":67,"ticks":9003)"},
        {"ann", demo, "Bearer " + token + "x", 403, "someone else's"},  // names are one without case
        {"Ann%20B.-_9", demo, "Bearer " + token, 201, R"("rank":2)"},  // a tie ranks after the earlier game
        {"", demo, "Bearer " + token, 400, "a name is"},
        {"Seventeen_chars_x", demo, "Bearer " + token, 400, "a name is"},
        {"a%3Cb%3E", demo, "Bearer " + token, 400, "a name is"},
        {"Ann", demo, "Bearer " + token.substr(1), 401, "Bearer TOKEN"},
        {"Ann", demo, "Bearer " + token + "!", 401, "Bearer TOKEN"},
        {"Ann", demo, "Basic " + token, 401, "Bearer TOKEN"},
        {"Ann", std::string(maxSubmissionBytes + 1, 'x'), "Bearer " + token, 413, "256 KB"},
        {"Ann", edited("key 1785 f", "key 1786 f"), "Bearer " + token, 422, "replay diverged at idle 2000"},
        {"Ann", edited("model 17d1a8709f6f1c71", "model 17d1a8709f6f1c72"), "Bearer " + token, 422, "another ball"},
        {"Ann", demo.substr(0, demo.find("end ")), "Bearer " + token, 422, "no end line"},
        {"Ann", longGame(), "Bearer " + token, 422, "540000 ticks"},
        {"Ann", "flipper-replay 2\n", "Bearer " + token, 422, "the replay: line 1"},
    };
    for (const auto& row : table) {
        const HallAnswer answer = t.post(row.name, row.body, row.auth);
        EXPECT_EQ(answer.status, row.status) << row.name << ": " << answer.body;
        EXPECT_NE(answer.body.find(row.says), std::string::npos) << answer.body;
    }
    const HallAnswer list = t.get("/api/games?top=5");
    EXPECT_EQ(list.status, 200);
    EXPECT_EQ(list.body.find("Ann B.-_9"), list.body.rfind("\"name\"") + 8) << list.body;  // listed second
    EXPECT_EQ(t.get("/api/games/1/replay").body, demo);  // byte for byte
    EXPECT_EQ(t.get("/api/games/3/replay").status, 404);
    for (const char* bad : {"/api/games?top=0", "/api/games?top=101", "/api/games?top=x"})
        EXPECT_EQ(t.get(bad).status, 400) << bad;
    EXPECT_EQ(t.hall->answer({"DELETE", "/api/games", "", "", "", ""}).status, 405);
}

TEST(HallTest, SiteFilesFollowTheServingRules) {
    TestHall t;
    // Each answer as "body|Content-Encoding|Vary|Cache-Control|X-Flipper-Hall".
    const auto seen = [](const HallAnswer& a) {
        return a.body + "|" + header(a, "Content-Encoding") + "|" + header(a, "Vary") + "|" + header(a, "Cache-Control") +
               "|" + header(a, "X-Flipper-Hall");
    };
    const HallAnswer zipped = t.get("/app.0123abcd.js", "br, gzip;q=0.5"), plain = t.get("/app.0123abcd.js", "gzip;q=0");
    const std::string immutable = "public, max-age=31536000, immutable";
    EXPECT_EQ(seen(zipped), "zipped|gzip|Accept-Encoding|" + immutable + "|/api/games");
    EXPECT_EQ(seen(plain), "plain||Accept-Encoding|" + immutable + "|/api/games");
    EXPECT_EQ(seen(t.get("/")), "<p>page</p>|||no-cache|/api/games");
    EXPECT_NE(header(plain, "ETag"), header(zipped, "ETag"));
    EXPECT_EQ(t.get("/app.0123abcd.js", "", header(plain, "ETag")).status, 304);
    EXPECT_EQ(t.get("/app.0123abcd.js.gz").contentType, "application/octet-stream");
    EXPECT_EQ(t.get("/").contentType, "text/html; charset=utf-8");
    const std::pair<const char*, bool> hashed[] = {{"a.0123abcd.js", true}, {"a.0123abcdef99.wasm", true},
        {"a.0123abc.js", false}, {"a.0123ABCD.js", false}, {"0123abcd.js", false}, {"a.0123abcd", false}};
    for (const auto& [name, immutable] : hashed)
        EXPECT_EQ(cacheControl(name) != "no-cache", immutable) << name;
    for (const char* outside : {"/../outside.html", "/%2e%2e/outside.html", "/a%00b"})
        EXPECT_EQ(t.get(outside).status, 403) << outside;
    for (const char* missing : {"/link.html", "/nothing.js", "/%zz"})
        EXPECT_GE(t.get(missing).status, 403) << missing;
}

TEST(HallTest, AGameTheDatabaseRefusesIsNeitherStoredNorBound) {
    TestHall t;
    // Another connection makes every insert fail, as a full disk does.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((t.folder / "hall.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TRIGGER full BEFORE INSERT ON games BEGIN SELECT RAISE(FAIL, 'disk full'); END",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(t.post("Ann", demo).status, 503);
    ASSERT_EQ(t.log.size(), 1u);
    EXPECT_NE(t.log[0].find("hall.db: cannot store a game: disk full"), std::string::npos) << t.log[0];
    EXPECT_EQ(t.get("/api/games").body, "{\"games\":[]}\n");
    EXPECT_TRUE(t.store.nameFree("Ann", "another token's hash"));
    ASSERT_EQ(sqlite3_exec(db, "DROP TRIGGER full", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(t.post("Ann", demo).status, 201);
}

TEST(HallStoreTest, ListsEachNamesBestGameBestFirst) {
    ScratchFolder folder;
    HallStore store;
    ASSERT_FALSE(store.open(folder / "hall.db"));
    const struct { const char* name; int score, rank; } games[] = {
        {"A", 10, 1}, {"B", 30, 1}, {"a", 50, 1}, {"C", 30, 3}, {"B", 5, 3}};
    for (const auto& game : games) EXPECT_EQ(store.add(game.name, "h", game.score, 1, "r").rank, game.rank) << game.name;
    const Result<std::vector<HallEntry>> top = store.top(20);
    ASSERT_TRUE(top.ok());
    std::vector<std::pair<std::string, int>> listed;
    for (const HallEntry& entry : top.value()) listed.emplace_back(entry.name, entry.score);
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, int>>{{"a", 50}, {"B", 30}, {"C", 30}}));
    EXPECT_TRUE(store.remove(3).value() && !store.remove(3).value());
}

TEST(HallRulesTest, NamesTokensAndQueries) {
    EXPECT_TRUE(validName("sixteen_chars_16"));
    for (const char* name : {"a\"b", "é", "a\nb"}) EXPECT_FALSE(validName(name)) << name;
    EXPECT_TRUE(validToken(std::string(64, 'Z')) && !validToken(std::string(65, 'Z')));
    std::string value;
    EXPECT_TRUE(queryValue("/api/games?x=1&name=A+b%2Ec", "name", value));
    EXPECT_EQ(value, "A b.c");
    EXPECT_FALSE(queryValue("/api/games?name=%4", "name", value));
    EXPECT_FALSE(queryValue("/api/games?names=A", "name", value));
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");  // FIPS 180-2
}

TEST(LimitsTest, RateLimitAndPoolQueueAreBounded) {
    RateLimit rate(2);
    const RateLimit::Clock::time_point now{};
    const auto at = [&](const char* address, int second) { return rate.allow(address, now + std::chrono::seconds(second)); };
    EXPECT_TRUE(at("a", 0) && at("a", 30) && !at("a", 59) && at("b", 59));
    EXPECT_TRUE(at("a", 60));  // the first has left the minute

    std::promise<void> started, release;  // outlive the pool, whose thread uses them
    std::future<void> released = release.get_future();
    VerifyPool pool(1, 1);
    EXPECT_TRUE(pool.post([&] { started.set_value(); released.wait(); }));
    started.get_future().wait();
    EXPECT_TRUE(pool.post([] {}));   // waits in the queue
    EXPECT_FALSE(pool.post([] {}));  // the queue is full
    release.set_value();
}

}  // namespace
