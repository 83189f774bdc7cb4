// The replay tool's command line.
#pragma once
#include <string>
#include <vector>

#include "timestamp.h"

namespace replay {

struct CallCheck {
    std::string call;
    std::string area;  // handed to CheckCall0 as the station's area; usually empty
};

struct Options {
    std::string logPath;
    std::string pluginPath;   // empty: beside the program, then the build tree
    std::string ctyPath;      // empty: the platform's default
    std::string ownCall;      // empty: from the log
    std::string hostFolder;   // ResetStats0's host folder
    std::string outDir;       // empty: the current folder
    bool html = false;        // setVersion is called first: HTML summary
    bool hasStart = false, hasEnd = false;
    Timestamp start, end;
    bool cabrillo = false;
    bool strict = false;
    bool utf8 = false;
    bool verbose = false;
    bool timing = false;
    std::vector<CallCheck> checks;
    std::string checkBand, checkMode;  // empty: the last QSO's
};

enum class CommandLine { run, help, error };

// args excludes the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args, Options& options, std::string& error);
std::string usageText();

// The version text --html hands to setVersion.
extern const char* const kHostVersionText;

}  // namespace replay
