#pragma once

/// What the operating system does differently, behind plain functions: io/PlatformPosix.cpp for
/// Linux, macOS and the BSDs, io/PlatformWindows.cpp for Windows; CMake compiles the one that fits.
/// Every function sets errno as the call it stands for does.

/// Opens path for reading without waiting (a FIFO without a writer would hold the open for good) and
/// without taking a terminal; the bytes come as they are. Returns the descriptor or -1.
int openForReading(const char* path);

/// Makes reads and writes of fd wait as usual again after an open that did not.
void waitOnDescriptor(int fd);

/// Opens path for writing: createNew makes a new file, never over an existing name nor through a
/// link; otherwise the file is created or emptied, and the open never waits for a FIFO's reader
/// (it fails with ENXIO instead). Returns the descriptor or -1.
int openForWriting(const char* path, bool createNew);

/// Takes an advisory lock on fd without waiting: exclusive for a writer, shared to look. Returns 0 or
/// the errno (EWOULDBLOCK while another process holds it). Where the system has no such locks, 0.
int lockDescriptor(int fd, bool exclusive);

/// Opens path to look at its lock: read only, without waiting, never through a link. Returns the
/// descriptor or -1.
int openToLook(const char* path);

/// Makes standard output and standard error write LF line ends on every OS (Windows opens them in
/// text mode, which turns each LF into CR LF).
void useLfLineEnds();

/// What separates the folders of the PATH variable: ':', or ';' on Windows.
char searchPathSeparator();
