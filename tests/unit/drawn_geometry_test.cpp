// The decisions of the drawn controls that need no screen: bevel colours and their
// rings, the 3-D frame's edges, the painter of a shape, the pressed and focused looks,
// the label's length and the owner-drawn style.
#include "drawn/drawn_geometry.h"

#include <gtest/gtest.h>

#include <string>

using namespace drawn;

TEST(DrawnBevel, RingColours) {
    struct Case {
        int depth, ring;
        Color topLeft, bottomRight;
    } cases[] = {
        // One ring: plain white over mid grey, no palette flag.
        {1, 0, 0xFFFFFF, 0x808080},
        {-1, 0, 0x808080, 0xFFFFFF},
        // Deeper: grey levels fading inwards, palette-relative.
        {2, 0, 0x02FFFFFF, 0x027F7F7F},
        {2, 1, 0x02DFDFDF, 0x02555555},
        {-2, 0, 0x027F7F7F, 0x02FFFFFF},
        {-2, 1, 0x02555555, 0x02DFDFDF},
        {3, 2, 0x02D5D5D5, 0x023F3F3F},
        {-7, 6, 0x021F1F1F, 0x02C9C9C9},  // 255/8 over 192 + 63/7, swapped
    };
    for (const auto& c : cases) {
        const BevelColors got = bevelColors(c.depth, c.ring);
        EXPECT_EQ(got.topLeft, c.topLeft) << "depth " << c.depth << " ring " << c.ring;
        EXPECT_EQ(got.bottomRight, c.bottomRight) << "depth " << c.depth << " ring " << c.ring;
    }
}

TEST(DrawnBevel, RingsStopWhenTheBoxIsUsedUp) {
    struct Case {
        int depth;
        Box box;
        int rings;
    } cases[] = {
        {2, {0, 0, 60, 24}, 2},
        {-2, {0, 0, 60, 24}, 2},
        {0, {0, 0, 60, 24}, 0},
        {100, {0, 0, 5, 40}, 3},  // 5, 3 and 1 pixel wide
        {100, {0, 0, 6, 40}, 3},  // 6, 4 and 2
        {2, {0, 0, 1, 1}, 1},
        {2, {5, 5, 5, 9}, 0},  // no width
        {2, {9, 0, 5, 9}, 0},  // turned inside out
        {-2147483647 - 1, {0, 0, 10, 10}, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bevelRingCount(c.depth, c.box), c.rings)
            << "depth " << c.depth << ", " << c.box.width() << " x " << c.box.height();
}

TEST(DrawnBevel, FrameEdgesLeaveTheFarCornersToTheDarkSide) {
    const auto e = frameEdges(Box{10, 20, 15, 24});  // 5 x 4
    EXPECT_EQ(e[0].line, (Box{10, 20, 14, 21}));     // top row, 4 of 5 pixels
    EXPECT_EQ(e[1].line, (Box{10, 20, 11, 23}));     // left column, 3 of 4
    EXPECT_EQ(e[2].line, (Box{14, 20, 15, 24}));     // right column, full height
    EXPECT_EQ(e[3].line, (Box{10, 23, 15, 24}));     // bottom row, full width
    EXPECT_TRUE(e[0].topLeftColor && e[1].topLeftColor);
    EXPECT_FALSE(e[2].topLeftColor || e[3].topLeftColor);
}

TEST(DrawnButton, ShapeAndStateDecisions) {
    EXPECT_EQ(painterFor(1), Painter::Ellipse);
    for (int shape : {0, 2, -1, 256 + 1}) EXPECT_EQ(painterFor(shape), Painter::Rectangle) << shape;

    struct Case {
        std::uint32_t state;
        bool focus, pressedEdge, disabledLabel;
    } cases[] = {
        {0x00, false, false, false}, {0x01, false, false, false},  // pressed without the focus looks raised
        {0x10, true, false, false},  {0x11, true, true, false},          {0x04, false, false, true},
        {0x15, true, true, true},    {0x08 | 0x20, false, false, false},  // checked, default: not looked at
    };
    for (const auto& c : cases) {
        EXPECT_EQ(showsFocusMark(c.state), c.focus) << c.state;
        EXPECT_EQ(showsPressedEdge(c.state), c.pressedEdge) << c.state;
        EXPECT_EQ(labelColor(c.state, 0x010101, 0x808080), c.disabledLabel ? 0x808080u : 0x010101u) << c.state;
    }
}

TEST(DrawnButton, LabelShowsAtMost511Characters) {
    std::string text;
    for (int i = 0; i < 600; ++i) text += static_cast<char>('A' + i % 26);
    text[300] = '\xC0';  // 8-bit letters count as one character each
    for (size_t length : {0u, 1u, 510u, 511u, 512u, 600u}) {
        const std::string_view shown = shownLabel(std::string_view(text).substr(0, length));
        EXPECT_EQ(shown.size(), length < 511 ? length : 511u) << length;
        EXPECT_EQ(shown, std::string_view(text).substr(0, shown.size())) << length;
    }
}

TEST(DrawnButton, EveryButtonKindBecomesOwnerDrawn) {
    const std::uint32_t kept = 0x50010000 | 0x0300 | 0x2000;  // child, visible, tab stop; centred; multi-line
    struct Case {
        const char* kind;
        std::uint32_t type;
    } cases[] = {
        {"push button", 0x0},    {"default push button", 0x1}, {"check box", 0x2},
        {"auto check box", 0x3}, {"radio button", 0x4},        {"3-state", 0x5},
        {"auto 3-state", 0x6},   {"group box", 0x7},           {"auto radio", 0x9},
        {"owner-drawn", 0xB},
    };
    for (const auto& c : cases) EXPECT_EQ(ownerDrawStyle(kept | c.type), kept | 0xBu) << c.kind;
}
