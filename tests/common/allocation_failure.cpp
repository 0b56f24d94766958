#include "tests/common/allocation_failure.h"

#include <cstdlib>
#include <new>

namespace {
long g_allocationsBeforeFailure = -1; // negative: never fail
bool g_failed = false;
}

void FailAllocationAfter(long granted) {
    g_failed = false;
    g_allocationsBeforeFailure = granted;
}

bool DisarmAllocationFailure() {
    g_allocationsBeforeFailure = -1;
    return g_failed;
}

// Every allocation of a test program that uses the functions above passes here. Kept out of
// line so that the compiler pairs each new with this delete rather than with malloc and free.
[[gnu::noinline]] void* operator new(std::size_t size) {
    if (g_allocationsBeforeFailure == 0) {
        g_allocationsBeforeFailure = -1;
        g_failed = true;
        throw std::bad_alloc();
    }
    if (g_allocationsBeforeFailure > 0) --g_allocationsBeforeFailure;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop
