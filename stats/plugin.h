// The plug-in behind the exports: the contest state, the reports and the settings,
// with the operations the host drives. The exports convert the host's arguments and
// call these; tests call them directly with a platform of their own.
#pragma once
#include <string>
#include <vector>

#include "contest/state.h"
#include "platform/seams.h"
#include "reports/bad_qso_report.h"
#include "reports/cabrillo_log.h"
#include "settings.h"

struct ResetArgs {
    std::string hostFolder;
    int exportRequested = 0;
    std::string ownCall;
    DateTime start, end;
    std::string ownPrefix, ownContinent;
};

struct QsoArgs {
    std::string ownCall, call;
    DateTime time;
    unsigned frequencyHz = 0;
    std::string mode, rstSent, rstReceived, exchangeSent, exchangeReceived, prefix, continent, band;
};

struct CallCheckArgs {
    std::string call, mode, stationText, prefix, area;
    const char* band = nullptr;   // may be null
    const char* band2 = nullptr;  // may be null
};

struct CallCheckAnswer {
    int result = 0;
    bool warningWritten = false;
    std::string warning;
    bool hintWritten = false;
    std::string hint;
};

// One band's figures, or the totals.
struct BandRow {
    std::string band;
    int qsos = 0, points = 0, dxcc = 0, areas = 0, rttyQsos = 0, bpskQsos = 0;
};

struct ScoreFigures {
    std::vector<BandRow> bands;
    BandRow total;
    int dupes = 0, badQsoCount = 0, score = 0, lastQsoPoints = 0;
    int qsos60 = 0, points60 = 0, qsos10 = 0, points10 = 0;
};

class Plugin {
public:
    explicit Plugin(Platform& platform);

    int resetStats(const ResetArgs& a);
    int addData(const QsoArgs& a);
    int removeData(const QsoArgs& a);
    // The summary text; stays valid until the next call.
    const std::string& getResult();
    CallCheckAnswer checkCall(const CallCheckArgs& a);
    void setHtml() { state_.htmlOutput = 1; }

    // Recomputes the figures and rebuilds the worked lists (part of getResult).
    ScoreFigures computeScore();

    ContestState& state() { return state_; }
    const BadQsoReport& report() const { return report_; }
    CabrilloLog& cabrillo() { return cabrillo_; }
    Platform& platform() { return platform_; }

private:
    void changeRule(CInfo& q, int n);
    void runExport();

    Platform& platform_;
    Settings settings_;
    ContestState state_;
    BadQsoReport report_;
    CabrilloLog cabrillo_;
    std::string resultText_;
};

// The layout of the figures for the host.
std::string buildSummary(const ScoreFigures& f, const ContestState& s, bool logEmpty);

// The plug-in instance behind the exports.
Plugin& thePlugin();
