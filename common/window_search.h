// The top-level windows of one process: the one search of windows that the stand-in
// host, modepad and the test programs share; each looks among them for what it needs
// (a title, a window class, the host's window).
#pragma once
#include <windows.h>

#include <vector>

namespace win32 {

namespace detail {
struct WindowsOf {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

inline BOOL CALLBACK collectWindowOf(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<WindowsOf*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->pid && (!s->visibleOnly || IsWindowVisible(w))) s->found.push_back(w);
    return TRUE;
}
}  // namespace detail

// The top-level windows of process `pid` (only the visible ones unless told otherwise),
// topmost first.
inline std::vector<HWND> topWindows(DWORD pid, bool visibleOnly = true) {
    detail::WindowsOf search{pid, visibleOnly, {}};
    EnumWindows(detail::collectWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace win32
