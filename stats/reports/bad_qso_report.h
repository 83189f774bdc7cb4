// The report of rejected and dupe QSOs, a text file beside the host: a header line,
// then one entry per reported QSO. Started afresh by each scoring run, appended to
// while the log is fed, filtered when a QSO is removed, and its lines are counted by
// the score.
#pragma once
#include <cstdio>
#include <string>

#include "../contest/datetime.h"

extern const char* const kBadQsoHeader;  // "TALVEN-CUP TEST UBN file "

namespace badqso {
extern const char* const wrongBand;
extern const char* const wrongMode;
extern const char* const noRxNumber;
extern const char* const badArea;  // spans two physical lines
extern const char* const dupe;
}  // namespace badqso

// What a report entry shows of one QSO.
struct BadQsoEntry {
    unsigned frequencyKhz = 0;
    std::string mode, time, ownCall, rstSent, exchangeSent, call, rstReceived, exchangeReceived;
};

class BadQsoReport {
public:
    // "BadQSO_StatsTALVENCP_dd_mm_yyyy.txt" from the contest end.
    static std::string fileNameFor(const DateTime& contestEnd);

    void setFileName(const std::string& name) { fileName_ = name; }
    const std::string& fileName() const { return fileName_; }

    // Replace any earlier content with the header line.
    void start();
    // Appends one entry; the file is opened on the first entry of a batch and kept open
    // until endBatch(), so a QSO that writes nothing never touches the file.
    void append(const BadQsoEntry& e, const char* message);
    void endBatch();
    // Keep every line but the header that does not contain both the call and " HHMM ".
    void removeEntriesOf(const std::string& call, const std::string& hhmm);
    // Lines that contain neither "DUPE" nor "UBN"; 0 when the file cannot be read.
    int countedLines() const;

    ~BadQsoReport() { endBatch(); }

private:
    std::string fileName_;
    std::FILE* batch_ = nullptr;
};
