#pragma once

#include <string>

#include "hall/HallHttp.h"

/// The page's files, served from one folder: a file's gzip sibling to a client that takes gzip, an
/// ETag from the bytes sent, and long caching for the files whose names carry the build's hash.
class Site {
public:
    /// root: the site's folder; its real path is what every file must lie inside.
    explicit Site(const std::string& root);
    /// Answers a GET or HEAD of request.target; 403 or 404 for anything not a file of the site.
    HallAnswer answer(const HallRequest& request) const;

private:
    std::string root_;
};

/// True when an Accept-Encoding header's list takes gzip (by name or '*', with a weight above 0).
bool acceptsGzip(const std::string& acceptEncoding);
/// The Cache-Control of a file: immutable for a name with the build's hash in it (".0123abcd."),
/// else no-cache.
std::string cacheControl(const std::string& fileName);
