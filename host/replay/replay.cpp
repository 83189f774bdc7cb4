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
#include "analysis/cross_check.h"
#include "analysis/findings_export.h"
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
    std::vector<std::string> calls = {stationOf(firstCall)};
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
        if (std::find(calls.begin(), calls.end(), stationOf(other.ownCall)) != calls.end()) {
            err << kTool << "two logs of " << printable(other.ownCall) << " (" << logName(path)
                << "): a cross-check takes one log of each station\n";
            return exitUsage;
        }
        calls.push_back(stationOf(other.ownCall));
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
    if (!o.findingsPath.empty()) files.outputs.push_back({"the findings file", o.findingsPath});
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

namespace {

using Clock = std::chrono::steady_clock;
// A step's answer: go on, or end the run with this exit status.
constexpr int kGoOn = -1;

// What one run has found and made so far, handed from step to step. The order of the
// members is the order they are torn down in reverse: the work folder goes before the
// plug-in is unloaded, the analysis runs (with their copies) before the work folder.
struct Run {
    Run(const Options& options, std::ostream& o, std::ostream& e) : opt(options), out(o), err(e) {}
    Options opt;  // a copy: an unreadable first log of a cross-check gives way to the next
    std::ostream &out, &err;
    std::string logFile;  // as messages name it
    std::string pluginPath, ctyPath, scpPath;
    bool report = false;        // the analysis runs
    bool page = false;          // the analysis page
    bool pageToOutput = false;  // "--report -": the page is standard output
    // Where the page and the cross-check's files go, made absolute before the run enters
    // the output folder: paths on the command line are from the folder it was given in.
    std::string pagePath, findingsPath, perStationDir;

    LogData log;
    std::string ownCall, checkBand, checkMode;
    Timestamp start, end;
    std::vector<OtherLog> others;
    size_t othersSkipped = 0;
    std::vector<std::string> skippedLogs;  // why, one per log left out

    CountryFile cty;
    std::unordered_map<std::string, CtyResult> places;
    std::vector<std::string> unplaced;  // of the first log
    bool noteUnplaced = true;
    CtyResult own;
    std::vector<const CtyResult*> qsoPlaces;
    std::vector<AnalysisLog> analysisLogs;

    StatsPlugin plugin;
    Workspace work;
    std::string outName;  // " in DIR" for messages
    ProfileFile settings;
    bool backUpSettings = false, copiedHostIni = false, filesFailed = false;
    std::string hostFolder;
    std::unique_ptr<AnalysisRuns> analysis;

    Pass pass;
    JoinedReport joined;
    bool haveReport = false;
    double readMs = 0, ctyMs = 0, resolveMs = 0, loadMs = 0, pageMs = 0;

