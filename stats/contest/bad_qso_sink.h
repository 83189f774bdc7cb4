// Where the engine reports the QSOs it rejects or marks: the bad-QSO report implements
// it, tests record it. The engine knows nothing of files.
#pragma once
#include <string>

#include "contest/args.h"
#include "contest/datetime.h"

enum class BadQsoReason { wrongBand, wrongMode, noRxNumber, badArea, dupe };

class BadQsoSink {
public:
    virtual ~BadQsoSink() = default;
    // One entry for a rejected or marked QSO.
    virtual void record(const QsoArgs& qso, BadQsoReason reason) = 0;
    // A QSO left the log: drop the entries of this call at this hour and minute.
    virtual void forget(const std::string& call, const DateTime& time) = 0;
    // Entries that count as bad QSOs (every entry but dupes).
    virtual int badQsoCount() const = 0;
};
