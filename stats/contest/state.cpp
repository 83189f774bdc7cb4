#include "contest/state.h"

ContestState::Snapshot ContestState::snapshot() const {
    const auto d = lock();
    Snapshot s;
    s.dxccRtty = d->dxccRtty;
    s.areaRtty = d->areaRtty;
    s.dxccBpsk = d->dxccBpsk;
    s.areaBpsk = d->areaBpsk;
    s.infoGridRows = d->infoGridRows;
    s.contestStartYear = d->period.contestStartYear;
    s.ownIsUkraine = d->own.ownIsUkraine;
    s.russianTexts = d->own.russianTexts;
    s.logSize = d->qsoLog.size();
    return s;
}
