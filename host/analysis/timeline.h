// The time axis of the analysis page and what is marked on it besides the plug-in's
// figures: the band and mode changes as the plug-in sees them, QSO after QSO in log order.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "logs/log.h"

namespace replay {

// Bins of equal length from a whole hour: one hour each where the contest allows,
// longer ones for a long log, so that a chart never has more than maxBins bars.
struct TimeAxis {
    int64_t start = 0;  // epoch seconds, a whole hour
    int64_t binSeconds = 3600;
    size_t bins = 1;

    int64_t end() const { return start + int64_t(bins) * binSeconds; }
    size_t binOf(int64_t t) const;  // clamped to the axis
};

TimeAxis chooseTimeAxis(int64_t first, int64_t last, size_t maxBins);

// A band or mode change: a logged QSO on another band than the logged QSO before it,
// or else in another mode. One that comes less than ten minutes after that QSO raises
// the plug-in's band-change warning, whose lamp then stays red until ten minutes after
// it: the window.
struct BandModeChange {
    size_t qso;  // the QSO that changed
    bool band;   // band change, else mode change
    std::string from, to;
    int64_t time;                    // epoch seconds
    bool warned;                     // inside the ten minutes
    int64_t windowStart, windowEnd;  // the lamp's red time; only when warned
};

// logged[i]: the plug-in took QSO i into its log.
std::vector<BandModeChange> bandModeChanges(const std::vector<Qso>& qsos, const std::vector<bool>& logged);

}  // namespace replay
