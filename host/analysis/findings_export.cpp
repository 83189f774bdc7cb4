#include "analysis/findings_export.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numeric>

#include "analysis/runs.h"
#include "ascii_text.h"
#include "whole_file.h"

namespace replay {

namespace fs = std::filesystem;

namespace {

std::string minuteText(const Timestamp& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return s;
}

const char* findingCode(Finding f) {
    switch (f) {
        case Finding::notInOtherLog:
            return "nil";
        case Finding::bustedCall:
            return "busted_call";
        case Finding::bustedExchange:
            return "busted_exchange";
        default:
            return "";
    }
}

// A CSV field: quoted when it holds a comma, a quote or a line end, quotes doubled.
std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string countsText(const FindingCounts& c) {
    return std::to_string(c.notInOtherLog) + " not in the other log, " +
           plural(c.bustedCall, "busted call", "busted calls") + ", " +
           plural(c.bustedExchange, "busted exchange", "busted exchanges");
}

bool writeWhole(const std::string& path, const std::string& text, std::ostream& err) {
    std::string error;
    if (writeWholeFile(fs::u8path(path), text, error)) return true;
    err << "talven-replay: cannot write '" << printable(path, 200) << "': " << error << "\n";
    return false;
}

}  // namespace

FindingCounts countFindings(const std::vector<QsoCheck>& checks) {
    FindingCounts c;
    c.qsos = checks.size();
    for (const QsoCheck& q : checks) {
        c.checked += q.checked;
        c.notInOtherLog += q.finding == Finding::notInOtherLog;
        c.bustedCall += q.finding == Finding::bustedCall;
        c.bustedExchange += q.finding == Finding::bustedExchange;
    }
    return c;
}

std::vector<size_t> byCall(const std::vector<StationResult>& stations) {
    std::vector<size_t> order(stations.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return stations[a].call < stations[b].call; });
    return order;
}

std::string findingDetail(const std::vector<StationResult>& stations, const CrossCheck& cross, size_t station,
                          size_t qso, int toleranceMinutes) {
    const StationResult& self = stations[station];
    const QsoCheck& c = cross[station][qso];
    const Qso& mine = self.log->qsos[qso];
    const StationResult& other = stations[c.otherLog];
    if (c.finding == Finding::notInOtherLog) {
        std::string detail = "no QSO with " + self.call + " on " + mine.band + " " + mine.mode + " within " +
                             std::to_string(toleranceMinutes) + " minutes in " + other.call + "'s log";
        if (c.nearestQso != kNoQso) {
            const Qso& near = other.log->qsos[c.nearestQso];
            detail +=
                "; " + describeNearest(self.call, mine, other.call, near) + " (line " + std::to_string(near.line) + ")";
        }
        return printable(detail, 300);
    }
    const Qso& theirs = other.log->qsos[c.otherQso];
    std::string detail =
        other.call + "'s log, line " + std::to_string(theirs.line) + " at " + minuteText(theirs.time) + ": ";
    if (c.finding == Finding::bustedCall)
        detail += "the call is " + other.call;
    else
        detail += "sent " + theirs.exchangeSent + ", received here " + mine.exchangeReceived;
    return printable(detail, 300);
}

std::string findingsCsv(const std::vector<StationResult>& stations, const CrossCheck& cross, int toleranceMinutes) {
    std::string csv = "station,log,line,time,call,band,mode,finding,other_station,other_line,detail\n";
    for (size_t i : byCall(stations)) {
        const StationResult& s = stations[i];
        for (size_t q = 0; q < cross[i].size(); ++q) {
            const QsoCheck& c = cross[i][q];
            if (c.finding == Finding::none) continue;
            const Qso& mine = s.log->qsos[q];
            const uint32_t otherQso = c.otherQso != kNoQso ? c.otherQso : c.nearestQso;
            const std::string otherLine =
                otherQso == kNoQso ? std::string() : std::to_string(stations[c.otherLog].log->qsos[otherQso].line);
            for (const std::string& field :
                 {s.call, s.file, std::to_string(mine.line), minuteText(mine.time), mine.call, mine.band, mine.mode})
                csv += csvField(field) + ",";
            csv += std::string(findingCode(c.finding)) + "," + csvField(stations[c.otherLog].call) + "," + otherLine +
                   "," + csvField(findingDetail(stations, cross, i, q, toleranceMinutes)) + "\n";
        }
    }
    return csv;
}

