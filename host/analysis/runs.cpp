#include "analysis/runs.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <numeric>
#include <unordered_map>

#include "ascii_text.h"
#include "plugin/workspace.h"

namespace replay {

namespace fs = std::filesystem;

namespace {

// The plug-in recomputes its result from the whole log whenever it is asked, so a long
// log gets fewer, longer bins: the results of a timeline cost about bins times QSOs.
size_t maxBins(size_t qsos) { return std::clamp<size_t>(qsos ? 2400000 / qsos : kMaxBins, 24, kMaxBins); }

PageQso pageQso(const Qso& q) { return {q.line, q.record, q.time, q.call, q.band, q.mode}; }

// One scoring run as the host makes it: ResetStats0, AddData0 for the QSOs of order,
// and GetResult0 once the number of QSOs added reaches each of resultsAfter.
struct RunOutput {
    std::vector<SummaryFigures> results;
    std::vector<bool> logged;  // by QSO index
    bool readable = true;      // every summary could be read
};

RunOutput scoringRun(const StatsPlugin& plugin, const std::string& hostFolder, const AnalysisLog& log,
                     const std::vector<size_t>& order, const std::vector<size_t>& resultsAfter) {
    RunOutput out;
    const std::vector<Qso>& qsos = log.log->qsos;
    out.logged.assign(qsos.size(), false);
    plugin.reset(hostFolder, false, log.ownCall, log.start, log.end, log.own.prefix, log.own.continent);
    size_t next = 0;
    auto results = [&](size_t added) {
        for (; next < resultsAfter.size() && resultsAfter[next] <= added; ++next) {
            int code = 0;
            const char* text = plugin.getResult(&code);
            SummaryFigures f;
            if (!text || !parseSummary(text, f)) out.readable = false;
            out.results.push_back(std::move(f));
        }
    };
    results(0);
    for (size_t k = 0; k < order.size(); ++k) {
        const Qso& q = qsos[order[k]];
        const CtyResult& where = *log.places[order[k]];
        out.logged[order[k]] = plugin.addQso(q, q.ownCall, where.prefix, where.continent) != 0;
        results(k + 1);
    }
    return out;
}

std::vector<size_t> allOf(size_t n) {
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    return order;
}

}  // namespace

AnalysisRuns::AnalysisRuns(std::vector<AnalysisLog> logs, int toleranceMinutes)
    : logs_(std::move(logs)), tolerance_(toleranceMinutes) {}

void AnalysisRuns::unloadCopies() {
    for (auto& copy : copies_) copy->unload();
    copies_.clear();
}

bool AnalysisRuns::runPlugin(StatsPlugin& plugin, const std::string& pluginPath, const std::string& hostFolder,
                             std::string& problem) {
    bool readable = true;
    runTimeline(plugin, hostFolder, readable);
    if (readable) runModes(plugin, hostFolder, readable);
    haveFigures_ = readable;
    if (!readable) problem = "the plug-in's summary could not be read";
    if (logs_.size() > 1 && !runStations(plugin, pluginPath, hostFolder, problem)) return false;
    return readable;
}

// The first log in time order, with a result at the end of each bin: the QSOs, the
// multipliers and the score up to then.
void AnalysisRuns::runTimeline(const StatsPlugin& plugin, const std::string& hostFolder, bool& readable) {
    const AnalysisLog& log = logs_[0];
    const std::vector<Qso>& qsos = log.log->qsos;
    std::vector<size_t> order = allOf(qsos.size());
    std::vector<int64_t> when(qsos.size());
    for (size_t i = 0; i < qsos.size(); ++i) when[i] = toEpochSeconds(qsos[i].time);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return when[a] < when[b]; });

    int64_t first = toEpochSeconds(log.start), last = toEpochSeconds(log.end);
    if (!order.empty()) {
        first = std::min(first, when[order.front()]);
        last = std::max(last, when[order.back()]);
    }
    axis_ = chooseTimeAxis(first, last, maxBins(qsos.size()));
    // How many QSOs lie up to the end of each bin; a result where that grows.
    std::vector<size_t> upTo(axis_.bins), resultsAfter;
    size_t k = 0;
    for (size_t b = 0; b < axis_.bins; ++b) {
        while (k < order.size() && axis_.binOf(when[order[k]]) <= b) ++k;
        upTo[b] = k;
        if (k > 0 && (resultsAfter.empty() || resultsAfter.back() < k)) resultsAfter.push_back(k);
    }
    if (resultsAfter.empty() || resultsAfter.back() != order.size()) resultsAfter.push_back(order.size());
    RunOutput run = scoringRun(plugin, hostFolder, log, order, resultsAfter);
    if (!run.readable || run.results.empty()) {
        readable = false;
        return;
    }
    final_ = run.results.back();
    for (const SummaryRow& r : final_.bands) bands_.push_back(r.band);

    const SummaryFigures none;
    const SummaryFigures* before = &none;
    size_t result = 0;
    for (size_t b = 0; b < axis_.bins; ++b) {
        while (result < resultsAfter.size() && resultsAfter[result] < upTo[b]) ++result;
        const SummaryFigures* now = upTo[b] == 0 ? &none : &run.results[result];
        TimelineBin bin;
        for (const std::string& band : bands_) {
            const SummaryRow* a = now->band(band);
            const SummaryRow* z = before->band(band);
            bin.qsos.push_back((a ? a->qsos : 0) - (z ? z->qsos : 0));
        }
        bin.newDxcc = now->total.dxcc - before->total.dxcc;
        bin.newAreas = now->total.areas - before->total.areas;
        bin.score = now->score;
        bins_.push_back(std::move(bin));
        before = now;
    }
    haveScores_.assign(logs_.size(), false);
    claimed_.assign(logs_.size(), 0);
    checked_.assign(logs_.size(), 0);
    haveScores_[0] = true;
    claimed_[0] = checked_[0] = final_.score;
    // Which QSOs the plug-in takes does not depend on their order.
    std::vector<std::pair<std::string, size_t>> modes;
    for (size_t i = 0; i < qsos.size(); ++i) {
        if (!run.logged[i]) continue;
        auto it = std::find_if(modes.begin(), modes.end(), [&](const auto& m) { return m.first == qsos[i].mode; });
        if (it == modes.end())
            modes.push_back({qsos[i].mode, 1});
        else
            ++it->second;
    }
    modes_ = std::move(modes);
}

