#include "windows/dialog_base.h"

#include <map>
#include <mutex>

#include "drawn/subclassed_control.h"
#include "platform/diagnostics.h"
#include "windows/wide_text.h"

namespace {

// Template and icon pointers stay valid as long as the module is loaded.
struct ResourceCache {
    std::mutex lock;
    std::map<int, const DLGTEMPLATE*> templates;
    std::map<int, HICON> icons;
};

ResourceCache& resources() {
    static ResourceCache cache;
    return cache;
}

}  // namespace

CDialogBase::~CDialogBase() {
    if (!window_ || !modeless_) return;
    const HWND w = window_;
    // The derived parts are gone: no message of the destruction may reach them.
    SetWindowLongPtrA(w, DWLP_USER, 0);
    window_ = nullptr;
    if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) DestroyWindow(w);
}

INT_PTR CDialogBase::runModal(int templateId, HWND owner) {
    modeless_ = false;
    ended_ = false;
    const DLGTEMPLATE* const dialog = dialogTemplate(templateId);
    if (!dialog) return -1;
    return DialogBoxIndirectParamA(ownModule(), dialog, owner, &CDialogBase::procedure, reinterpret_cast<LPARAM>(this));
}

bool CDialogBase::createModeless(int templateId, HWND owner) {
    if (window_) return false;
    modeless_ = true;
    ended_ = false;
    const DLGTEMPLATE* const dialog = dialogTemplate(templateId);
    if (!dialog) return false;
    const HWND w =
        CreateDialogIndirectParamA(ownModule(), dialog, owner, &CDialogBase::procedure, reinterpret_cast<LPARAM>(this));
    if (!w || window_ != w) return false;
    if (ended_ && endResult_ == -1) {
        // A handler failed while it opened.
        destroy();
        return false;
    }
    return true;
}

void CDialogBase::destroy() {
    if (window_ && modeless_) DestroyWindow(window_);
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
    // Asked once (the question takes the loader's lock): the module cannot move.
    static const HINSTANCE module = [] {
        HMODULE m = nullptr;
        // Any address inside this module names it; the reference count stays as it is.
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&CDialogBase::procedure), &m);
        return m;
    }();
    return module;
}

const DLGTEMPLATE* CDialogBase::dialogTemplate(int templateId) {
    ResourceCache& cache = resources();
    const std::lock_guard<std::mutex> hold(cache.lock);
    const auto known = cache.templates.find(templateId);
    if (known != cache.templates.end()) return known->second;
    const HINSTANCE module = ownModule();
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* dialog = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (dialog) cache.templates[templateId] = dialog;  // a failed lookup is tried again
    return dialog;
}

HICON CDialogBase::moduleIcon(int iconId) {
    ResourceCache& cache = resources();
    const std::lock_guard<std::mutex> hold(cache.lock);
    const auto known = cache.icons.find(iconId);
    if (known != cache.icons.end()) return known->second;
    // A shared icon of the module: the system frees it with the module, nobody else may.
    const HICON icon = LoadIconA(ownModule(), MAKEINTRESOURCEA(iconId));
    if (icon) cache.icons[iconId] = icon;
    return icon;
}

void CDialogBase::end(INT_PTR result) {
    if (!modeless_) {
        EndDialog(window_, result);
        return;
    }
    // EndDialog is for modal dialogs only; a modeless one ending is hidden and kept.
    ended_ = true;
    endResult_ = result;
    if (window_) ShowWindow(window_, SW_HIDE);
}

std::string CDialogBase::itemText(int id) const { return windowTextCp1251(item(id)); }

void CDialogBase::setItemText(int id, const std::string& text) { setItemTextCp1251(window_, id, text); }

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
    if (message == WM_DRAWITEM && lParam) {
        // A control object paints itself; menus have no control window to ask.
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        LRESULT painted = 0;
        if (item.CtlType != ODT_MENU && reflectToControl(item.hwndItem, message, wParam, lParam, painted)) return TRUE;
    }
    if (message == WM_SHOWWINDOW && wParam) ended_ = false;
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
    INT_PTR result = TRUE;
    // No exception may unwind through the system's frames that called us.
    try {
        if (message == WM_INITDIALOG) return self->onInit() ? TRUE : FALSE;
        result = self->dispatch(message, wParam, lParam);
    } catch (...) {
        reportCaught(defaultDiagnostics(), "a dialog's window procedure");
        if (message != WM_NCDESTROY) self->end(-1);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}
