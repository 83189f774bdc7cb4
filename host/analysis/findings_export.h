// What a contest's log checker takes away from a cross-check: every finding in one CSV
// file a program can read, one plain-text result per station as sponsors send them to
// entrants, and one line that sums it all up.
#pragma once
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/cross_check.h"
#include "logs/log.h"

namespace replay {

// A station of the cross-check and its scores.
struct StationResult {
    std::string file, call;
    const LogData* log = nullptr;
    bool haveScores = false;
    long long claimed = 0, checked = 0;  // the plug-in's, of the whole log and without what fails
};

struct FindingCounts {
    size_t qsos = 0, checked = 0, notInOtherLog = 0, bustedCall = 0, bustedExchange = 0;
    size_t findings() const { return notInOtherLog + bustedCall + bustedExchange; }
};
FindingCounts countFindings(const std::vector<QsoCheck>& checks);

// The stations' indices sorted by call, as every list of them is shown.
std::vector<size_t> byCall(const std::vector<StationResult>& stations);

// What the other log says about one finding.
std::string findingDetail(const std::vector<StationResult>& stations, const CrossCheck& cross, size_t station,
                          size_t qso, int toleranceMinutes);

// The header line, then one line per finding, stations by call, QSOs in log order.
std::string findingsCsv(const std::vector<StationResult>& stations, const CrossCheck& cross, int toleranceMinutes);

// One station's findings and its claimed and checked score.
std::string stationResultText(const std::vector<StationResult>& stations, const CrossCheck& cross, size_t station,
                              int toleranceMinutes);

// The name of a station's result file: its call with '/' as '_', then ".txt".
std::string stationResultName(const std::string& call);

// "cross-check: 4 logs read, 0 skipped, 9,612 QSOs; 5 not in the other log, 2 busted
// calls, 1 busted exchange"
std::string crossCheckSummary(const std::vector<StationResult>& stations, const CrossCheck& cross, size_t skipped);

// Writes the CSV file (csvPath not empty) and the per-station results into folder dir
// (not empty; made when missing), each file whole or not at all. False when one could
// not be written; err says which.
bool writeFindingFiles(const std::vector<StationResult>& stations, const CrossCheck& cross, int toleranceMinutes,
                       const std::string& csvPath, const std::string& dir, std::ostream& err);

}  // namespace replay
