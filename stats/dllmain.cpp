// Load and unload of the library. Loading starts nothing; unloading closes the
// operator windows (when they run) and gives their thread a moment to finish.
#include <windows.h>

#include "windows/companion_window.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // At process end the other threads are gone already: nothing to stop or wait for.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        stopCompanionWindow();
        Sleep(20);
    }
    return TRUE;
}
