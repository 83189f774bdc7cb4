// What the operator windows share as they open and while they are open: a position kept
// in the settings file (read at opening, pulled on screen when out of reach, written back
// only when the operator has moved the window), and the setup of a small tool window of
// the plug-in (topmost, the plug-in's icon, a system menu without Close). None of them
// takes the keyboard from the host's window as it opens.
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
    // Moves the window's top-left corner there, keeping its size and z-order and not
    // activating it; a place from which the window's caption bar would be out of reach
    // (a monitor unplugged since) is pulled onto the nearest monitor's work area. Where
    // it was put counts as saved: the stored text stays until the operator moves it.
    void moveTo(HWND window);
    // Writes each coordinate of the window's top-left corner that differs from the one
    // saved (or placed) last, and keeps it as saved: a window that has not moved writes
    // nothing.
    void saveIfMoved(HWND window);

private:
    Settings settings_;
    std::string xKey_, yKey_;
    int x_ = 0, y_ = 0;
};

// A window's size kept in the settings file beside its position, under keys of its own:
// a file without them (or with a size not above 0) opens the window at its template's size.
class SavedSize {
public:
    SavedSize(const Settings& settings, std::string widthKey, std::string heightKey)
        : settings_(settings), widthKey_(std::move(widthKey)), heightKey_(std::move(heightKey)) {}

    // Reads both keys and gives the window that size, not moving or activating it.
    void apply(HWND window);
    // Writes the window's size when it differs from the one read or saved last: call it
    // when the operator has sized the window.
    void saveIfResized(HWND window);

private:
    Settings settings_;
    std::string widthKey_, heightKey_;
    int width_ = 0, height_ = 0;
};

// Topmost, without moving, sizing or activating it.
void makeTopmost(HWND window);
// Shows the window without taking activation or the keyboard from the host's window.
void showWithoutActivating(HWND window);
// Sets the pointer's shape once from the window's thread. The first shape a thread sets
// looks up the cursor's module, which takes the loader's lock: done while the host's
// thread waits for the window thread to be ready, not later, when the pointer first
// crosses one of its windows, maybe during the unload. (A window that opens activated
// does this on the way; these open without activation.)
void setCursorOnce(HWND window);
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
