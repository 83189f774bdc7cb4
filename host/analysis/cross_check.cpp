#include "analysis/cross_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

// A QSO of one log that may be one with another given station.
struct Candidate {
    size_t qso;
    bool exactCall;
};

struct Pair {
    int64_t apart;  // seconds
    size_t a, b;    // indices into the two candidate lists
};

// Pairs the candidates of two logs (those of log a that name station b and the other way
// round) in the order of the phases: both calls exact, then one of them busted.
void pairLogs(const StationLog& la, const std::vector<Candidate>& ca, const StationLog& lb,
              const std::vector<Candidate>& cb, int64_t tolerance, std::vector<size_t>& partnerA,
              std::vector<size_t>& partnerB) {
    partnerA.assign(ca.size(), kNoQso);
    partnerB.assign(cb.size(), kNoQso);
    for (int phase = 0; phase < 2; ++phase) {
        std::vector<Pair> pairs;
        for (size_t i = 0; i < ca.size(); ++i) {
            if (partnerA[i] != kNoQso) continue;
            const Qso& qa = (*la.qsos)[ca[i].qso];
            for (size_t j = 0; j < cb.size(); ++j) {
                if (partnerB[j] != kNoQso) continue;
                const int busted = !ca[i].exactCall + !cb[j].exactCall;
                if (busted != phase) continue;
                const Qso& qb = (*lb.qsos)[cb[j].qso];
                if (qa.band != qb.band || !iequals(qa.mode, qb.mode)) continue;
                const int64_t apart = std::llabs(toEpochSeconds(qa.time) - toEpochSeconds(qb.time));
                if (apart <= tolerance) pairs.push_back({apart, i, j});
            }
        }
        std::sort(pairs.begin(), pairs.end(), [](const Pair& x, const Pair& y) {
            return x.apart != y.apart ? x.apart < y.apart : x.a != y.a ? x.a < y.a : x.b < y.b;
        });
        for (const Pair& p : pairs) {
            if (partnerA[p.a] != kNoQso || partnerB[p.b] != kNoQso) continue;
            partnerA[p.a] = p.b;
            partnerB[p.b] = p.a;
        }
    }
}

}  // namespace

bool sameExchange(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    if (allDigits(a) && allDigits(b)) return withoutLeadingZeros(a) == withoutLeadingZeros(b);
    return iequals(a, b);
}

CrossCheck crossCheck(const std::vector<StationLog>& logs, int toleranceMinutes) {
    const size_t n = logs.size();
    CrossCheck result(n);
    std::unordered_map<std::string, size_t> station;
    NearMissIndex nearStations;
    for (size_t i = 0; i < n; ++i) {
        result[i].resize(logs[i].qsos->size());
        station.emplace(logs[i].call, i);
        nearStations.add(logs[i].call);
    }
    nearStations.build();

    // candidates[a * n + b]: the QSOs of log a that may be with station b.
    std::vector<std::vector<Candidate>> candidates(n * n);
    for (size_t a = 0; a < n; ++a) {
        const std::vector<Qso>& qsos = *logs[a].qsos;
        for (size_t q = 0; q < qsos.size(); ++q) {
            const std::string call = toUpper(qsos[q].call);
            auto exact = station.find(call);
            if (exact != station.end()) {
                if (exact->second != a) candidates[a * n + exact->second].push_back({q, true});
                continue;
            }
            for (uint32_t b : nearStations.query(call))
                if (b != a) candidates[a * n + b].push_back({q, false});
        }
    }

    const int64_t tolerance = int64_t(toleranceMinutes) * 60;
    for (size_t a = 0; a < n; ++a) {
        for (size_t b = a + 1; b < n; ++b) {
            const std::vector<Candidate>& ca = candidates[a * n + b];
            const std::vector<Candidate>& cb = candidates[b * n + a];
            std::vector<size_t> partnerA, partnerB;
            pairLogs(logs[a], ca, logs[b], cb, tolerance, partnerA, partnerB);
            // Each side is judged on what it wrote: the other's call, then what it received.
            auto judge = [&](size_t self, const std::vector<Candidate>& mine, const std::vector<size_t>& partner,
                             size_t other, const std::vector<Candidate>& theirs) {
                for (size_t i = 0; i < mine.size(); ++i) {
                    QsoCheck& c = result[self][mine[i].qso];
                    if (partner[i] == kNoQso) {
                        if (!mine[i].exactCall) continue;
                        c = {true, Finding::notInOtherLog, other, kNoQso};
                        continue;
                    }
                    const Qso& q = (*logs[self].qsos)[mine[i].qso];
                    const Qso& there = (*logs[other].qsos)[theirs[partner[i]].qso];
                    Finding f = Finding::none;
                    if (!mine[i].exactCall)
                        f = Finding::bustedCall;
                    else if (!sameExchange(q.exchangeReceived, there.exchangeSent))
                        f = Finding::bustedExchange;
                    c = {true, f, other, theirs[partner[i]].qso};
                }
            };
            judge(a, ca, partnerA, b, cb);
            judge(b, cb, partnerB, a, ca);
        }
    }
    return result;
}

}  // namespace replay
