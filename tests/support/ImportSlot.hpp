#pragma once
// Replaces one import slot of this executable for the object's lifetime, so that
// calls the plugin's code makes through it reach a test's function instead.
#include <windows.h>

namespace testing_support {

template <typename Fn>
class ImportSlotSwap {
public:
    ImportSlotSwap(Fn& slot, Fn replacement) : slot_(slot), original_(slot) { Set(replacement); }
    ~ImportSlotSwap() { Set(original_); }
    ImportSlotSwap(const ImportSlotSwap&) = delete;
    ImportSlotSwap& operator=(const ImportSlotSwap&) = delete;
    Fn original() const { return original_; }

private:
    void Set(Fn value) {
        DWORD previous = 0;
        VirtualProtect(&slot_, sizeof(Fn), PAGE_READWRITE, &previous);
        slot_ = value;
        VirtualProtect(&slot_, sizeof(Fn), previous, &previous);
    }
    Fn& slot_;
    Fn original_;
};

} // namespace testing_support
