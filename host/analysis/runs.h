// What the analysis page asks of the plug-in besides the scoring run, and how its
// answers become the page. Every figure is the plug-in's: the log is replayed again, in
// time order with a result after each bin of the time axis (as a host asks for the
// result whenever it refreshes its display), once for each further mode, and once for
// each station of a cross-check, with and without the QSOs the cross-check fails.
//
// The plug-in keeps what it learns of the own station for as long as it is loaded, as
// it keeps it in the host. So a station whose own prefix or continent differs from the
// first log's is scored by a copy of the plug-in of its own, loaded from a copy of the
// library: each station is scored as by a host of its own.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "analysis/call_list.h"
#include "analysis/cross_check.h"
#include "analysis/findings_export.h"
#include "analysis/page.h"
#include "analysis/timeline.h"
#include "logs/cty.h"
#include "logs/log.h"
#include "plugin/report_join.h"
#include "plugin/stats_plugin.h"
#include "plugin/summary_figures.h"

namespace replay {

// One log as the runs hand it to the plug-in.
struct AnalysisLog {
    std::string file;  // as messages and the page name it
    const LogData* log = nullptr;
    std::string ownCall;
    CtyResult own;
    std::vector<const CtyResult*> places;  // one per QSO
    Timestamp start, end;                  // the contest period handed to ResetStats0
};

// At most this many bins on the time axis, fewer for a long log.
constexpr size_t kMaxBins = 72;

class AnalysisRuns {
public:
    // logs[0] is the log the page is about; any others are cross-checked with it.
    AnalysisRuns(std::vector<AnalysisLog> logs, int toleranceMinutes);
    ~AnalysisRuns() { unloadCopies(); }

    // The runs, in the current folder; the files the plug-in writes there are of no
    // further use. plugin is loaded from pluginPath and scores the first log. False with
    // a reason when some figures could not be had; the page then leaves them out.
    bool runPlugin(StatsPlugin& plugin, const std::string& pluginPath, const std::string& hostFolder,
                   std::string& problem);
    // The copies' files lie in the work folder, which can go only once they are unloaded.
    void unloadCopies();

    // The calls to check. scp is null when the list could not be read.
    void checkCalls(const CallList* scp, const std::string& scpName, const std::vector<std::string>& unplaced);

    // The page, with what the scoring run gave: its summary (UTF-8), the reasons joined
    // from its bad-QSO report, and which QSOs it took into its log.
    AnalysisPage page(const std::string& summary, bool summaryIsHtml, const JoinedReport& joined,
                      const std::vector<bool>& logged) const;

    // With several logs: each station and its scores, and what the cross-check found.
    bool crossChecked() const { return logs_.size() > 1; }
    std::vector<StationResult> stations() const;
    const CrossCheck& findings() const { return cross_; }
    int toleranceMinutes() const { return tolerance_; }

private:
    void runTimeline(const StatsPlugin& plugin, const std::string& hostFolder, bool& readable);
    void runModes(const StatsPlugin& plugin, const std::string& hostFolder, bool& readable);
    bool runStations(StatsPlugin& plugin, const std::string& pluginPath, const std::string& hostFolder,
                     std::string& problem);

    std::vector<AnalysisLog> logs_;
    int tolerance_;
    bool haveFigures_ = false;
    SummaryFigures final_;
    std::vector<std::pair<std::string, size_t>> modes_;  // of the QSOs it logged, and how many
    TimeAxis axis_;
    std::vector<std::string> bands_;
    std::vector<TimelineBin> bins_;
    std::vector<BandModeRow> bandModes_;
    CrossCheck cross_;
    std::vector<bool> haveScores_;
    std::vector<long long> claimed_, checked_;
    std::vector<std::unique_ptr<StatsPlugin>> copies_;
    bool scpChecked_ = false;
    std::string scpName_;
    CappedList<CallToCheck> calls_;
    CappedList<UnplacedCall> unplaced_;
};

}  // namespace replay