std::string stationResultText(const std::vector<StationResult>& stations, const CrossCheck& cross, size_t station,
                              int toleranceMinutes) {
    const StationResult& s = stations[station];
    const FindingCounts c = countFindings(cross[station]);
    std::string t = "TALVEN-CUP log check of " + s.call + " (" + s.file + ")\n\n";
    t += "QSOs in the log: " + std::to_string(c.qsos) +
         ", with stations whose logs were checked: " + std::to_string(c.checked) + "\n";
    t += "Claimed score: " +
         (s.log->header.claimedScore.empty() ? std::string("not given") : s.log->header.claimedScore);
    if (s.haveScores) t += " (scored from the log: " + std::to_string(s.claimed) + ")";
    t += "\nChecked score: " + (s.haveScores ? std::to_string(s.checked) : std::string("not known")) + "\n";
    t += "Findings: " + countsText(c) + "\n";
    if (c.findings()) t += "\n";
    for (size_t q = 0; q < cross[station].size(); ++q) {
        const QsoCheck& k = cross[station][q];
        if (k.finding == Finding::none) continue;
        const Qso& mine = s.log->qsos[q];
        t += "line " + std::to_string(mine.line) + "  " + minuteText(mine.time) + "  " + printable(mine.call) + " " +
             mine.band + " " + mine.mode + ": " + findingText(k.finding) + "; " +
             findingDetail(stations, cross, station, q, toleranceMinutes) + "\n";
    }
    return t;
}

std::string stationResultName(const std::string& call) {
    std::string name = call;
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':') c = '_';
    return name + ".txt";
}

std::string crossCheckSummary(const std::vector<StationResult>& stations, const CrossCheck& cross, size_t skipped) {
    FindingCounts all;
    for (const std::vector<QsoCheck>& log : cross) {
        const FindingCounts c = countFindings(log);
        all.qsos += c.qsos;
        all.notInOtherLog += c.notInOtherLog;
        all.bustedCall += c.bustedCall;
        all.bustedExchange += c.bustedExchange;
    }
    return "cross-check: " + std::to_string(stations.size()) + " logs read, " + std::to_string(skipped) + " skipped, " +
           std::to_string(all.qsos) + " QSOs; " + countsText(all);
}

bool writeFindingFiles(const std::vector<StationResult>& stations, const CrossCheck& cross, int toleranceMinutes,
                       const std::string& csvPath, const std::string& dir, std::ostream& err) {
    bool ok = true;
    if (!csvPath.empty()) {
        ok = writeWhole(csvPath, findingsCsv(stations, cross, toleranceMinutes), err) && ok;
        if (ok) err << "talven-replay: wrote the findings " << printable(csvPath, 200) << "\n";
    }
    if (dir.empty()) return ok;
    std::error_code ec;
    fs::create_directories(fs::u8path(dir), ec);
    if (ec) {
        err << "talven-replay: cannot make the folder '" << printable(dir, 200) << "': " << ec.message() << "\n";
        return false;
    }
    // Thousands of small files: flushed to the disk together, not one by one.
    WholeFileBatch batch;
    size_t written = 0;
    auto failed = [&](const fs::path& path, const std::string& error) {
        err << "talven-replay: cannot write '" << printable(path.u8string(), 200) << "': " << error << "\n";
        ok = false;
    };
    for (size_t i = 0; i < stations.size(); ++i) {
        const fs::path path = fs::u8path(dir) / fs::u8path(stationResultName(stations[i].call));
        std::string error;
        if (batch.add(path, stationResultText(stations, cross, i, toleranceMinutes), error))
            ++written;
        else
            failed(path, error);
    }
    for (const WholeFileBatch::Failure& f : batch.commit()) {
        failed(f.target, f.error);
        --written;
    }
    err << "talven-replay: wrote " << written << " station results in " << printable(dir, 200) << "\n";
    return ok;
}

}  // namespace replay
