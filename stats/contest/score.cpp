// The score, the multipliers and the rates, recomputed from the log on every request
// in one pass over it.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "contest/engine.h"

namespace {

// Longest wavelength first: names are compared as byte strings after padding them
// with leading zeros to 20 characters, so "160m" > "80m" > "40m" > ... > "10m".
void sortWorkedBands(std::vector<std::string>& bands) {
    const auto padded = [](std::string s) {
        while (s.size() < 20) s.insert(s.begin(), '0');
        return s;
    };
    for (size_t i = 0; i + 1 < bands.size(); ++i)
        for (size_t j = i + 1; j < bands.size(); ++j)
            if (padded(bands[i]) < padded(bands[j])) std::swap(bands[i], bands[j]);
}

struct ModeSets {
    std::unordered_set<std::string> prefixes, areas;
    std::vector<std::string> prefixList, areaList;  // first-worked order
};

struct BandWork {
    BandRow row;
    int ukraine = 0, ownContinent = 0, otherContinent = 0;
    ModeSets rtty, bpsk;
};

void addMultipliers(ModeSets& m, const CInfo& q, BandRow& row) {
    if (!q.area.empty() && m.areas.insert(q.area).second) {
        m.areaList.push_back(q.area);
        ++row.areas;
    }
    if (m.prefixes.insert(q.prefix).second) {
        m.prefixList.push_back(q.prefix);
        ++row.dxcc;
    }
}

}  // namespace

ScoreFigures ContestEngine::computeScore() {
    ScoreFigures f;
    const auto d = state_.lock();
    const auto& log = d->qsoLog;
    const OwnStation& own = d->own;
    const bool haveLast = !log.empty();
    // With an empty log there is no last entry: no band and no time to measure from.
    const std::string lastBand = haveLast ? log.back().band : std::string();
    const DateTime lastTime = haveLast ? log.back().time : DateTime();
    const bool ownUkraine = own.ownIsUkraine;
    const bool ownEurope = own.ownIsEurope;

    sortWorkedBands(d->workedBands);
    d->badQsoCount = report_.badQsoCount();
    f.badQsoCount = d->badQsoCount;

    std::vector<BandWork> work(d->workedBands.size());
    std::unordered_map<std::string, size_t> slot;
    for (size_t i = 0; i < d->workedBands.size(); ++i) {
        work[i].row.band = d->workedBands[i];
        slot.emplace(d->workedBands[i], i);
    }

    const int k = lastBand == "80m" ? 2 : 1;
    const auto qsoPoints = [&](const CInfo& q) {
        if (ownUkraine) {
            if (q.prefix == own.ownPrefix || q.continent == own.ownContinent) return k;
            return 3 * k;
        }
        if (q.prefix == "UR") return (ownEurope ? 5 : 10) * k;
        if (q.continent == own.ownContinent) return k;
        return 3 * k;
    };

    for (const CInfo& q : log) {
        const auto it = slot.find(q.band);
        if (it == slot.end() || q.call.empty()) continue;
        BandWork& b = work[it->second];
        f.dupes += q.dupe;
        if (q.notCounted != 0) continue;
        ++b.row.qsos;
        if (q.band == lastBand) {
            const int p = qsoPoints(q);
            f.lastQsoPoints = p;
            if (d->exportRequested == 0) {
                const long long m = wholeMinutesBetween(q.time, lastTime);
                if (m < 60) {
                    ++f.qsos60;
                    f.points60 += p;
                }
                if (m < 10) {
                    ++f.qsos10;
                    f.points10 += p;
                }
            }
        }
        if (ownUkraine) {
            ++(q.continent == own.ownContinent ? b.ownContinent : b.otherContinent);
        } else if (q.prefix == "UR") {
            ++b.ukraine;
        } else {
            ++(q.continent == own.ownContinent ? b.ownContinent : b.otherContinent);
        }
        if (q.mode == "RTTY") {
            ++b.row.rttyQsos;
            addMultipliers(b.rtty, q, b.row);
        }
        if (q.mode == "BPSK63") {
            ++b.row.bpskQsos;
            addMultipliers(b.bpsk, q, b.row);
        }
    }

    for (BandWork& b : work) {
        const int w = b.row.band == "80m" ? 2 : 1;
        if (ownUkraine)
            b.row.points = w * (3 * b.otherContinent + b.ownContinent);
        else
            b.row.points = w * ((ownEurope ? 5 : 10) * b.ukraine + b.ownContinent + 3 * b.otherContinent);

        const int j = bandIndex(b.row.band);
        d->dxccRtty[j] = std::move(b.rtty.prefixList);
        d->areaRtty[j] = std::move(b.rtty.areaList);
        d->dxccBpsk[j] = std::move(b.bpsk.prefixList);
        d->areaBpsk[j] = std::move(b.bpsk.areaList);

        BandRow& t = f.total;
        t.qsos += b.row.qsos;
        t.points += b.row.points;
        t.dxcc += b.row.dxcc;
        t.areas += b.row.areas;
        t.rttyQsos += b.row.rttyQsos;
        t.bpskQsos += b.row.bpskQsos;
        f.bands.push_back(b.row);
    }
    f.total.band = "Total";
    // 32-bit figures as the host shows them; a product past 2^31 wraps instead of being undefined.
    f.score = static_cast<int>(static_cast<long long>(f.total.dxcc + f.total.areas) * f.total.points);
    d->claimedScore = f.score;
    return f;
}
