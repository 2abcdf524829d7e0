#pragma once

#include <string>
#include <utility>
#include <vector>

/// A request as the hall's handlers see it: what they read of it, with no socket behind it.
struct HallRequest {
    std::string method;          ///< "GET", "HEAD", "POST", ...
    std::string target;          ///< path and query, as sent: "/api/games?top=5"
    std::string authorization;   ///< the Authorization header, or ""
    std::string acceptEncoding;  ///< the Accept-Encoding header, or ""
    std::string ifNoneMatch;     ///< the If-None-Match header, or ""
    std::string body;
};

/// An answer to send back: the status, its headers and its body.
struct HallAnswer {
    int status = 200;
    std::string contentType;
    std::vector<std::pair<std::string, std::string>> headers;  ///< beside Content-Type and Content-Length
    std::string body;
    bool headOnly = false;  ///< a HEAD: the headers of the body, without it
};

/// An answer of JSON text.
HallAnswer jsonAnswer(int status, std::string json);
/// {"error": reason} under status.
HallAnswer errorAnswer(int status, const std::string& reason);
