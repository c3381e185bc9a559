// In a translation unit of its own, so that the replaced operators are never inlined into
// their callers. Every form that allocates is counted; the array and nothrow forms of the
// runtime would reach the plain one anyway, but counting them here does not depend on it.
#include "tests/support/AllocationCount.hpp"

#include <cstdlib>
#include <new>

namespace {

std::size_t allocations = 0;

void* CountedAllocation(std::size_t size) {
    ++allocations;
    return std::malloc(size != 0 ? size : 1);
}

} // namespace

std::size_t testing_support::AllocationCount() {
    return allocations;
}

void* operator new(std::size_t size) {
    if (void* p = CountedAllocation(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = CountedAllocation(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocation(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
