#include "operator/watch.h"

#include <cmath>

#include "contest/tables.h"
#include "operator/texts.h"

void BandModeWatch::refresh(HostLink& host, GridWindows& windows, bool dxccOption, bool areaOption) {
    if (dxccOption && !windows.dxccOpen()) windows.openDxcc();
    if (areaOption && !windows.areaOpen()) {
        // Read first, open after: opening a window can wait for the host's thread (the
        // activation messages it sends), and that thread may be waiting for this lock.
        const bool ownIsUkraine = state_.lock()->own.ownIsUkraine;
        windows.openArea(ownIsUkraine);
    }
    if (host.bound()) follow(host, windows);
    // However this one ended, the next call check asks for another: after a host call
    // that failed (a busy host, say), the grids follow the typed call again as soon as
    // the host answers, instead of showing a call it no longer has. The call check
    // clears the flag as it posts, so a burst of failures still posts one refresh.
    state_.shared.refreshPending = true;
}

void BandModeWatch::follow(HostLink& host, GridWindows& windows) {
    if (!host.entryField(5, view_.watchedCall)) return;
    if (view_.watchedCall.size() == 1 || view_.watchedCall.size() == 2) return;
    {
        const auto d = state_.lock();
        for (auto& row : d->infoGridRows)
            for (size_t i = 1; i <= 4; ++i) row[i] = kEmptyGridCell;
    }
    if (view_.watchedCall.empty()) {
        if (!bandBranch(host, windows)) return;
    } else {
        callBranch(windows);
    }
    if (windows.dxccOpen()) windows.repaintDxccTable();
}

// False when the refresh ends here (a failed host call, or a frequency outside the bands).
bool BandModeWatch::bandBranch(HostLink& host, GridWindows& windows) {
    double hertz = 0.0;
    if (!host.frequency(hertz) || !host.mode(view_.watchedMode)) return false;
    // Before the band is known: a retune outside the bands is sent too.
    if (std::fabs(hertz - lastSp1Frequency_) > 300.0) {
        if (!host.executeMacro("<SP1>")) return false;
        lastSp1Frequency_ = hertz;
    }
    const int band = watchBandOfFrequency(hertz);
    if (band < 0) return false;
    view_.watchedBand = band;
    const bool rtty = view_.watchedMode == "RTTY";
    int dxccCount = 0;
    std::vector<std::string> areas;
    bool russian = false;
    {
        const auto d = state_.lock();
        const size_t b = static_cast<size_t>(band);
        dxccCount = static_cast<int>((rtty ? d->dxccRtty : d->dxccBpsk)[b].size());
        areas = (rtty ? d->areaRtty : d->areaBpsk)[b];
        russian = d->own.russianTexts;
    }
    const std::string label = watchBandName(band);
    if (windows.dxccOpen()) windows.setDxccTitle(dxccTitle(russian, rtty, label, dxccCount));
    if (!windows.areaOpen()) return true;
    windows.clearAreaMarks();
    windows.setAreaTitle(areaTitle(russian, rtty, static_cast<int>(areas.size()), label));
    for (const std::string& code : areas)
        for (const char* known : areaDisplayOrder)
            if (code == known) windows.markAreaWorked(code);
    windows.refreshAreaBoxes();
    return true;
}

void BandModeWatch::callBranch(GridWindows& windows) {
    std::string title;
    {
        const auto d = state_.lock();
        // The QSOs of this call only, from the index: a keystroke costs the same on any log.
        for (int i : d->index.entriesOfCall(view_.watchedCall)) {
            const CInfo& q = d->qsoLog[static_cast<size_t>(i)];
            for (int b = 0; b < kBandCount; ++b) {
                if (q.band != watchBandName(b)) continue;
                auto& row = d->infoGridRows[static_cast<size_t>(b)];
                if (q.mode == "RTTY")
                    row[1] = q.time.format("%H:%M");
                else if (q.mode == "BPSK63")
                    row[2] = q.time.format("%H:%M");
                row[3] = q.exchangeReceived;
            }
        }
        title = workedWithTitle(d->own.russianTexts, d->period.contestStartYear, view_.watchedCall);
    }
    if (windows.dxccOpen()) windows.setDxccTitle(title);
}
