// Load and unload of the library. Loading starts nothing; unloading closes the
// operator windows (when they run) and gives their thread a moment to finish.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) Sleep(20);
    return TRUE;
}
