#include "analysis/cross_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <unordered_map>

#include "analysis/call_list.h"
#include "ascii_text.h"

namespace replay {

namespace {

std::string_view withoutLeadingZeros(std::string_view s) {
    while (s.size() > 1 && s[0] == '0') s.remove_prefix(1);
    return s;
}

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool portableSuffix(std::string_view part) {
    return part == "P" || part == "M" || part == "QRP" || (part.size() == 1 && part[0] >= '0' && part[0] <= '9');
}

// A QSO of one log that names another given station exactly.
struct Entry {
    int64_t time;
    uint32_t log, qso;
};

// A pair the matching may make, and how far apart in time its two QSOs are.
struct Pair {
    int64_t apart;
    uint32_t logA, qsoA, logB, qsoB;
    bool operator<(const Pair& o) const {
        return std::tie(apart, logA, qsoA, logB, qsoB) < std::tie(o.apart, o.logA, o.qsoA, o.logB, o.qsoB);
    }
};

// Small numbers for the bands and modes, so that a group's key fits 64 bits (with up to
// 2^20 logs); past 4095 names (no contest has them) the last number is shared.
class Names {
public:
    uint16_t of(const std::string& name) {
        // A log keeps to one band and mode for many QSOs running.
        if (haveLast_ && name == last_) return lastId_;
        auto it = asWritten_.find(name);
        if (it == asWritten_.end()) {
            const uint32_t id = ids_.try_emplace(toUpper(name), uint32_t(ids_.size())).first->second;
            it = asWritten_.emplace(name, uint16_t(std::min<uint32_t>(id, 4095))).first;
        }
        last_ = name;
        lastId_ = it->second;
        haveLast_ = true;
        return lastId_;
    }

private:
    std::string last_;
    uint16_t lastId_ = 0;
    bool haveLast_ = false;
    std::unordered_map<std::string, uint32_t> ids_;
    std::unordered_map<std::string, uint16_t> asWritten_;
};

class Matcher {
public:
    Matcher(const std::vector<StationLog>& logs, int64_t tolerance) : logs_(logs), tolerance_(tolerance) {}
    CrossCheck run();

private:
    uint64_t key(uint32_t a, uint32_t b, uint32_t band, uint32_t mode) const {
        if (a > b) std::swap(a, b);
        return (uint64_t(a) << 44) | (uint64_t(b) << 24) | (uint64_t(band) << 12) | mode;
    }
    void index();
    void pairExact();
    void pairBusted();
    void judge();
    bool paired(uint32_t log, uint32_t qso) const { return result_[log][qso].otherQso != kNoQso; }
    void link(const Pair& p);
    void greedy(std::vector<Pair>& pairs);

