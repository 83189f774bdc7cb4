// Where the DXCC window's table puts its texts, in pixels of the table control.
#pragma once
#include <cstddef>
#include <vector>

struct TextSpot {
    int x, y;
};

// The worked-DXCC list: entries 40 pixels apart from (5, 0), a new line of 15 pixels
// whenever the next would start past right - 40 (`right` is the table's right edge).
std::vector<TextSpot> dxccListLayout(size_t count, int right);

// The per-call grid: seven rows of height / 7 pixels, or of kMinCallGridRow when that is
// less (the header's texts end at 32, row 2 must start below them); row r (2..6) shows
// band index r - 1.
constexpr int kMinCallGridRow = 17;
struct CallGridLayout {
    int rowHeight;
    // The highlighted row of the current band (none below band 0): top and bottom.
    bool highlight;
    int highlightTop, highlightBottom;
};
CallGridLayout callGridLayout(int height, int watchedBand);
constexpr int kCallGridColumns[4] = {20, 100, 180, 260};
