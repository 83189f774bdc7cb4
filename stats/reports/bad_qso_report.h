// The report of rejected and dupe QSOs, a text file beside the host: a header line,
// then one entry per reported QSO. Started afresh by each scoring run, appended to
// while the log is fed, and pruned when a QSO is removed.
//
// The entries are kept in memory and written through to the file, so the bad-QSO count
// and removals never depend on reading the file back: an entry counts once even when
// its text spans two lines, removal takes an entry out with its continuation line, and
// a file that could not be written (a folder in its place, a full disk) loses nothing
// that counts. A file that fell out of step is rewritten whole at the next change.
#pragma once
#include <string>
#include <vector>

#include "contest/bad_qso_sink.h"
#include "contest/datetime.h"
#include "platform/seams.h"

extern const char* const kBadQsoHeader;  // "TALVEN-CUP TEST UBN file "

class BadQsoReport : public BadQsoSink {
public:
    explicit BadQsoReport(Diagnostics& diagnostics) : diagnostics_(diagnostics) {}
    BadQsoReport(const BadQsoReport&) = delete;
    BadQsoReport& operator=(const BadQsoReport&) = delete;

    // "BadQSO_StatsTALVENCP_dd_mm_yyyy.txt" from the contest end.
    static std::string fileNameFor(const DateTime& contestEnd);
    // The message that ends an entry for this reason (it begins with three blanks).
    static const char* message(BadQsoReason reason);

    // No entries; the file `fileName` is replaced by the header line.
    void start(const std::string& fileName);
    void record(const QsoArgs& qso, BadQsoReason reason) override;
    // Drops every entry whose first line holds the call and the time as " HHMM ".
    void forget(const std::string& call, const DateTime& time) override;
    int badQsoCount() const override;

    // What the file holds when it is in step: the header and every entry, LF line ends.
    std::string text() const;

private:
    struct Entry {
        std::string text;  // without its line end; the area message holds a line break
        bool counted;      // every entry but a dupe's
    };
    bool append(const Entry& e);
    bool rewrite();
    void wrote(bool ok);

    Diagnostics& diagnostics_;
    std::string fileName_;
    std::vector<Entry> entries_;
    bool inStep_ = false;           // the file holds exactly the header and entries_
    bool failureReported_ = false;  // one message per failure, not one per QSO
};
