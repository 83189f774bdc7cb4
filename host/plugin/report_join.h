// Why each QSO does not count: the plug-in's bad-QSO report joined to the QSOs the
// replay handed it. The report stays as the plug-in wrote it; the tool only reads it.
//
// An entry is "QSO:  kHz  mode  date time  own call  RST  exchange  call  RST  exchange"
// followed by the plug-in's message (the area message spans two lines). Entries come in
// the order the QSOs were added; a QSO has at most one entry of its own reason (refused,
// or logged with a bad area code) and one "DUPE" entry after it. A dupe is never the
// first QSO of its call, band and mode, which tells identical QSOs apart.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "logs/log.h"

namespace replay {

struct QsoVerdict {
    bool logged = true;                // AddData0 took it into the log
    bool dupe = false;                 // the report has its DUPE entry
    bool bad = false;                  // logged, with an entry of another reason (the area code)
    std::vector<std::string> reasons;  // the plug-in's words, "DUPE", "WRONG BAND", ...
};

struct JoinedReport {
    std::vector<QsoVerdict> verdicts;    // one per QSO, in replay order
    std::vector<std::string> unmatched;  // entries that fit no QSO, as printable text
};

struct ReplayCounts {
    size_t replayed = 0, refused = 0, logged = 0, counted = 0, dupes = 0, bad = 0, dupeAndBad = 0;
};

// qsos as handed to AddData0; logged[i] is its result.
JoinedReport joinReport(std::string_view report, const std::vector<Qso>& qsos, const std::vector<bool>& logged);
ReplayCounts countVerdicts(const std::vector<QsoVerdict>& verdicts);

// "302 QSOs replayed: 2 refused by the plug-in, 300 logged = 292 counted + 5 dupes + 3 bad
// QSOs; in the summary Total 292, Dupe 5, Bad QSO 5 (2 refused + 3 bad)"
std::string reconcile(const ReplayCounts& c);

// "2024-12-14 1201": the minute as the report and the Cabrillo file write it.
std::string reportTime(const Timestamp& t);

}  // namespace replay
