// GDI helpers of the Windows test programs that paint: counting the GDI objects the
// code linked into the program makes and deletes, and pictures of 32-bit pixels taken
// of a window or drawn into directly.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "win32_owners.h"

namespace wt {

// ---- counting GDI objects -----------------------------------------------------------

// What the counting wrappers saw while `on`.
struct GdiCounts {
    bool on = false;
    long created = 0;
    long deleted = 0;
    long stillSelected = 0;  // deleted while still selected somewhere, so not gone
};
GdiCounts& gdiCounts();

// Puts counting wrappers of CreatePen, CreateSolidBrush, CreateCompatibleBitmap,
// CreateCompatibleDC, DeleteObject and DeleteDC into this program's gdi32 imports. Code
// linked into the program calls through that table, so the wrappers see every object
// it makes and deletes, whatever the system reports about the process. False when one
// of them is not imported.
bool countGdiObjects();

// ---- pictures -----------------------------------------------------------------------

// 32-bit pixels in memory, top row first.
class Picture {
public:
    Picture(int width, int height);
    // What a window shows of its client area now.
    static Picture of(HWND w);
    Picture(Picture&&) = default;
    Picture& operator=(Picture&&) = delete;

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // CLR_INVALID outside the picture.
    COLORREF at(int x, int y) const;
    // Pixels within `within` that `test` accepts.
    template <typename Test>
    int countWhere(Test test, RECT within = kEverything) const {
        int n = 0;
        for (int y = std::max(0L, within.top); y < std::min<long>(height_, within.bottom); ++y)
            for (int x = std::max(0L, within.left); x < std::min<long>(width_, within.right); ++x)
                n += test(at(x, y)) ? 1 : 0;
        return n;
    }
    int count(COLORREF c, RECT within = kEverything) const {
        return countWhere([c](COLORREF p) { return p == c; }, within);
    }
    // Text in the default colour (black, smoothed or not).
    int dark(RECT within) const {
        return countWhere([](COLORREF p) { return GetRValue(p) + GetGValue(p) + GetBValue(p) < 200; }, within);
    }
    void fill(COLORREF c);
    bool sameAs(const Picture& o) const;

private:
    static constexpr RECT kEverything = {0, 0, 1 << 20, 1 << 20};
    int width_, height_;
    std::uint32_t* bits_ = nullptr;
    win32::Bitmap bitmap_;
    win32::MemoryDC dc_;
    win32::ScopedSelect selection_;
};

// A colour as 0xBBGGRR, for messages.
std::string hex(COLORREF c);
// A check that a colour is the one expected, naming both.
bool checkColor(COLORREF actual, COLORREF expected, const std::string& what);

}  // namespace wt
