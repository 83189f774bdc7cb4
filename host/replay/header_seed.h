// The Cabrillo header values the plug-in reads from its settings file at each export
// (Operators, Name, Address, Email, Club, SoapBox). The replay tool stands in for the
// operator who types them into the header dialog: it takes them from the command line,
// else from the log's own header, else keeps what the settings file holds.
#pragma once
#include <string>
#include <vector>

#include "logs/log.h"
#include "replay/options.h"
#include "replay/profile.h"

namespace replay {

// cleared: the settings file holds a value, but it was written for another station.
enum class ValueSource { commandLine, log, settingsFile, cleared, none };

struct HeaderValue {
    const char* key;     // the settings key, "Operators"
    const char* option;  // "--operators"
    std::string value;   // as the Cabrillo file will carry it; '\n' between lines
    ValueSource source = ValueSource::none;
    int line = 0;  // the log's line, for ValueSource::log
};

struct HeaderPlan {
    std::vector<HeaderValue> values;  // in the order of the settings keys above
    // The settings file's Operators name neither the own call nor anyone this run names:
    // it was written for another station, and none of its values is carried over.
    bool otherStation = false;
    std::string storedOperators;
    std::vector<std::string> cleared;  // keys whose stored value is not used for that reason
};

HeaderPlan planHeader(const LogHeader& log, const HeaderOptions& options, const ProfileFile& settings,
                      const std::string& ownCall);

// Writes the values into the settings, line breaks encoded as the plug-in stores them.
void seedSettings(const HeaderPlan& plan, ProfileFile& settings);

// "from the log (line 14)", "from --name", ...
std::string describeSource(const HeaderValue& value, const std::string& logFile);

// One line when the log's category or section differs from what the export will say
// (the plug-in writes its own unless the operator changes them in the dialog); empty when
// they agree or the log does not say.
std::string categoryNote(const LogHeader& log);

// True when the log names no contest or this one.
bool isThisContest(const std::string& contest);

}  // namespace replay
