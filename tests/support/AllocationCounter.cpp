#include "support/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

// Per thread, so that counting needs no lock and another thread's allocations never show up in a
// count. Both are plain integers with constant initialisation: safe to touch from operator new at
// any time, even during static initialisation.
thread_local int activeCounters = 0;
thread_local long allocations = 0;

void* allocate(std::size_t size) {
    if (activeCounters > 0) ++allocations;
    // malloc(0) may return null; operator new must return a unique pointer.
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateOrThrow(std::size_t size) {
    void* p = allocate(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    if (activeCounters > 0) ++allocations;
    const std::size_t a = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = (size == 0 ? a : (size + a - 1) / a * a);
    return std::aligned_alloc(a, rounded);
}

void* allocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    void* p = allocateAligned(size, alignment);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace

AllocationCounter::AllocationCounter() : start_(allocations) { ++activeCounters; }

AllocationCounter::~AllocationCounter() { --activeCounters; }

long AllocationCounter::count() const { return allocations - start_; }

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAlignedOrThrow(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocateAligned(size, alignment);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
