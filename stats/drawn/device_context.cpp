#include "drawn/device_context.h"

#include <climits>

bool DeviceContext::isPrinting() const noexcept {
    // Memory DCs answer as raster displays.
    return dc_ && GetDeviceCaps(dc_, TECHNOLOGY) != DT_RASDISPLAY;
}

RECT DeviceContext::clipBox() const noexcept {
    RECT r{};
    if (!dc_ || GetClipBox(dc_, &r) == ERROR) return RECT{};
    return r;
}

void DeviceContext::fillSolidRect(const RECT& r, COLORREF color) noexcept {
    if (r.right <= r.left || r.bottom <= r.top) return;
    // An opaque text output of no characters paints its rectangle in the background
    // colour: a fill without making and deleting a brush.
    const COLORREF old = SetBkColor(dc_, color);
    ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    if (old != CLR_INVALID) SetBkColor(dc_, old);
}

void DeviceContext::draw3dRect(const RECT& r, COLORREF topLeft, COLORREF bottomRight) noexcept {
    for (const drawn::Edge& e : drawn::frameEdges(toBox(r)))
        fillSolidRect(toRect(e.line), e.topLeftColor ? topLeft : bottomRight);
}

int DeviceContext::drawText(std::string_view text, RECT r, UINT format) noexcept {
    const int length = text.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
    // A view may hold no pointer at all; DrawText wants one even for no characters.
    return DrawTextA(dc_, length > 0 ? text.data() : "", length, &r, format);
}
