#include "hall/Site.h"

#include <climits>
#include <cstdlib>
#include <cctype>

#include "hall/HallRules.h"
#include "io/InputFile.h"

namespace {

constexpr long long maxSiteFileBytes = 64LL * 1024 * 1024;  // far beyond the game's WebAssembly

const char* contentType(const std::string& name) {
    static const std::pair<const char*, const char*> types[] = {
        {".html", "text/html; charset=utf-8"},   {".js", "text/javascript; charset=utf-8"},
        {".wasm", "application/wasm"},           {".iv", "text/plain; charset=utf-8"},
        {".bmp", "image/bmp"},                   {".png", "image/png"},
        {".webmanifest", "application/manifest+json"}, {".json", "application/json"}};
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        for (const auto& [extension, type] : types)
            if (name.compare(dot, std::string::npos, extension) == 0) return type;
    return "application/octet-stream";
}

// The path's real place, when it is a file inside root.
bool fileInside(const std::string& root, const std::string& path, std::string& real) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return false;
    real = resolved;
    return real.size() > root.size() && real.compare(0, root.size(), root) == 0 && real[root.size()] == '/';
}

bool tagMatches(const std::string& ifNoneMatch, const std::string& tag) {
    if (ifNoneMatch.find('*') != std::string::npos) return true;
    std::size_t start = 0;
    while (start < ifNoneMatch.size()) {
        std::size_t comma = ifNoneMatch.find(',', start);
        if (comma == std::string::npos) comma = ifNoneMatch.size();
        std::string one = ifNoneMatch.substr(start, comma - start);
        one.erase(0, one.find_first_not_of(" \t"));
        one.erase(one.find_last_not_of(" \t") + 1);
        if (one == tag || one == "W/" + tag) return true;
        start = comma + 1;
    }
    return false;
}

}  // namespace

Site::Site(const std::string& root) {
    char resolved[PATH_MAX];
    root_ = realpath(root.c_str(), resolved) != nullptr ? resolved : root;
}

bool acceptsGzip(const std::string& acceptEncoding) {
    std::size_t start = 0;
    while (start < acceptEncoding.size()) {
        std::size_t comma = acceptEncoding.find(',', start);
        if (comma == std::string::npos) comma = acceptEncoding.size();
        std::string coding = acceptEncoding.substr(start, comma - start);
        start = comma + 1;
        double weight = 1.0;
        const std::size_t semicolon = coding.find(';');
        if (semicolon != std::string::npos) {
            const std::size_t q = coding.find("q=", semicolon);
            if (q != std::string::npos) weight = std::strtod(coding.c_str() + q + 2, nullptr);
            coding.resize(semicolon);
        }
        coding.erase(0, coding.find_first_not_of(" \t"));
        coding.erase(coding.find_last_not_of(" \t") + 1);
        for (char& c : coding) c = char(std::tolower(static_cast<unsigned char>(c)));
        if ((coding == "gzip" || coding == "*") && weight > 0) return true;
    }
    return false;
}

std::string cacheControl(const std::string& fileName) {
    // The build's hash in the name: a dot, 8 or more lowercase hex digits, a dot.
    const std::string base = fileName.substr(fileName.rfind('/') + 1);
    for (std::size_t dot = base.find('.'); dot != std::string::npos; dot = base.find('.', dot + 1)) {
        std::size_t end = dot + 1;
        while (end < base.size() && std::isxdigit(static_cast<unsigned char>(base[end])) &&
               !std::isupper(static_cast<unsigned char>(base[end])))
            ++end;
        if (end - dot - 1 >= 8 && end < base.size() && base[end] == '.') return "public, max-age=31536000, immutable";
    }
    return "no-cache";
}

HallAnswer Site::answer(const HallRequest& request) const {
    std::string path;
    const std::string rawPath = request.target.substr(0, request.target.find('?'));
    if (!percentDecode(rawPath, false, path) || path.empty() || path[0] != '/' ||
        path.find('\0') != std::string::npos || path.find("/..") != std::string::npos ||
        path.find('\\') != std::string::npos)
        return {403, "text/plain; charset=utf-8", {}, "forbidden\n"};
    if (path.back() == '/') path += "index.html";

    const HallAnswer notFound{404, "text/plain; charset=utf-8", {}, "not found\n"};
    std::string file;
    if (!fileInside(root_, root_ + path, file)) return notFound;
    HallAnswer answer{200, contentType(file), {}, ""};
    std::string sent = file;
    std::string gzipped;
    if (fileInside(root_, file + ".gz", gzipped)) {
        answer.headers.emplace_back("Vary", "Accept-Encoding");
        if (acceptsGzip(request.acceptEncoding)) {
            sent = gzipped;
            answer.headers.emplace_back("Content-Encoding", "gzip");
        }
    }
    Result<std::string> bytes = readRegularFile(sent, maxSiteFileBytes);
    if (!bytes.ok()) return notFound;
    const std::string tag = "\"" + sha256Hex(bytes.value()).substr(0, 32) + "\"";
    answer.headers.emplace_back("ETag", tag);
    answer.headers.emplace_back("Cache-Control", cacheControl(path));
    answer.headOnly = request.method == "HEAD";
    if (!request.ifNoneMatch.empty() && tagMatches(request.ifNoneMatch, tag)) {
        answer.status = 304;
        return answer;
    }
    answer.body = std::move(bytes.value());
    return answer;
}
