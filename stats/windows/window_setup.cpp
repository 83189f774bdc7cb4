#include "windows/window_setup.h"

#include "operator/placement.h"
#include "resources/resource.h"
#include "windows/dialog_base.h"

void SavedPosition::read(int defaultX, int defaultY) {
    x_ = settings_.getInt(xKey_);
    y_ = settings_.getInt(yKey_);
    if (x_ == 0) x_ = defaultX;
    if (y_ == 0) y_ = defaultY;
}

void SavedPosition::moveTo(HWND window) {
    RECT now{};
    GetWindowRect(window, &now);
    const RECT stored = {x_, y_, x_ + (now.right - now.left), y_ + (now.bottom - now.top)};
    ScreenRect place = {stored.left, stored.top, stored.right, stored.bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        const int caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFIXEDFRAME);
        place = placeOnScreen(place, {work.left, work.top, work.right, work.bottom}, caption);
    }
    SetWindowPos(window, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    x_ = place.left;
    y_ = place.top;
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

void SavedSize::apply(HWND window) {
    width_ = settings_.getInt(widthKey_);
    height_ = settings_.getInt(heightKey_);
    if (width_ > 0 && height_ > 0)
        SetWindowPos(window, nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SavedSize::saveIfResized(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r) || IsIconic(window)) return;
    if (r.right - r.left == width_ && r.bottom - r.top == height_) return;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    settings_.set(widthKey_, std::to_string(width_));
    settings_.set(heightKey_, std::to_string(height_));
}

void makeTopmost(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void showWithoutActivating(HWND window) { ShowWindow(window, SW_SHOWNOACTIVATE); }

void setCursorOnce(HWND window) {
    const HWND captured = SetCapture(window);
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    if (!captured) ReleaseCapture();
}

void setLargeIcon(HWND window) {
    const HICON icon = CDialogBase::moduleIcon(IDI_TALVEN);
    if (icon) SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void disableCloseCommand(HWND window) {
    if (const HMENU menu = GetSystemMenu(window, FALSE)) EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_DISABLED);
}