// Each band's figures per mode: the QSOs of each mode scored alone. The mode with the
// most QSOs is what its band's figures leave over, which saves its run.
void AnalysisRuns::runModes(const StatsPlugin& plugin, const std::string& hostFolder, bool& readable) {
    const AnalysisLog& log = logs_[0];
    const std::vector<Qso>& qsos = log.log->qsos;
    std::vector<std::pair<std::string, SummaryFigures>> byMode;
    size_t largest = 0;
    for (size_t m = 1; m < modes_.size(); ++m)
        if (modes_[m].second > modes_[largest].second) largest = m;
    for (size_t m = 0; m < modes_.size() && modes_.size() > 1; ++m) {
        if (m == largest) continue;
        std::vector<size_t> order;
        for (size_t i = 0; i < qsos.size(); ++i)
            if (qsos[i].mode == modes_[m].first) order.push_back(i);
        RunOutput run = scoringRun(plugin, hostFolder, log, order, {order.size()});
        if (!run.readable) {
            readable = false;
            return;
        }
        byMode.push_back({modes_[m].first, run.results.back()});
    }
    // The usual modes first, then the others as they came.
    std::vector<std::string> names;
    for (const char* usual : {"RTTY", "BPSK63"})
        for (const auto& m : modes_)
            if (m.first == usual) names.push_back(m.first);
    for (const auto& m : modes_)
        if (std::find(names.begin(), names.end(), m.first) == names.end()) names.push_back(m.first);

    for (const SummaryRow& band : final_.bands) {
        std::vector<BandModeRow> rows;
        for (const std::string& mode : names) {
            BandModeRow r{band.band, mode, band.qsos, band.points, band.dxcc, band.areas};
            if (modes_.size() > 1 && mode != modes_[largest].first) {
                r = {band.band, mode, 0, 0, 0, 0};
                for (const auto& [name, figures] : byMode)
                    if (name == mode)
                        if (const SummaryRow* x = figures.band(band.band))
                            r = {band.band, mode, x->qsos, x->points, x->dxcc, x->areas};
            } else if (modes_.size() > 1) {
                for (const auto& [name, figures] : byMode)
                    if (const SummaryRow* x = figures.band(band.band)) {
                        r.qsos -= x->qsos;
                        r.points -= x->points;
                        r.dxcc -= x->dxcc;
                        r.areas -= x->areas;
                    }
            }
            if (r.qsos || r.points || r.dxcc || r.areas) rows.push_back(r);
        }
        bandModes_.insert(bandModes_.end(), rows.begin(), rows.end());
        if (rows.size() != 1) bandModes_.push_back({band.band, "", band.qsos, band.points, band.dxcc, band.areas});
    }
}

