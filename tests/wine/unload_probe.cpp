// A library shaped like the plug-in at unload time: its window thread keeps calling an
// object that lives on the thread that loads and unloads it (as the operator windows
// call the host's automation object), and its unload stops that thread the way the
// plug-in does. The test program drives it.
#include <windows.h>

#include <atomic>

#include "platform/diagnostics.h"
#include "win32_owners.h"
#include "windows/window_thread.h"

// Where the window thread reports what it caught, as the plug-in's diagnostics do.
Diagnostics& defaultDiagnostics() {
    struct DebugOutput : Diagnostics {
        void fault(const std::string& what) override { OutputDebugStringA(("unload_probe: " + what + "\n").c_str()); }
    };
    static DebugOutput diagnostics;
    return diagnostics;
}

namespace {

WindowThread windowThread;
std::atomic<HWND> window{nullptr};
std::atomic<long> calls{0};
win32::ComPtr<IStream> pending;  // the marshalled object, until the thread takes it

LRESULT CALLBACK procedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        DestroyWindow(w);
        return 0;
    }
    if (message == WM_DESTROY) {
        window = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(w, message, wParam, lParam);
}

void body() {
    win32::ComInit com;
    win32::ComPtr<IDispatch> host;
    CoGetInterfaceAndReleaseStream(pending.release(), IID_IDispatch, host.putVoid());
    WNDCLASSW wc{};
    wc.lpfnWndProc = &procedure;
    wc.hInstance = GetModuleHandleW(L"unload_probe.dll");
    wc.lpszClassName = L"UnloadProbe";
    RegisterClassW(&wc);
    const HWND w =
        CreateWindowW(L"UnloadProbe", L"probe", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    window = w;
    SetTimer(w, 1, 1, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && host) {
            UINT n = 0;
            if (SUCCEEDED(host->GetTypeInfoCount(&n))) ++calls;
        }
        DispatchMessageW(&msg);
    }
    UnregisterClassW(L"UnloadProbe", wc.hInstance);
    // The object and COM are wound up here, on this thread, before it finishes.
}

void askToClose() {
    if (HWND w = window) PostMessageW(w, WM_CLOSE, 0, 0);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL probe_start(IStream* marshalledObject) {
    if (!windowThread.stop(&askToClose)) return FALSE;
    pending.reset(marshalledObject);
    return windowThread.start(&body) ? TRUE : FALSE;
}

extern "C" __declspec(dllexport) long probe_calls() { return calls; }
extern "C" __declspec(dllexport) BOOL probe_running() { return windowThread.running() ? TRUE : FALSE; }
extern "C" __declspec(dllexport) void probe_close() { askToClose(); }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // At process end the other threads are gone already: nothing to stop.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        windowThread.stop(&askToClose);
        Sleep(20);
    }
    return TRUE;
}
