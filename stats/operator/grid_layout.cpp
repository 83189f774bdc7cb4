#include "operator/grid_layout.h"

#include <algorithm>

std::vector<TextSpot> dxccListLayout(size_t count, int right, int firstLine) {
    std::vector<TextSpot> spots;
    spots.reserve(count);
    int x = 5, y = -firstLine * kDxccListLine;
    for (size_t i = 0; i < count; ++i) {
        spots.push_back({x, y});
        x += 40;
        if (x > right - 40) {
            x = 5;
            y += kDxccListLine;
        }
    }
    return spots;
}

int dxccListLines(size_t count, int right) {
    if (count == 0) return 0;
    const std::vector<TextSpot> spots = dxccListLayout(count, right);
    return spots.back().y / kDxccListLine + 1;
}

int dxccListVisibleLines(int height) { return std::max(1, height / kDxccListLine); }

CallGridLayout callGridLayout(int width, int height, int watchedBand) {
    // Never shorter than a line of text: a table made smaller than the window allows
    // cuts its lowest rows off rather than drawing them over the header.
    const int h = std::max(height / 7, kMinCallGridRow);
    CallGridLayout layout{h, false, 0, 0, {}, 0};
    // 80 pixels a column from x 20 where they fit; narrower, from x 4 and closer.
    const int left = width >= 20 + 4 * 80 ? 20 : 4;
    const int pitch = std::clamp((width - left) / 4, kMinCallGridColumn, 80);
    for (int c = 0; c < 4; ++c) layout.columns[c] = left + c * pitch;
    layout.callX = layout.columns[1] + pitch / 2;
    // HOST-QUIRK: band 0 (160 m, never drawn) highlights the row below the header too.
    if (watchedBand >= 0) {
        layout.highlight = true;
        layout.highlightTop = (watchedBand + 1) * h;
        layout.highlightBottom = (watchedBand + 2) * h;
    }
    return layout;
}