    // The country file's answer for a call, once per call; a call of the first log it
    // cannot place is noted for the warning.
    const CtyResult& place(const std::string& call) {
        auto it = places.find(call);
        if (it != places.end()) return it->second;
        const CtyResult& r = places.emplace(call, cty.resolve(call)).first->second;
        if (noteUnplaced && !r.found() && !r.maritime) unplaced.push_back(call);
        return r;
    }
    int fail(int status, const std::string& message) {
        err << kTool << message << "\n";
        return status;
    }
};

// Paths first: the work folder changes the current one later.
int findPaths(Run& r, const std::string& buildTreePlugin) {
    const Options& o = r.opt;
    r.logFile = o.logPath == "-" ? std::string("<standard input>") : printable(o.logPath, 200);
    if (!o.pluginPath.empty()) {
        r.pluginPath = absolutePath(o.pluginPath);
    } else {
        std::vector<std::string> tried = {programDirectory() + "/" + pluginFileName()};
        if (!buildTreePlugin.empty()) tried.push_back(buildTreePlugin);
        for (const std::string& candidate : tried)
            if (r.pluginPath.empty() && fileExists(candidate)) r.pluginPath = candidate;
        if (r.pluginPath.empty()) {
            r.err << kTool << "no plug-in found; looked for";
            for (const std::string& t : tried) r.err << " '" << t << "'";
            r.err << "; name one with --plugin PATH\n";
            return exitUnusable;
        }
    }
    r.ctyPath = absolutePath(o.ctyPath.empty() ? defaultCtyPath(programDirectory()) : o.ctyPath);
    // The analysis runs feed the page and the cross-check's files alike.
    r.report = !o.reportPath.empty() || !o.findingsPath.empty() || !o.perStationDir.empty();
    r.page = !o.reportPath.empty();
    // What the run prints then goes to standard error.
    r.pageToOutput = o.reportPath == "-";
    if (r.page && !r.pageToOutput) r.pagePath = absolutePath(o.reportPath);
    if (!o.findingsPath.empty()) r.findingsPath = absolutePath(o.findingsPath);
    if (!o.perStationDir.empty()) r.perStationDir = absolutePath(o.perStationDir);
    r.scpPath = absolutePath(o.scpPath.empty() ? defaultScpPath(programDirectory()) : o.scpPath);
    return kGoOn;
}

// The log, its own call, the contest period, the band and mode of --check.
// A cross-check that only writes the page or its files goes on without a first log that cannot be
// read: the next log takes its place. False when there is none, or when the files and
// answers of the run are about that log (--cabrillo, --check).
bool skipTheFirstLog(Run& r, const std::string& why) {
    Options& o = r.opt;
    if (!r.report || o.crossCheckLogs.empty() || o.cabrillo || !o.checks.empty()) return false;
    r.err << kTool << "warning: " << why << "; the cross-check goes on without it\n";
    r.skippedLogs.push_back(why);
    o.logPath = o.crossCheckLogs.front();
    o.crossCheckLogs.erase(o.crossCheckLogs.begin());
    r.logFile = printable(o.logPath, 200);
    r.log = LogData();
    return true;
}

int readTheLog(Run& r) {
    const Options& o = r.opt;
    const auto t0 = Clock::now();
    std::string error;
    while (!readLogFile(o.logPath, o.strict, r.log, error))
        if (!skipTheFirstLog(r, error)) return r.fail(exitSkipped, error);
    for (const LogIssue& issue : r.log.issues) r.err << kTool << describeIssue(r.logFile, issue) << "\n";
    if (r.log.stopped) return r.fail(exitSkipped, "stopped at the first unreadable line (--strict); nothing replayed");
    r.readMs = millisecondsSince(t0);
    if (r.log.qsos.empty() && !r.log.issues.empty())
        return r.fail(exitSkipped, "no QSO of " + logName(o.logPath) + " could be read; nothing replayed");

    r.ownCall = o.ownCall.empty() ? r.log.ownCall : o.ownCall;
    for (size_t i = 0; r.ownCall.empty() && i < r.log.qsos.size(); ++i) r.ownCall = r.log.qsos[i].ownCall;
    if (r.ownCall.empty()) return r.fail(exitUsage, "the log does not name the own call; give --own-call CALL");
    if (!contestPeriod(o, r.log.qsos, r.start, r.end))
        return r.fail(exitSkipped,
                      logName(o.logPath) + " holds no QSO to take the contest period from; give --start and --end");
    if (r.end < r.start)
        return r.fail(exitUsage,
                      "contest end " + formatTimestamp(r.end) + " is before its start " + formatTimestamp(r.start));
    r.checkBand = o.checkBand;
    r.checkMode = o.checkMode;
    if (!o.checks.empty()) {
        if (r.checkBand.empty() && !r.log.qsos.empty()) r.checkBand = r.log.qsos.back().band;
        if (r.checkMode.empty() && !r.log.qsos.empty()) r.checkMode = r.log.qsos.back().mode;
        if (r.checkBand.empty() || r.checkMode.empty())
            return r.fail(exitUsage, "no QSO to take the band and mode for --check from; give --band and --mode");
    }
    if (const int status = readOtherLogs(o, r.log, r.ownCall, r.err, r.others, r.othersSkipped, r.skippedLogs);
        status >= 0)
        return status;
    const std::string refused = refusedOutput(runFiles(o, r.pluginPath, r.ctyPath, r.scpPath, r.ownCall, r.end));
    return refused.empty() ? kGoOn : r.fail(exitUsage, refused);
}

// Every call's country, and the QSOs as the logger hands them over: its own call on
// each, calls and exchanges in capitals as it keeps them (so the Cabrillo file has them
// so too).
int placeTheCalls(Run& r) {
    auto t0 = Clock::now();
    std::string error;
    if (!r.cty.load(r.ctyPath, error)) return r.fail(exitUnusable, error + "; --cty PATH names another country file");
    r.ctyMs = millisecondsSince(t0);
    t0 = Clock::now();
    r.own = r.place(r.ownCall);
    r.qsoPlaces.reserve(r.log.qsos.size());
    for (const Qso& q : r.log.qsos) r.qsoPlaces.push_back(&r.place(q.call));
    // The other stations' calls are theirs to place; the warning is about this log.
    r.noteUnplaced = false;
    for (OtherLog& other : r.others) {
        AnalysisLog a;
        a.file = other.file;
        a.log = &other.log;
        a.ownCall = other.ownCall;
        a.own = r.place(other.ownCall);
        for (const Qso& q : other.log.qsos) a.places.push_back(&r.place(q.call));
        a.start = other.start;
        a.end = other.end;
        r.analysisLogs.push_back(std::move(a));
    }
    r.resolveMs = millisecondsSince(t0);
    for (Qso& q : r.log.qsos) {
        if (!r.opt.ownCall.empty() || q.ownCall.empty()) q.ownCall = r.ownCall;
        q.exchangeSent = toUpper(q.exchangeSent);
        q.exchangeReceived = toUpper(q.exchangeReceived);
    }
    return kGoOn;
}

// What the operator should know before believing the score.
void warnBeforeScoring(Run& r) {
    if (!isThisContest(r.log.header.contest))
        r.err << kTool << "warning: this log is for " << printable(r.log.header.contest)
              << "; it is scored by the TALVEN-CUP rules\n";
    size_t outside = 0;
    const Qso* firstOutside = nullptr;
    const Timestamp from = minuteOf(r.start), to = minuteOf(r.end);
    for (const Qso& q : r.log.qsos) {
        const Timestamp m = minuteOf(q.time);
        if ((m < from || to < m) && !outside++) firstOutside = &q;
    }
    if (outside)
        r.err << kTool << "warning: " << outside << (outside == 1 ? " QSO lies" : " QSOs lie")
              << " outside the contest period " << formatTimestamp(r.start) << " to " << formatTimestamp(r.end)
              << " (the first at " << describeIssue(r.logFile, {firstOutside->line, firstOutside->record, ""})
              << "...); the plug-in scores them all the same, as the host would\n";
}

int loadThePlugin(Run& r) {
    const auto t0 = Clock::now();
    std::string error;
    if (!r.plugin.load(r.pluginPath, error)) return r.fail(exitUnusable, error);
    if (r.opt.html && !r.plugin.setVersion)
        return r.fail(exitUnusable, "the plug-in does not export setVersion, needed for --html");
    if (!r.opt.checks.empty() && !r.plugin.checkCall)
        return r.fail(exitUnusable, "the plug-in does not export CheckCall0, needed for --check");
    r.loadMs = millisecondsSince(t0);
    return kGoOn;
}

// The Cabrillo header the export run's dialog is seeded with, said where it matters.
void planTheCabrilloHeader(Run& r) {
    const HeaderPlan plan = planHeader(r.log.header, r.opt.header, r.settings, r.ownCall);
    for (const HeaderValue& v : plan.values) {
        if (r.opt.verbose)
            r.err << kTool << "Cabrillo header " << v.key << " '" << printable(v.value, 200) << "' "
                  << describeSource(v, r.logFile) << "\n";
        if (encodeLineBreaks(v.value).size() > 99)
            r.err << kTool << "warning: the Cabrillo header's " << v.key << " has " << encodeLineBreaks(v.value).size()
                  << " characters as the plug-in stores it; it reads only 99\n";
    }
    if (!plan.cleared.empty()) {
        r.backUpSettings = true;
        r.err << kTool << kSettingsRelativePath << r.outName << " was written for another station (Operators "
              << printable(plan.storedOperators) << "), so " << cabrilloExportName(r.ownCall) << " does not take its";
        for (size_t i = 0; i < plan.cleared.size(); ++i)
            r.err << (i == 0 ? " " : i + 1 == plan.cleared.size() ? " and " : ", ") << plan.cleared[i];
        r.err << "; the old file is kept as " << kSettingsRelativePath << ".bak\n";
    }
    seedSettings(plan, r.settings);
    const std::string note = categoryNote(r.log.header);
    if (!note.empty()) r.err << kTool << note << "\n";
}

// The output folder, the plug-in's work folder in it, and its settings file there.
int prepareTheWorkspace(Run& r) {
    const Options& o = r.opt;
    std::string error;
    if (!r.work.create(o.outDir, error)) return r.fail(exitSkipped, error);
    r.outName = o.outDir.empty() ? std::string() : " in " + o.outDir;
    // A page that cannot be written is known before the plug-in is called (it may go into
    // the output folder, which now exists); it is written whole at the end.
    if (r.page && !r.pageToOutput && !mayWrite(fs::u8path(r.pagePath), error))
        return r.fail(exitSkipped, "the analysis page: cannot write '" + printable(o.reportPath, 200) + "': " + error);
    const fs::path settingsOut = r.work.outDir() / fs::u8path(kSettingsRelativePath);
    if (!o.fresh && !r.settings.load(settingsOut.string(), error))
        return r.fail(exitSkipped, error + "; --fresh starts from a clean one");
    r.backUpSettings = o.fresh;
    if (o.cabrillo) planTheCabrilloHeader(r);
    if (!r.settings.save((r.work.workDir() / fs::u8path(kSettingsRelativePath)).string(), error))
        return r.fail(exitSkipped, error);
    // The plug-in reads the host's version from Orba2.ini in its current folder.
    std::error_code ec;
    if (fs::is_regular_file(r.work.outDir() / "Orba2.ini", ec))
        r.copiedHostIni = fs::copy_file(r.work.outDir() / "Orba2.ini", r.work.workDir() / "Orba2.ini", ec);
    r.hostFolder = hostFolderFromWork(o.hostFolder);
    return kGoOn;
}

// The analysis page's runs come first and in a folder of their own: the scoring run
// that follows then finds the plug-in and its files as it would without them.
int runForTheAnalysis(Run& r) {
    const auto t0 = Clock::now();
    AnalysisLog first;
    first.file = r.logFile;
    first.log = &r.log;
    first.ownCall = r.ownCall;
    first.own = r.own;
    first.places = r.qsoPlaces;
    first.start = r.start;
    first.end = r.end;
    r.analysisLogs.insert(r.analysisLogs.begin(), std::move(first));
    r.analysis = std::make_unique<AnalysisRuns>(std::move(r.analysisLogs), r.opt.toleranceMinutes);
    std::string error;
    {
        // The runs' files are of no use once they end, yet the plug-in flushes its
        // settings file to the disk at every ResetStats0 and GetResult0: two flushes for
        // each station of a cross-check. So they work in memory where the system can.
        const MemoryFolder memory;
        Workspace scratch;
        std::string problem;
        std::error_code ec;
        if (!scratch.create(memory.path().empty() ? r.opt.outDir : memory.path().u8string(), error) ||
            !r.settings.save((scratch.workDir() / fs::u8path(kSettingsRelativePath)).string(), error) ||
            (r.copiedHostIni && !fs::copy_file(r.work.outDir() / "Orba2.ini", scratch.workDir() / "Orba2.ini", ec)) ||
            !scratch.enter(error))
            return r.fail(exitSkipped, "the analysis page: " + (ec ? ec.message() : error));
        if (!r.analysis->runPlugin(r.plugin, r.pluginPath, r.hostFolder, problem))
            r.err << kTool << "warning: " << problem << "; the analysis page leaves those figures out\n";
        r.analysis->unloadCopies();
    }
    // The output folder is the current one again, as the host's (scratch's may be gone).
    r.work.leave();
    // The calls to check are the page's alone: the cross-check's files need no list.
    if (r.page) {
        CallList scp;
        const bool haveScp = scp.load(r.scpPath, error);
        if (!haveScp)
            r.err << kTool << "warning: " << error << "; the analysis page leaves out the check against it (--scp "
                  << "PATH names another)\n";
        r.analysis->checkCalls(haveScp ? &scp : nullptr, printable(r.scpPath, 200), r.unplaced);
    }
    r.pageMs = millisecondsSince(t0);
    return kGoOn;
}

// The answers of --check, and with --explain every QSO that does not count and why.
void describeTheRun(Run& r, std::ostream& runOut) {
    // The second band is null as from a logger with one radio; any text there would be
    // compared with the first.
    for (const CallCheck& check : r.opt.checks) {
        const CtyResult& where = r.place(check.call);
        std::string hint, warning;
        const int answer =
            r.plugin.checkCallSign(check.call, r.checkBand, r.checkMode, where.prefix, check.area, hint, warning);
        auto text = [&](const std::string& s) { return r.opt.utf8 ? cp1251ToUtf8(s) : s; };
        runOut << "check " << check.call << " (" << (where.prefix.empty() ? "?" : where.prefix) << ", " << r.checkBand
               << " " << r.checkMode << "): " << describeCheckAnswer(answer) << "\n";
        if (!warning.empty()) runOut << "  warning: " << text(warning) << "\n";
        if (!hint.empty()) runOut << "  hint: " << text(hint) << "\n";
    }
    if (!r.opt.explain && !r.opt.verbose) return;
    for (size_t i = 0; i < r.log.qsos.size(); ++i) {
        const QsoVerdict& v = r.joined.verdicts[i];
        if (v.logged && !v.dupe && !v.bad) continue;
        runOut << qsoPlace(r.logFile, r.log.qsos[i]) << ": " << joinReasons(v)
               << (v.logged ? " (logged, not counted)" : " (refused: not in the log)") << "\n";
    }
    for (const std::string& e : r.joined.unmatched) runOut << "report entry matched to no QSO: " << e << "\n";
}

// The scoring run, as the host makes it for its statistics display, and what it said.
int scoringRun(Run& r) {
    std::string error;
    if (!r.work.enter(error)) return r.fail(exitSkipped, error);
    if (r.opt.html) r.plugin.setVersion(kHostVersionText);
    r.pass = runPass(r.plugin, r.opt, r.hostFolder, false, r.ownCall, r.start, r.end, r.own, r.log.qsos, r.qsoPlaces);
    std::string reportText;
    r.haveReport = readWholeFile(badQsoReportName(r.end), kReportLimit, "bad-QSO report", reportText, error);
    r.joined = joinReport(reportText, r.log.qsos, r.pass.logged);

    std::ostringstream runOut;
    if (!r.pass.summary.empty()) {
        runOut << r.pass.summary;
        if (r.pass.summary.back() != '\n') runOut << '\n';
    } else {
        r.err << kTool << "the plug-in returned no summary\n";
    }
    describeTheRun(r, runOut);
    std::ostream& runStream = r.pageToOutput ? r.err : r.out;
    runStream << consoleLineEnds(runOut.str());
    runStream.flush();
    return kGoOn;
}

// The export run, as the host makes it when the operator asks for the Cabrillo file.
void exportRun(Run& r) {
    if (r.opt.cabrillo) {
        std::unique_ptr<DialogConfirmer> confirmer;
        if (r.opt.noDialog) confirmer = std::make_unique<DialogConfirmer>();
        runPass(r.plugin, r.opt, r.hostFolder, true, r.ownCall, r.start, r.end, r.own, r.log.qsos, r.qsoPlaces);
    }
    r.work.leave();
}

// What the plug-in wrote goes into the output folder; what it did not write is said.
void installTheFiles(Run& r) {
    const Options& o = r.opt;
    const std::string cbrName = cabrilloExportName(r.ownCall), reportName = badQsoReportName(r.end);
    InstallRules rules;
    rules.skipHostIni = r.copiedHostIni;
    rules.cabrilloName = cbrName;
    rules.keepCabrillo = !r.log.issues.empty() && !o.force;
    rules.unreadable = std::to_string(r.log.issues.size()) + (r.log.format == LogFormat::adif ? " records" : " lines") +
                       " of the log could not be read";
    rules.backUpSettings = r.backUpSettings;
    const std::vector<std::string> written = installFiles(r.work, rules, r.outName, r.err, r.filesFailed);
    auto wrote = [&](const std::string& name) {
        return std::find(written.begin(), written.end(), name) != written.end();
    };
    if (!wrote(reportName)) {
        r.err << kTool << "no bad-QSO report " << reportName << " was written"
              << (r.haveReport ? "" : " by the plug-in") << "\n";
        r.filesFailed = true;
    }
    if (!o.cabrillo) return;
    if (!wrote(cbrName)) {
        r.err << kTool << "no Cabrillo file " << cbrName << " was written (the header dialog cancelled, or the plug-in "
              << "could not write it)\n";
        r.filesFailed = true;
    }
    for (size_t i = 0; i < r.log.qsos.size(); ++i)
        if (!r.joined.verdicts[i].logged)
            r.err << kTool << "not exported: " << qsoPlace(r.logFile, r.log.qsos[i]) << ", refused by the plug-in ("
                  << joinReasons(r.joined.verdicts[i]) << ")\n";
}

// The cross-check's files for a log checker, and the line that sums the cross-check up.
void writeCrossCheckFiles(Run& r) {
    const InterruptsWait finishFirst;
    const std::vector<StationResult> stations = r.analysis->stations();
    r.err << kTool << crossCheckSummary(stations, r.analysis->findings(), r.skippedLogs.size()) << "\n";
    if (r.opt.findingsPath.empty() && r.opt.perStationDir.empty()) return;
    if (!writeFindingFiles(stations, r.analysis->findings(), r.analysis->toleranceMinutes(), r.findingsPath,
                           r.perStationDir, r.err))
        r.filesFailed = true;
}

// The analysis page, written whole (or to standard output) at the end.
void writeThePage(Run& r) {
    const auto t0 = Clock::now();
    const Options& o = r.opt;
    const std::string summary = o.utf8 ? r.pass.summary : cp1251ToUtf8(r.pass.summary);
    AnalysisPage content = r.analysis->page(summary, o.html, r.joined, r.pass.logged);
    content.version = kProjectVersion;
    content.findingsFile = o.findingsPath;
    for (const std::string& why : r.skippedLogs) content.notes.push_back("Not cross-checked: " + why + ".");
    const std::string html = renderPage(content);
    const InterruptsWait finishFirst;
    std::string error;
    if (r.pageToOutput) {
        r.out << html;
        r.out.flush();
        if (!r.out) {
            r.err << kTool << "the analysis page: cannot write it to standard output\n";
            r.filesFailed = true;
        }
    } else if (writeWholeFile(fs::u8path(r.pagePath), html, error)) {
        r.err << kTool << "wrote the analysis page " << printable(o.reportPath, 200) << "\n";
    } else {
        r.err << kTool << "the analysis page: cannot write '" << printable(o.reportPath, 200) << "': " << error << "\n";
        r.filesFailed = true;
    }
    r.pageMs += millisecondsSince(t0);
}

void printTiming(Run& r) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "timing (ms): read %.1f, country file %.1f, resolve %.1f, load %.1f, ResetStats0 %.1f, "
                  "AddData0 x%zu %.1f, GetResult0 %.1f\n",
                  r.readMs, r.ctyMs, r.resolveMs, r.loadMs, r.pass.resetMs, r.log.qsos.size(), r.pass.addMs,
                  r.pass.resultMs);
    r.err << kTool << line;
    if (r.analysis) {
        std::snprintf(line, sizeof line, "timing (ms): the analysis page's runs, checks and writing %.1f\n", r.pageMs);
        r.err << kTool << line;
    }
}

