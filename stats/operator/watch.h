// The band and mode watch: what one refresh of the companion window does. It asks the
// host what the operator is doing (the typed call, or the dial frequency and mode),
// sends "<SP1>" after a retune, opens the grid windows the options ask for, and fills
// them: titles, the per-call grid, the worked areas. The windows themselves are behind
// GridWindows, so the decisions are tested without Windows.
//
// Runs on the window thread. Reads of the log and the worked lists, and the writes of
// the info grid, happen under the state's lock; the windows are called after it is
// released.
#pragma once
#include <string>
#include <vector>

#include "contest/state.h"
#include "operator/host_link.h"

class GridWindows {
public:
    virtual ~GridWindows() = default;
    virtual bool dxccOpen() = 0;
    virtual void openDxcc() = 0;
    virtual bool areaOpen() = 0;
    // KR and SL are shown only for an operator in Ukraine.
    virtual void openArea(bool showKrAndSl) = 0;
    virtual void setDxccTitle(const std::string& title) = 0;
    virtual void setAreaTitle(const std::string& title) = 0;
    virtual void clearAreaMarks() = 0;
    virtual void markAreaWorked(const std::string& code) = 0;  // an area already marked stays as it is
    virtual void refreshAreaBoxes() = 0;
    virtual void repaintDxccTable() = 0;
};

// What the DXCC table draws from, besides the state.
struct WatchView {
    std::string watchedCall;
    std::string watchedMode;
    int watchedBand = -1;
};

// Its memory (the watched call, mode and band, the frequency of the last "<SP1>") lasts
// as long as the library stays loaded, across openings of the companion window, which
// lends it the host and the windows for each refresh.
class BandModeWatch {
public:
    explicit BandModeWatch(ContestState& state) : state_(state) {}

    // One refresh with the companion window's DXCC and Area options. A host call that
    // fails abandons it; either way refreshPending is set again at the end.
    void refresh(HostLink& host, GridWindows& windows, bool dxccOption, bool areaOption);

    const WatchView& view() const { return view_; }
    double lastSp1Frequency() const { return lastSp1Frequency_; }

private:
    // What follows the opening of the windows when a host is bound.
    void follow(HostLink& host, GridWindows& windows);
    bool bandBranch(HostLink& host, GridWindows& windows);
    void callBranch(GridWindows& windows);

    ContestState& state_;
    WatchView view_;
    double lastSp1Frequency_ = 0.0;
};
