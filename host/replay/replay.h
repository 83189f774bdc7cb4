// One replay: read the log, place the calls, drive the plug-in, report.
#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "logs/log.h"
#include "replay/options.h"

namespace replay {

enum ExitCode { exitClean = 0, exitSkipped = 1, exitUsage = 2, exitUnusable = 3 };

// Contest period handed to ResetStats0: the options, else the first QSO's minute to the
// last second of the last QSO's minute. False when neither tells.
bool contestPeriod(const Options& options, const std::vector<Qso>& qsos, Timestamp& start, Timestamp& end);

// Files the plug-in is expected to write, relative to its working folder.
std::string badQsoReportName(const Timestamp& contestEnd);   // BadQSO_StatsTALVENCP_dd_mm_yyyy.txt
std::string cabrilloExportName(const std::string& ownCall);  // "/" and "\" become "_", plus ".cbr"

// What CheckCall0's answer means.
std::string describeCheckAnswer(int answer);

// The whole program after the command line has been read. buildTreePlugin is the plug-in
// library of the build that made this program, tried when none lies beside it.
int runReplay(const Options& options, const std::string& buildTreePlugin, std::ostream& out, std::ostream& err);

}  // namespace replay
