// The windows the companion window owns: the DXCC window, the area window and the
// hidden band-change window with its timer. The watch reaches the first two through
// GridWindows; the companion window opens and closes them by its options.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "contest/state.h"
#include "operator/lamp.h"
#include "operator/watch.h"
#include "settings.h"

class GridWindowSet : public GridWindows {
public:
    GridWindowSet(ContestState& state, Settings& settings, const WatchView& view);
    ~GridWindowSet() override;
    GridWindowSet(const GridWindowSet&) = delete;
    GridWindowSet& operator=(const GridWindowSet&) = delete;

    // The on-top option: taken by the grid windows when they open next.
    void setOnTop(bool onTop) { onTop_ = onTop; }
    void closeDxcc();
    void closeArea();

    bool bandChangeOpen() const;
    // Opens the hidden band-change window and starts its timer at 1000 ms; each tick
    // hands the lamp's new look to `paint`.
    void openBandChange(std::function<void(LampPaint)> paint);
    void closeBandChange();
    // A change was logged: the timer comes sooner (when the window is open).
    void rearmBandChange(unsigned milliseconds);
    // Everything, the band-change timer first.
    void closeAll();

    // GridWindows
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

private:
    struct Windows;
    ContestState& state_;
    Settings& settings_;
    const WatchView& view_;
    bool onTop_ = false;
    std::unique_ptr<Windows> windows_;
};
