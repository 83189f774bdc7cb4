#include "replay/replay.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <unordered_map>

#include "analysis/call_list.h"
#include "analysis/runs.h"
#include "ascii_text.h"
#include "cp1251_table.h"
#include "logs/cty.h"
#include "plugin/dialog_confirm.h"
#include "plugin/interrupt.h"
#include "plugin/report_join.h"
#include "plugin/stats_plugin.h"
#include "plugin/workspace.h"
#include "replay/header_seed.h"
#include "replay/outputs.h"
#include "replay/profile.h"
#include "whole_file.h"

namespace replay {

namespace fs = std::filesystem;

namespace {

const char* const kTool = "talven-replay: ";

// The bad-QSO report holds at most two entries per QSO of a log.
constexpr size_t kReportLimit = size_t(1) << 31;

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

// Letters and digits of a contest's name in capitals: "CQ-WPX-RTTY" is "CQ WPX RTTY".
std::string contestKey(const std::string& name) {
    std::string key;
    for (char c : toUpper(name))
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) key.push_back(c);
    return key;
}

int firstYear(const std::vector<Qso>& qsos) {
    int year = 0;
    for (const Qso& q : qsos)
        if (year == 0 || q.time.year < year) year = q.time.year;
    return year;
}

// Another station's log of a cross-check.
struct OtherLog {
    std::string file;  // as messages name it
    LogData log;
    std::string ownCall;
    Timestamp start, end;
};

// Reads the other stations' logs and makes sure that they and the first log are of one
// contest and year, each of another station. A log that cannot be read is skipped with
// one warning, named with the reason in skippedLogs. -1 when they can be used, else the
// exit status; skipped counts their unreadable lines.
int readOtherLogs(const Options& o, const LogData& first, const std::string& firstCall, std::ostream& err,
                  std::vector<OtherLog>& others, size_t& skipped, std::vector<std::string>& skippedLogs) {
    const std::string firstFile = o.logPath == "-" ? std::string("<standard input>") : printable(o.logPath, 200);
    std::vector<std::string> calls = {firstCall};
    for (const std::string& path : o.crossCheckLogs) {
        OtherLog other;
        other.file = printable(path, 200);
        std::string error;
        const bool read = readLogFile(path, o.strict, other.log, error);
        if (read) {
            for (const LogIssue& issue : other.log.issues) err << kTool << describeIssue(other.file, issue) << "\n";
            if (other.log.stopped)
                error = logName(path) + " stopped at its first unreadable line (--strict)";
            else if (other.log.qsos.empty())
                error = "no QSO of " + logName(path) + " could be read";
        }
        if (!read || other.log.stopped || other.log.qsos.empty()) {
            err << kTool << "warning: " << error << "; the cross-check goes on without it\n";
            skippedLogs.push_back(error);
            continue;
        }
        skipped += other.log.issues.size();
        other.ownCall = other.log.ownCall;
        for (size_t i = 0; other.ownCall.empty() && i < other.log.qsos.size(); ++i)
            other.ownCall = other.log.qsos[i].ownCall;
        if (other.ownCall.empty()) {
            err << kTool << logName(path) << " does not name its station's call (CALLSIGN:); it cannot be "
                << "cross-checked\n";
            return exitUsage;
        }
        if (std::find(calls.begin(), calls.end(), other.ownCall) != calls.end()) {
            err << kTool << "two logs of " << printable(other.ownCall) << " (" << logName(path)
                << "): a cross-check takes one log of each station\n";
            return exitUsage;
        }
        calls.push_back(other.ownCall);
        // One contest: the same name where both logs give one, the same year.
        const std::string a = contestKey(first.header.contest), b = contestKey(other.log.header.contest);
        const int yearA = firstYear(first.qsos), yearB = firstYear(other.log.qsos);
        if ((!a.empty() && !b.empty() && a != b) || (yearA && yearB && yearA != yearB)) {
            auto name = [](const LogData& l, int year) {
                return (l.header.contest.empty() ? std::string("a contest") : printable(trim(l.header.contest))) + " " +
                       std::to_string(year);
            };
            err << kTool << "cannot cross-check logs of different contests or years: " << firstFile << " is "
                << name(first, yearA) << ", " << other.file << " is " << name(other.log, yearB) << "\n";
            return exitUsage;
        }
        contestPeriod(Options{}, other.log.qsos, other.start, other.end);
        for (Qso& q : other.log.qsos) {
            if (q.ownCall.empty()) q.ownCall = other.ownCall;
            q.exchangeSent = toUpper(q.exchangeSent);
            q.exchangeReceived = toUpper(q.exchangeReceived);
        }
        others.push_back(std::move(other));
    }
    return -1;
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
        case 0:
            return "dupe";
        case 1:
            return "no new multiplier";
        case 2:
            return "new multiplier";
        case 4:
            return "outside the contest";
        default:
            return "unknown answer " + std::to_string(answer);
    }
}

