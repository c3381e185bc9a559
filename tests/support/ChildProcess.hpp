#pragma once
// Runs a program in a fresh process and collects its exit code and output.
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct ChildResult {
    unsigned long exitCode = 0;
    std::string output; // stdout and stderr, interleaved
};

// commandLine is passed to CreateProcess as it stands; environment entries
// ("NAME=value") are added to this process's environment.
ChildResult RunChild(const std::string& commandLine, const std::vector<std::string>& environment = {});

// Runs one disabled test of this executable in a fresh process with the given environment.
ChildResult RunTestInFreshProcess(const std::string& testName,
                                  const std::vector<std::string>& environment = {});

// This executable's full file name.
std::string SelfPath();

} // namespace testing_support

namespace testing_support {
// True when a fresh-process run of exactly one test passed.
bool RanOneTestAndPassed(const ChildResult& result);
} // namespace testing_support
