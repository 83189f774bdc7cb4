// The DXCC window (class Multiplier, template IDD_MULTIPLIER): one owner-drawn table
// that shows the DXCC prefixes worked on the watched band in the watched mode, or,
// while a call is typed in the host, on which bands and modes that station was worked.
// The band and mode watch fills what it draws (the contest state and a WatchView) and
// sets its title; the window keeps its screen position and the size the operator gave it
// in the settings file.
//
// Everything here runs on the operator windows' thread.
#pragma once
#include <windows.h>

#include <string>

#include "contest/state.h"
#include "drawn/subclassed_control.h"
#include "operator/watch.h"
#include "settings.h"
#include "windows/dialog_base.h"
#include "windows/window_setup.h"

// The table: a push button that paints itself from the state and the watch's view,
// through an off-screen surface so that a repaint after every keystroke does not
// flicker.
class CCqWwInfoButton : public SubclassedControl {
public:
    explicit CCqWwInfoButton(ContestState& state) : state_(state) {}
    // What it draws from; null draws the empty worked list (no band known).
    void setView(const WatchView* view) { view_ = view; }
    // The list's lines scrolled out of sight above its top.
    void setFirstLine(int line) { firstLine_ = line; }
    // Entries of the worked list it would draw now (0 while it draws a call's grid).
    size_t listCount() const;

protected:
    bool onDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    // The worked prefixes of the band and mode, sorted in the state's own list.
    void drawWorkedList(HDC dc, const RECT& item, const WatchView& view);
    // The typed call's times and exchange per band, the watched band's row marked.
    void drawCallGrid(HDC dc, const RECT& item, const WatchView& view);

    ContestState& state_;
    const WatchView* view_ = nullptr;
    int firstLine_ = 0;
};

class Multiplier : public CDialogBase {
public:
    Multiplier(ContestState& state, const Settings& settings);
    ~Multiplier() override;

    // Creates the window unowned at its saved position (10, 400 when none), topmost when
    // asked, shows it and publishes it in state.shared.dxccWindow. False when it could
    // not be created (or is already open).
    bool open(bool onTop);
    void setView(const WatchView* view);
    void setTitle(const std::string& title);
    // Redraws the table from the state and the view, without erasing it first.
    void repaintTable();
    HWND table() const { return table_.window(); }

private:
    bool onInit() override;
    // Keys do nothing, whatever message loop serves the window (Enter and Escape would
    // be OK and Cancel in a dialog's): the operator types into the host. WM_CLOSE hides
    // the window, which stays open.
    void onOk() override {}
    void onCancel() override {}
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Fits the table to the client area and the scroll bar to the list: shown when the
    // list has more lines than the table shows, hidden otherwise.
    void fitTable();
    // The window's least size: the whole per-call grid fits.
    POINT leastSize() const;
    // A size about to be given to the window, raised to its least size.
    void keepLeastSize(WINDOWPOS& place) const;
    // The scroll bar's request (SB_LINEDOWN, SB_THUMBTRACK, ...).
    void onScroll(WORD request);
    void fitScrollBar();
    // Scrolls the list to `line` (kept within its range) and redraws it.
    void scrollTo(int line);

    ContestState& state_;
    CCqWwInfoButton table_;
    SavedPosition position_;
    SavedSize size_;
    bool onTop_ = false;
    int firstLine_ = 0;
    bool fitting_ = false;  // inside fitScrollBar, whose bar resizes the client area
};
