#include "drawn/drawn_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace drawn {

BevelColors bevelColors(int depth, int ring) {
    BevelColors c;
    if (depth == 1 || depth == -1) {
        c = {kWhite, kGrey};
    } else {
        const int i = std::max(ring, 0);
        c = {grey(192 + 63 / (i + 1)) | kPaletteRelative, grey(255 / (i + 2)) | kPaletteRelative};
    }
    if (depth < 0) std::swap(c.topLeft, c.bottomRight);
    return c;
}

int bevelRingCount(int depth, const Box& box) {
    if (box.empty()) return 0;
    // Ring i lies on the box shrunk by i: it is there while that box still holds a pixel.
    const long long fit = (static_cast<long long>(std::min(box.width(), box.height())) + 1) / 2;
    const long long wanted = std::llabs(static_cast<long long>(depth));
    return static_cast<int>(std::min(wanted, fit));
}

std::array<Edge, 4> frameEdges(const Box& b) {
    return {{
        {{b.left, b.top, b.right - 1, b.top + 1}, true},
        {{b.left, b.top, b.left + 1, b.bottom - 1}, true},
        {{b.right - 1, b.top, b.right, b.bottom}, false},
        {{b.left, b.bottom - 1, b.right, b.bottom}, false},
    }};
}

Painter painterFor(int shape) { return shape == 1 ? Painter::Ellipse : Painter::Rectangle; }

bool showsFocusMark(std::uint32_t itemState) { return (itemState & kStateFocus) != 0; }

bool showsPressedEdge(std::uint32_t itemState) {
    return showsFocusMark(itemState) && (itemState & kStateSelected) != 0;
}

Color labelColor(std::uint32_t itemState, Color foreColor, Color disabledColor) {
    return (itemState & kStateDisabled) != 0 ? disabledColor : foreColor;
}

std::string_view shownLabel(std::string_view text) { return text.substr(0, kLabelBufferSize - 1); }

std::uint32_t ownerDrawStyle(std::uint32_t style) {
    // The low four bits are the button's kind (BS_TYPEMASK). Or-ing BS_OWNERDRAW (0xB)
    // into them gives owner-drawn only for kinds whose bits it covers (push buttons,
    // check boxes, auto radio buttons); radio buttons, three-state boxes and group
    // boxes would become kind 0xF, a default command link. Replacing the kind works
    // for all.
    constexpr std::uint32_t kTypeMask = 0xF;
    constexpr std::uint32_t kOwnerDraw = 0xB;
    return (style & ~kTypeMask) | kOwnerDraw;
}

}  // namespace drawn
