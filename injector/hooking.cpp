#include "injector/hooking.hpp"

#include "injector/instructions.hpp"

#include <assert.h>

namespace injector {

process_address redirect_call(process_address site, process_address destination) {
    const process_address previous = branch_target(site);
    const std::uint8_t opcode = kCallRel32;
    write_host_bytes(site, &opcode, sizeof opcode, true);
    const std::int32_t displacement =
        relative_displacement(static_cast<std::uint32_t>(site), static_cast<std::uint32_t>(destination));
    write_host_bytes(site + 1, &displacement, sizeof displacement, true);
    return previous;
}

void report_capture_overflow() {
    _assert("size <= bufsize", "injector\\hooking", 83);
    // The runtime's report may return (a user can choose to ignore it); never go on with
    // a capture that does not fit.
    __builtin_trap();
}

} // namespace injector
