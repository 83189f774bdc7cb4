// The decisions behind the drawn controls, apart from the painting: which colours a
// bevel ring has, where the four edges of a 3-D frame lie, which painter a button's
// shape picks, which parts of the pressed and focused looks are drawn, how much of a
// label is shown and which button styles become owner-drawn. Nothing here needs
// Windows, so the native tests check it; the painters in drawn/drawn_objects.* and
// drawn/advanced_button.* only carry it out with GDI.
//
// Colours are Windows colour values (0x00BBGGRR; the top byte holds flags such as
// palette-relative). Rectangles are Windows ones: `right` and `bottom` lie just
// outside.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace drawn {

using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>(r & 0xFF) | static_cast<Color>(g & 0xFF) << 8 | static_cast<Color>(b & 0xFF) << 16;
}
constexpr Color grey(int level) { return rgb(level, level, level); }

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kGrey = 0x808080;
constexpr Color kNearBlack = 0x010101;
// Asks the device for the nearest colour of its palette (PALETTERGB): on a true-colour
// screen the colour itself.
constexpr Color kPaletteRelative = 0x02000000;

// The item-state bits of a draw-item request that the painters look at (the values
// of ODS_SELECTED, ODS_DISABLED and ODS_FOCUS).
constexpr std::uint32_t kStateSelected = 0x1;
constexpr std::uint32_t kStateDisabled = 0x4;
constexpr std::uint32_t kStateFocus = 0x10;

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    // No pixel inside: zero or negative width or height.
    bool empty() const { return right <= left || bottom <= top; }
    // Moved in by `d` pixels on every side (out when `d` is negative).
    Box shrunk(int d) const { return Box{left + d, top + d, right - d, bottom - d}; }
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// ---- the rectangle's bevel ----------------------------------------------------------

struct BevelColors {
    Color topLeft;
    Color bottomRight;
};

// Colours of ring `ring` (0 the outermost) of a bevel `depth` rings deep: raised
// (light over dark) when depth is positive, sunken (swapped) when negative. A single
// ring is white over mid grey; deeper bevels fade ring by ring, light 192 + 63/(i+1)
// and dark 255/(i+2), flagged palette-relative.
BevelColors bevelColors(int depth, int ring);

// How many rings a bevel of `depth` draws on `box`: |depth|, but no more than fit
// before the box is used up (each ring takes one pixel off every side).
int bevelRingCount(int depth, const Box& box);

// The four one-pixel lines of a 3-D frame around `box`, in drawing order: the top row
// (all but the last pixel) and the left column (all but the last pixel) in the
// top-left colour, then the right column and the bottom row, both full length, in the
// bottom-right colour, which so owns the top-right and bottom-left corners.
struct Edge {
    Box line;
    bool topLeftColor;
};
std::array<Edge, 4> frameEdges(const Box& box);

// ---- what a button shows -----------------------------------------------------------

enum class Painter { Rectangle, Ellipse };
// Shape 1 is a disc; every other value paints as a rectangle.
Painter painterFor(int shape);

// The sunken (pressed) edge is drawn only while the button has the focus: pressed
// without it, a button looks raised.
bool showsPressedEdge(std::uint32_t itemState);
bool showsFocusMark(std::uint32_t itemState);
Color labelColor(std::uint32_t itemState, Color foreColor, Color disabledColor);

// A label is read into a buffer of 512 characters: at most 511 are shown.
constexpr std::size_t kLabelBufferSize = 512;
std::string_view shownLabel(std::string_view text);

// The window style of a button taken over by the kit: its button kind becomes
// owner-drawn (BS_OWNERDRAW), so it paints only through draw-item requests; every
// other bit stays.
std::uint32_t ownerDrawStyle(std::uint32_t style);

}  // namespace drawn
