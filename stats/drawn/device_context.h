// A device context as the drawn controls use it: a thin, non-owning wrapper of an HDC
// with the GDI calls they need, including the two the system has no single call for
// (a solid rectangle without a brush, and a 3-D frame). Whoever made the DC releases
// it; CMemDC (drawn/mem_dc.h) is the one that owns a DC of its own.
#pragma once
#include <windows.h>

#include <string_view>

#include "drawn/drawn_geometry.h"

inline drawn::Box toBox(const RECT& r) { return drawn::Box{r.left, r.top, r.right, r.bottom}; }
inline RECT toRect(const drawn::Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

class DeviceContext {
public:
    explicit DeviceContext(HDC dc = nullptr) noexcept : dc_(dc) {}
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;
    virtual ~DeviceContext() = default;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

    // A printer, plotter or metafile rather than a raster display (or a memory DC).
    bool isPrinting() const noexcept;
    // The smallest rectangle around what may be drawn, in logical units; empty when
    // nothing may.
    RECT clipBox() const noexcept;

    // Each returns the previous value.
    COLORREF setTextColor(COLORREF color) noexcept { return SetTextColor(dc_, color); }
    COLORREF setBkColor(COLORREF color) noexcept { return SetBkColor(dc_, color); }
    int setBkMode(int mode) noexcept { return SetBkMode(dc_, mode); }

    // Fills `r` with one colour; no brush is made, the DC's state is left as it was.
    void fillSolidRect(const RECT& r, COLORREF color) noexcept;
    // The four edges of drawn::frameEdges: top and left in `topLeft`, right and
    // bottom in `bottomRight`.
    void draw3dRect(const RECT& r, COLORREF topLeft, COLORREF bottomRight) noexcept;
    void fillRect(const RECT& r, HBRUSH brush) noexcept { FillRect(dc_, &r, brush); }
    // A dotted frame drawn by inverting pixels: drawing it twice removes it.
    void drawFocusRect(const RECT& r) noexcept { DrawFocusRect(dc_, &r); }
    // Outlined with the current pen, filled with the current brush.
    void ellipse(const RECT& r) noexcept { Ellipse(dc_, r.left, r.top, r.right, r.bottom); }
    // DrawText of `text` (no terminating zero needed) with the current font and colours.
    int drawText(std::string_view text, RECT r, UINT format) noexcept;

protected:
    HDC dc_ = nullptr;
};
