#include "operator/lamp.h"

LampPaint BandChangeLamp::turnGreen(SharedFlags& f) {
    f.changeWarning = false;
    red_ = false;
    return LampPaint::green;
}

LampPaint BandChangeLamp::tick(ContestState& state, const DateTime& now) {
    SharedFlags& f = state.shared;
    size_t n = 0;
    DateTime reference;
    bool haveReference = false;
    {
        const auto d = state.lock();
        n = d->qsoLog.size();
        // The QSO before the one that raised the warning (the first QSO raises it itself).
        const int last = f.lastChangeQsoIndex;
        const int at = last == 0 ? 0 : last - 1;
        if (at >= 0 && static_cast<size_t>(at) < n) {
            reference = d->qsoLog[static_cast<size_t>(at)].time;
            haveReference = true;
        }
    }
    if (n == 0) {
        if (!f.logEmptied.exchange(false)) return LampPaint::none;
        return turnGreen(f);
    }
    if (f.changeWarning) {
        // QSOs removed since the warning was raised took its reference with them: the
        // change it warned of is gone, so the warning ends rather than reading past the log.
        if (!haveReference || wholeMinutesBetween(reference, now) >= 10) return turnGreen(f);
        if (red_) return LampPaint::none;
        red_ = true;
        return LampPaint::red;
    }
    if (f.changeUndone.exchange(false)) return turnGreen(f);
    return LampPaint::none;
}
