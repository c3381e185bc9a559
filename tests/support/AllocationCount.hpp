#pragma once
// Linked into a test or benchmark executable, replaces the global allocation functions with ones that count.
#include <cstddef>

namespace testing_support {

// Calls of any global operator new in this process so far.
std::size_t AllocationCount();

} // namespace testing_support
