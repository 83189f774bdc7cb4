#include "operator/grid_layout.h"

#include <algorithm>

std::vector<TextSpot> dxccListLayout(size_t count, int right) {
    std::vector<TextSpot> spots;
    spots.reserve(count);
    int x = 5, y = 0;
    for (size_t i = 0; i < count; ++i) {
        spots.push_back({x, y});
        x += 40;
        if (x > right - 40) {
            x = 5;
            y += 15;
        }
    }
    return spots;
}

CallGridLayout callGridLayout(int height, int watchedBand) {
    // Never shorter than a line of text: a table made small cuts its lowest rows off
    // rather than drawing them over the header.
    const int h = std::max(height / 7, kMinCallGridRow);
    // HOST-QUIRK: band 0 (160 m, never drawn) highlights the row below the header too.
    if (watchedBand < 0) return {h, false, 0, 0};
    return {h, true, (watchedBand + 1) * h, (watchedBand + 2) * h};
}
