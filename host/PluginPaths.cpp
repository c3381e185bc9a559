#include "host/PluginPaths.hpp"

#include <cstring>
#include <windows.h>

namespace {

constexpr std::size_t kPathCapacity = 260;

struct PluginPathState {
    char directory[kPathCapacity + 1]; // the last character is never written by the lookup
    char composed[kPathCapacity + 1];
    char message[1024];
    bool directoryKnown;
    bool nameCutShort; // the module name did not fit: its directory would be some parent
};

PluginPathState state{};

void ShowDirectoryError() {
    std::strncpy(state.message, kPluginDirectoryErrorText, sizeof state.message - 1);
    MessageBoxA(GetActiveWindow(), state.message, kPluginDirectoryErrorCaption, MB_ICONERROR | MB_OK);
}

} // namespace

void CutAfterLastSeparator(char* name) {
    char* const backslash = std::strrchr(name, '\\');
    char* const slash = std::strrchr(name, '/');
    char* last = backslash != nullptr ? backslash : slash;
    if (backslash != nullptr && slash != nullptr && slash > backslash) {
        last = slash;
    }
    if (last != nullptr) {
        last[1] = '\0';
    }
}

const char* PluginDirectory() {
    if (state.directoryKnown) {
        return state.directory;
    }
    state.directoryKnown = true;
    state.directory[0] = '\0';
    HMODULE module = nullptr;
    // Any address inside the plugin's own code identifies its module.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ShowDirectoryError), &module)) {
        ShowDirectoryError();
        // With the null handle the lookup names the host executable instead.
    }
    const DWORD length = GetModuleFileNameA(module, state.directory, kPathCapacity);
    state.nameCutShort = length >= kPathCapacity;
    CutAfterLastSeparator(state.directory);
    return state.directory;
}

const char* PluginFilePath(const char* relative) {
    const char* const directory = PluginDirectory();
    const std::size_t directoryLength = std::strlen(directory);
    const std::size_t relativeLength = std::strlen(relative);
    // A path that does not fit is refused rather than cut short: a cut path could
    // name some other file.
    if (state.nameCutShort || directoryLength + relativeLength > kPathCapacity) {
        return nullptr;
    }
    std::memcpy(state.composed, directory, directoryLength);
    std::memcpy(state.composed + directoryLength, relative, relativeLength + 1);
    return state.composed;
}
