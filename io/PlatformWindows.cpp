#include "io/Platform.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

// Windows has neither non-blocking opens of files, nor terminals to adopt, nor links to refuse;
// binary mode keeps the bytes as they are (text mode would drop CRs and stop at a Ctrl-Z).

int openForReading(const char* path) { return ::open(path, O_RDONLY | O_BINARY); }

void waitOnDescriptor(int) {}

int openForWriting(const char* path, bool createNew) {
    return ::open(path, O_WRONLY | O_BINARY | O_CREAT | (createNew ? O_EXCL : O_TRUNC), 0666);
}

int lockDescriptor(int, bool) { return 0; }

int openToLook(const char* path) { return ::open(path, O_RDONLY | O_BINARY); }

void useLfLineEnds() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

char searchPathSeparator() { return ';'; }
