// The Cabrillo 2.0 log for submission: the header values (edited in the header dialog
// and kept in the settings file between runs) and the queued QSO lines.
#pragma once
#include <string>
#include <vector>

#include "contest/datetime.h"
#include "platform/seams.h"
#include "settings.h"

class CabrilloLog {
public:
    std::string callsign, name, address, claimed, contest, arrlSection, email, club, soapbox, operators, category;
    std::string fileBase;
    std::vector<std::string> qsoLines;

    // Loads the header values, runs the dialog and saves what the operator confirmed.
    // True when confirmed. The dates are accepted but written nowhere.
    bool prepareHeader(const std::string& ownCall, const DateTime& start, const DateTime& end, const Settings& settings,
                       HeaderDialog& dialog);
    void addQsoLine(const std::string& call, unsigned frequencyKhz, const std::string& modeCode, const DateTime& time,
                    const std::string& rstSent, const std::string& exchangeSent, const std::string& rstReceived,
                    const std::string& exchangeReceived);

    struct WriteResult {
        bool ok;
        std::string message;  // "File produced: <name>.cbr", or why it was not
    };
    // Writes fileBase + ".cbr" through a temporary file renamed into place, so a failed
    // export leaves the previous file as it was.
    WriteResult writeFile(int claimedScore, const std::string& hostVersion) const;

    static std::string fileBaseFor(const std::string& ownCall);
    static std::string modeCode(const std::string& mode);
};
