// The analysis page: one self-contained HTML file (inline style and SVG, no script, no
// file or address outside it) that opens from disk in any browser and prints readably.
// It lays out what AnalysisPage holds; every figure in it comes from the plug-in.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "analysis/cross_check.h"
#include "analysis/timeline.h"
#include "logs/timestamp.h"
#include "plugin/summary_figures.h"

namespace replay {

// At most this many entries of a list are shown; the page counts the rest.
constexpr size_t kPageListLimit = 200;

// A QSO as the page names it: where the log has it and what it says.
struct PageQso {
    int line = 0, record = 0;
    Timestamp time;
    std::string call, band, mode;
};

template <class T>
struct CappedList {
    std::vector<T> items;  // the first kPageListLimit
    size_t more = 0;       // how many more there are
    void add(T item) {
        if (items.size() < kPageListLimit)
            items.push_back(std::move(item));
        else
            ++more;
    }
    size_t size() const { return items.size() + more; }
};

struct BandModeRow {
    std::string band, mode;  // mode empty: all modes of the band
    long long qsos = 0, points = 0, dxcc = 0, areas = 0;
};

// One bin of the time axis: the plug-in's figures for the QSOs up to its end, less those
// up to its start.
struct TimelineBin {
    std::vector<long long> qsos;  // counted, per band of AnalysisPage::bands
    long long newDxcc = 0, newAreas = 0;
    long long score = 0;  // at the bin's end
};

struct NotCountedQso {
    PageQso qso;
    std::string reasons;  // the plug-in's words
    bool logged = false;  // in its log, not counted; else refused
};

struct CallToCheck {
    PageQso qso;
    bool notInScp = false;
    std::vector<std::string> nearCalls;  // "DL1ABC (in MASTER.SCP)", "DL1ABD (3 QSOs in the log)"
};

struct UnplacedCall {
    std::string call;
    size_t qsos = 0;
    PageQso first;
};

struct CrossLogRow {
    std::string file, call;
    size_t qsos = 0, checked = 0, notInOtherLog = 0, bustedCall = 0, bustedExchange = 0;
    bool haveScores = false;
    long long claimed = 0, checkedScore = 0;
    std::string claimedInLog;  // the log's CLAIMED-SCORE:, empty when it gives none
};

struct CrossMismatch {
    std::string station;  // whose log holds the QSO
    PageQso qso;
    Finding finding = Finding::none;
    std::string detail;  // what the other log says
};

struct AnalysisPage {
    std::string ownCall, logFile, formatName, version;
    size_t qsoCount = 0;
    Timestamp start, end;            // the contest period handed to the plug-in
    std::vector<std::string> notes;  // what the reader should know first
    std::string summary;             // the scoring run's summary, UTF-8
    bool summaryIsHtml = false;

    bool haveFigures = false;  // the plug-in's summaries could be read
    std::vector<BandModeRow> bandModes;
    SummaryRow total;

    TimeAxis axis;
    std::vector<std::string> bands;  // of the timeline, in the plug-in's order
    std::vector<TimelineBin> bins;

    size_t bandChanges = 0, modeChanges = 0;
    std::vector<BandModeChange> changes;  // every one, for the chart
    CappedList<std::pair<BandModeChange, PageQso>> warnedChanges;

    CappedList<NotCountedQso> notCounted;

    bool scpChecked = false;
    std::string scpName;
    CappedList<CallToCheck> callsToCheck;
    CappedList<UnplacedCall> unplaced;

    bool crossChecked = false;
    int toleranceMinutes = 3;
    std::vector<CrossLogRow> crossLogs;
    CappedList<CrossMismatch> mismatches;  // stations by call, QSOs in log order
    std::string findingsFile;              // where all of them are written (--findings), or empty
};

std::string renderPage(const AnalysisPage& page);

// Text for HTML: markup characters escaped, and bytes that are not UTF-8 replaced.
std::string htmlEscape(std::string_view text);

}  // namespace replay
