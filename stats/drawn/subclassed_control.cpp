#include "drawn/subclassed_control.h"

#include <commctrl.h>

#include <vector>

#include "platform/diagnostics.h"

namespace {

// Asks a window on another thread to let go of an object being destroyed: its
// subclass may only be removed on the window's own thread.
UINT detachMessage() {
    static const UINT message = RegisterWindowMessageA("TalvenCup.SubclassedControl.Detach");
    return message;
}

bool onCurrentThread(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

}  // namespace

bool reflectToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Only a child of the calling thread: a send to another thread could wait on it.
    if (!control || !IsWindow(control) || !onCurrentThread(control)) return false;
    result = SendMessageA(control, kReflectedBase + message, wParam, lParam);
    return result != 0;
}

std::string windowText(HWND window) {
    if (!window) return std::string();
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return std::string();
    // The length may be an upper bound (double-byte code pages); the copy says how much it wrote.
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

SubclassedControl::~SubclassedControl() { detach(); }

bool SubclassedControl::attachItem(HWND parent, int id) {
    if (!parent) return false;
    return attach(GetDlgItem(parent, id));
}

bool SubclassedControl::attach(HWND control) {
    // Subclassing works only on the window's own thread.
    if (!control || !IsWindow(control) || !onCurrentThread(control)) return false;
    if (control == window()) return true;
    // The object is its own subclass id: several objects may hold one window.
    if (!SetWindowSubclass(control, &SubclassedControl::procedure, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this)))
        return false;
    detach();
    window_ = control;
    return true;
}

void SubclassedControl::detach() {
    const HWND w = window_.exchange(nullptr);
    if (!w || !IsWindow(w)) return;
    if (onCurrentThread(w))
        RemoveWindowSubclass(w, &SubclassedControl::procedure, reinterpret_cast<UINT_PTR>(this));
    else
        // Synchronous: once it returns, the window no longer calls into this object.
        SendMessageA(w, detachMessage(), 0, reinterpret_cast<LPARAM>(this));
}

bool SubclassedControl::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message == kReflectedBase + WM_DRAWITEM && lParam) {
        result = onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        return result != 0;
    }
    return false;
}

LRESULT SubclassedControl::callDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(window(), message, wParam, lParam);
}

LRESULT SubclassedControl::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (onMessage(message, wParam, lParam, result)) return result;
    return callDefault(message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                              DWORD_PTR self) {
    auto* control = reinterpret_cast<SubclassedControl*>(self);
    const bool detachRequest = message == detachMessage() && lParam == static_cast<LPARAM>(self);
    if (message == WM_NCDESTROY || detachRequest) {
        // The last message of the window, or the object is going: neither may find
        // the other afterwards. Removing the subclass from inside it is allowed.
        RemoveWindowSubclass(window, &SubclassedControl::procedure, id);
        HWND expected = window;
        control->window_.compare_exchange_strong(expected, nullptr);
        return detachRequest ? 0 : DefSubclassProc(window, message, wParam, lParam);
    }
    // Nothing may unwind through the system's frames that called us.
    try {
        return control->handle(message, wParam, lParam);
    } catch (...) {
        reportCaught(defaultDiagnostics(), "a drawn control's window procedure");
        return message >= kReflectedBase ? 0 : DefSubclassProc(window, message, wParam, lParam);
    }
}
