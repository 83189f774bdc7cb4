// A plug-in in name only, loaded by the stand-in host like Stats.dll, to use the plug-in's
// client of the host's object from inside the host's process: ResetStats0 (called on the
// host's main thread) starts a thread that binds and calls every member while the host's
// thread goes back to pumping its messages; GetResult0 reports what the thread found,
// "pending" until it has finished.
//
// The exports take no parameters: with the C calling convention the caller removes the
// host's arguments, so the probe can ignore them.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "automation/host_object.h"
#include "window_search.h"

namespace {

std::string gReport;
std::atomic<bool> gDone{false};
win32::KernelHandle gThread;

// The host's main window: of this process, of the window class the host's framework gives it.
HWND hostWindow() {
    for (HWND w : win32::topWindows(GetCurrentProcessId(), false)) {
        char name[256] = {};
        GetClassNameA(w, name, sizeof name);
        if (std::strncmp(name, "Afx:400000:b:10011", 18) == 0) return w;
    }
    return nullptr;
}

DWORD WINAPI probe(LPVOID) {
    std::string report;
    {
        automation::HostObject host;
        const automation::HostCall bound = host.bind();
        report += "bound=" + automation::describe(bound);
        const auto mode = host.mode();
        report += " mode=" + (mode.ok() ? mode.value : automation::describe(mode.call));
        const auto frequency = host.frequency();
        char hz[32];
        std::snprintf(hz, sizeof hz, "%.1f", frequency.value);
        report += " frequency=" + (frequency.ok() ? std::string(hz) : automation::describe(frequency.call));
        const auto call = host.entryField(automation::kCallEntryField);
        report += " call=" + (call.ok() ? call.value : automation::describe(call.call));
        report += " macro=" + automation::describe(host.executeMacros("<SP1>"));
    }  // the binding is released and COM left on this thread before it ends
    gReport = report;
    gDone = true;
    return 0;
}

}  // namespace

extern "C" __declspec(dllexport) int ResetStats0() {
    const HWND host = hostWindow();
    const bool onHostThread = host && GetWindowThreadProcessId(host, nullptr) == GetCurrentThreadId();
    gReport.clear();
    gDone = false;
    gThread.reset(CreateThread(nullptr, 0, probe, nullptr, 0, nullptr));
    // 1: called on the thread that owns the host's window.
    return onHostThread ? 1 : 0;
}

extern "C" __declspec(dllexport) int AddData0() { return 0; }

extern "C" __declspec(dllexport) const char* GetResult0(int* code) {
    if (code) *code = gDone ? 1 : 0;
    if (!gDone) return "pending";
    // The thread has finished its work; let it end before the library may be unloaded.
    WaitForSingleObject(gThread.get(), 5000);
    gThread.reset();
    return gReport.c_str();
}
