#include "windows/window_setup.h"

#include "resources/resource.h"
#include "windows/dialog_base.h"

void SavedPosition::read(int defaultX, int defaultY) {
    x_ = settings_.getInt(xKey_);
    y_ = settings_.getInt(yKey_);
    if (x_ == 0) x_ = defaultX;
    if (y_ == 0) y_ = defaultY;
}

void SavedPosition::moveTo(HWND window) const {
    SetWindowPos(window, nullptr, x_, y_, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void SavedPosition::saveIfMoved(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return;
    // The whole number, whatever its length: a second monitor left of the first or far
    // to the right gives coordinates of any size, and a cut one would move the window.
    if (r.left != x_) {
        x_ = r.left;
        settings_.set(xKey_, std::to_string(x_));
    }
    if (r.top != y_) {
        y_ = r.top;
        settings_.set(yKey_, std::to_string(y_));
    }
}

void makeTopmost(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void setLargeIcon(HWND window) {
    const HICON icon = CDialogBase::moduleIcon(IDI_TALVEN);
    if (icon) SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void disableCloseCommand(HWND window) {
    if (const HMENU menu = GetSystemMenu(window, FALSE)) EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_DISABLED);
}
