#pragma once
// Linked into a test executable, replaces the global operator new with one that counts.
#include <cstddef>

namespace dial_test {

// The number of global operator new calls in this process so far.
std::size_t AllocationCount();

} // namespace dial_test
