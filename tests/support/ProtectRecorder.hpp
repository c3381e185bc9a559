#pragma once
// Records every VirtualProtect call made through this executable's import slot, and
// can make the calls fail. The plugin's code in this executable calls VirtualProtect
// through that slot, so this observes it without touching the plugin.
#include <cstdint>
#include <vector>

namespace testing_support {

struct ProtectCall {
    std::uint32_t address;
    std::uint32_t size;
    std::uint32_t protection;
};

class ProtectRecorder {
public:
    explicit ProtectRecorder(bool failEveryCall = false);
    ~ProtectRecorder();
    ProtectRecorder(const ProtectRecorder&) = delete;
    ProtectRecorder& operator=(const ProtectRecorder&) = delete;

    const std::vector<ProtectCall>& Calls() const;
};

} // namespace testing_support
