#include "options.h"

#include "band.h"
#include "text.h"

namespace replay {

const char* const kHostVersionText = "2.21";

std::string usageText() {
    return R"(Usage: talven-replay [options] LOG

Replays a contest log through the TALVEN-CUP Stats plug-in the way the logger
drives it: ResetStats0 once, AddData0 for every QSO in log order, GetResult0.
The summary goes to standard output; messages, the files the plug-in wrote and
the count of skipped lines go to standard error.

LOG is Cabrillo 2.0/3.0 or ADIF 3 (.adi); the format is recognised from the content.

Options (a value may also be given as --option=VALUE):
  --plugin PATH        plug-in library (default: libStats.so, on Windows Stats.dll,
                       beside this program, then the one in the build tree)
  --own-call CALL      own call (default: the log's CALLSIGN: header, the ADIF
                       STATION_CALLSIGN/OPERATOR, or the first QSO's own call)
  --start "DATE TIME"  contest start (default: the first QSO's minute)
  --end "DATE TIME"    contest end (default: the last second of the last QSO's minute)
                       DATE TIME: "YYYY-MM-DD HHMM"; also "YYYY-MM-DD HH:MM[:SS]",
                       "YYYY-MM-DDTHH:MM", "YYYYMMDD HHMM", or a date alone (00:00), UTC
  --cty PATH           country file cty.dat (default: /usr/share/hamradio-files/cty.dat,
                       from Debian's hamradio-files; on Windows cty.dat beside this program)
  --host-folder DIR    the host folder handed to ResetStats0, written as the host does,
                       with the trailing separator (default: empty); the plug-in looks
                       there for Orba2.ini to learn the host's version
  --out-dir DIR        run the plug-in in DIR: its reports, Cabrillo file and settings
                       (Plugins/TALVENA-CUP.ini) go there (default: the current folder)
  --cabrillo           ask for the plug-in's Cabrillo export (<own call>.cbr)
  --html               call setVersion first, which switches the summary to HTML
  --check CALL[:AREA]  after the log, ask CheckCall0 about CALL (repeatable); AREA is
                       the station's area as the logger would pass it (default: empty)
  --band BAND          band for --check (default: the last QSO's), e.g. 20m
  --mode MODE          mode for --check (default: the last QSO's), e.g. RTTY, BPSK63
                       (the Cabrillo codes RY and PK are understood)
  --strict             stop at the first line that cannot be read (nothing replayed)
  --utf8               convert the plug-in's texts from code page 1251 to UTF-8
  --verbose            list every QSO the plug-in rejected
  --timing             show how long reading, resolving and the plug-in calls took
  --help               this text

Every call's DXCC prefix and continent come from the country file; calls it cannot
place go to the plug-in with both empty and are counted at the end. /MM calls have
no country. The plug-in measures the ten-minute band and mode rule of --check
against the present time, so a replayed past contest shows no such warnings.

Exit status: 0 all QSOs replayed; 1 lines or records skipped, or the log could not
be read; 2 wrong command line; 3 the plug-in or the country file could not be used.
)";
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
        std::string text;
        if (name == "--help") {
            return CommandLine::help;
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
    if (positional.empty()) {
        error = "no log file given";
        return CommandLine::error;
    }
    if (positional.size() > 1) {
        error = "one log file at a time (got '" + positional[0] + "' and '" + positional[1] + "')";
        return CommandLine::error;
    }
    result.logPath = positional[0];
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
