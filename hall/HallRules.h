#pragma once

#include <string>
#include <string_view>

/// What the hall takes from a client, and how: a player's name, the token that owns it, the
/// percent-encoded parts of a request's target.

/// Longest name a player may take, in characters.
constexpr std::size_t maxNameLength = 16;
/// A token's length in characters: long enough not to be guessed, short enough to type into curl.
constexpr std::size_t minTokenLength = 16;
constexpr std::size_t maxTokenLength = 64;

/// True for 1 to 16 characters, each a letter, a digit, a space, '-', '_' or '.'.
bool validName(std::string_view name);
/// True for 16 to 64 URL-safe characters: letters, digits, '-' and '_'.
bool validToken(std::string_view token);
/// The token of an Authorization header "Bearer TOKEN", or "" when the header says nothing else.
std::string bearerToken(std::string_view authorization);
/// SHA-256 of text, as 64 lowercase hex digits: what the hall keeps of a token, and its ETags.
std::string sha256Hex(std::string_view text);
/// text with each %XX decoded and, in a query, each '+' a space; false for a bad escape.
bool percentDecode(std::string_view text, bool query, std::string& decoded);
/// The decoded value of key in the query part of target ("/api/games?top=5"); false when absent or
/// badly encoded.
bool queryValue(std::string_view target, std::string_view key, std::string& value);