namespace {

// What one pass of the plug-in over the log gave.
struct Pass {
    std::string summary;
    std::vector<bool> logged;
    double resetMs = 0, addMs = 0, resultMs = 0;
};

// One scoring run as the host makes it: ResetStats0, AddData0 for every QSO, GetResult0.
Pass runPass(StatsPlugin& plugin, const Options& o, const std::string& hostFolder, bool exportRun,
             const std::string& ownCall, const Timestamp& start, const Timestamp& end, const CtyResult& own,
             const std::vector<Qso>& qsos, const std::vector<const CtyResult*>& places) {
    using Clock = std::chrono::steady_clock;
    Pass pass;
    auto t0 = Clock::now();
    plugin.reset(hostFolder, exportRun, ownCall, start, end, own.prefix, own.continent);
    pass.resetMs = millisecondsSince(t0);

    t0 = Clock::now();
    pass.logged.reserve(qsos.size());
    for (size_t i = 0; i < qsos.size(); ++i) {
        const CtyResult& where = *places[i];
        pass.logged.push_back(plugin.addQso(qsos[i], qsos[i].ownCall, where.prefix, where.continent) != 0);
    }
    pass.addMs = millisecondsSince(t0);

    t0 = Clock::now();
    int resultCode = 0;
    const char* summary = plugin.getResult(&resultCode);
    pass.resultMs = millisecondsSince(t0);
    if (summary) pass.summary = o.utf8 ? cp1251ToUtf8(summary) : std::string(summary);
    return pass;
}

// "sample.log:17: EN5ROD 2024-12-14 1201 20m RTTY"
std::string qsoPlace(const std::string& logFile, const Qso& q) {
    return describeIssue(logFile, {q.line, q.record,
                                   printable(q.call) + " " + reportTime(q.time) + " " +
                                       (q.band.empty() ? "(no band)" : printable(q.band)) + " " + printable(q.mode)});
}

std::string joinReasons(const QsoVerdict& v) {
    std::string s;
    for (const std::string& r : v.reasons) s += (s.empty() ? "" : "; ") + r;
    return s.empty() ? "no entry in the bad-QSO report" : s;
}

struct InstallRules {
    bool skipHostIni = false;  // Orba2.ini was only lent to the plug-in
    std::string cabrilloName;
    bool keepCabrillo = false;  // an existing Cabrillo file stays; the new one goes beside it
    std::string unreadable;     // why, for the message
    bool backUpSettings = false;
};

bool readFileText(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad() && !s.fail();
}

// The first of <name>.bak, <name>.bak2, ... that is free; empty when none is.
fs::path freeBackupName(const fs::path& file) {
    std::error_code ec;
    for (int n = 1; n < 100; ++n) {
        const fs::path candidate = fs::u8path(file.u8string() + ".bak" + (n == 1 ? std::string() : std::to_string(n)));
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
    return fs::path();
}

// An existing Cabrillo file is the operator's: before the export takes its name it is
// kept whole under the first free backup name (unless it holds the very same text, as
// after a second run). False when it could not be kept: then it is not replaced.
bool keepCabrilloBackup(const fs::path& existing, const std::string& newText, const std::string& outName,
                        std::ostream& err) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(existing, ec))) return true;
    std::string oldText;
    if (fs::is_regular_file(fs::symlink_status(existing, ec)) && readFileText(existing, oldText) && oldText == newText)
        return true;
    const fs::path backup = freeBackupName(existing);
    std::string why = backup.empty() ? std::string("no free backup name") : std::string();
    if (why.empty() && fs::is_regular_file(fs::symlink_status(existing, ec)) && writeWholeFile(backup, oldText, why)) {
        err << kTool << "kept the existing " << existing.filename().u8string() << outName << " as "
            << backup.filename().u8string() << "\n";
        return true;
    }
    err << kTool << "cannot keep the existing " << existing.filename().u8string() << outName << " ("
        << (why.empty() ? std::string("it is not a regular file") : why) << "), so it is not replaced\n";
    return false;
}