    const std::vector<StationLog>& logs_;
    const int64_t tolerance_;
    CrossCheck result_;
    std::vector<std::vector<int64_t>> times_;
    std::vector<std::vector<uint32_t>> exact_;  // the station each QSO names exactly, or none
    std::vector<std::vector<uint16_t>> band_, mode_;
    std::unordered_map<std::string, uint32_t> station_;
    // The exact QSOs between two stations on one band and mode (a group), both logs' in
    // time order: group g holds entries_[first_[g]] up to entries_[first_[g + 1]].
    std::unordered_map<uint64_t, uint32_t> groupOf_;
    std::vector<uint32_t> first_;
    std::vector<Entry> entries_;
    static constexpr uint32_t kNone = uint32_t(-1);
};

void Matcher::index() {
    const size_t n = logs_.size();
    result_.assign(n, {});
    times_.resize(n);
    exact_.resize(n);
    band_.resize(n);
    mode_.resize(n);
    for (size_t i = 0; i < n; ++i) station_.emplace(stationOf(logs_[i].call), uint32_t(i));
    Names bands, modes;
    std::unordered_map<std::string, uint32_t> stationOfCall;  // the calls as logged
    size_t total = 0;
    for (const StationLog& l : logs_) total += l.qsos->size();
    groupOf_.reserve(total / 2 + 1);
    std::vector<uint32_t> groupOfEntry;  // in the order of the logs and their QSOs
    groupOfEntry.reserve(total);
    for (uint32_t a = 0; a < n; ++a) {
        const std::vector<Qso>& qsos = *logs_[a].qsos;
        result_[a].resize(qsos.size());
        times_[a].resize(qsos.size());
        exact_[a].assign(qsos.size(), kNone);
        band_[a].resize(qsos.size());
        mode_[a].resize(qsos.size());
        for (uint32_t q = 0; q < qsos.size(); ++q) {
            const Qso& x = qsos[q];
            times_[a][q] = toEpochSeconds(x.time);
            band_[a][q] = bands.of(x.band);
            mode_[a][q] = modes.of(x.mode);
            auto [it, added] = stationOfCall.try_emplace(x.call, kNone);
            if (added) {
                auto s = station_.find(stationOf(x.call));
                it->second = s == station_.end() ? kNone : s->second;
            }
            const uint32_t b = it->second;
            if (b == kNone || b == a) continue;
            exact_[a][q] = b;
            const auto g = groupOf_.try_emplace(key(a, b, band_[a][q], mode_[a][q]), uint32_t(groupOf_.size()));
            groupOfEntry.push_back(g.first->second);
        }
    }
    // Each group's entries together (a counting sort), then each in time order.
    first_.assign(groupOf_.size() + 1, 0);
    for (uint32_t g : groupOfEntry) ++first_[g + 1];
    for (size_t g = 1; g < first_.size(); ++g) first_[g] += first_[g - 1];
    std::vector<uint32_t> next(first_.begin(), first_.end() - 1);
    entries_.resize(groupOfEntry.size());
    size_t k = 0;
    for (uint32_t a = 0; a < n; ++a)
        for (uint32_t q = 0; q < exact_[a].size(); ++q)
            if (exact_[a][q] != kNone) entries_[next[groupOfEntry[k++]]++] = {times_[a][q], a, q};
    for (size_t g = 0; g + 1 < first_.size(); ++g)
        std::sort(entries_.begin() + first_[g], entries_.begin() + first_[g + 1], [](const Entry& x, const Entry& y) {
            return std::tie(x.time, x.log, x.qso) < std::tie(y.time, y.log, y.qso);
        });
}

void Matcher::link(const Pair& p) {
    result_[p.logA][p.qsoA].otherLog = p.logB;
    result_[p.logA][p.qsoA].otherQso = p.qsoB;
    result_[p.logB][p.qsoB].otherLog = p.logA;
    result_[p.logB][p.qsoB].otherQso = p.qsoA;
}

// Closest in time first, each QSO in one pair at most.
void Matcher::greedy(std::vector<Pair>& pairs) {
    std::sort(pairs.begin(), pairs.end());
    for (const Pair& p : pairs)
        if (!paired(p.logA, p.qsoA) && !paired(p.logB, p.qsoB)) link(p);
}

// Each group on its own: its time-sorted list walked once, every QSO meeting only those
// of the other log within the tolerance after it.
void Matcher::pairExact() {
    std::vector<Pair> pairs;
    for (size_t g = 0; g + 1 < first_.size(); ++g) {
        pairs.clear();
        for (uint32_t i = first_[g]; i < first_[g + 1]; ++i) {
            const Entry& x = entries_[i];
            for (uint32_t j = i + 1; j < first_[g + 1] && entries_[j].time <= x.time + tolerance_; ++j) {
                const Entry& y = entries_[j];
                if (y.log == x.log) continue;
                const Entry& lo = x.log < y.log ? x : y;
                const Entry& hi = x.log < y.log ? y : x;
                pairs.push_back({y.time - x.time, lo.log, lo.qso, hi.log, hi.qso});
            }
        }
        greedy(pairs);
    }
}

// A QSO still unpaired, naming a call one edit from a given station's, against that
// station's unpaired QSOs naming its log exactly.
void Matcher::pairBusted() {
    NearMissIndex near;
    near.reserve(logs_.size());
    for (const StationLog& l : logs_) near.add(stationOf(l.call));
    near.build();
    std::unordered_map<std::string, std::vector<uint32_t>> nearOf;
    std::vector<Pair> pairs;
    for (uint32_t a = 0; a < logs_.size(); ++a) {
        const std::vector<Qso>& qsos = *logs_[a].qsos;
        for (uint32_t q = 0; q < qsos.size(); ++q) {
            if (paired(a, q)) continue;
            auto [it, added] = nearOf.try_emplace(qsos[q].call);
            if (added) it->second = near.query(stationOf(qsos[q].call));
            for (uint32_t b : it->second) {
                if (b == a) continue;
                auto g = groupOf_.find(key(a, b, band_[a][q], mode_[a][q]));
                if (g == groupOf_.end()) continue;
                const int64_t t = times_[a][q];
                auto j =
                    std::lower_bound(entries_.begin() + first_[g->second], entries_.begin() + first_[g->second + 1],
                                     t - tolerance_, [](const Entry& e, int64_t v) { return e.time < v; });
                for (; j != entries_.begin() + first_[g->second + 1] && j->time <= t + tolerance_; ++j)
                    if (j->log == b && !paired(b, j->qso)) pairs.push_back({std::llabs(t - j->time), a, q, b, j->qso});
            }
        }
    }
    greedy(pairs);
}

// Each side is judged on what it wrote: the other's call, then what it received. A QSO
// not in the other log is shown that log's unpaired QSO naming it nearest in time.
void Matcher::judge() {
    std::unordered_map<uint64_t, std::vector<Entry>> unpaired;  // by the two logs, in order
    for (uint32_t a = 0; a < logs_.size(); ++a)
        for (uint32_t q = 0; q < exact_[a].size(); ++q)
            if (exact_[a][q] != kNone && !paired(a, q))
                unpaired[(uint64_t(a) << 32) | exact_[a][q]].push_back({times_[a][q], a, q});
    for (uint32_t a = 0; a < logs_.size(); ++a) {
        for (uint32_t q = 0; q < result_[a].size(); ++q) {
            QsoCheck& c = result_[a][q];
            const Qso& mine = (*logs_[a].qsos)[q];
            if (c.otherQso != kNoQso) {
                const Qso& there = (*logs_[c.otherLog].qsos)[c.otherQso];
                c.checked = true;
                if (exact_[a][q] != uint32_t(c.otherLog))
                    c.finding = Finding::bustedCall;
                else if (!sameExchange(mine.exchangeReceived, there.exchangeSent))
                    c.finding = Finding::bustedExchange;
                continue;
            }
            const uint32_t b = exact_[a][q];
            if (b == kNone) continue;
            c = {true, Finding::notInOtherLog, b, kNoQso, kNoQso};
            auto it = unpaired.find((uint64_t(b) << 32) | a);
            if (it == unpaired.end()) continue;
            int64_t best = 0;
            for (const Entry& e : it->second) {
                const int64_t apart = std::llabs(e.time - times_[a][q]);
                if (c.nearestQso == kNoQso || apart < best) {
                    best = apart;
                    c.nearestQso = e.qso;
                }
            }
        }
    }
}

CrossCheck Matcher::run() {
    index();
    pairExact();
    pairBusted();
    judge();
    return std::move(result_);
}

}  // namespace

const char* findingText(Finding f) {
    switch (f) {
        case Finding::notInOtherLog:
            return "not in the other log";
        case Finding::bustedCall:
            return "busted call";
        case Finding::bustedExchange:
            return "busted exchange";
        case Finding::none:
            break;
    }
    return "";
}

std::string stationOf(std::string_view call) {
    std::vector<std::string_view> parts;
    size_t from = 0;
    for (;;) {
        const size_t slash = call.find('/', from);
        parts.push_back(call.substr(from, slash == std::string_view::npos ? slash : slash - from));
        if (slash == std::string_view::npos) break;
        from = slash + 1;
    }
    while (parts.size() > 1 && portableSuffix(toUpper(parts.back()))) parts.pop_back();
    // Of a prefix and a call, the call is the longer part.
    if (parts.size() == 2) return toUpper(parts[0].size() > parts[1].size() ? parts[0] : parts[1]);
    std::string whole;
    for (size_t i = 0; i < parts.size(); ++i) whole += (i ? "/" : "") + toUpper(parts[i]);
    return whole;
}

bool sameExchange(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    if (allDigits(a) && allDigits(b)) return withoutLeadingZeros(a) == withoutLeadingZeros(b);
    return iequals(a, b);
}

CrossCheck crossCheck(const std::vector<StationLog>& logs, int toleranceMinutes) {
    return Matcher(logs, int64_t(toleranceMinutes) * 60).run();
}

std::string describeNearest(const std::string& self, const Qso& mine, const std::string& other, const Qso& theirs) {
    std::string text = other + " logged " + self;
    const int64_t apart = toEpochSeconds(theirs.time) - toEpochSeconds(mine.time);
    const int64_t minutes = (std::llabs(apart) + 30) / 60;
    if (minutes > 0)
        text += " " + std::to_string(minutes) + (minutes == 1 ? " minute " : " minutes ") +
                (apart > 0 ? "later" : "earlier");
    if (!iequals(theirs.band, mine.band)) text += " on " + (theirs.band.empty() ? std::string("no band") : theirs.band);
    if (!iequals(theirs.mode, mine.mode)) text += " in " + theirs.mode;
    if (minutes == 0 && iequals(theirs.band, mine.band) && iequals(theirs.mode, mine.mode)) text += " at the same time";
    return text;
}

}  // namespace replay
