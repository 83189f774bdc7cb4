#include "replay/options.h"

#include <algorithm>

#include "ascii_text.h"
#include "logs/band.h"
#include "replay/log_inputs.h"

namespace replay {

const char* const kHostVersionText = "2.21";

#ifndef REPLAY_VERSION
#define REPLAY_VERSION "unknown"
#endif
const char* const kProjectVersion = REPLAY_VERSION;

std::string usageText() {
    std::string text = R"(Usage: talven-replay [options] LOG
       talven-replay --report PAGE.html [options] LOG [OTHER_LOG...]
       talven-replay --findings FILE.csv [--per-station DIR] [options] FOLDER | @LIST

Scores a contest log by the TALVEN-CUP rules with the Stats plug-in for Orba, the way
the logger drives it, and prints the plug-in's summary. LOG is a Cabrillo 2.0/3.0 or
ADIF 3 log, recognised from its content; "-" reads it from standard input.

What you can ask for:
  --explain            list every QSO that does not count and why: its file and line
                       and the plug-in's reason ("DUPE", "WRONG BAND", ...)
  --cabrillo           also write the Cabrillo file for submission, <own call>.cbr; an
                       existing one is kept as <own call>.cbr.bak (.bak2, ... when taken)
  --out-dir DIR        where the files go: the bad-QSO report, the Cabrillo file and the
                       plug-in's settings (Plugins/TALVENA-CUP.ini); created when missing
                       (default: the current folder)
  --own-call CALL      own call (default: the log's CALLSIGN: header, the ADIF
                       STATION_CALLSIGN/OPERATOR, or the first QSO's own call)
  --start "DATE TIME"  contest start (default: the first QSO's minute)
  --end "DATE TIME"    contest end (default: the last second of the last QSO's minute);
                       QSOs outside are counted and named in a warning
                       DATE TIME: "YYYY-MM-DD HHMM"; also "YYYY-MM-DD HH:MM[:SS]",
                       "YYYY-MM-DDTHH:MM", "YYYYMMDD HHMM", or a date alone (00:00), UTC
  --check CALL[:AREA]  after the log, ask what working CALL would bring: dupe, new
                       multiplier, ... (repeatable); AREA is the station's area as the
                       logger would pass it (default: empty)
  --band BAND          band for --check (default: the last QSO's), e.g. 20m
  --mode MODE          mode for --check (default: the last QSO's), e.g. RTTY, BPSK63
                       (the Cabrillo codes RY and PK are understood)
  --html               the summary as HTML
  --report PAGE.html   also write an analysis page of LOG: the summary, bands and modes,
                       QSOs, score and new multipliers over time, band and mode changes,
                       the QSOs that do not count, and calls to check; one HTML file that
                       needs nothing else (no script, no network). Its figures are the
                       plug-in's own, from further runs of the same QSOs. An existing
                       file is replaced only when it is such a page; "-" writes the
                       page to standard output (what the run prints goes to standard error)
  --scp PATH           super-check-partial list for the calls to check (default:
                       MASTER.SCP beside the default country file); when it cannot be
                       read, the page leaves that check out
  OTHER_LOG...         with --report, --findings or --per-station: logs of other stations
                       in the same contest; every QSO between two of the stations is
                       cross-checked, and the page shows each log's claimed and checked
                       score. The summary, the files and the options above are about LOG
                       alone. A folder stands for every *.log, *.cbr, *.adi and *.adif in
                       it (by name), @LIST for the logs a file names, one a line; the
                       first log is the one the page analyses
  --findings FILE.csv  write every finding of the cross-check: station, log, line, time,
                       call, band, mode, finding (nil, busted_call, busted_exchange),
                       other_station, other_line, detail
  --per-station DIR    write one result per station into DIR (CALL.txt): its findings,
                       its claimed and its checked score
  --tolerance MINUTES  how far apart in time the two logs of one QSO may be (default 3)
  --utf8               the plug-in's texts in UTF-8 (it writes code page 1251)

The Cabrillo header (--cabrillo):
  OPERATORS, NAME, ADDRESS, EMAIL, CLUB and SOAPBOX come from the log's header (in
  ADIF from header fields, OPERATOR and the MY_ fields); a value the log does not give
  keeps what the settings file holds. --verbose says where each one came from.
  --operators CALLS    --name TEXT    --address TEXT    --email TEXT    --club TEXT
  --soapbox TEXT       set that value (an empty TEXT clears it; a line break in the
                       address or the soapbox starts a new header line)
  --fresh              start from a clean settings file; the old one is kept as
                       Plugins/TALVENA-CUP.ini.bak
  --force              replace an existing Cabrillo file even when lines of the log could
                       not be read (otherwise the new one is written beside it, as
                       <own call>.new.cbr)
)";
#ifdef _WIN32
    text += R"(  --no-dialog          --cabrillo opens the plug-in's header dialog, as in the logger:
                       check the values and press OK. --no-dialog presses OK for you
                       (the values above are taken as they are) and closes the "File
                       produced" notice that follows
)";
#else
    text += R"(  --no-dialog          accepted for scripts shared with Windows; without a desktop the
                       header dialog is always confirmed with the values above
)";
#endif
    text += R"(  The plug-in writes CONTEST: TALVEN-CUP, CATEGORY: SINGLE-OP ALL HIGH and
  ARRL-SECTION: DX whatever the log says; only its header dialog changes them.

Reading and messages:
  --strict             stop at the first line that cannot be read (nothing replayed)
  --verbose            --explain, and where each Cabrillo header value came from
  --timing             show how long reading, resolving and the plug-in calls took
  --version            the version of this tool
  --help               this text

Where things are:
  --plugin PATH        plug-in library (default: libStats.so, on Windows Stats.dll,
                       beside this program, then the one in the build tree)
  --cty PATH           country file cty.dat (default: /usr/share/hamradio-files/cty.dat,
                       from Debian's hamradio-files; on Windows cty.dat beside this program)
  --host-folder DIR    the host folder handed to ResetStats0, written as the host does,
                       with the trailing separator (default: empty); the plug-in looks
                       there for Orba2.ini to learn the host's version
A value may also be given as --option=VALUE.

Exit status: 0 all QSOs replayed and every file written; 1 lines or records skipped,
a log could not be read, or a file (the page included) could not be written; 2 wrong
command line, logs of different contests or years to cross-check, an output that is an
input (a log, the country file, the plug-in) or another output; 3 the plug-in or the
country file could not be used.

How the plug-in is driven: ResetStats0 once, AddData0 for every QSO in log order,
GetResult0; --html calls setVersion first, --check calls CheckCall0 afterwards. With
--cabrillo that scoring run is followed by an export run (ResetStats0 with the export
flag, which runs the header dialog, AddData0 for every QSO, GetResult0, which writes
the file). The plug-in works in a fresh folder of its own; what it wrote is then moved
into the output folder. Every call's DXCC prefix and continent come from the country
file; calls it cannot place go to the plug-in with both empty and are counted at the
end. /MM calls have no country. The plug-in measures the ten-minute band and mode rule
of --check against the present time, so a replayed past contest shows no such warnings.
)";
    return text;
}

CommandLine parseCommandLine(const std::vector<std::string>& args, Options& o, std::string& error) {
    Options result;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "--") {
            positional.insert(positional.end(), args.begin() + long(i) + 1, args.end());
            break;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "-") {
            if (arg == "-h") return CommandLine::help;
            if (!arg.empty() && arg[0] == '-' && arg != "-") {
                error = "unknown option '" + arg + "'";
                return CommandLine::error;
            }
            positional.push_back(arg);
            continue;
        }
        std::string name = arg, value;
        bool hasValue = false;
        size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        auto flag = [&](bool& target) {
            if (hasValue) {
                error = "option " + name + " takes no value";
                return false;
            }
            target = true;
            return true;
        };
        auto takeValue = [&](std::string& target) {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    error = "option " + name + " needs a value";
                    return false;
                }
                value = args[++i];
            }
            if (trim(value).empty()) {
                error = "option " + name + " needs a non-empty value";
                return false;
            }
            target = value;
            return true;
        };
        // Header values may be empty: that clears what the settings file holds.
        auto takeHeader = [&](std::optional<std::string>& target) {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    error = "option " + name + " needs a value";
                    return false;
                }
                value = args[++i];
            }
            target = std::string(trim(value));
            return true;
        };
        std::string text;
        if (name == "--help") {
            return CommandLine::help;
        } else if (name == "--version") {
            return CommandLine::version;
        } else if (name == "--operators") {
            if (!takeHeader(result.header.operators)) return CommandLine::error;
            *result.header.operators = toUpper(*result.header.operators);
        } else if (name == "--name") {
            if (!takeHeader(result.header.name)) return CommandLine::error;
        } else if (name == "--address") {
            if (!takeHeader(result.header.address)) return CommandLine::error;
        } else if (name == "--email") {
            if (!takeHeader(result.header.email)) return CommandLine::error;
        } else if (name == "--club") {
            if (!takeHeader(result.header.club)) return CommandLine::error;
        } else if (name == "--soapbox") {
            if (!takeHeader(result.header.soapbox)) return CommandLine::error;
        } else if (name == "--fresh") {
            if (!flag(result.fresh)) return CommandLine::error;
        } else if (name == "--force") {
            if (!flag(result.force)) return CommandLine::error;
        } else if (name == "--no-dialog") {
            if (!flag(result.noDialog)) return CommandLine::error;
        } else if (name == "--explain") {
            if (!flag(result.explain)) return CommandLine::error;
        } else if (name == "--plugin") {
            if (!takeValue(result.pluginPath)) return CommandLine::error;
        } else if (name == "--cty") {
            if (!takeValue(result.ctyPath)) return CommandLine::error;
        } else if (name == "--own-call") {
            if (!takeValue(text)) return CommandLine::error;
            result.ownCall = toUpper(trim(text));
        } else if (name == "--host-folder") {
            if (!takeValue(result.hostFolder)) return CommandLine::error;
        } else if (name == "--out-dir") {
            if (!takeValue(result.outDir)) return CommandLine::error;
        } else if (name == "--start" || name == "--end") {
            if (!takeValue(text)) return CommandLine::error;
            Timestamp& t = name == "--start" ? result.start : result.end;
            std::string why;
            if (!parseDateTimeText(text, t, why)) {
                error = name + ": " + why;
                return CommandLine::error;
            }
            (name == "--start" ? result.hasStart : result.hasEnd) = true;
        } else if (name == "--check") {
            if (!takeValue(text)) return CommandLine::error;
            CallCheck check;
            size_t colon = text.find(':');
            check.call = toUpper(trim(text.substr(0, colon)));
            if (colon != std::string::npos) check.area = std::string(trim(text.substr(colon + 1)));
            if (check.call.empty()) {
                error = "--check: no call in '" + text + "'";
                return CommandLine::error;
            }
            result.checks.push_back(check);
        } else if (name == "--band") {
            if (!takeValue(text)) return CommandLine::error;
            result.checkBand = normalizeBand(text);
        } else if (name == "--mode") {
            if (!takeValue(text)) return CommandLine::error;
            result.checkMode = modeFromCabrillo(toUpper(trim(text)));
        } else if (name == "--report") {
            if (!takeValue(result.reportPath)) return CommandLine::error;
        } else if (name == "--findings") {
            if (!takeValue(result.findingsPath)) return CommandLine::error;
        } else if (name == "--per-station") {
            if (!takeValue(result.perStationDir)) return CommandLine::error;
        } else if (name == "--scp") {
            if (!takeValue(result.scpPath)) return CommandLine::error;
        } else if (name == "--tolerance") {
            if (!takeValue(text)) return CommandLine::error;
            uint64_t minutes = 0;
            if (!parseUnsigned(trim(text), minutes) || minutes > 1440) {
                error = "--tolerance: '" + text + "' is not a number of minutes from 0 to 1440";
                return CommandLine::error;
            }
            result.toleranceMinutes = int(minutes);
            result.hasTolerance = true;
        } else if (name == "--cabrillo") {
            if (!flag(result.cabrillo)) return CommandLine::error;
        } else if (name == "--html") {
            if (!flag(result.html)) return CommandLine::error;
        } else if (name == "--strict") {
            if (!flag(result.strict)) return CommandLine::error;
        } else if (name == "--utf8") {
            if (!flag(result.utf8)) return CommandLine::error;
        } else if (name == "--verbose") {
            if (!flag(result.verbose)) return CommandLine::error;
        } else if (name == "--timing") {
            if (!flag(result.timing)) return CommandLine::error;
        } else {
            error = "unknown option '" + name + "'";
            return CommandLine::error;
        }
    }
    const bool crossCheckFiles = !result.findingsPath.empty() || !result.perStationDir.empty();
    if (!result.reportPath.empty() || crossCheckFiles) {
        std::vector<std::string> logs;
        if (!expandLogInputs(positional, logs, error)) return CommandLine::error;
        positional = std::move(logs);
    }
    if (positional.empty()) {
        error = "no log file given";
        return CommandLine::error;
    }
    if (positional.size() > 1 && result.reportPath.empty() && !crossCheckFiles) {
        error = "one log file at a time (got '" + positional[0] + "' and '" + positional[1] +
                "'); several logs only with --report, --findings or --per-station, which cross-check them";
        return CommandLine::error;
    }
    if (crossCheckFiles && positional.size() < 2) {
        error = "--findings and --per-station need the logs of two stations or more";
        return CommandLine::error;
    }
    result.logPath = positional[0];
    result.crossCheckLogs.assign(positional.begin() + 1, positional.end());
    for (size_t i = 1; i < positional.size(); ++i) {
        if (positional[i] == "-") {
            error = "only the first log may come from standard input";
            return CommandLine::error;
        }
        if (std::find(positional.begin(), positional.begin() + long(i), positional[i]) !=
            positional.begin() + long(i)) {
            error = "the log '" + positional[i] + "' is given twice";
            return CommandLine::error;
        }
    }
    if (result.hasTolerance && result.crossCheckLogs.empty()) {
        error = "--tolerance only applies to a cross-check of several logs";
        return CommandLine::error;
    }
    if (!result.scpPath.empty() && result.reportPath.empty()) {
        error = "--scp only applies to --report";
        return CommandLine::error;
    }
    if (result.hasStart && result.hasEnd && result.end < result.start) {
        error = "--end " + formatTimestamp(result.end) + " is before --start " + formatTimestamp(result.start);
        return CommandLine::error;
    }
    if ((!result.checkBand.empty() || !result.checkMode.empty()) && result.checks.empty()) {
        error = "--band and --mode only apply to --check";
        return CommandLine::error;
    }
    o = std::move(result);
    return CommandLine::run;
}

}  // namespace replay
