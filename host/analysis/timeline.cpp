#include "analysis/timeline.h"

#include <algorithm>

namespace replay {

size_t TimeAxis::binOf(int64_t t) const {
    if (t <= start) return 0;
    return std::min(bins - 1, size_t((t - start) / binSeconds));
}

TimeAxis chooseTimeAxis(int64_t first, int64_t last, size_t maxBins) {
    // Each length up to a day divides the day: bins start at 00, 06, 12, 18 h and so on.
    static const int64_t kHours[] = {1, 2, 3, 4, 6, 8, 12, 24, 48, 96, 168, 336, 720, 1440, 2880, 8760};
    if (last < first) std::swap(first, last);
    maxBins = std::max<size_t>(maxBins, 1);
    TimeAxis axis;
    for (int64_t hours : kHours) {
        axis.binSeconds = hours * 3600;
        const int64_t align = std::min<int64_t>(axis.binSeconds, 86400);
        axis.start = first - ((first % align) + align) % align;
        axis.bins = size_t((last - axis.start) / axis.binSeconds) + 1;
        if (axis.bins <= maxBins) break;
    }
    return axis;
}

std::vector<BandModeChange> bandModeChanges(const std::vector<Qso>& qsos, const std::vector<bool>& logged) {
    std::vector<BandModeChange> changes;
    const Qso* previous = nullptr;
    for (size_t i = 0; i < qsos.size(); ++i) {
        if (i >= logged.size() || !logged[i]) continue;
        const Qso& q = qsos[i];
        if (previous && (previous->band != q.band || previous->mode != q.mode)) {
            BandModeChange c;
            c.qso = i;
            c.band = previous->band != q.band;
            c.from = c.band ? previous->band : previous->mode;
            c.to = c.band ? q.band : q.mode;
            c.time = toEpochSeconds(q.time);
            const int64_t before = toEpochSeconds(previous->time);
            // Whole minutes, cut toward zero; a QSO logged before the previous one is
            // inside too.
            const int64_t minutes = (c.time - before) / 60;
            c.warned = minutes < 10;
            c.windowStart = c.warned ? before : 0;
            c.windowEnd = c.warned ? before + 600 : 0;
            changes.push_back(c);
        }
        previous = &q;
    }
    return changes;
}

}  // namespace replay