// Puts one file of the work folder in place in the output folder, through the one
// writer: a link, folder or device at the name is refused, never written through.
bool installFile(const Workspace& work, const std::string& name, const std::string& target, const InstallRules& rules,
                 const std::string& outName, std::ostream& err) {
    const fs::path existing = work.outDir() / fs::u8path(target);
    std::string text, why;
    if (!readFileText(work.workDir() / fs::u8path(name), text)) {
        err << kTool << "cannot read " << name << " as the plug-in wrote it\n";
        return false;
    }
    const InterruptsWait finishFirst;
    std::error_code ec;
    if (name == kSettingsRelativePath && rules.backUpSettings &&
        fs::is_regular_file(fs::symlink_status(existing, ec))) {
        std::string old;
        if (!readFileText(existing, old) || !writeWholeFile(fs::u8path(existing.u8string() + ".bak"), old, why))
            err << kTool << "cannot keep the old settings file as " << name << ".bak" << outName << ": " << why << "\n";
    }
    if (target == rules.cabrilloName && !keepCabrilloBackup(existing, text, outName, err)) return false;
    if (!writeWholeFile(existing, text, why)) {
        err << kTool << "cannot write " << target << outName << ": " << why << "\n";
        return false;
    }
    err << kTool << "wrote " << target << outName << "\n";
    return true;
}

// Puts each file of the work folder in place in the output folder. The names of the
// plug-in's files that were put in place (under their own names, even when written
// beside).
std::vector<std::string> installFiles(const Workspace& work, const InstallRules& rules, const std::string& outName,
                                      std::ostream& err, bool& failed) {
    std::vector<std::string> installed;
    for (const std::string& name : work.files()) {
        if (rules.skipHostIni && name == "Orba2.ini") continue;
        std::string target = name;
        std::error_code ec;
        if (name == rules.cabrilloName && rules.keepCabrillo &&
            fs::exists(fs::symlink_status(work.outDir() / fs::u8path(name), ec))) {
            target = name.substr(0, name.size() - 4) + ".new.cbr";
            err << kTool << "kept the existing " << name << outName << ": " << rules.unreadable
                << ", so the new export is " << target << " (--force replaces " << name << ")\n";
        }
        if (!installFile(work, name, target, rules, outName, err)) {
            failed = true;
            continue;
        }
        installed.push_back(name);
    }
    return installed;
}

// What this run reads and what it writes, for the check that no output is an input.
// Outputs of new options join the list here.
RunFiles runFiles(const Options& o, const std::string& pluginPath, const std::string& ctyPath,
                  const std::string& scpPath, const std::string& ownCall, const Timestamp& end) {
    RunFiles files;
    if (o.logPath != "-") files.inputs.push_back({"the log", o.logPath});
    for (const std::string& other : o.crossCheckLogs) files.inputs.push_back({"the log", other});
    files.inputs.push_back({"the country file", ctyPath});
    if (!o.reportPath.empty()) files.inputs.push_back({"the super-check-partial list", scpPath});
    files.inputs.push_back({"the plug-in", pluginPath});
    if (!o.reportPath.empty() && o.reportPath != "-") {
        files.outputs.push_back({"the analysis page", o.reportPath});
        files.page = o.reportPath;
    }
    const std::string outDir = (o.outDir.empty() ? std::string(".") : o.outDir) + "/";
    files.outputs.push_back({"the bad-QSO report", outDir + badQsoReportName(end)});
    files.outputs.push_back({"the settings file", outDir + kSettingsRelativePath});
    files.outputs.push_back({"the settings file's backup", outDir + kSettingsRelativePath + ".bak"});
    if (o.cabrillo) {
        const std::string cbr = cabrilloExportName(ownCall);
        files.outputs.push_back({"the Cabrillo file", outDir + cbr});
        files.outputs.push_back({"the Cabrillo file", outDir + cbr.substr(0, cbr.size() - 4) + ".new.cbr"});
    }
    return files;
}