// The cross-check, and each station's claimed and checked score.
bool AnalysisRuns::runStations(StatsPlugin& plugin, const std::string& pluginPath, const std::string& hostFolder,
                               std::string& problem) {
    std::vector<StationLog> stations;
    for (const AnalysisLog& l : logs_) stations.push_back({l.ownCall, &l.log->qsos});
    cross_ = crossCheck(stations, tolerance_);
    if (haveScores_.size() != logs_.size()) {
        haveScores_.assign(logs_.size(), false);
        claimed_.assign(logs_.size(), 0);
        checked_.assign(logs_.size(), 0);
    }

    // The instance that scores each station: the loaded one for the first log's own
    // prefix and continent, a copy for each other pair.
    std::map<std::pair<std::string, std::string>, const StatsPlugin*> instances;
    instances[{logs_[0].own.prefix, logs_[0].own.continent}] = &plugin;
    const fs::path library = fs::u8path(pluginPath);
    bool ok = true;
    for (size_t i = 0; i < logs_.size(); ++i) {
        const AnalysisLog& log = logs_[i];
        const auto key = std::make_pair(log.own.prefix, log.own.continent);
        if (!instances.count(key)) {
            const fs::path copy = fs::current_path() /
                                  fs::u8path(std::to_string(copies_.size() + 1) + "-" + library.filename().u8string());
            std::error_code ec;
            fs::copy_file(library, copy, fs::copy_options::overwrite_existing, ec);
            auto instance = std::make_unique<StatsPlugin>();
            std::string error;
            if (ec || !instance->load(copy.u8string(), error)) {
                problem = "cannot load a copy of the plug-in for " + log.ownCall + ": " + (ec ? ec.message() : error);
                ok = false;
                continue;
            }
            instances[key] = instance.get();
            copies_.push_back(std::move(instance));
        }
        const StatsPlugin& scorer = *instances[key];
        const size_t n = log.log->qsos.size();
        if (i > 0) {
            RunOutput claimed = scoringRun(scorer, hostFolder, log, allOf(n), {n});
            if (!claimed.readable) {
                problem = "the plug-in's summary for " + log.ownCall + " could not be read";
                ok = false;
                continue;
            }
            claimed_[i] = checked_[i] = claimed.results.back().score;
        } else if (!haveScores_[0]) {
            continue;
        }
        std::vector<size_t> kept;
        for (size_t q = 0; q < n; ++q)
            if (cross_[i][q].finding == Finding::none) kept.push_back(q);
        if (kept.size() != n) {
            RunOutput checked = scoringRun(scorer, hostFolder, log, kept, {kept.size()});
            if (!checked.readable) {
                problem = "the plug-in's summary for " + log.ownCall + " could not be read";
                ok = false;
                continue;
            }
            checked_[i] = checked.results.back().score;
        }
        haveScores_[i] = true;
    }
    return ok;
}

void AnalysisRuns::checkCalls(const CallList* scp, const std::string& scpName,
                              const std::vector<std::string>& unplaced) {
    const std::vector<Qso>& qsos = logs_[0].log->qsos;
    scpChecked_ = scp != nullptr;
    scpName_ = scpName;
    struct Worked {
        size_t qsos = 0, first = 0;
    };
    std::unordered_map<std::string, Worked> worked;
    worked.reserve(qsos.size());
    std::vector<const Worked*> workedOf(qsos.size());
    for (size_t i = 0; i < qsos.size(); ++i) {
        auto [it, added] = worked.try_emplace(qsos[i].call);
        if (added) it->second.first = i;
        ++it->second.qsos;
        workedOf[i] = &it->second;
    }

    // The calls a busted one may have been meant as: the list's, and those worked more
    // than once (a call worked once is no better evidence than the one it resembles).
    // The list's calls keep their places in it as ids.
    struct Known {
        bool inList = false;
        size_t qsos = 0;
    };
    NearMissIndex index;
    std::vector<Known> known;
    if (scp) {
        index.reserve(scp->calls().size() + 64);
        for (const std::string& call : scp->calls()) index.add(call);
        known.assign(scp->calls().size(), Known{true, 0});
    }
    for (const auto& [call, w] : worked) {
        if (w.qsos < 2) continue;
        const long listed = scp ? scp->indexOf(call) : -1;
        if (listed >= 0) {
            known[size_t(listed)].qsos = w.qsos;
        } else {
            index.add(call);
            known.push_back({false, w.qsos});
        }
    }
    index.build();

    for (size_t i = 0; i < qsos.size(); ++i) {
        if (workedOf[i]->qsos != 1) continue;
        const Qso& q = qsos[i];
        CallToCheck c{pageQso(q), scp && !scp->contains(q.call), {}};
        // Beyond the listed ones, a call not in the list needs no search: it is only counted.
        if (c.notInScp && calls_.items.size() >= kPageListLimit) {
            ++calls_.more;
            continue;
        }
        // The call that decided comes first: the one worked most often, then the list's.
        std::vector<uint32_t> near = index.query(q.call);
        std::stable_sort(near.begin(), near.end(),
                         [&](uint32_t a, uint32_t b) { return known[a].qsos > known[b].qsos; });
        const bool nearRepeated = !near.empty() && known[near.front()].qsos > 1;
        for (uint32_t id : near) {
            const Known& k = known[id];
            if (c.nearCalls.size() >= 5) break;
            std::string text = index.word(id) + " (";
            if (k.inList) text += "in the list";
            if (k.qsos > 1) text += std::string(k.inList ? ", " : "") + std::to_string(k.qsos) + " QSOs in the log";
            c.nearCalls.push_back(text + ")");
        }
        if (c.notInScp || nearRepeated) calls_.add(std::move(c));
    }

    for (const std::string& call : unplaced) {
        auto it = worked.find(call);
        if (it == worked.end()) continue;  // the own call
        unplaced_.add({call, it->second.qsos, pageQso(qsos[it->second.first])});
    }
}

