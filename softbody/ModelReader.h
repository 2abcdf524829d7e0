#pragma once

#include <iosfwd>
#include <string>

class SoftBody;
struct Mass;

/// The most masses, springs or faces a model may declare; larger counts are refused before anything is allocated.
constexpr long long maxModelCount = 1000000;

/// The largest model file the game reads, in bytes (64 MiB): some fifteen times the finest ball the
/// generator makes. The file is read whole before the reader sees it, so this bounds its memory.
constexpr long long maxModelFileBytes = 64LL * 1024 * 1024;

/// Reads a ball model ("Masses", "Springs", "Faces" sections) into an empty body, adding the
/// centre mass and its springs, and writes the progress lines. All or nothing: on a model that
/// is incomplete or invalid the body is left without masses, springs or faces, the stream is
/// failed, and the result is a one-line reason (empty on success). A UTF-8 byte-order mark at the
/// start of the stream is skipped; a word, however long, is never held whole.
[[nodiscard]] std::string readModel(std::istream& in, SoftBody& body);

/// Reads a model as readModel does, dropping the reason.
std::istream& operator>>(std::istream& in, SoftBody& body);

/// Reads the coordinates of one mass's position; nothing else of the mass changes.
std::istream& operator>>(std::istream& in, Mass& mass);
