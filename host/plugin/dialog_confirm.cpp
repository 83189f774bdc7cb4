#include "plugin/dialog_confirm.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#endif

namespace replay {

#ifdef _WIN32

namespace {

// The header dialog's caption and the notice's, as the plug-in shows them.
const char* const kCaptions[] = {"Talvena Radio Cup Contest", "Output"};

BOOL CALLBACK pressOk(HWND window, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    char className[16] = {}, caption[64] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (std::strcmp(className, "#32770") != 0) return TRUE;
    for (const char* wanted : kCaptions) {
        if (std::strcmp(caption, wanted) == 0) {
            // Posted, as a click is: the dialog's own thread handles it.
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
        }
    }
    return TRUE;
}

}  // namespace

struct DialogConfirmer::Watcher {
    std::atomic<bool> stop{false};
    std::thread thread{[this] {
        while (!stop) {
            EnumWindows(pressOk, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }};
    ~Watcher() {
        stop = true;
        thread.join();
    }
};

DialogConfirmer::DialogConfirmer() : watcher_(std::make_unique<Watcher>()) {}

#else

struct DialogConfirmer::Watcher {};

DialogConfirmer::DialogConfirmer() = default;

#endif

DialogConfirmer::~DialogConfirmer() = default;

}  // namespace replay
