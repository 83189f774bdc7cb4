// The part a window procedure written by hand shares with every other: the object
// behind the window found from its handle, the default procedure for what it leaves
// alone, and nothing thrown out of it.
//
//   class Pad : public win32::WindowBase {
//       LRESULT handle(HWND w, UINT message, WPARAM wp, LPARAM lp) override;  // the messages
//   };
//   c.lpfnWndProc = win32::WindowBase::procedure;                   // the window class
//   CreateWindowExW(..., instance, creationParameter());             // the window
//
// What handle() throws is reported through OutputDebugString (where the plug-in's
// diagnostics go too, and where the stand-in host counts them), then recover() says
// what the window does next; the message's answer is 0. ANSI and Unicode windows alike.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

namespace win32 {

class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND window() const { return window_; }

    static LRESULT CALLBACK procedure(HWND w, UINT message, WPARAM wp, LPARAM lp) {
        if (message == WM_NCCREATE) {
            // lpCreateParams lies at the same place in CREATESTRUCTA and CREATESTRUCTW.
            auto* created = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
            if (created) created->window_ = w;
        }
        auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        if (!self) return IsWindowUnicode(w) ? DefWindowProcW(w, message, wp, lp) : DefWindowProcA(w, message, wp, lp);
        try {
            return self->handle(w, message, wp, lp);
        } catch (const std::exception& e) {
            self->fault(w, e.what());
        } catch (...) {
            self->fault(w, "unknown exception");
        }
        return 0;
    }

protected:
    // `name` starts every fault report ("modepad: ...").
    explicit WindowBase(const char* name) : name_(name) {}
    virtual ~WindowBase() = default;

    // A message of the window, on its thread; those it leaves alone go to DefWindowProc.
    virtual LRESULT handle(HWND w, UINT message, WPARAM wp, LPARAM lp) = 0;
    // After handle() threw and that was reported.
    virtual void recover(HWND) noexcept {}

    // CreateWindowEx's last argument: the object the procedure finds.
    LPVOID creationParameter() { return static_cast<WindowBase*>(this); }

    HWND window_ = nullptr;

private:
    void fault(HWND w, const char* what) noexcept {
        try {
            OutputDebugStringA((std::string(name_) + ": a window message failed: " + what + "\n").c_str());
        } catch (...) {
            OutputDebugStringA("a window message failed; out of memory while reporting it\n");
        }
        recover(w);
    }

    const char* name_;
};

}  // namespace win32
