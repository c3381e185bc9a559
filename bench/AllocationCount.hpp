#pragma once
// Linked into a benchmark, replaces the global allocation functions with ones that count.
#include <cstddef>

namespace bench {

// Calls of any global operator new in this process so far.
std::size_t AllocationCount();

} // namespace bench
