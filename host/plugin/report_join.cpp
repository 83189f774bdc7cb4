#include "plugin/report_join.h"

#include <cstdio>
#include <unordered_set>

#include "ascii_text.h"

namespace replay {

namespace {

struct Entry {
    std::string text;  // continuation lines joined with a blank
    bool dupe = false;
};

std::vector<Entry> entriesOf(std::string_view report) {
    std::vector<Entry> entries;
    size_t pos = 0;
    std::string_view line;
    bool first = true;
    while (nextLine(report, pos, line)) {
        if (first) {  // the title line
            first = false;
            continue;
        }
        if (line.substr(0, 4) == "QSO:") {
            entries.push_back({std::string(line), false});
        } else if (!entries.empty() && !trim(line).empty()) {
            entries.back().text += ' ';
            entries.back().text += line;
        }
    }
    for (Entry& e : entries) e.dupe = e.text.find("DUPE") != std::string::npos;
    return entries;
}

// The plug-in's words without its blanks and exclamation marks: "DUPE", "WRONG BAND".
std::string reasonWords(std::string_view message) {
    std::string out;
    for (std::string_view w : splitWhitespace(message)) {
        if (w.find_first_not_of('!') == std::string_view::npos) continue;
        if (!out.empty()) out += ' ';
        out += w;
    }
    return out.empty() ? "no reason given" : out;
}

std::string khz(const Qso& q) { return std::to_string(q.frequencyHz / 1000); }

// The entry's text as the plug-in writes it for this QSO, up to its message.
std::string entryStart(const Qso& q) {
    return "QSO:  " + khz(q) + "  " + q.mode + "  " + reportTime(q.time) + "  " + q.ownCall + "  " + q.rstSent + "  " +
           q.exchangeSent + "  " + q.call + "  " + q.rstReceived + "  " + q.exchangeReceived;
}

// Whether the entry is this QSO's, and its message: the exact text first; a plug-in that
// words its entries differently is still joined by call and time.
bool belongsTo(const Entry& e, const Qso& q, std::string& reason) {
    const std::string start = entryStart(q);
    if (e.text.compare(0, start.size(), start) == 0) {
        reason = reasonWords(std::string_view(e.text).substr(start.size()));
        return true;
    }
    const size_t at = e.text.find("  " + reportTime(q.time) + "  ");
    if (at == std::string::npos) return false;
    const size_t call = e.text.find("  " + q.call + "  ", at);
    if (call == std::string::npos) return false;
    const size_t message = e.text.find("   ", call + q.call.size() + 2);
    reason = reasonWords(message == std::string::npos ? std::string_view() : std::string_view(e.text).substr(message));
    return true;
}

}  // namespace

std::string reportTime(const Timestamp& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d%02d", t.year, t.month, t.day, t.hour, t.minute);
    return s;
}

JoinedReport joinReport(std::string_view report, const std::vector<Qso>& qsos, const std::vector<bool>& logged) {
    JoinedReport out;
    out.verdicts.resize(qsos.size());
    // Which logged QSOs repeat an earlier one's call, band and mode: only those can be dupes.
    std::vector<bool> repeats(qsos.size(), false);
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < qsos.size(); ++i) {
        out.verdicts[i].logged = i < logged.size() && logged[i];
        if (!out.verdicts[i].logged) continue;
        repeats[i] = !seen.insert(qsos[i].call + '\n' + qsos[i].band + '\n' + qsos[i].mode).second;
    }
    std::vector<bool> hasOwnReason(qsos.size(), false);
    size_t next = 0;  // entries follow the QSOs' order: no entry belongs before this one
    size_t misses = 0;
    for (const Entry& e : entriesOf(report)) {
        bool joined = false;
        // After many entries that fit nothing the plug-in writes something else: stop
        // searching the whole log for each.
        for (size_t i = next; i < qsos.size() && misses < 50 && !joined; ++i) {
            QsoVerdict& v = out.verdicts[i];
            const bool free = e.dupe ? (v.logged && repeats[i] && !v.dupe) : (!hasOwnReason[i] && !v.dupe);
            std::string reason;
            if (!free || !belongsTo(e, qsos[i], reason)) continue;
            v.reasons.push_back(reason);
            if (e.dupe) {
                v.dupe = true;
            } else {
                hasOwnReason[i] = true;
                v.bad = v.logged;
            }
            next = i;
            joined = true;
        }
        if (!joined) {
            ++misses;
            out.unmatched.push_back(printable(e.text, 200));
        }
    }
    return out;
}

ReplayCounts countVerdicts(const std::vector<QsoVerdict>& verdicts) {
    ReplayCounts c;
    c.replayed = verdicts.size();
    for (const QsoVerdict& v : verdicts) {
        if (!v.logged) {
            ++c.refused;
            continue;
        }
        ++c.logged;
        c.dupes += v.dupe;
        c.bad += v.bad;
        c.dupeAndBad += v.dupe && v.bad;
        c.counted += !v.dupe && !v.bad;
    }
    return c;
}

std::string reconcile(const ReplayCounts& c) {
    std::string s = std::to_string(c.replayed) + " QSOs replayed: " + std::to_string(c.refused) +
                    " refused by the plug-in, " + std::to_string(c.logged) + " logged = " + std::to_string(c.counted) +
                    " counted + " + std::to_string(c.dupes) + " dupes + " + std::to_string(c.bad) + " bad QSOs";
    if (c.dupeAndBad) s += " - " + std::to_string(c.dupeAndBad) + " both dupe and bad";
    s += "; in the summary Total " + std::to_string(c.counted) + ", Dupe " + std::to_string(c.dupes) + ", Bad QSO " +
         std::to_string(c.refused + c.bad) + " (" + std::to_string(c.refused) + " refused + " + std::to_string(c.bad) +
         " bad)";
    return s;
}

}  // namespace replay