// The closing lines: the log's reconciled figures, the calls nobody could place, and
// what was skipped. The exit status.
int summarise(Run& r) {
    r.err << kTool << r.logFile << " (" << r.log.formatName << "): " << reconcile(countVerdicts(r.joined.verdicts));
    if (r.log.ignoredQsos) r.err << "; " << r.log.ignoredQsos << " X-QSO lines left out";
    r.err << "\n";
    if (!r.unplaced.empty()) {
        r.err << kTool << "warning: " << r.unplaced.size()
              << (r.unplaced.size() == 1 ? " call the country file cannot place"
                                         : " calls the country file cannot place")
              << " (sent with empty prefix and continent):";
        for (size_t i = 0; i < r.unplaced.size() && i < 10; ++i) r.err << " " << printable(r.unplaced[i]);
        if (r.unplaced.size() > 10) r.err << " ...";
        r.err << "\n";
    }
    if (r.opt.timing) printTiming(r);
    if (!r.log.issues.empty()) {
        const char* what = r.log.format == LogFormat::adif ? " record" : " line";
        r.err << kTool << r.log.issues.size() << what << (r.log.issues.size() == 1 ? "" : "s") << " skipped\n";
        return exitSkipped;
    }
    if (r.othersSkipped)
        return r.fail(exitSkipped, std::to_string(r.othersSkipped) + " lines or records of the other logs skipped");
    if (!r.skippedLogs.empty())
        return r.fail(exitSkipped, "left out of the cross-check, as they could not be read: " +
                                       std::to_string(r.skippedLogs.size()) +
                                       (r.skippedLogs.size() == 1 ? " log" : " logs"));
    return r.filesFailed ? exitSkipped : exitClean;
}

}  // namespace

int runReplay(const Options& o, const std::string& buildTreePlugin, std::ostream& out, std::ostream& err) {
    Run r(o, out, err);
    int status = findPaths(r, buildTreePlugin);
    if (status == kGoOn) status = readTheLog(r);
    if (status == kGoOn) status = placeTheCalls(r);
    if (status != kGoOn) return status;
    warnBeforeScoring(r);
    status = loadThePlugin(r);
    if (status == kGoOn) status = prepareTheWorkspace(r);
    if (status == kGoOn && r.report) status = runForTheAnalysis(r);
    if (status == kGoOn) status = scoringRun(r);
    if (status != kGoOn) return status;
    exportRun(r);
    installTheFiles(r);
    if (r.analysis && r.analysis->crossChecked()) writeCrossCheckFiles(r);
    if (r.analysis && r.page) writeThePage(r);
    return summarise(r);
}

}  // namespace replay
