// The library's own entry point does no work: the runtime's part of the entry runs
// the static initialisers at process attach and the exit-time destructors at detach.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
