#include "injector/memory.hpp"

#include "injector/instructions.hpp"

#include <cstring>
#include <optional>
#include <windows.h>

namespace injector {
namespace {

// Raises the protection of (address, size) for its lifetime. A failed change is
// silent: the access goes ahead under whatever protection the pages already have,
// and nothing is put back that was never changed.
class access_window {
public:
    access_window(process_address address, std::size_t size) : address_(address), size_(size) {
        opened_ =
            VirtualProtect(reinterpret_cast<void*>(address_), size_, PAGE_EXECUTE_READWRITE, &previous_) != 0;
    }
    ~access_window() {
        if (opened_) {
            DWORD ignored = 0;
            VirtualProtect(reinterpret_cast<void*>(address_), size_, previous_, &ignored);
        }
    }
    access_window(const access_window&) = delete;
    access_window& operator=(const access_window&) = delete;

private:
    process_address address_;
    std::size_t size_;
    DWORD previous_ = 0;
    bool opened_ = false;
};

} // namespace

void write_host_bytes(process_address target, const void* source, std::size_t size, bool open_access) {
    std::optional<access_window> window;
    if (open_access && size != 0) {
        window.emplace(target, size);
    }
    std::memcpy(reinterpret_cast<void*>(target), source, size);
}

void read_host_bytes(process_address source, void* destination, std::size_t size, bool open_access) {
    std::optional<access_window> window;
    if (open_access && size != 0) {
        window.emplace(source, size);
    }
    std::memcpy(destination, reinterpret_cast<const void*>(source), size);
}

std::uint32_t read_host_dword(process_address address) {
    std::uint32_t value = 0;
    read_host_bytes(address, &value, sizeof value, true);
    return value;
}

std::uint8_t read_host_byte(process_address address) {
    std::uint8_t value = 0;
    read_host_bytes(address, &value, sizeof value, true);
    return value;
}

process_address branch_target(process_address address) {
    const std::uint8_t opcode = read_host_byte(address);
    if (opcode == kCallRel32 || opcode == kJumpRel32) {
        return relative_destination(address, read_host_dword(address + 1));
    }
    if (opcode == kIndirectGroup) {
        const std::uint8_t modrm = read_host_byte(address + 1);
        if (modrm == kModRmCallAbsolute || modrm == kModRmJumpAbsolute) {
            const process_address cell = read_host_dword(address + 2);
            // The pointer cell (an import slot, say) is ordinary data: read it as it is.
            std::uint32_t value = 0;
            std::memcpy(&value, reinterpret_cast<const void*>(cell), sizeof value);
            return value;
        }
    }
    return 0;
}

} // namespace injector
