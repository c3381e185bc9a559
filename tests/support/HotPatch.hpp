#pragma once
// Redirects a system function for the whole process, whichever module calls it, by
// writing a jump over its first bytes; the bytes go back on scope exit. The replaced
// function is never called through its patched entry.
#include <array>
#include <cstdint>
#include <memory>

namespace testing_support {

class HotPatch {
public:
    HotPatch(const char* module, const char* function, const void* replacement);
    ~HotPatch();
    HotPatch(const HotPatch&) = delete;
    HotPatch& operator=(const HotPatch&) = delete;

private:
    std::uint8_t* entry_;
    std::array<std::uint8_t, 5> saved_{};
};

// Every VirtualProtect call of the process that asks for PAGE_EXECUTE_READWRITE on an
// address inside [begin, end), in order; the protection is changed as asked. Nothing is
// allocated while recording.
class ProcessProtectRecorder {
public:
    ProcessProtectRecorder(std::uint32_t begin, std::uint32_t end);
    ~ProcessProtectRecorder();
    ProcessProtectRecorder(const ProcessProtectRecorder&) = delete;
    ProcessProtectRecorder& operator=(const ProcessProtectRecorder&) = delete;

    // The addresses of the windows opened so far.
    const std::uint32_t* begin() const;
    const std::uint32_t* end() const;

private:
    std::unique_ptr<HotPatch> patch_;
};

// Counts MessageBoxA calls of the process (the box is not shown).
class MessageBoxCounter {
public:
    MessageBoxCounter();
    ~MessageBoxCounter();
    MessageBoxCounter(const MessageBoxCounter&) = delete;
    MessageBoxCounter& operator=(const MessageBoxCounter&) = delete;
    int count() const;

private:
    std::unique_ptr<HotPatch> patch_;
};

} // namespace testing_support
