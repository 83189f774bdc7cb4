#include "operator/placement.h"

#include <algorithm>

namespace {

// `start` moved as little as possible to put [start, start + length) inside [low, high);
// `low` when it is longer.
int pullInto(int start, int length, int low, int high) { return std::max(low, std::min(start, high - length)); }

}  // namespace

ScreenRect placeOnScreen(const ScreenRect& window, const ScreenRect& workArea, int captionHeight) {
    const int overlap = std::min(window.right, workArea.right) - std::max(window.left, workArea.left);
    const bool captionInside = window.top >= workArea.top && window.top + captionHeight <= workArea.bottom;
    if (captionInside && overlap >= std::min(window.width(), kMinVisibleWidth)) return window;
    const int left = pullInto(window.left, window.width(), workArea.left, workArea.right);
    const int top = pullInto(window.top, window.height(), workArea.top, workArea.bottom);
    return {left, top, left + window.width(), top + window.height()};
}
