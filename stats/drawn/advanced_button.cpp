#include "drawn/advanced_button.h"

#include <string>

#include "drawn/drawn_objects.h"

static_assert(drawn::kStateSelected == ODS_SELECTED && drawn::kStateDisabled == ODS_DISABLED &&
                  drawn::kStateFocus == ODS_FOCUS,
              "the portable item-state bits are the system's");

bool CAdvancedButton::AttachItem(int id, HWND parent, COLORREF backColor, COLORREF foreColor, COLORREF disabledColor) {
    if (!attachItem(parent, id)) return false;
    backColor_ = backColor;
    foreColor_ = foreColor;
    thirdValue_ = disabledColor;
    shape_ = 0;
    const HWND w = window();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE));
    // BM_SETSTYLE rather than the style alone: the button control keeps its kind too.
    // No redraw now; the first paint shows it.
    SendMessageA(w, BM_SETSTYLE, drawn::ownerDrawStyle(style), FALSE);
    return true;
}

bool CAdvancedButton::SetColors(COLORREF backColor, COLORREF foreColor, COLORREF disabledColor) {
    backColor_ = backColor;
    foreColor_ = foreColor;
    thirdValue_ = disabledColor;
    Redraw();
    return true;
}

void CAdvancedButton::SetShape(int shape) {
    shape_ = shape;
    Redraw();
}

void CAdvancedButton::Redraw() {
    if (const HWND w = window()) RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CAdvancedButton::onDrawItem(const DRAWITEMSTRUCT& item) {
    DeviceContext dc(item.hDC);
    if (!dc) return false;
    // One painter for this paint, of the shape the button has now.
    DrawnRect rectangle;
    DrawnEllipse ellipse;
    DrawnObject& painter =
        drawn::painterFor(shape()) == drawn::Painter::Ellipse ? static_cast<DrawnObject&>(ellipse) : rectangle;
    const std::string text = windowText(item.hwndItem);
    painter.Draw(dc, item.rcItem, item.itemState, backColor());
    painter.DrawLabel(dc, item.rcItem, drawn::shownLabel(text),
                      drawn::labelColor(item.itemState, foreColor(), disabledColor()));
    return true;
}
