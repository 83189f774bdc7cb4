// A push button that paints itself in three colours of its own (face, text, text
// while disabled), as a raised rectangle (shape 0) or as a lamp-like disc (shape 1).
// It takes over a button of a dialog template: the parent dialog (CDialogBase)
// reflects the button's draw-item requests to it.
//
//   CAdvancedButton lamp;                       // a member of the dialog object
//   lamp.AttachItem(IDC_X, window(), face, text, disabledText);   // in onInit()
//   lamp.SetShape(1);
//   lamp.SetBackColor(RGB(255, 0, 255));        // repainted before it returns
//
// Whatever kind the template declared (push button, check box), the button becomes
// owner-drawn: it still sends its clicks, but the system draws nothing of it, check
// marks included.
#pragma once
#include <windows.h>

#include <atomic>

#include "drawn/advanced_component.h"
#include "drawn/subclassed_control.h"

class CAdvancedButton : public SubclassedControl, public CAdvancedComponent {
public:
    CAdvancedButton() = default;

    // Takes over the control `id` of `parent` with these colours and the rectangle
    // shape; does not redraw. False, with nothing changed, when there is no such
    // control.
    bool AttachItem(int id, HWND parent, COLORREF backColor, COLORREF foreColor, COLORREF disabledColor);
    // Stores the three colours and redraws; always true.
    bool SetColors(COLORREF backColor, COLORREF foreColor, COLORREF disabledColor);
    // 1 is a disc, anything else a rectangle; redraws.
    void SetShape(int shape);
    // Repaints the button now (nothing while it holds no window). May be called from
    // another thread: the paint then runs on the window's thread while the caller waits.
    void Redraw() override;

    int shape() const { return shape_.load(std::memory_order_relaxed); }
    COLORREF disabledColor() const { return thirdValue_.load(std::memory_order_relaxed); }

protected:
    bool onDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    std::atomic<int> shape_{0};
};
