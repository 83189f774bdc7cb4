// The base of the plug-in's dialogs: runs a dialog template of this module, modally or
// modeless, keeps `this` with the window from WM_INITDIALOG on and hands each message
// to a virtual handler, so a dialog class needs no window procedure of its own.
// Draw-item requests go first to the control they concern (SubclassedControl, such as
// CAdvancedButton), and reach onMessage only when no control object painted.
#pragma once
#include <windows.h>

#include <string>

class CDialogBase {
public:
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;
    // A modeless window still open is destroyed (on its own thread only) without
    // reaching the handlers of a class already gone; destroy() it first instead.
    virtual ~CDialogBase();

    // Shows the template modally, owned by `owner` (none when null). Returns the value
    // given to end(), or -1 when the dialog could not be created or a handler failed.
    INT_PTR runModal(int templateId, HWND owner = nullptr);

    // Creates the template as a modeless dialog owned by `owner` (none when null) and
    // returns once onInit() has run; false when it could not be created. Not shown
    // unless the template says WS_VISIBLE: show it with ShowWindow(window(), SW_SHOW).
    // Its messages come through the thread's message loop, whichever runs it (a modal
    // dialog's loop too, but keyboard navigation needs IsDialogMessage in the loop).
    // end() hides it; destroy() ends it.
    bool createModeless(int templateId, HWND owner = nullptr);
    // Destroys a modeless dialog's window now; nothing when there is none.
    void destroy();
    bool isModeless() const { return modeless_; }
    // A modeless dialog that end() has hidden, and the value given to it.
    bool hasEnded() const { return ended_; }
    INT_PTR endResult() const { return endResult_; }

    // The dialog's window; null before WM_INITDIALOG and after it is destroyed.
    HWND window() const { return window_; }

    // The active top-level window of the calling thread, or null. Called from an
    // export, that is the host's window the operator was working in: the owner a
    // dialog shown from there should have.
    static HWND callersActiveWindow();

    // The module this code is linked into (the DLL, not the host's executable): the
    // templates and strings live there.
    static HINSTANCE ownModule();

    // A dialog template or an icon of this module, looked up once and then kept (null
    // when the module has none). Every lookup in the module takes the loader's lock,
    // which the host's thread holds while it unloads the library and waits for the
    // windows to close: the window thread looks up everything it will ever need before
    // the host's thread goes on, so that no window it opens later has to wait for it.
    static const DLGTEMPLATE* dialogTemplate(int templateId);
    static HICON moduleIcon(int iconId);

protected:
    CDialogBase() = default;

    HWND item(int id) const { return GetDlgItem(window_, id); }
    // Modal: ends the dialog with `result`. Modeless: hides the window and keeps it.
    void end(INT_PTR result);

    // Text of a control in code page 1251, however long it is, whatever the active
    // code page (what setItemText gave comes back as it was).
    std::string itemText(int id) const;
    // `text` in code page 1251, shown as such whatever the active code page.
    void setItemText(int id, const std::string& text);

    // WM_INITDIALOG; true lets the system put the focus on the first control.
    virtual bool onInit() { return true; }
    // WM_COMMAND; true when handled. The default ends the dialog on OK and Cancel
    // (Escape and the close box arrive as Cancel).
    virtual bool onCommand(int id, int notification);
    virtual void onOk() { end(IDOK); }
    virtual void onCancel() { end(IDCANCEL); }
    // Every other message; the dialog procedure's return value.
    virtual INT_PTR onMessage(UINT, WPARAM, LPARAM) { return FALSE; }

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool modeless_ = false;
    bool ended_ = false;
    INT_PTR endResult_ = 0;
};
