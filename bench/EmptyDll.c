/* A DLL with no code of its own beyond an entry point that does nothing: what loading any
   DLL costs under Wine, for comparison with the plugin's load. No runtime is linked in. */
#include <windows.h>

BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