// A relative host folder is meant from the output folder, the work folder's parent.
std::string hostFolderFromWork(const std::string& hostFolder) {
    if (hostFolder.empty() || !fs::u8path(hostFolder).is_relative()) return hostFolder;
#ifdef _WIN32
    if (hostFolder[0] == '\\' || hostFolder[0] == '/') return hostFolder;
    return "..\\" + hostFolder;
#else
    return "../" + hostFolder;
#endif
}

}  // namespace

int runReplay(const Options& o, const std::string& buildTreePlugin, std::ostream& out, std::ostream& err) {
    using Clock = std::chrono::steady_clock;
    std::string error;
    const std::string logFile = o.logPath == "-" ? std::string("<standard input>") : printable(o.logPath, 200);

    // Paths first: the work folder changes the current one later.
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
    const bool report = !o.reportPath.empty();
    // "--report -": the page is standard output, and what the run prints goes to standard
    // error instead.
    const bool pageToOutput = o.reportPath == "-";
    const std::string scpPath = absolutePath(o.scpPath.empty() ? defaultScpPath(programDirectory()) : o.scpPath);

    // The log.
    auto t0 = Clock::now();
    LogData log;
    if (!readLogFile(o.logPath, o.strict, log, error)) {
        err << kTool << error << "\n";
        return exitSkipped;
    }
    for (const LogIssue& issue : log.issues) err << kTool << describeIssue(logFile, issue) << "\n";
    if (log.stopped) {
        err << kTool << "stopped at the first unreadable line (--strict); nothing replayed\n";
        return exitSkipped;
    }
    const double readMs = millisecondsSince(t0);
    if (log.qsos.empty() && !log.issues.empty()) {
        err << kTool << "no QSO of " << logName(o.logPath) << " could be read; nothing replayed\n";
        return exitSkipped;
    }

    std::string ownCall = o.ownCall;
    if (ownCall.empty()) ownCall = log.ownCall;
    for (size_t i = 0; ownCall.empty() && i < log.qsos.size(); ++i) ownCall = log.qsos[i].ownCall;
    if (ownCall.empty()) {
        err << kTool << "the log does not name the own call; give --own-call CALL\n";
        return exitUsage;
    }
    Timestamp start, end;
    if (!contestPeriod(o, log.qsos, start, end)) {
        err << kTool << logName(o.logPath) << " holds no QSO to take the contest period from; give --start and --end\n";
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
    std::vector<OtherLog> others;
    size_t othersSkipped = 0;
    std::vector<std::string> skippedLogs;
    if (const int status = readOtherLogs(o, log, ownCall, err, others, othersSkipped, skippedLogs); status >= 0)
        return status;
    if (const std::string refused = refusedOutput(runFiles(o, pluginPath, ctyPath, scpPath, ownCall, end));
        !refused.empty()) {
        err << kTool << refused << "\n";
        return exitUsage;
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
    std::vector<std::string> unplaced;  // of the first log
    bool noteUnplaced = true;
    auto place = [&](const std::string& call) -> const CtyResult& {
        auto it = places.find(call);
        if (it != places.end()) return it->second;
        const CtyResult& r = places.emplace(call, cty.resolve(call)).first->second;
        if (noteUnplaced && !r.found() && !r.maritime) unplaced.push_back(call);
        return r;
    };
    const CtyResult own = place(ownCall);
    std::vector<const CtyResult*> qsoPlaces;
    qsoPlaces.reserve(log.qsos.size());
    for (const Qso& q : log.qsos) qsoPlaces.push_back(&place(q.call));
    // The other stations' calls are theirs to place; the warning is about this log.
    noteUnplaced = false;
    std::vector<AnalysisLog> reportLogs;
    for (OtherLog& other : others) {
        AnalysisLog r;
        r.file = other.file;
        r.log = &other.log;
        r.ownCall = other.ownCall;
        r.own = place(other.ownCall);
        for (const Qso& q : other.log.qsos) r.places.push_back(&place(q.call));
        r.start = other.start;
        r.end = other.end;
        reportLogs.push_back(std::move(r));
    }
    const double resolveMs = millisecondsSince(t0);

    // The QSOs as the logger hands them over: its own call on each, calls and exchanges in
    // capitals as it keeps them (so the Cabrillo file has them so too).
    for (Qso& q : log.qsos) {
        if (!o.ownCall.empty() || q.ownCall.empty()) q.ownCall = ownCall;
        q.exchangeSent = toUpper(q.exchangeSent);
        q.exchangeReceived = toUpper(q.exchangeReceived);
    }

    // What the operator should know before believing the score.
    if (!isThisContest(log.header.contest))
        err << kTool << "warning: this log is for " << printable(log.header.contest)
            << "; it is scored by the TALVEN-CUP rules\n";
    {
        size_t outside = 0;
        const Qso* firstOutside = nullptr;
        const Timestamp from = minuteOf(start), to = minuteOf(end);
        for (const Qso& q : log.qsos) {
            const Timestamp m = minuteOf(q.time);
            if (m < from || to < m) {
                if (!outside++) firstOutside = &q;
            }
        }
        if (outside)
            err << kTool << "warning: " << outside << (outside == 1 ? " QSO lies" : " QSOs lie")
                << " outside the contest period " << formatTimestamp(start) << " to " << formatTimestamp(end)
                << " (the first at " << describeIssue(logFile, {firstOutside->line, firstOutside->record, ""})
                << "...); the plug-in scores them all the same, as the host would\n";
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

    // The output folder, the plug-in's work folder in it, and its settings file there.
    Workspace work;
    if (!work.create(o.outDir, error)) {
        err << kTool << error << "\n";
        return exitSkipped;
    }
    const std::string outName = o.outDir.empty() ? std::string() : " in " + o.outDir;
    // A page that cannot be written is known before the plug-in is called (it may go into
    // the output folder, which now exists); it is written whole at the end.
    if (report && !pageToOutput && !mayWrite(fs::u8path(o.reportPath), error)) {
        err << kTool << "the analysis page: cannot write '" << printable(o.reportPath, 200) << "': " << error << "\n";
        return exitSkipped;
    }
    const fs::path settingsOut = work.outDir() / fs::u8path(kSettingsRelativePath);
    const fs::path settingsWork = work.workDir() / fs::u8path(kSettingsRelativePath);
    ProfileFile settings;
    if (!o.fresh && !settings.load(settingsOut.string(), error)) {
        err << kTool << error << "; --fresh starts from a clean one\n";
        return exitSkipped;
    }
    bool filesFailed = false;
    bool backUpSettings = o.fresh;
    if (o.cabrillo) {
        const HeaderPlan plan = planHeader(log.header, o.header, settings, ownCall);
        for (const HeaderValue& v : plan.values) {
            if (o.verbose)
                err << kTool << "Cabrillo header " << v.key << " '" << printable(v.value, 200) << "' "
                    << describeSource(v, logFile) << "\n";
            if (encodeLineBreaks(v.value).size() > 99)
                err << kTool << "warning: the Cabrillo header's " << v.key << " has "
                    << encodeLineBreaks(v.value).size() << " characters as the plug-in stores it; it reads only 99\n";
        }
        if (!plan.cleared.empty()) {
            backUpSettings = true;
            err << kTool << kSettingsRelativePath << outName << " was written for another station (Operators "
                << printable(plan.storedOperators) << "), so " << cabrilloExportName(ownCall) << " does not take its";
            for (size_t i = 0; i < plan.cleared.size(); ++i)
                err << (i == 0 ? " " : i + 1 == plan.cleared.size() ? " and " : ", ") << plan.cleared[i];
            err << "; the old file is kept as " << kSettingsRelativePath << ".bak\n";
        }
        seedSettings(plan, settings);
        const std::string note = categoryNote(log.header);
        if (!note.empty()) err << kTool << note << "\n";
    }
    if (!settings.save(settingsWork.string(), error)) {
        err << kTool << error << "\n";
        return exitSkipped;
    }
    // The plug-in reads the host's version from Orba2.ini in its current folder.
    bool copiedHostIni = false;
    {
        std::error_code ec;
        if (fs::is_regular_file(work.outDir() / "Orba2.ini", ec))
            copiedHostIni = fs::copy_file(work.outDir() / "Orba2.ini", work.workDir() / "Orba2.ini", ec);
    }
    const std::string hostFolder = hostFolderFromWork(o.hostFolder);

    // The analysis page's runs come first and in a folder of their own: the scoring run
    // that follows then finds the plug-in and its files as it would without them.
    std::unique_ptr<AnalysisRuns> analysis;
    double reportMs = 0;
    if (report) {
        t0 = Clock::now();
        AnalysisLog first;
        first.file = logFile;
        first.log = &log;
        first.ownCall = ownCall;
        first.own = own;
        first.places = qsoPlaces;
        first.start = start;
        first.end = end;
        reportLogs.insert(reportLogs.begin(), std::move(first));
        analysis = std::make_unique<AnalysisRuns>(std::move(reportLogs), o.toleranceMinutes);
        {
            Workspace scratch;
            std::string problem;
            std::error_code ec;
            if (!scratch.create(o.outDir, error) ||
                !settings.save((scratch.workDir() / fs::u8path(kSettingsRelativePath)).string(), error) ||
                (copiedHostIni && !fs::copy_file(work.outDir() / "Orba2.ini", scratch.workDir() / "Orba2.ini", ec)) ||
                !scratch.enter(error)) {
                err << kTool << "the analysis page: " << (ec ? ec.message() : error) << "\n";
                return exitSkipped;
            }
            if (!analysis->runPlugin(plugin, pluginPath, hostFolder, problem))
                err << kTool << "warning: " << problem << "; the analysis page leaves those figures out\n";
            analysis->unloadCopies();
            scratch.leave();
        }
        CallList scp;
        const bool haveScp = scp.load(scpPath, error);
        if (!haveScp)
            err << kTool << "warning: " << error << "; the analysis page leaves out the check against it (--scp PATH "
                << "names another)\n";
        analysis->checkCalls(haveScp ? &scp : nullptr, printable(scpPath, 200), unplaced);
        reportMs = millisecondsSince(t0);
    }

    if (!work.enter(error)) {
        err << kTool << error << "\n";
        return exitSkipped;
    }

    // The scoring run, as the host makes it for its statistics display.
    if (o.html) plugin.setVersion(kHostVersionText);
    const Pass pass = runPass(plugin, o, hostFolder, false, ownCall, start, end, own, log.qsos, qsoPlaces);
    const std::string reportName = badQsoReportName(end);
    std::string reportText;
    bool haveReport = readWholeFile(reportName, kReportLimit, "bad-QSO report", reportText, error);
    const JoinedReport joined = joinReport(reportText, log.qsos, pass.logged);

    std::ostringstream runOut;
    if (!pass.summary.empty()) {
        runOut << pass.summary;
        if (pass.summary.back() != '\n') runOut << '\n';
    } else {
        err << kTool << "the plug-in returned no summary\n";
    }
    // The second band is null as from a logger with one radio; any text there would be
    // compared with the first.
    for (const CallCheck& check : o.checks) {
        const CtyResult& where = place(check.call);
        std::string hint, warning;
        const int answer =
            plugin.checkCallSign(check.call, checkBand, checkMode, where.prefix, check.area, hint, warning);
        auto text = [&](const std::string& s) { return o.utf8 ? cp1251ToUtf8(s) : s; };
        runOut << "check " << check.call << " (" << (where.prefix.empty() ? "?" : where.prefix) << ", " << checkBand
               << " " << checkMode << "): " << describeCheckAnswer(answer) << "\n";
        if (!warning.empty()) runOut << "  warning: " << text(warning) << "\n";
        if (!hint.empty()) runOut << "  hint: " << text(hint) << "\n";
    }
    if (o.explain || o.verbose) {
        for (size_t i = 0; i < log.qsos.size(); ++i) {
            const QsoVerdict& v = joined.verdicts[i];
            if (v.logged && !v.dupe && !v.bad) continue;
            runOut << qsoPlace(logFile, log.qsos[i]) << ": " << joinReasons(v)
                   << (v.logged ? " (logged, not counted)" : " (refused: not in the log)") << "\n";
        }
        for (const std::string& e : joined.unmatched) runOut << "report entry matched to no QSO: " << e << "\n";
    }

    std::ostream& runStream = pageToOutput ? err : out;
    runStream << consoleLineEnds(runOut.str());
    runStream.flush();

    // The export run, as the host makes it when the operator asks for the Cabrillo file.
    if (o.cabrillo) {
        std::unique_ptr<DialogConfirmer> confirmer;
        if (o.noDialog) confirmer = std::make_unique<DialogConfirmer>();
        runPass(plugin, o, hostFolder, true, ownCall, start, end, own, log.qsos, qsoPlaces);
    }
    work.leave();

    // What the plug-in wrote goes into the output folder.
    const std::string cbrName = cabrilloExportName(ownCall);
    InstallRules rules;
    rules.skipHostIni = copiedHostIni;
    rules.cabrilloName = cbrName;
    rules.keepCabrillo = !log.issues.empty() && !o.force;
    rules.unreadable = std::to_string(log.issues.size()) + (log.format == LogFormat::adif ? " records" : " lines") +
                       " of the log could not be read";
    rules.backUpSettings = backUpSettings;
    const std::vector<std::string> written = installFiles(work, rules, outName, err, filesFailed);
    auto wrote = [&](const std::string& name) {
        return std::find(written.begin(), written.end(), name) != written.end();
    };
    const bool wroteReport = wrote(reportName), wroteCabrillo = wrote(cbrName);
    if (!wroteReport) {
        err << kTool << "no bad-QSO report " << reportName << " was written" << (haveReport ? "" : " by the plug-in")
            << "\n";
        filesFailed = true;
    }
    if (o.cabrillo && !wroteCabrillo) {
        err << kTool << "no Cabrillo file " << cbrName << " was written (the header dialog cancelled, or the plug-in "
            << "could not write it)\n";
        filesFailed = true;
    }
    if (o.cabrillo) {
        for (size_t i = 0; i < log.qsos.size(); ++i)
            if (!joined.verdicts[i].logged)
                err << kTool << "not exported: " << qsoPlace(logFile, log.qsos[i]) << ", refused by the plug-in ("
                    << joinReasons(joined.verdicts[i]) << ")\n";
    }

    if (analysis) {
        t0 = Clock::now();
        const std::string summary = o.utf8 ? pass.summary : cp1251ToUtf8(pass.summary);
        AnalysisPage content = analysis->page(summary, o.html, joined, pass.logged);
        content.version = kProjectVersion;
        for (const std::string& why : skippedLogs) content.notes.push_back("Not cross-checked: " + why + ".");
        const std::string html = renderPage(content);
        const InterruptsWait finishFirst;
        if (pageToOutput) {
            out << html;
            out.flush();
            if (!out) {
                err << kTool << "the analysis page: cannot write it to standard output\n";
                filesFailed = true;
            }
        } else if (writeWholeFile(fs::u8path(o.reportPath), html, error)) {
            err << kTool << "wrote the analysis page " << printable(o.reportPath, 200) << "\n";
        } else {
            err << kTool << "the analysis page: cannot write '" << printable(o.reportPath, 200) << "': " << error
                << "\n";
            filesFailed = true;
        }
        reportMs += millisecondsSince(t0);
    }

    err << kTool << logFile << " (" << log.formatName << "): " << reconcile(countVerdicts(joined.verdicts));
    if (log.ignoredQsos) err << "; " << log.ignoredQsos << " X-QSO lines left out";
    err << "\n";
    if (!unplaced.empty()) {
        err << kTool << "warning: " << unplaced.size()
            << (unplaced.size() == 1 ? " call the country file cannot place" : " calls the country file cannot place")
            << " (sent with empty prefix and continent):";
        for (size_t i = 0; i < unplaced.size() && i < 10; ++i) err << " " << printable(unplaced[i]);
        if (unplaced.size() > 10) err << " ...";
        err << "\n";
    }
    if (o.timing) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "timing (ms): read %.1f, country file %.1f, resolve %.1f, load %.1f, ResetStats0 %.1f, "
                      "AddData0 x%zu %.1f, GetResult0 %.1f\n",
                      readMs, ctyMs, resolveMs, loadMs, pass.resetMs, log.qsos.size(), pass.addMs, pass.resultMs);
        err << kTool << line;
        if (analysis) {
            std::snprintf(line, sizeof line, "timing (ms): the analysis page's runs, checks and writing %.1f\n",
                          reportMs);
            err << kTool << line;
        }
    }
    if (!log.issues.empty()) {
        const char* what = log.format == LogFormat::adif ? " record" : " line";
        err << kTool << log.issues.size() << what << (log.issues.size() == 1 ? "" : "s") << " skipped\n";
        return exitSkipped;
    }
    if (othersSkipped) {
        err << kTool << othersSkipped << " lines or records of the other logs skipped\n";
        return exitSkipped;
    }
    if (!skippedLogs.empty()) {
        err << kTool << "left out of the cross-check, as they could not be read: " << skippedLogs.size()
            << (skippedLogs.size() == 1 ? " log\n" : " logs\n");
        return exitSkipped;
    }
    return filesFailed ? exitSkipped : exitClean;
}

}  // namespace replay
