// Starting a scoring run, judging each QSO the host feeds, and taking QSOs out again.
#include <algorithm>

#include "ascii_text.h"
#include "contest/engine.h"

namespace {

std::string normaliseArea(const std::string& exchange) { return std::string(trim(toUpper(exchange))); }

CInfo recordOf(const QsoArgs& a) {
    CInfo q;
    q.call = a.call;
    q.prefix = a.prefix;
    q.continent = a.continent;
    q.band = a.band;
    q.mode = a.mode;
    q.rstReceived = a.rstReceived;
    q.rstSent = a.rstSent;
    q.exchangeReceived = a.exchangeReceived;
    q.exchangeSent = a.exchangeSent;
    q.frequencyKhz = a.frequencyHz / 1000;
    q.time = a.time;
    return q;
}

// The ten-minute watch on band and mode changes, for record `q` about to be appended
// at index n. True when the band-change window's timer is to be re-armed.
bool changeRule(const QsoLog& log, SharedFlags& shared, CInfo& q, int n) {
    if (n == 0) {
        shared.changeWarning = true;
        q.bandChanged = q.modeChanged = 1;
        q.bandChangeIndex = q.modeChangeIndex = 0;
        shared.lastChangeQsoIndex = 0;
        return false;
    }
    const CInfo& last = log[static_cast<size_t>(n - 1)];
    const bool soon = wholeMinutesBetween(last.time, q.time) < 10;  // an earlier QSO counts as soon
    if (last.band != q.band) {
        q.bandChanged = 1;
        q.bandChangeIndex = n;
        shared.changeWarning = soon;
        if (!soon) return false;
        shared.lastChangeQsoIndex = n;
        shared.lastBandChangeIndex = n;
        return true;
    }
    if (last.mode != q.mode) {
        q.modeChanged = 1;
        shared.changeWarning = soon;
        if (!soon) return false;
        shared.lastChangeQsoIndex = n;
        shared.lastModeChangeIndex = n;
        // HOST-QUIRK: unlike the band's, the mode's change index is kept only for a change within ten minutes.
        q.modeChangeIndex = n;
        return true;
    }
    return false;
}

}  // namespace

void ContestEngine::startRun(const ResetArgs& a) {
    const auto d = state_.lock();
    d->period.contestStartDayMonth = a.start.format("%d.%m");
    d->period.contestStartYear = a.start.format("%Y");
    d->period.contestEndDate = a.end.format("%d.%m.%Y");
    // The records are spent, not destroyed: the rescan that follows writes over them.
    d->qsoLog.clear();
    d->index.clear();
    d->workedBands.clear();
    d->exportRequested = a.exportRequested;
    OwnStation& own = d->own;
    if (isRussianTextPrefix(a.ownPrefix)) own.russianTexts = true;
    if (a.ownPrefix == "UR") own.ownIsUkraine = true;
    own.ownContinent = a.ownContinent;
    if (a.ownContinent == "EU") own.ownIsEurope = true;
    own.ownPrefix = a.ownPrefix;
    own.ownCall = a.ownCall;
    for (int i = 0; i < kBandCount; ++i) d->infoGridRows[i] = {bandTable()[i], "-", "-", "-", "-"};
}

bool ContestEngine::add(const QsoArgs& a) {
    bool rearm = false;
    {
        const auto d = state_.lock();
        if (!bandTable().contains(a.band)) {
            report_.record(a, BadQsoReason::wrongBand);
            return false;
        }
        // Before the mode and exchange rules: a band is worked even by a QSO they refuse.
        if (std::find(d->workedBands.begin(), d->workedBands.end(), a.band) == d->workedBands.end())
            d->workedBands.push_back(a.band);
        if (!modeTable().contains(a.mode)) {
            report_.record(a, BadQsoReason::wrongMode);
            return false;
        }
        if (a.exchangeReceived.empty() || a.exchangeSent.empty()) {
            report_.record(a, BadQsoReason::noRxNumber);
            return false;
        }

        const int n = static_cast<int>(d->qsoLog.size());
        CInfo q = recordOf(a);
        rearm = changeRule(d->qsoLog, state_.shared, q, n);

        if (a.prefix == "UR") {
            const std::string code = normaliseArea(a.exchangeReceived);
            if (isAreaCode(code)) {
                q.area = code;
            } else {
                q.bad = 1;
                q.notCounted = 1;
                report_.record(a, BadQsoReason::badArea);
            }
        }
        // Earlier records count whatever their own marks are; the time plays no part.
        if (d->index.hasCall(q.call, q.band, q.mode)) {
            q.notCounted = 1;
            q.dupe = 1;
            report_.record(a, BadQsoReason::dupe);
        }
        d->index.add(q, n);
        d->qsoLog.push_back(std::move(q));
    }
    if (rearm) windows_.rearmBandChangeTimer();
    return true;
}

void ContestEngine::remove(const QsoArgs& a) {
    bool matched = false;
    {
        const auto d = state_.lock();
        SharedFlags& shared = state_.shared;
        auto& log = d->qsoLog;
        int n = static_cast<int>(log.size());
        const int match = d->index.findQso(a.call, a.band, a.mode, a.time);
        if (match >= 0) {
            matched = true;
            const CInfo& q = log[static_cast<size_t>(match)];
            if (q.bandChanged == 1 || q.modeChanged == 1) {
                shared.changeUndone = true;
                shared.changeWarning = false;
            }
            // HOST-QUIRK: the change indices stored in later records are not moved down.
            log.erase(log.begin() + match);
            d->index.rebuild();
            --n;
            if (n <= 0) shared.logEmptied = true;
        }
        // HOST-QUIRK: the walk back stops short of the first record.
        for (int i = n - 1; i >= 1; --i) {
            const CInfo& q = log[static_cast<size_t>(i)];
            if (q.bandChanged == 1) {
                shared.lastBandChangeIndex = q.bandChangeIndex;
                break;
            }
            if (q.modeChanged == 1) {
                shared.lastModeChangeIndex = q.modeChangeIndex;
                break;
            }
        }
        report_.forget(a.call, a.time);
        if (n <= 0) {
            d->workedBands.clear();
            for (BandLists* lists : {&d->dxccRtty, &d->areaRtty, &d->dxccBpsk, &d->areaBpsk})
                for (auto& l : *lists) l.clear();
        }
    }
    if (matched) windows_.resetAreaWindow();
    state_.shared.refreshPending = true;
    if (windows_.companionRunning()) windows_.postRefresh();
}
