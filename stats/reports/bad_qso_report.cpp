#include "bad_qso_report.h"

#include <fstream>
#include <vector>

const char* const kBadQsoHeader = "TALVEN-CUP TEST UBN file ";

namespace badqso {
const char* const wrongBand = "   WRONG BAND !!!";
const char* const wrongMode = "   WRONG MODE !!!";
const char* const noRxNumber = "   NO RX NUMBER !!!";
const char* const badArea = "   Ukrainan Code Area is not acceptable \n !!!";
const char* const dupe = "   DUPE !!!";
}  // namespace badqso

namespace {
// Text mode: the platform's line end (CR LF on Windows).
void writeLine(std::FILE* f, const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fputc('\n', f);
    std::fflush(f);
}
}  // namespace

std::string BadQsoReport::fileNameFor(const DateTime& contestEnd) {
    return "BadQSO_StatsTALVENCP_" + contestEnd.format("%d_%m_%Y") + ".txt";
}

void BadQsoReport::start() {
    endBatch();
    if (std::FILE* f = std::fopen(fileName_.c_str(), "w")) {
        writeLine(f, kBadQsoHeader);
        std::fclose(f);
    }
}

void BadQsoReport::append(const BadQsoEntry& e, const char* message) {
    if (!batch_) batch_ = std::fopen(fileName_.c_str(), "a");
    if (!batch_) return;  // lost silently; acceptance does not depend on it
    std::string line = "QSO:  " + std::to_string(e.frequencyKhz);
    for (const std::string* piece : {&e.mode, &e.time, &e.ownCall, &e.rstSent, &e.exchangeSent, &e.call,
                                     &e.rstReceived, &e.exchangeReceived}) {
        line += "  ";
        line += *piece;
    }
    line += message;
    writeLine(batch_, line);
}

void BadQsoReport::endBatch() {
    if (batch_) std::fclose(batch_);
    batch_ = nullptr;
}

void BadQsoReport::removeEntriesOf(const std::string& call, const std::string& hhmm) {
    endBatch();
    std::vector<std::string> kept;
    {
        std::ifstream in(fileName_);
        std::string line;
        bool first = true;
        const std::string time = " " + hhmm + " ";
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (first) {
                first = false;
                continue;
            }
            if (line.find(call) != std::string::npos && line.find(time) != std::string::npos) continue;
            kept.push_back(line);
        }
    }
    if (std::FILE* f = std::fopen(fileName_.c_str(), "w")) {
        writeLine(f, kBadQsoHeader);
        for (const auto& l : kept) writeLine(f, l);
        std::fclose(f);
    }
}

int BadQsoReport::countedLines() const {
    std::ifstream in(fileName_);
    if (!in) return 0;
    int count = 0;
    std::string line;
    while (std::getline(in, line))
        if (line.find("DUPE") == std::string::npos && line.find("UBN") == std::string::npos) ++count;
    return count;
}
