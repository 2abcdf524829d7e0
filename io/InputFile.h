#pragma once

#include <string>

/// Opens a file for reading only if it is a regular file of at most maxBytes bytes. A directory,
/// FIFO, device or socket is refused without being read, and the open itself never blocks (a FIFO
/// without a writer would otherwise hold the game in open for good). Returns the descriptor (the
/// caller closes it), or -1 with reason set to one line without the file name.
int openRegularFile(const std::string& path, long long maxBytes, std::string& reason);

/// Reads a whole regular file of at most maxBytes bytes into contents, checked as openRegularFile
/// checks it; a file that grows past maxBytes while it is read is refused too. On failure returns
/// false, empties contents and sets reason to one line without the file name.
bool readRegularFile(const std::string& path, long long maxBytes, std::string& contents, std::string& reason);

/// Why what is at path may not be written over as a file: "is a FIFO, not a regular file", "is a
/// directory", ...; "" when a regular file or nothing is there.
std::string notARegularFile(const std::string& path);
