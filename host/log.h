// A contest log as read from a file: the QSOs in file order and what could not be read.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "timestamp.h"

namespace replay {

struct Qso {
    int line = 0;    // line of the QSO (Cabrillo) or where its record starts (ADIF)
    int record = 0;  // ADIF record number, 0 for Cabrillo
    Timestamp time;
    uint64_t frequencyHz = 0;
    std::string band;  // "20m"; may be empty when the frequency is outside every band
    std::string mode;
    std::string ownCall;  // as the QSO carries it; may be empty
    std::string call;
    std::string rstSent, rstReceived;
    std::string exchangeSent, exchangeReceived;
};

struct LogIssue {
    int line = 0;    // 0: the file as a whole
    int record = 0;  // ADIF record number or 0
    std::string message;
};

enum class LogFormat { unknown, cabrillo, adif };

struct LogData {
    LogFormat format = LogFormat::unknown;
    std::string formatName;  // "Cabrillo 3.0", "ADIF", ... for messages
    std::string ownCall;     // CALLSIGN: header; empty when the log does not say
    std::vector<Qso> qsos;
    std::vector<LogIssue> issues;  // each one a skipped line or record
    int ignoredQsos = 0;           // X-QSO lines: the logger marked them as not to be scored
    bool stopped = false;          // strict reading stopped at the first issue
};

// Which reader fits the text: Cabrillo by START-OF-LOG: or QSO: lines, ADIF by its tags.
LogFormat detectFormat(std::string_view text);

// Readers append to out. With strict set they stop at the first issue.
void parseCabrillo(std::string_view text, bool strict, LogData& out);
void parseAdif(std::string_view text, bool strict, LogData& out);

// One Cabrillo "QSO:" line (the tag included). False with a reason when it cannot be used.
bool parseCabrilloQsoLine(std::string_view line, Qso& qso, std::string& error);

// Reads and parses a file. False (with error set) when there is nothing to replay at all:
// unreadable, empty, or in no format we know. Line issues are in out.issues.
bool readLogFile(const std::string& path, bool strict, LogData& out, std::string& error);

// "file:line: record N: message"
std::string describeIssue(const std::string& file, const LogIssue& issue);

}  // namespace replay
