// The colour interface of the drawn controls: a face (background) colour, a text
// colour and one more value whose meaning each control gives it (for a button, the
// text colour while it is disabled). Setting a colour redraws the control at once.
//
// The colours are atomic: the operator windows' refresh sets them on the window
// thread, the removal of a QSO from the host's thread, while the window thread paints.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

class CAdvancedComponent {
public:
    CAdvancedComponent(const CAdvancedComponent&) = delete;
    CAdvancedComponent& operator=(const CAdvancedComponent&) = delete;
    virtual ~CAdvancedComponent() = default;

    // Store the colour and redraw; always true.
    virtual bool SetForeColor(COLORREF color) {
        foreColor_ = color;
        Redraw();
        return true;
    }
    virtual bool SetBackColor(COLORREF color) {
        backColor_ = color;
        Redraw();
        return true;
    }
    // Shows the control with its current colours before returning.
    virtual void Redraw() = 0;

    COLORREF backColor() const { return backColor_.load(std::memory_order_relaxed); }
    COLORREF foreColor() const { return foreColor_.load(std::memory_order_relaxed); }

protected:
    CAdvancedComponent() = default;

    std::atomic<COLORREF> backColor_{0};
    std::atomic<COLORREF> foreColor_{0};
    std::atomic<std::uint32_t> thirdValue_{0};
};
