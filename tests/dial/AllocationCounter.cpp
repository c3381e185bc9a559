// In a translation unit of its own, so that the replaced operators are never inlined into
// their callers.
#include "tests/dial/AllocationCounter.hpp"

#include <cstdlib>
#include <new>

namespace {
std::size_t allocations = 0;
} // namespace

std::size_t dial_test::AllocationCount() {
    return allocations;
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
