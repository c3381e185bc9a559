#include "host/HostAddress.hpp"

#include "host/HostVersion.hpp"

#include <windows.h>

namespace {
bool moduleBaseKnown = false;
std::uint32_t moduleBase = 0;
} // namespace

std::uint32_t HostModuleBase() {
    if (!moduleBaseKnown) {
        moduleBaseKnown = true;
        // The null name gives the process's executable, whose handle is its load address.
        moduleBase = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
    }
    return moduleBase;
}

std::uint32_t ToHostAddress(HostAddress a) {
    return HostModuleBase() + a - kHostPreferredBase;
}

HostAddress GlobalAddressByVersion(HostAddress a) {
    const HostVersionId version = CurrentHostVersion();
    return version == kHostBuild1001 || version == kHostBuild1002 ? a : 0;
}

bool HostImageContains(std::uint32_t address, std::uint32_t size) {
    const std::uint32_t base = HostModuleBase();
    if (base == 0) {
        return false;
    }
    // The loader maps the headers of every image readable.
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(static_cast<std::uintptr_t>(base));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(static_cast<std::uintptr_t>(base) +
                                                                 static_cast<std::uint32_t>(dos->e_lfanew));
    const std::uint64_t imageEnd = std::uint64_t{base} + nt->OptionalHeader.SizeOfImage;
    return address >= base && std::uint64_t{address} + size <= imageEnd;
}
