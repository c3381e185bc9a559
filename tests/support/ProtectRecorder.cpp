#include "tests/support/ProtectRecorder.hpp"

#include <windows.h>

using VirtualProtectFn = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD, PDWORD);

// The import slot that every `call [__imp__VirtualProtect@16]` of this executable reads.
extern "C" VirtualProtectFn importedVirtualProtect __asm__("__imp__VirtualProtect@16");

namespace testing_support {
namespace {

VirtualProtectFn original = nullptr;
bool failing = false;
std::vector<ProtectCall> calls;

BOOL WINAPI RecordingVirtualProtect(LPVOID address, SIZE_T size, DWORD protection, PDWORD previous) {
    calls.push_back({static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address)),
                     static_cast<std::uint32_t>(size), protection});
    if (failing) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return original(address, size, protection, previous);
}

void SetSlot(VirtualProtectFn value) {
    DWORD previous = 0;
    void* slot = reinterpret_cast<void*>(&importedVirtualProtect);
    // The slot is written through the real function, which the slot may no longer hold.
    VirtualProtectFn real = original != nullptr ? original : importedVirtualProtect;
    real(slot, sizeof value, PAGE_READWRITE, &previous);
    importedVirtualProtect = value;
    real(slot, sizeof value, previous, &previous);
}

} // namespace

ProtectRecorder::ProtectRecorder(bool failEveryCall) {
    original = importedVirtualProtect;
    failing = failEveryCall;
    calls.clear();
    SetSlot(&RecordingVirtualProtect);
}

ProtectRecorder::~ProtectRecorder() {
    SetSlot(original);
    original = nullptr;
    failing = false;
}

const std::vector<ProtectCall>& ProtectRecorder::Calls() const {
    return calls;
}

} // namespace testing_support
