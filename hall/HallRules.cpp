#include "hall/HallRules.h"

#include <openssl/evp.h>

namespace {

bool isLetterOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool validName(std::string_view name) {
    if (name.empty() || name.size() > maxNameLength) return false;
    for (const char c : name)
        if (!isLetterOrDigit(c) && c != ' ' && c != '-' && c != '_' && c != '.') return false;
    return true;
}

bool validToken(std::string_view token) {
    if (token.size() < minTokenLength || token.size() > maxTokenLength) return false;
    for (const char c : token)
        if (!isLetterOrDigit(c) && c != '-' && c != '_') return false;
    return true;
}

std::string bearerToken(std::string_view authorization) {
    constexpr std::string_view scheme = "Bearer ";
    if (authorization.substr(0, scheme.size()) != scheme) return "";
    return std::string(authorization.substr(scheme.size()));
}

std::string sha256Hex(std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr);
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += digits[digest[i] >> 4];
        hex += digits[digest[i] & 15];
    }
    return hex;
}

bool percentDecode(std::string_view text, bool query, std::string& decoded) {
    decoded.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            if (i + 2 >= text.size()) return false;  // a % needs two hex digits after it
            const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
            if (high < 0 || low < 0) return false;
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += query && text[i] == '+' ? ' ' : text[i];
        }
    }
    return true;
}

bool queryValue(std::string_view target, std::string_view key, std::string& value) {
    const std::size_t mark = target.find('?');
    if (mark == std::string_view::npos) return false;
    std::string_view query = target.substr(mark + 1);
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const std::size_t equals = pair.find('=');
        if (pair.substr(0, equals) == key)
            return percentDecode(equals == std::string_view::npos ? "" : pair.substr(equals + 1), true, value);
        if (amp == std::string_view::npos) break;
        query = query.substr(amp + 1);
    }
    return false;
}
