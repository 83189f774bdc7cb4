// Where the DXCC window's table puts its texts, in pixels of the table control, for
// whatever size the operator gave the window.
#pragma once
#include <cstddef>
#include <vector>

struct TextSpot {
    int x, y;
};

// The worked-DXCC list: entries 40 pixels apart from (5, 0), a new line of
// kDxccListLine pixels whenever the next would start past right - 40 (`right` is the
// table's right edge); `firstLine` lines scrolled out of sight above the top.
constexpr int kDxccListLine = 15;
std::vector<TextSpot> dxccListLayout(size_t count, int right, int firstLine = 0);
// Lines the list takes at that width (0 for none), and the most lines a table of that
// height shows whole (at least 1): the list scrolls when the first is more.
int dxccListLines(size_t count, int right);
int dxccListVisibleLines(int height);

// The per-call grid: seven rows of height / 7 pixels, or of kMinCallGridRow when that is
// less (the header's texts end at 32, row 2 must start below them); row r (2..6) shows
// band index r - 1. Its four columns stand 80 pixels apart from x 20 when the table is
// wide enough, closer (never under kMinCallGridColumn) when it is not, so that the last
// one, NR/OBL, stays whole: kMinCallGridWidth and kMinCallGridHeight are the least
// table that shows the whole grid, which the window keeps as its smallest size.
constexpr int kMinCallGridRow = 17;
constexpr int kMinCallGridColumn = 62;
constexpr int kMinCallGridWidth = 4 + 4 * kMinCallGridColumn;
constexpr int kMinCallGridHeight = 7 * kMinCallGridRow;
struct CallGridLayout {
    int rowHeight;
    // The highlighted row of the current band (none below band 0): top and bottom.
    bool highlight;
    int highlightTop, highlightBottom;
    int columns[4];  // x of Band, RTTY75, BPSK63, NR/OBL
    int callX;       // the typed call, above the header between the middle columns
};
CallGridLayout callGridLayout(int width, int height, int watchedBand);
