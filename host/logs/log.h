// A contest log as read from a file: the QSOs in file order and what could not be read.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "logs/timestamp.h"

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

// A station value of the log's header. It is given when the log has its tag, even with
// nothing after it: the logger then says the value is empty.
struct HeaderField {
    bool given = false;
    std::string value;  // the lines of ADDRESS and SOAPBOX joined by '\n'
    int line = 0;       // where the log gives it first
};

// What the header says about the station and the contest: the values an operator types
// into the plug-in's Cabrillo header dialog, and what to compare the export with.
struct LogHeader {
    HeaderField operators, name, address, email, club, soapbox;
    std::string contest;       // CONTEST:, or ADIF's CONTEST_ID
    std::string category;      // CATEGORY: of 2.0, or CATEGORY-OPERATOR, -BAND and -POWER of 3.0
    std::string location;      // ARRL-SECTION: of 2.0, LOCATION: of 3.0
    std::string claimedScore;  // CLAIMED-SCORE: as the entrant gave it
};

struct LogData {
    LogFormat format = LogFormat::unknown;
    std::string formatName;  // "Cabrillo 3.0", "ADIF", ... for messages
    std::string ownCall;     // CALLSIGN: header; empty when the log does not say
    LogHeader header;
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

// Reads and parses a file ("-": standard input). False (with error set, naming the file)
// when there is nothing to replay at all: unreadable, empty, larger than a contest log
// can be, or in no format we know. Line issues are in out.issues.
bool readLogFile(const std::string& path, bool strict, LogData& out, std::string& error);

// Reads a whole file of at most limit bytes, checking the size before reading where the
// file has one (pipes and devices are read up to the limit). "-" is standard input.
// False with a reason naming the file, called a noun ("log", "country file"), when it
// cannot be read or is larger.
bool readWholeFile(const std::string& path, size_t limit, const std::string& noun, std::string& text,
                   std::string& error);

// How messages name a log: "'path'", or "from standard input" for "-".
std::string logName(const std::string& path);

// "file:line: record N: message"
std::string describeIssue(const std::string& file, const LogIssue& issue);

}  // namespace replay
