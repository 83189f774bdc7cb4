// A C++ object in charge of an existing control window, such as an item of a dialog
// template: it takes the window over by subclassing (comctl32's SetWindowSubclass,
// which chains safely with any other subclass of the same window), sees its messages
// first, and receives back the notifications the parent gets about it (reflection:
// CDialogBase hands WM_DRAWITEM to the control it concerns). It lets go of the window
// when the window is destroyed or the object is, whichever comes first.
//
// Attach, use and destroy the object on the thread that owns the window. Only the
// window handle may be read from another thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

// A notification the parent reflects comes to the control as kReflectedBase plus the
// message, with the parent's parameters (the range OLE controls use for reflection,
// above every system control's own messages). A control that handled it answers
// non-zero.
constexpr UINT kReflectedBase = WM_USER + 0x1C00;

// Sends the notification `message` back to `control`. True when the control handled
// it; `result` is then its answer. Controls that know nothing of reflection ignore it.
bool reflectToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The whole text of a window in the active code page (empty for no window).
std::string windowText(HWND window);

class SubclassedControl {
public:
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;
    virtual ~SubclassedControl();

    // Takes over the control `id` of `parent`. False when there is no such control, it
    // belongs to another thread or cannot be subclassed; a window this object held
    // until then stays held.
    bool attachItem(HWND parent, int id);
    bool attach(HWND control);
    // Gives the window back to its own procedure (nothing when none is held).
    void detach();

    HWND window() const { return window_.load(); }

protected:
    SubclassedControl() = default;

    // A message to the window, before its own procedure. Return true with `result`
    // set when handled; false passes it on. The base handles the reflected
    // notifications: an override calls it for what it does not handle itself.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The parent's WM_DRAWITEM for this control; true when it was painted.
    virtual bool onDrawItem(const DRAWITEMSTRUCT&) { return false; }

    // The window's own handling of a message (the next procedure in its chain).
    LRESULT callDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    std::atomic<HWND> window_{nullptr};
};
