#pragma once

#include <functional>

// Failures a real disk gives only rarely (a flush or close that fails after every write went well,
// on a network file system or a full quota), on demand. A test program linked with --wrap for
// fwrite, vfprintf, fflush, fclose and stat (flipper_call_fault_program in tests/CMakeLists.txt)
// sends the calls of its own code through here; each goes straight to the C library unless a fault
// waits for it. Standard output and error are never failed: the test framework's output is safe.
// The programs themselves never link this: their calls are the C library's own.

struct CallFaults {
    /// The errno with which the next call of each fails, on any stream but stdout and stderr; 0 lets
    /// calls through. A failing fclose still closes the stream, as a real one does.
    int fwrite = 0;
    int vfprintf = 0;
    int fflush = 0;
    int fclose = 0;
    /// Run once, right after the next stat: the moment for a test to change what the path names.
    std::function<void()> afterStat;
};

extern CallFaults callFaults;
