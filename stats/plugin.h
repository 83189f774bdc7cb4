// The plug-in behind the exports: the contest engine over the contest state, the
// bad-QSO report, the Cabrillo log and the settings, composed, with the operations the
// host drives. The exports convert the host's arguments and call these; tests call
// them directly with a platform of their own.
#pragma once
#include <string>

#include "contest/args.h"
#include "contest/engine.h"
#include "contest/state.h"
#include "platform/seams.h"
#include "reports/bad_qso_report.h"
#include "reports/cabrillo_log.h"
#include "settings.h"

class Plugin {
public:
    explicit Plugin(Platform& platform);
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    void resetStats(const ResetArgs& a);
    // True when the QSO entered the log.
    bool addData(const QsoArgs& a);
    void removeData(const QsoArgs& a);
    // The summary text; stays valid until the next call.
    const std::string& getResult();
    CallCheckAnswer checkCall(const CallCheckArgs& a);
    void setHtml();

    ContestState& state() { return state_; }
    ContestEngine& engine() { return engine_; }
    const BadQsoReport& report() const { return report_; }
    CabrilloLog& cabrillo() { return cabrillo_; }

private:
    // Whether this run starts the operator windows, by the "Start" toggle and the host version.
    void startWindowsIfDue();

    Platform& platform_;
    Settings settings_;
    ContestState state_;
    BadQsoReport report_;
    ContestEngine engine_;
    CabrilloLog cabrillo_;
    std::string resultText_;
};

// The plug-in instance behind the exports.
Plugin& thePlugin();
