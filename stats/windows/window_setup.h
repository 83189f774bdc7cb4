// What the grid windows share as they open and while they are open: a position kept in
// the settings file (read at opening, written back only when the window has moved),
// and the setup of a small tool window of the plug-in (topmost, the plug-in's icon, a
// system menu without Close).
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <utility>

#include "settings.h"

class SavedPosition {
public:
    SavedPosition(const Settings& settings, std::string xKey, std::string yKey)
        : settings_(settings), xKey_(std::move(xKey)), yKey_(std::move(yKey)) {}

    // Reads both keys (missing or non-numeric text reads as 0); a coordinate read as 0
    // becomes its default. The result counts as saved.
    void read(int defaultX = 0, int defaultY = 0);
    int x() const { return x_; }
    int y() const { return y_; }
    // Moves the window's top-left corner there, keeping its size and z-order.
    void moveTo(HWND window) const;
    // Writes each coordinate of the window's top-left corner that differs from the one
    // saved last, and keeps it as saved: a window that has not moved writes nothing.
    void saveIfMoved(HWND window);

private:
    Settings settings_;
    std::string xKey_, yKey_;
    int x_ = 0, y_ = 0;
};

// Topmost, without moving, sizing or activating it.
void makeTopmost(HWND window);
// The plug-in's icon as the window's large icon.
void setLargeIcon(HWND window);
// The system menu's Close disabled (not greyed): neither the close box nor Alt+F4 ends
// the window, only its owner does.
void disableCloseCommand(HWND window);

// A window handle of SharedFlags: set when the window opens; cleared when it is
// destroyed, only if it still names that window (a newer one of the kind stays).
inline void publishWindow(std::atomic<void*>& slot, HWND window) { slot = static_cast<void*>(window); }
inline void unpublishWindow(std::atomic<void*>& slot, HWND window) {
    void* expected = static_cast<void*>(window);
    slot.compare_exchange_strong(expected, nullptr);
}
