#include "replay.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>
#include <unordered_map>

#include "cty.h"
#include "plugin.h"
#include "text.h"

namespace replay {

namespace fs = std::filesystem;

namespace {

const char* const kTool = "talven-replay: ";

struct FileStamp {
    fs::file_time_type time;
    uintmax_t size;
};
using Snapshot = std::map<std::string, FileStamp>;

// Plain files in the working folder and in Plugins/, where the plug-in writes.
Snapshot snapshotFiles() {
    Snapshot files;
    for (const char* dir : {".", "Plugins"}) {
        std::error_code ec;
        fs::directory_iterator it(dir, ec), end;
        for (int n = 0; !ec && it != end && n < 20000; it.increment(ec), ++n) {
            std::error_code e1, e2, e3;
            if (!it->is_regular_file(e1)) continue;
            FileStamp stamp{it->last_write_time(e2), it->file_size(e3)};
            if (e1 || e2 || e3) continue;
            std::string name = it->path().filename().string();
            files[std::string(dir) == "." ? name : std::string(dir) + "/" + name] = stamp;
        }
    }
    return files;
}

std::vector<std::string> writtenSince(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> written;
    for (const auto& [name, stamp] : after) {
        auto it = before.find(name);
        if (it == before.end() || it->second.time != stamp.time || it->second.size != stamp.size)
            written.push_back(name);
    }
    return written;
}

double millisecondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

Timestamp minuteOf(Timestamp t) {
    t.second = 0;
    return t;
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::u8path(path), ec);
    return ec ? path : p.string();
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(fs::u8path(path), ec);
}

}  // namespace

bool contestPeriod(const Options& o, const std::vector<Qso>& qsos, Timestamp& start, Timestamp& end) {
    if ((!o.hasStart || !o.hasEnd) && qsos.empty()) return false;
    Timestamp first, last;
    if (!qsos.empty()) {
        first = last = qsos.front().time;
        for (const Qso& q : qsos) {
            if (q.time < first) first = q.time;
            if (last < q.time) last = q.time;
        }
    }
    start = o.hasStart ? o.start : minuteOf(first);
    Timestamp lastSecond = minuteOf(last);
    lastSecond.second = 59;
    end = o.hasEnd ? o.end : lastSecond;
    return true;
}

std::string badQsoReportName(const Timestamp& e) {
    char name[64];
    std::snprintf(name, sizeof name, "BadQSO_StatsTALVENCP_%02d_%02d_%04d.txt", e.day, e.month, e.year);
    return name;
}

std::string cabrilloExportName(const std::string& ownCall) {
    std::string name = ownCall;
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    return name + ".cbr";
}

std::string describeCheckAnswer(int answer) {
    switch (answer) {
    case 0: return "dupe";
    case 1: return "no new multiplier";
    case 2: return "new multiplier";
    case 4: return "outside the contest";
    default: return "unknown answer " + std::to_string(answer);
    }
}

