// The grid windows of the operator windows' thread as the companion window owns them:
// the DXCC window, the area window and the band-change window, opened, filled and
// closed through one object. It is the band and mode watch's GridWindows, and adds
// what the companion window's options need (close, the on-top option, the band-change
// timer).
//
//   GridWindowSet grids(state, settings, clock);   // a member of the companion window
//   BandModeWatch watch(state, host, grids);
//   grids.setView(&watch.view());                  // what the DXCC table draws from
//   grids.setOnTop(option);                         // read when a window opens
//   grids.openBandChange([&](LampPaint p) { paintLamp(p); });
//
// Lifetimes. Each window is an object of this set, created when it opens and destroyed
// with its window when it closes (closeDxcc, closeArea, closeBandChange, closeAll or the
// set's destructor): opening and closing a window any number of times leaves nothing
// behind. Keys do nothing in a grid window (Enter and Escape included), and WM_CLOSE only
// hides it: it stays open (its handle stays published, the watch keeps filling it)
// until its owner closes it. They open without taking the keyboard from the host. The band-change
// window's timer is stopped before its window goes, and its painter is never called
// after closeBandChange: destroy the set (or call closeAll) before the window the
// painter paints on.
//
// Only on the operator windows' thread, and never from inside a message of one of
// these windows (a painter must not close the band-change window): closing destroys
// the window object. The host's thread posts its requests to the companion window
// instead, which calls the set (companion_window.h).
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "contest/state.h"
#include "operator/watch.h"
#include "platform/seams.h"
#include "settings.h"
#include "windows/area_window.h"
#include "windows/band_change_window.h"
#include "windows/multiplier_window.h"

class GridWindowSet : public GridWindows {
public:
    GridWindowSet(ContestState& state, const Settings& settings, Clock& clock);
    GridWindowSet(const GridWindowSet&) = delete;
    GridWindowSet& operator=(const GridWindowSet&) = delete;
    // Closes all three.
    ~GridWindowSet() override;

    // What the DXCC table draws from (the watch's view, which must outlive the set or be
    // replaced first); null draws an empty table.
    void setView(const WatchView* view);
    // Whether the DXCC and area windows open topmost; windows already open keep how
    // they opened (close them to have them reopen with the new setting).
    void setOnTop(bool onTop) { onTop_ = onTop; }
    bool onTop() const { return onTop_; }

    // GridWindows: "open" means the window exists, hidden by WM_CLOSE or not. Opening an
    // open window, or acting on a closed one, does nothing.
    bool dxccOpen() override;
    void openDxcc() override;
    bool areaOpen() override;
    void openArea(bool showKrAndSl) override;
    void setDxccTitle(const std::string& title) override;
    void setAreaTitle(const std::string& title) override;
    void clearAreaMarks() override;
    void markAreaWorked(const std::string& code) override;
    void refreshAreaBoxes() override;
    void repaintDxccTable() override;

    void closeDxcc();
    void closeArea();

    // The band-change window: opened hidden with its timer running at
    // kBandChangePeriodMs and the lamp painted green through `paint`, which then gets
    // every change of the lamp. False when it is already open or cannot be created.
    bool bandChangeOpen();
    bool openBandChange(Change_Band::LampPainter paint);
    // Stops the timer and destroys the window; `paint` is not called again.
    void closeBandChange();
    // The timer of an open band-change window, (re)started with a period or stopped.
    void startBandChangeTimer(UINT periodMs = kBandChangePeriodMs);
    void stopBandChangeTimer();

    // The band-change window first (its timer), then the DXCC and area windows.
    void closeAll();

    // The window objects while open (null otherwise), for whoever needs more.
    Multiplier* dxcc() const { return dxcc_.get(); }
    Obl* area() const { return area_.get(); }
    Change_Band* bandChange() const { return bandChange_.get(); }

private:
    ContestState& state_;
    Settings settings_;
    Clock& clock_;
    const WatchView* view_ = nullptr;
    bool onTop_ = false;
    std::unique_ptr<Multiplier> dxcc_;
    std::unique_ptr<Obl> area_;
    std::unique_ptr<Change_Band> bandChange_;
};