AnalysisPage AnalysisRuns::page(const std::string& summary, bool summaryIsHtml, const JoinedReport& joined,
                                const std::vector<bool>& logged) const {
    const AnalysisLog& log = logs_[0];
    const std::vector<Qso>& qsos = log.log->qsos;
    AnalysisPage p;
    p.ownCall = log.ownCall;
    p.logFile = log.file;
    p.formatName = log.log->formatName;
    p.qsoCount = qsos.size();
    p.start = log.start;
    p.end = log.end;
    p.summary = summary;
    p.summaryIsHtml = summaryIsHtml;
    p.haveFigures = haveFigures_;
    if (!haveFigures_)
        p.notes.push_back("The plug-in's summary could not be read: its figures per band, mode and hour are left out.");
    p.bandModes = bandModes_;
    p.total = final_.total;
    p.axis = axis_;
    p.bands = bands_;
    p.bins = bins_;

    p.changes = bandModeChanges(qsos, logged);
    for (const BandModeChange& c : p.changes) {
        ++(c.band ? p.bandChanges : p.modeChanges);
        if (c.warned) p.warnedChanges.add({c, pageQso(qsos[c.qso])});
    }
    for (size_t i = 0; i < qsos.size() && i < joined.verdicts.size(); ++i) {
        const QsoVerdict& v = joined.verdicts[i];
        if (v.logged && !v.dupe && !v.bad) continue;
        std::string reasons;
        for (const std::string& r : v.reasons) reasons += (reasons.empty() ? "" : "; ") + r;
        p.notCounted.add({pageQso(qsos[i]), reasons.empty() ? "no entry in the bad-QSO report" : reasons, v.logged});
    }
    p.scpChecked = scpChecked_;
    p.scpName = scpName_;
    p.callsToCheck = calls_;
    p.unplaced = unplaced_;

    if (logs_.size() > 1) {
        p.crossChecked = true;
        p.toleranceMinutes = tolerance_;
        const std::vector<StationResult> all = stations();
        for (size_t i : byCall(all)) {
            const StationResult& s = all[i];
            const FindingCounts c = countFindings(cross_[i]);
            p.crossLogs.push_back({s.file, s.call, c.qsos, c.checked, c.notInOtherLog, c.bustedCall, c.bustedExchange,
                                   s.haveScores, s.claimed, s.checked, s.log->header.claimedScore});
            for (size_t q = 0; q < cross_[i].size(); ++q)
                if (cross_[i][q].finding != Finding::none)
                    p.mismatches.add({s.call, pageQso(s.log->qsos[q]), cross_[i][q].finding,
                                      findingDetail(all, cross_, i, q, tolerance_)});
        }
    }
    return p;
}

std::vector<StationResult> AnalysisRuns::stations() const {
    std::vector<StationResult> all;
    for (size_t i = 0; i < logs_.size(); ++i) {
        const bool have = i < haveScores_.size() && haveScores_[i];
        all.push_back(
            {logs_[i].file, logs_[i].ownCall, logs_[i].log, have, have ? claimed_[i] : 0, have ? checked_[i] : 0});
    }
    return all;
}

}  // namespace replay
