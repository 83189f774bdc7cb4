#include "windows/dialog_base.h"

#include <vector>

INT_PTR CDialogBase::runModal(int templateId, HWND owner) {
    return DialogBoxParamA(ownModule(), MAKEINTRESOURCEA(templateId), owner, &CDialogBase::procedure,
                           reinterpret_cast<LPARAM>(this));
}

HWND CDialogBase::callersActiveWindow() {
    const HWND active = GetActiveWindow();
    if (!active) return nullptr;
    // Up to the top-level window, but not along owners: when the host's own modal
    // dialog is active, that dialog must own ours and be disabled by it. Owned by the
    // host's main window instead (already disabled by the host's dialog), ours would
    // leave the host's dialog usable while the export waits.
    return GetAncestor(active, GA_ROOT);
}

HINSTANCE CDialogBase::ownModule() {
    HMODULE module = nullptr;
    // Any address inside this module names it; the reference count stays as it is.
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&CDialogBase::procedure), &module);
    return module;
}

void CDialogBase::end(INT_PTR result) { EndDialog(window_, result); }

std::string CDialogBase::itemText(int id) const {
    const HWND control = item(id);
    if (!control) return std::string();
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    // The length may be an upper bound (double-byte code pages); the copy says how much it wrote.
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void CDialogBase::setItemText(int id, const std::string& text) { SetDlgItemTextA(window_, id, text.c_str()); }

bool CDialogBase::onCommand(int id, int) {
    if (id == IDOK) {
        onOk();
        return true;
    }
    if (id == IDCANCEL) {
        onCancel();
        return true;
    }
    return false;
}

INT_PTR CDialogBase::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    return onMessage(message, wParam, lParam);
}

INT_PTR CALLBACK CDialogBase::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialogBase* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogBase*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
    } else {
        self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
        // A few messages (WM_SETFONT among them) come before WM_INITDIALOG.
        if (!self) return FALSE;
    }
    // No exception may unwind through the system's frames that called us.
    try {
        if (message == WM_INITDIALOG) return self->onInit() ? TRUE : FALSE;
        const INT_PTR result = self->dispatch(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, DWLP_USER, 0);
            self->window_ = nullptr;
        }
        return result;
    } catch (...) {
        EndDialog(window, -1);
        return TRUE;
    }
}
