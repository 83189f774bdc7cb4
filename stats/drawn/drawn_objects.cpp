#include "drawn/drawn_objects.h"

#include "win32_owners.h"

namespace {

RECT shrunk(const RECT& r, int d) { return toRect(toBox(r).shrunk(d)); }

}  // namespace

// ---- shared ---------------------------------------------------------------------------

void DrawnObject::DrawLabel(DeviceContext& dc, RECT rect, std::string_view text, COLORREF color) {
    const win32::SavedDC saved(dc.get());
    dc.setTextColor(color);
    dc.setBkMode(TRANSPARENT);
    dc.drawText(text, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// ---- rectangle ------------------------------------------------------------------------

void DrawnRect::Draw(DeviceContext& dc, RECT rect, UINT itemState, COLORREF backColor) {
    Fill(dc, rect, backColor);
    DrawBorder(dc, rect, 2);
    if (!drawn::showsFocusMark(itemState)) return;
    if (drawn::showsPressedEdge(itemState)) DrawBorder(dc, rect, -1);
    DrawFocus(dc, shrunk(rect, 2), backColor);
}

void DrawnRect::DrawBorder(DeviceContext& dc, RECT rect, int depth) {
    const int rings = drawn::bevelRingCount(depth, toBox(rect));
    for (int ring = 0; ring < rings; ++ring) {
        const drawn::BevelColors c = drawn::bevelColors(depth, ring);
        dc.draw3dRect(rect, c.topLeft, c.bottomRight);
        rect = shrunk(rect, 1);
    }
}

void DrawnRect::Fill(DeviceContext& dc, RECT rect, COLORREF color) {
    const win32::Brush brush(CreateSolidBrush(color));
    if (brush) dc.fillRect(rect, brush.get());
}

void DrawnRect::DrawFocus(DeviceContext& dc, RECT rect, COLORREF) { dc.drawFocusRect(rect); }

// ---- ellipse --------------------------------------------------------------------------

void DrawnEllipse::Draw(DeviceContext& dc, RECT rect, UINT itemState, COLORREF backColor) {
    RECT r = shrunk(rect, 1);
    DrawBorder(dc, r, 2);
    r = shrunk(r, 1);
    Fill(dc, r, backColor);
    if (!drawn::showsFocusMark(itemState)) return;
    if (drawn::showsPressedEdge(itemState)) {
        DrawBorder(dc, shrunk(r, -1), -1);
        DrawBorder(dc, r, -1);
    }
    // The rings above filled their inside with the DC's brush: the face again, then
    // the dotted ring, whose own inside is painted over last.
    Fill(dc, r, backColor);
    r = shrunk(r, 2);
    DrawFocus(dc, r, backColor);
    r = shrunk(r, 1);
    Fill(dc, r, backColor);
}

void DrawnEllipse::DrawBorder(DeviceContext& dc, RECT rect, int depth) {
    // Declared before the selection, the pen is deleted after it is selected out.
    const win32::Pen pen(CreatePen(PS_SOLID, 2, depth >= 0 ? drawn::kGrey : drawn::kNearBlack));
    const win32::ScopedSelect selected(dc.get(), pen.get());
    dc.ellipse(rect);
}

void DrawnEllipse::Fill(DeviceContext& dc, RECT rect, COLORREF color) {
    const win32::Pen pen(CreatePen(PS_SOLID, 3, color));
    const win32::ScopedSelect selected(dc.get(), pen.get());
    // Each outline overlaps the one before by two pixels, so together they cover the
    // disc; the inside each one fills with the DC's brush is covered by the next.
    for (drawn::Box r = toBox(rect); !r.empty();) {
        r = r.shrunk(1);
        dc.ellipse(toRect(r));
    }
}

void DrawnEllipse::DrawFocus(DeviceContext& dc, RECT rect, COLORREF color) {
    const win32::Pen pen(CreatePen(PS_DOT, 1, drawn::kNearBlack));
    const win32::SavedDC saved(dc.get());
    const win32::ScopedSelect selected(dc.get(), pen.get());
    // The gaps of the dotted line show the background colour: the face.
    dc.setBkMode(OPAQUE);
    dc.setBkColor(color);
    dc.ellipse(rect);
}
