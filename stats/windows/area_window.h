// The area window (class Obl, template IDD_AREA): one disc lamp per Ukrainian area
// code, green while the area is not worked on the watched band and mode, magenta once
// it is. The band and mode watch clears and sets the marks at each refresh; KR and SL
// are shown only when the owner asks (for an operator in Ukraine). The window keeps its
// screen position in the settings file.
//
// Everything here runs on the operator windows' thread; the host's thread reaches it
// only through the companion window (kResetAreaMessage, windows/companion_window.h).
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "contest/state.h"
#include "contest/tables.h"
#include "drawn/advanced_button.h"
#include "settings.h"
#include "win32_owners.h"
#include "windows/dialog_base.h"
#include "windows/window_setup.h"

class Obl : public CDialogBase {
public:
    static constexpr COLORREF kFreeFace = RGB(0, 255, 0);
    static constexpr COLORREF kFreeText = RGB(1, 1, 1);
    static constexpr COLORREF kWorkedFace = RGB(255, 0, 255);
    static constexpr COLORREF kWorkedText = RGB(255, 255, 0);
    static constexpr COLORREF kDisabledText = RGB(128, 128, 128);
    static constexpr COLORREF kBackground = RGB(255, 250, 198);
    static constexpr COLORREF kTextBackground = RGB(255, 240, 198);

    Obl(ContestState& state, const Settings& settings);
    ~Obl() override;

    // Creates the window unowned at its saved position (0, 0 when none), topmost when
    // asked, with the KR and SL lamps hidden and disabled unless `showKrAndSl`; shows
    // it and publishes it in state.shared.areaWindow. False when it could not be
    // created (or is already open).
    bool open(bool onTop, bool showKrAndSl);
    void setTitle(const std::string& title);

    // Every area unmarked, its lamp green (each lamp repaints at once).
    void clearAreaMarks();
    // The area of this exact code marked worked, its lamp magenta; an area already
    // marked, or a code of no area, is left alone.
    void markAreaWorked(const std::string& code);
    // The boxes' check state from the marks. A drawn lamp keeps no check state and
    // shows its mark by colour; only a box that could not be taken over (a plain check
    // box) shows the mark this way.
    void refreshBoxes();
    // Whether the area at this display position is marked.
    bool marked(size_t area) const { return area < marks_.size() && marks_[area]; }

private:
    bool onInit() override;
    // Keys do nothing, whatever message loop serves the window (Enter and Escape would
    // be OK and Cancel in a dialog's): the operator types into the host. WM_CLOSE hides
    // the window, which stays open.
    void onOk() override {}
    void onCancel() override {}
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    ContestState& state_;
    std::array<bool, kAreaCount> marks_{};
    std::array<CAdvancedButton, kAreaCount> lamps_;
    win32::Brush background_;
    SavedPosition position_;
    bool onTop_ = false;
    bool showKrAndSl_ = true;
};
