#pragma once

#include <string>

/// Opens a file for reading only if it is a regular file of at most maxBytes bytes. A directory,
/// FIFO, device or socket is refused without being read, and the open itself never blocks (a FIFO
/// without a writer would otherwise hold the game in open for good). Returns the descriptor (the
/// Returns "" and sets descriptor (the caller closes it), or one line without the file name and sets
/// descriptor to -1.
[[nodiscard]] std::string openRegularFile(const std::string& path, long long maxBytes, int& descriptor);

/// Reads a whole regular file of at most maxBytes bytes into contents, checked as openRegularFile
/// checks it; a file that grows past maxBytes while it is read is refused too. Returns "", or one line
/// without the file name and empties contents.
[[nodiscard]] std::string readRegularFile(const std::string& path, long long maxBytes, std::string& contents);
