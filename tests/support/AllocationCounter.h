#pragma once

// Counts heap allocations made through operator new while a counter is alive. The test executable
// replaces the global operator new and delete with thin wrappers around malloc and free; they add
// one thread-local increment, so tests that do not count pay next to nothing. Allocations that go
// straight to malloc (C library internals, stdio buffers) are not seen.

/// Counts the calling thread's operator new calls from its construction on. Counters may nest;
/// each sees every allocation made while it is alive.
class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    /// Allocations on this thread since this counter was made.
    long count() const;

private:
    long start_;
};
