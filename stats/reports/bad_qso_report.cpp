#include "reports/bad_qso_report.h"

#include "base/file.h"

const char* const kBadQsoHeader = "TALVEN-CUP TEST UBN file ";

namespace {

// Text mode: the platform's line end (CR LF on Windows), also for the break inside the
// area message.
bool writeLine(std::FILE* f, const std::string& line) {
    const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fputc('\n', f) != EOF;
    return std::fflush(f) == 0 && ok;
}

}  // namespace

std::string BadQsoReport::fileNameFor(const DateTime& contestEnd) {
    return "BadQSO_StatsTALVENCP_" + contestEnd.format("%d_%m_%Y") + ".txt";
}

const char* BadQsoReport::message(BadQsoReason reason) {
    switch (reason) {
        case BadQsoReason::wrongBand:
            return "   WRONG BAND !!!";
        case BadQsoReason::wrongMode:
            return "   WRONG MODE !!!";
        case BadQsoReason::noRxNumber:
            return "   NO RX NUMBER !!!";
        // HOST-QUIRK: "Ukrainan", and a line break that puts " !!!" on a line of its own.
        case BadQsoReason::badArea:
            return "   Ukrainan Code Area is not acceptable \n !!!";
        case BadQsoReason::dupe:
            return "   DUPE !!!";
    }
    return "";
}

void BadQsoReport::start(const std::string& fileName) {
    fileName_ = fileName;
    entries_.clear();
    failureReported_ = false;
    wrote(rewrite());
}

void BadQsoReport::record(const QsoArgs& a, BadQsoReason reason) {
    std::string text = "QSO:  " + std::to_string(a.frequencyHz / 1000);
    for (const std::string& piece : {a.mode, a.time.format("%Y-%m-%d %H%M"), a.ownCall, a.rstSent, a.exchangeSent,
                                     a.call, a.rstReceived, a.exchangeReceived}) {
        text += "  ";
        text += piece;
    }
    text += message(reason);
    entries_.push_back(Entry{std::move(text), reason != BadQsoReason::dupe});
    wrote((inStep_ && append(entries_.back())) || rewrite());
}

void BadQsoReport::forget(const std::string& call, const DateTime& time) {
    const std::string hhmm = " " + time.format("%H%M") + " ";
    std::vector<Entry> kept;
    for (Entry& e : entries_) {
        const std::string first = e.text.substr(0, e.text.find('\n'));
        if (first.find(call) != std::string::npos && first.find(hhmm) != std::string::npos) continue;
        kept.push_back(std::move(e));
    }
    entries_ = std::move(kept);
    wrote(rewrite());
}

int BadQsoReport::badQsoCount() const {
    int count = 0;
    for (const Entry& e : entries_) count += e.counted ? 1 : 0;
    return count;
}

std::string BadQsoReport::text() const {
    std::string out = std::string(kBadQsoHeader) + "\n";
    for (const Entry& e : entries_) out += e.text + "\n";
    return out;
}

bool BadQsoReport::append(const Entry& e) {
    UniqueFile f = openFile(fileName_, "a");
    if (!f) return false;
    // A file emptied or removed since the last write no longer holds the header and the
    // earlier entries: it is rewritten whole instead.
    if (std::fseek(f.get(), 0, SEEK_END) != 0 || std::ftell(f.get()) <= 0) return false;
    const bool ok = writeLine(f.get(), e.text);
    return closeFile(f) && ok;
}

bool BadQsoReport::rewrite() {
    if (fileName_.empty()) return false;  // no run started yet
    UniqueFile f = openFile(fileName_, "w");
    if (!f) return false;
    bool ok = writeLine(f.get(), kBadQsoHeader);
    for (const Entry& e : entries_) ok = ok && writeLine(f.get(), e.text);
    return closeFile(f) && ok;
}

void BadQsoReport::wrote(bool ok) {
    inStep_ = ok;
    if (ok) {
        failureReported_ = false;
    } else if (!failureReported_ && !fileName_.empty()) {
        failureReported_ = true;
        diagnostics_.fault("the bad-QSO report " + fileName_ + " could not be written; its entries still count");
    }
}