int runReplay(const Options& o, const std::string& buildTreePlugin, std::ostream& out, std::ostream& err) {
    using Clock = std::chrono::steady_clock;
    auto text = [&](const char* s) { return o.utf8 ? cp1251ToUtf8(s) : std::string(s); };

    // Paths first: --out-dir changes the folder later.
    std::string pluginPath;
    if (!o.pluginPath.empty()) {
        pluginPath = absolutePath(o.pluginPath);
    } else {
        std::vector<std::string> tried = {programDirectory() + "/" + pluginFileName()};
        if (!buildTreePlugin.empty()) tried.push_back(buildTreePlugin);
        for (const std::string& candidate : tried)
            if (pluginPath.empty() && fileExists(candidate)) pluginPath = candidate;
        if (pluginPath.empty()) {
            err << kTool << "no plug-in found; looked for";
            for (const std::string& t : tried) err << " '" << t << "'";
            err << "; name one with --plugin PATH\n";
            return exitUnusable;
        }
    }
    const std::string ctyPath = absolutePath(o.ctyPath.empty() ? defaultCtyPath(programDirectory()) : o.ctyPath);

    // The log.
    auto t0 = Clock::now();
    LogData log;
    std::string error;
    if (!readLogFile(o.logPath, o.strict, log, error)) {
        err << kTool << error << "\n";
        return exitSkipped;
    }
    for (const LogIssue& issue : log.issues) err << describeIssue(o.logPath, issue) << "\n";
    if (log.stopped) {
        err << kTool << "stopped at the first unreadable line (--strict); nothing replayed\n";
        return exitSkipped;
    }
    const double readMs = millisecondsSince(t0);

    std::string ownCall = o.ownCall;
    if (ownCall.empty()) ownCall = log.ownCall;
    for (size_t i = 0; ownCall.empty() && i < log.qsos.size(); ++i) ownCall = log.qsos[i].ownCall;
    if (ownCall.empty()) {
        err << kTool << "the log does not name the own call; give --own-call CALL\n";
        return exitUsage;
    }
    Timestamp start, end;
    if (!contestPeriod(o, log.qsos, start, end)) {
        err << kTool << "'" << o.logPath << "' holds no QSO to take the contest period from; give --start and --end\n";
        return exitSkipped;
    }
    if (end < start) {
        err << kTool << "contest end " << formatTimestamp(end) << " is before its start " << formatTimestamp(start)
            << "\n";
        return exitUsage;
    }
    std::string checkBand = o.checkBand, checkMode = o.checkMode;
    if (!o.checks.empty()) {
        if (checkBand.empty() && !log.qsos.empty()) checkBand = log.qsos.back().band;
        if (checkMode.empty() && !log.qsos.empty()) checkMode = log.qsos.back().mode;
        if (checkBand.empty() || checkMode.empty()) {
            err << kTool << "no QSO to take the band and mode for --check from; give --band and --mode\n";
            return exitUsage;
        }
    }

    // Countries.
    t0 = Clock::now();
    CountryFile cty;
    if (!cty.load(ctyPath, error)) {
        err << kTool << error << "; --cty PATH names another country file\n";
        return exitUnusable;
    }
    const double ctyMs = millisecondsSince(t0);
    t0 = Clock::now();
    std::unordered_map<std::string, CtyResult> places;
    std::vector<std::string> unplaced;
    auto place = [&](const std::string& call) -> const CtyResult& {
        auto it = places.find(call);
        if (it != places.end()) return it->second;
        const CtyResult& r = places.emplace(call, cty.resolve(call)).first->second;
        if (!r.found() && !r.maritime) unplaced.push_back(call);
        return r;
    };
    const CtyResult own = place(ownCall);
    std::vector<const CtyResult*> qsoPlaces;
    qsoPlaces.reserve(log.qsos.size());
    for (const Qso& q : log.qsos) qsoPlaces.push_back(&place(q.call));
    const double resolveMs = millisecondsSince(t0);

    if (!o.outDir.empty()) {
        std::error_code ec;
        fs::current_path(fs::u8path(o.outDir), ec);
        if (ec) {
            err << kTool << "cannot work in '" << o.outDir << "': " << ec.message() << "\n";
            return exitUsage;
        }
    }

    StatsPlugin plugin;
    t0 = Clock::now();
    if (!plugin.load(pluginPath, error)) {
        err << kTool << error << "\n";
        return exitUnusable;
    }
    if (o.html && !plugin.setVersion) {
        err << kTool << "the plug-in does not export setVersion, needed for --html\n";
        return exitUnusable;
    }
    if (!o.checks.empty() && !plugin.checkCall) {
        err << kTool << "the plug-in does not export CheckCall0, needed for --check\n";
        return exitUnusable;
    }
    const double loadMs = millisecondsSince(t0);
    // Nothing reaches our own output while the plug-in runs: standard output or error
    // redirected into the working folder would look like files the plug-in wrote.
    std::ostringstream runOut, runErr;
    const Snapshot before = snapshotFiles();

    t0 = Clock::now();
    if (o.html) plugin.setVersion(kHostVersionText);
    const OleDateTime startDt{toOleDate(start), 0}, endDt{toOleDate(end), 0}, none{0.0, 2};
    plugin.resetStats(o.hostFolder.c_str(), o.cabrillo ? 1 : 0, ownCall.c_str(), &startDt, &endDt, "", "", "", "", "",
                      "", "", "", "", own.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", own.continent.c_str(), "");
    const double resetMs = millisecondsSince(t0);

    t0 = Clock::now();
    int logged = 0, rejected = 0;
    for (size_t i = 0; i < log.qsos.size(); ++i) {
        const Qso& q = log.qsos[i];
        const CtyResult& where = *qsoPlaces[i];
        const std::string& qsoOwnCall = (!o.ownCall.empty() || q.ownCall.empty()) ? ownCall : q.ownCall;
        const OleDateTime when{toOleDate(q.time), 0};
        const unsigned hz = q.frequencyHz <= 0xFFFFFFFFull ? unsigned(q.frequencyHz) : 0u;
        int answer = plugin.addData(qsoOwnCall.c_str(), q.call.c_str(), &when, &none, &none, &none, 0, hz,
                                    q.mode.c_str(), q.rstSent.c_str(), q.rstReceived.c_str(), q.exchangeSent.c_str(),
                                    q.exchangeReceived.c_str(), "", "", "", "", "", "", "", "", "",
                                    where.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", where.continent.c_str(), "",
                                    q.band.c_str(), "");
        if (answer) {
            ++logged;
        } else {
            ++rejected;
            if (o.verbose)
                runErr << describeIssue(o.logPath, {q.line, q.record, "the plug-in rejected the QSO with " + q.call +
                                                                       " (" + q.band + " " + q.mode + ")"})
                    << "\n";
        }
    }
    const double addMs = millisecondsSince(t0);

    t0 = Clock::now();
    int resultCode = 0;
    const char* summary = plugin.getResult(&resultCode);
    const double resultMs = millisecondsSince(t0);
    if (summary && *summary) {
        std::string s = text(summary);
        runOut << s;
        if (s.back() != '\n') runOut << '\n';
    } else {
        runErr << kTool << "the plug-in returned no summary\n";
    }

    // The second band is null as from a logger with one radio; any text there would be
    // compared with the first.
    for (const CallCheck& check : o.checks) {
        const CtyResult& where = place(check.call);
        char hint[100] = {}, warning[100] = {};
        int answer = plugin.checkCall(check.call.c_str(), 0, 0, checkMode.c_str(), "", "", "", "", "", "", "", "", "",
                                      where.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", "", check.area.c_str(),
                                      checkBand.c_str(), nullptr, hint, warning);
        hint[sizeof hint - 1] = warning[sizeof warning - 1] = '\0';
        runOut << "check " << check.call << " (" << (where.prefix.empty() ? "?" : where.prefix) << ", " << checkBand
            << " " << checkMode << "): " << describeCheckAnswer(answer) << "\n";
        if (*warning) runOut << "  warning: " << text(warning) << "\n";
        if (*hint) runOut << "  hint: " << text(hint) << "\n";
    }

    // What the plug-in left behind.
    const std::vector<std::string> written = writtenSince(before, snapshotFiles());
    out << runOut.str();
    out.flush();
    err << runErr.str();
    std::string where = o.outDir.empty() ? std::string() : " in " + o.outDir;
    for (const std::string& name : written) err << kTool << "wrote " << name << where << "\n";
    auto mentioned = [&](const std::string& name) {
        for (const std::string& w : written)
            if (w == name) return true;
        return false;
    };
    const std::string report = badQsoReportName(end);
    if (!mentioned(report)) err << kTool << "note: no bad-QSO report " << report << " was written\n";
    if (o.cabrillo && !mentioned(cabrilloExportName(ownCall)))
        err << kTool << "note: no Cabrillo file " << cabrilloExportName(ownCall) << " was written\n";

    err << kTool << o.logPath << " (" << log.formatName << "): " << log.qsos.size() << " QSOs replayed, " << logged
        << " logged, " << rejected << " rejected by the plug-in";
    if (log.ignoredQsos) err << "; " << log.ignoredQsos << " X-QSO lines left out";
    err << "\n";
    if (!unplaced.empty()) {
        err << kTool << "warning: " << unplaced.size()
            << (unplaced.size() == 1 ? " call the country file cannot place" : " calls the country file cannot place")
            << " (sent with empty prefix and continent):";
        for (size_t i = 0; i < unplaced.size() && i < 10; ++i) err << " " << unplaced[i];
        if (unplaced.size() > 10) err << " ...";
        err << "\n";
    }
    if (o.timing) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "timing (ms): read %.1f, country file %.1f, resolve %.1f, load %.1f, ResetStats0 %.1f, "
                      "AddData0 x%zu %.1f, GetResult0 %.1f\n",
                      readMs, ctyMs, resolveMs, loadMs, resetMs, log.qsos.size(), addMs, resultMs);
        err << kTool << line;
    }
    if (!log.issues.empty()) {
        const char* what = log.format == LogFormat::adif ? " record" : " line";
        err << kTool << log.issues.size() << what << (log.issues.size() == 1 ? "" : "s") << " skipped\n";
        return exitSkipped;
    }
    return exitClean;
}

}  // namespace replay
