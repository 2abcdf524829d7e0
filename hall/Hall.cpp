#include "hall/Hall.h"

#include <climits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <utility>

#include "hall/HallRules.h"
#include "io/Count.h"
#include "replay/ReplayPlayer.h"

namespace {

constexpr int defaultTop = 20;
constexpr int maxTop = 100;
constexpr const char* gamesPath = "/api/games";
constexpr const char* replayName = "the replay";  // how the reader's and the player's lines name the file

std::string pathOf(const std::string& target) { return target.substr(0, target.find('?')); }

// The id of "/api/games/ID/replay", or 0.
long long replayId(const std::string& path) {
    const std::string prefix = std::string(gamesPath) + "/";
    const std::string suffix = "/replay";
    if (path.size() <= prefix.size() + suffix.size() || path.compare(0, prefix.size(), prefix) != 0 ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const Result<long long> id =
        parseCount(path.substr(prefix.size(), path.size() - prefix.size() - suffix.size()), 1, LLONG_MAX);
    return id.ok() ? id.value() : 0;
}

}  // namespace

HallAnswer jsonAnswer(int status, std::string json) {
    return {status, "application/json", {{"Cache-Control", "no-store"}}, std::move(json) + "\n"};
}

HallAnswer errorAnswer(int status, const std::string& reason) {
    // The reader quotes what it refused, which may be any bytes: those that are not UTF-8 are replaced.
    return jsonAnswer(status, nlohmann::json{{"error", reason}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

Hall::Hall(HallStore& store, const Site& site, std::string modelFile, std::uint64_t modelHash, Log log)
    : store_(store), site_(site), modelFile_(std::move(modelFile)), modelHash_(modelHash), log_(std::move(log)) {}

bool Hall::isSubmission(const HallRequest& request) {
    return request.method == "POST" && pathOf(request.target) == gamesPath;
}

HallAnswer Hall::answer(const HallRequest& request) {
    const std::string path = pathOf(request.target);
    const bool get = request.method == "GET" || request.method == "HEAD";
    if (path == gamesPath) {
        if (request.method == "POST") return submit(request);
        if (get) return list(request);
        HallAnswer refused = errorAnswer(405, "this address takes GET and POST");
        refused.headers.emplace_back("Allow", "GET, HEAD, POST");
        return refused;
    }
    if (path.compare(0, 5, "/api/") == 0) {
        const long long id = replayId(path);
        if (id == 0) return errorAnswer(404, "no such address");
        if (!get) return errorAnswer(405, "a replay is only read");
        return replayFile(id, request.method == "HEAD");
    }
    if (!get) return {405, "text/plain; charset=utf-8", {{"Allow", "GET, HEAD"}}, "the site is only read\n"};
    // The page asks its own address (HEAD) whether a hall is here: a probe of the API itself
    // would be a 404, an error in the console, on every static server.
    HallAnswer file = site_.answer(request);
    file.headers.emplace_back("X-Flipper-Hall", gamesPath);
    return file;
}

HallAnswer Hall::unavailable(const std::string& line) {
    if (log_) log_(line);
    return errorAnswer(503, "the hall cannot store games just now; try again later");
}

HallAnswer Hall::submit(const HallRequest& request) {
    std::string name;
    if (!queryValue(request.target, "name", name) || !validName(name))
        return errorAnswer(400, "a name is 1 to 16 letters, digits, spaces, '-', '_' or '.'");
    const std::string token = bearerToken(request.authorization);
    if (!validToken(token))
        return errorAnswer(401, "a game is sent with 'Authorization: Bearer TOKEN', TOKEN 16 to 64 letters, "
                                "digits, '-' or '_'");
    if (request.body.size() > maxSubmissionBytes) return errorAnswer(413, "a replay is at most 256 KB");
    const std::string tokenHash = sha256Hex(token);
    if (!store_.nameFree(name, tokenHash)) return errorAnswer(403, "the name " + name + " is someone else's");

    // Read with the replay reader's limits, then played to its end with the site's ball.
    std::istringstream in(request.body);
    Result<Replay> read = readReplay(in, replayName);
    if (!read.ok()) return errorAnswer(422, read.problem().line());
    Replay& replay = read.value();
    if (replay.modelHash != modelHash_)
        return errorAnswer(422, std::string(replayName) + ": recorded with another ball (model hash " +
                                    hexHash(replay.modelHash) + "), not this site's (hash " + hexHash(modelHash_) + ")");
    if (!replay.hasEnd || replay.cutShort())
        return errorAnswer(422, std::string(replayName) + ": the recording has no end line: only a whole game is listed");
    // Idle calls past the ticks are rebuilds, one for each restart key at most.
    if (replay.end.ticks > maxHallTicks || replay.end.idles > maxHallTicks + (long long)(replay.keys.size()) + 1)
        return errorAnswer(422, std::string(replayName) + ": longer than the hall's 10 minutes (" +
                                    std::to_string(maxHallTicks) + " ticks)");
    const ReplayOutcome played = playReplay(std::move(replay), modelFile_, maxHallTicks,
                                            [this](long long, const Game&, const Game::IdleResult&) { return !stopping_; });
    if (played.stopped) return errorAnswer(503, "the hall is stopping: send the game again later");
    if (!played.verified) return errorAnswer(422, played.verdict);

    const HallStore::Added added = store_.add(name, tokenHash, played.score, played.ticks, request.body);
    if (added.outcome == HallStore::Outcome::nameTaken)
        return errorAnswer(403, "the name " + name + " is someone else's");
    if (added.outcome == HallStore::Outcome::failed) return unavailable(added.failure);
    return jsonAnswer(201, nlohmann::json{{"id", added.id},
                                          {"name", name},
                                          {"score", played.score},
                                          {"ticks", played.ticks},
                                          {"rank", added.rank}}
                               .dump());
}

HallAnswer Hall::list(const HallRequest& request) {
    int count = defaultTop;
    std::string top;
    if (request.target.find("top=") != std::string::npos) {
        const Result<long long> wanted = queryValue(request.target, "top", top) ? parseCount(top, 1, maxTop)
                                                                               : Result<long long>(Problem("bad"));
        if (!wanted.ok()) return errorAnswer(400, "top is a number from 1 to 100");
        count = int(wanted.value());
    }
    const Result<std::vector<HallEntry>> entries = store_.top(count);
    if (!entries.ok()) return unavailable(entries.problem().line());
    nlohmann::json games = nlohmann::json::array();
    for (const HallEntry& entry : entries.value())
        games.push_back({{"id", entry.id},
                         {"name", entry.name},
                         {"score", entry.score},
                         {"ticks", entry.ticks},
                         {"date", entry.date}});
    HallAnswer answer = jsonAnswer(200, nlohmann::json{{"games", games}}.dump());
    answer.headOnly = request.method == "HEAD";
    return answer;
}

HallAnswer Hall::replayFile(long long id, bool headOnly) {
    std::string text;
    const Result<bool> found = store_.replay(id, text);
    if (!found.ok()) return unavailable(found.problem().line());
    if (!found.value()) return errorAnswer(404, "no game " + std::to_string(id) + " in the hall");
    HallAnswer answer{200, "text/plain; charset=utf-8", {{"Cache-Control", "no-cache"}}, std::move(text)};
    answer.headOnly = headOnly;
    return answer;
}
