#pragma once
// Call sites in the stand-in's host code for tests: a real `E8 rel32` call to a
// host function followed by `C3`, so executing the site address runs the call and
// returns its result. The site's bytes are put back on scope exit.
#include "standin/HostImage.hpp"

#include <cstdint>
#include <vector>

namespace testing_support {

using HostFunction = void* (*)();

class CallSite {
public:
    CallSite(std::uint32_t hostAddress, HostFunction target)
        : address_(standin::StandInAddress(hostAddress)) {
        saved_ = standin::ReadBytes(address_, 6);
        standin::WriteCall(address_, reinterpret_cast<const void*>(target));
        standin::WriteReturn(address_ + 5);
        baseline_ = standin::ReadBytes(address_, 6);
    }
    ~CallSite() { standin::WriteBytes(address_, saved_); }
    CallSite(const CallSite&) = delete;
    CallSite& operator=(const CallSite&) = delete;

    // Executes the call instruction at the site, as the host would.
    void* Execute() const { return reinterpret_cast<HostFunction>(static_cast<std::uintptr_t>(address_))(); }
    std::vector<std::uint8_t> Bytes() const { return standin::ReadBytes(address_, 6); }
    const std::vector<std::uint8_t>& Baseline() const { return baseline_; }
    std::uint32_t address() const { return address_; }

private:
    std::uint32_t address_;
    std::vector<std::uint8_t> saved_;
    std::vector<std::uint8_t> baseline_;
};

} // namespace testing_support
