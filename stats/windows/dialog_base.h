// The base of the plug-in's dialogs: runs a dialog template of this module modally,
// keeps `this` with the window from WM_INITDIALOG on and hands each message to a
// virtual handler, so a dialog class needs no window procedure of its own.
#pragma once
#include <windows.h>

#include <string>

class CDialogBase {
public:
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;
    virtual ~CDialogBase() = default;

    // Shows the template modally, owned by `owner` (none when null). Returns the value
    // given to end(), or -1 when the dialog could not be created or a handler failed.
    INT_PTR runModal(int templateId, HWND owner = nullptr);

    // The active top-level window of the calling thread, or null. Called from an
    // export, that is the host's window the operator was working in: the owner a
    // dialog shown from there should have.
    static HWND callersActiveWindow();

    // The module this code is linked into (the DLL, not the host's executable): the
    // templates and strings live there.
    static HINSTANCE ownModule();

protected:
    CDialogBase() = default;

    HWND window() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }
    void end(INT_PTR result);

    // Text of a control in the active code page, however long it is.
    std::string itemText(int id) const;
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
};
