#include "tests/support/HotPatch.hpp"

#include <cstring>
#include <windows.h>

namespace testing_support {
namespace {

using NtProtectVirtualMemoryFn = LONG(WINAPI*)(HANDLE, void**, SIZE_T*, ULONG, ULONG*);

NtProtectVirtualMemoryFn NtProtect() {
    static const auto function = reinterpret_cast<NtProtectVirtualMemoryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtProtectVirtualMemory")));
    return function;
}

// Changes protection below kernel32, so the recorder never re-enters itself.
bool Protect(void* address, std::size_t size, ULONG protection, ULONG* previous) {
    void* base = address;
    SIZE_T length = size;
    return NtProtect()(GetCurrentProcess(), &base, &length, protection, previous) >= 0;
}

void WriteCode(std::uint8_t* at, const void* bytes, std::size_t size) {
    ULONG previous = 0;
    Protect(at, size, PAGE_EXECUTE_READWRITE, &previous);
    std::memcpy(at, bytes, size);
    Protect(at, size, previous, &previous);
    FlushInstructionCache(GetCurrentProcess(), at, size);
}

constexpr std::size_t kWindowCapacity = 4096;
std::uint32_t windows[kWindowCapacity];
std::size_t windowCount = 0;
std::uint32_t rangeBegin = 0;
std::uint32_t rangeEnd = 0;

BOOL WINAPI RecordingVirtualProtect(LPVOID address, SIZE_T size, DWORD protection, PDWORD previous) {
    const auto at = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
    if (protection == PAGE_EXECUTE_READWRITE && at >= rangeBegin && at < rangeEnd &&
        windowCount < kWindowCapacity) {
        windows[windowCount++] = at;
    }
    ULONG old = 0;
    const bool changed = Protect(address, size, protection, &old);
    if (previous != nullptr) {
        *previous = old;
    }
    return changed ? TRUE : FALSE;
}

int boxes = 0;

int WINAPI CountingMessageBox(HWND, LPCSTR, LPCSTR, UINT) {
    ++boxes;
    return IDOK;
}

} // namespace

HotPatch::HotPatch(const char* module, const char* function, const void* replacement) {
    HMODULE handle = GetModuleHandleA(module);
    if (handle == nullptr) {
        handle = LoadLibraryA(module);
    }
    entry_ = reinterpret_cast<std::uint8_t*>(reinterpret_cast<void*>(GetProcAddress(handle, function)));
    std::memcpy(saved_.data(), entry_, saved_.size());
    std::array<std::uint8_t, 5> jump{0xE9};
    const auto displacement = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(replacement) -
                                                         (reinterpret_cast<std::uintptr_t>(entry_) + 5));
    std::memcpy(&jump[1], &displacement, 4);
    WriteCode(entry_, jump.data(), jump.size());
}

HotPatch::~HotPatch() {
    WriteCode(entry_, saved_.data(), saved_.size());
}

ProcessProtectRecorder::ProcessProtectRecorder(std::uint32_t begin, std::uint32_t end) {
    windowCount = 0;
    rangeBegin = begin;
    rangeEnd = end;
    patch_ = std::make_unique<HotPatch>("kernel32.dll", "VirtualProtect",
                                        reinterpret_cast<const void*>(&RecordingVirtualProtect));
}

ProcessProtectRecorder::~ProcessProtectRecorder() = default;

const std::uint32_t* ProcessProtectRecorder::begin() const {
    return windows;
}
const std::uint32_t* ProcessProtectRecorder::end() const {
    return windows + windowCount;
}

MessageBoxCounter::MessageBoxCounter() {
    boxes = 0;
    patch_ = std::make_unique<HotPatch>("user32.dll", "MessageBoxA",
                                        reinterpret_cast<const void*>(&CountingMessageBox));
}

MessageBoxCounter::~MessageBoxCounter() = default;

int MessageBoxCounter::count() const {
    return boxes;
}

} // namespace testing_support
