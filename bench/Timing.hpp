#pragma once
// Timing for the benchmarks: QueryPerformanceCounter around many calls, repeated; the median
// of the repeats, and the fastest one. Each run is short (a few milliseconds), so that an
// interruption on a shared machine spoils few runs and the median none; the fastest run shows
// what a quiet machine gives.
#include <algorithm>
#include <vector>
#include <windows.h>

namespace bench {

inline constexpr int kRepeats = 31;

inline double NanosecondsBetween(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1e9 / static_cast<double>(frequency.QuadPart);
}

// The middle and the lowest of a set of timings.
struct Timing {
    double median;
    double fastest;
};

inline Timing Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    const double median =
        samples.size() % 2 != 0 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
    return {median, samples.front()};
}

// The time one call of body takes, over kRepeats runs of `calls` calls in a row, after one
// run that warms the caches up.
template <typename Body>
Timing NanosecondsPerCall(int calls, Body&& body) {
    for (int i = 0; i < calls; ++i) {
        body();
    }
    std::vector<double> samples;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < calls; ++i) {
            body();
        }
        QueryPerformanceCounter(&end);
        samples.push_back(NanosecondsBetween(start, end) / calls);
    }
    return Summarise(samples);
}

} // namespace bench
