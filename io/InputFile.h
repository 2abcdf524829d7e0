#pragma once

#include <string>

#include "io/Problem.h"

/// Opens a file for reading only if it is a regular file of at most maxBytes bytes. A directory,
/// FIFO, device or socket is refused without being read, and the open itself never blocks (a FIFO
/// without a writer would otherwise hold the game in open for good). Returns the descriptor, which
/// the caller closes, or the problem in one line without the file name.
Result<int> openRegularFile(const std::string& path, long long maxBytes);

/// Reads a whole regular file of at most maxBytes bytes, checked as openRegularFile checks it; a file
/// that grows past maxBytes while it is read is refused too. Returns the contents, or the problem in
/// one line without the file name.
Result<std::string> readRegularFile(const std::string& path, long long maxBytes);

/// Why what is at path may not be written over as a file: "is a FIFO, not a regular file", "is a
/// directory", ...; "" when a regular file or nothing is there.
[[nodiscard]] std::string notARegularFile(const std::string& path);
