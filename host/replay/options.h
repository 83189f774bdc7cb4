// The replay tool's command line.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "logs/timestamp.h"

namespace replay {

struct CallCheck {
    std::string call;
    std::string area;  // handed to CheckCall0 as the station's area; usually empty
};

// The Cabrillo header values an operator types into the plug-in's header dialog, as the
// command line sets them (each one only when given; an empty value clears it).
struct HeaderOptions {
    std::optional<std::string> operators, name, address, email, club, soapbox;
};

struct Options {
    std::string logPath;
    std::string pluginPath;  // empty: beside the program, then the build tree
    std::string ctyPath;     // empty: the platform's default
    std::string ownCall;     // empty: from the log
    std::string hostFolder;  // ResetStats0's host folder
    std::string outDir;      // empty: the current folder
    bool html = false;       // setVersion is called first: HTML summary
    bool hasStart = false, hasEnd = false;
    Timestamp start, end;
    bool cabrillo = false;
    bool fresh = false;     // start from a clean settings file
    bool force = false;     // a log with skipped lines may replace an existing Cabrillo file
    bool noDialog = false;  // Windows: confirm the header dialog as it opens
    HeaderOptions header;
    bool explain = false;  // list why each QSO does not count
    bool strict = false;
    bool utf8 = false;
    bool verbose = false;
    bool timing = false;
    std::vector<CallCheck> checks;
    std::string checkBand, checkMode;         // empty: the last QSO's
    std::string reportPath;                   // --report: the analysis page; empty: none
    std::vector<std::string> crossCheckLogs;  // with --report: other stations' logs
    std::string findingsPath;                 // --findings: every finding of the cross-check, CSV
    std::string perStationDir;                // --per-station: one result file per station
    std::string scpPath;                      // empty: MASTER.SCP beside the default country file
    int toleranceMinutes = 3;                 // how far apart the two logs of one QSO may be
    bool hasTolerance = false;
};

enum class CommandLine { run, help, version, error };

// args excludes the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args, Options& options, std::string& error);
std::string usageText();

// The version text --html hands to setVersion.
extern const char* const kHostVersionText;

// This project's version, for --version.
extern const char* const kProjectVersion;

}  // namespace replay
