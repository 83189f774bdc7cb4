// The contest engine: judging the QSOs the host feeds, taking them out again, the call
// check and the score, over the contest state. It reports what the bad-QSO report must
// record through BadQsoSink and asks for window updates through WindowBridge; it knows
// nothing of files, settings or dialogs.
//
// Every operation takes the state's lock itself and calls the window bridge only after
// releasing it, so the window thread is never kept waiting on the host's thread.
#pragma once
#include "contest/args.h"
#include "contest/bad_qso_sink.h"
#include "contest/figures.h"
#include "contest/state.h"
#include "contest/window_bridge.h"

class ContestEngine {
public:
    ContestEngine(ContestState& state, BadQsoSink& report, WindowBridge& windows)
        : state_(state), report_(report), windows_(windows) {}

    // The contest's part of a run's start: the period, an empty log and worked-band
    // list, the own station and the info grid rows. Records `exportRequested`.
    void startRun(const ResetArgs& a);
    // True when the QSO entered the log (also as a dupe or with a bad area).
    bool add(const QsoArgs& a);
    // Takes the first matching QSO out (when there is one) and repairs what depended on it.
    void remove(const QsoArgs& a);
    // The answer for a call being typed at `now` (UTC).
    CallCheckAnswer checkCall(const CallCheckArgs& a, const DateTime& now);
    // Recomputes every figure from the log and rebuilds the worked-multiplier lists.
    ScoreFigures computeScore();

private:
    ContestState& state_;
    BadQsoSink& report_;
    WindowBridge& windows_;
};
