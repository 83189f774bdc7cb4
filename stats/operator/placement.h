// Where an operator window opens from its stored position: a position stored on a
// monitor since unplugged, or on a larger screen, must not leave the window out of reach.
#pragma once

struct ScreenRect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// The usable part of a window: its caption bar this high, and at least this much of its
// width (or all of a narrower window), within the work area.
constexpr int kMinVisibleWidth = 64;

// `window` at its stored place; `workArea` that of the monitor nearest to it. The window
// stays where it is when its caption bar is usable there; otherwise it is pulled into
// the work area (its top-left corner first when it is larger).
ScreenRect placeOnScreen(const ScreenRect& window, const ScreenRect& workArea, int captionHeight);
