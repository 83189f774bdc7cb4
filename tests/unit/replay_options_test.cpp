// The command line and the values derived from it before the plug-in is called.
#include <gtest/gtest.h>

#include "replay/options.h"
#include "replay/replay.h"

using namespace replay;

namespace {

CommandLine parse(std::vector<std::string> args, Options& o, std::string& error) {
    return parseCommandLine(args, o, error);
}

Qso qsoAt(Timestamp t) {
    Qso q;
    q.time = t;
    return q;
}

}  // namespace

TEST(ReplayOptions, EveryOptionReachesItsField) {
    Options o;
    std::string error;
    ASSERT_EQ(parse({"--plugin",      "p.so",     "--cty=c.dat",     "--own-call",
                     "ok1xyz",        "--start",  "2024-12-14 1200", "--end=2024-12-14 1759",
                     "--host-folder", "C:\\Orba", "--out-dir",       "out",
                     "--cabrillo",    "--html",   "--check",         "ut5abc:KV",
                     "--check",       "DL1AA",    "--band",          "20M",
                     "--mode",        "ry",       "--strict",        "--utf8",
                     "--verbose",     "--timing", "log.cbr"},
                    o, error),
              CommandLine::run)
        << error;
    EXPECT_EQ(o.logPath, "log.cbr");
    EXPECT_EQ(o.pluginPath, "p.so");
    EXPECT_EQ(o.ctyPath, "c.dat");
    EXPECT_EQ(o.ownCall, "OK1XYZ");
    EXPECT_TRUE(o.hasStart && o.hasEnd);
    EXPECT_EQ(formatTimestamp(o.start), "2024-12-14 12:00");
    EXPECT_EQ(formatTimestamp(o.end), "2024-12-14 17:59");
    EXPECT_EQ(o.hostFolder, "C:\\Orba");
    EXPECT_EQ(o.outDir, "out");
    EXPECT_TRUE(o.cabrillo && o.html && o.strict && o.utf8 && o.verbose && o.timing);
    ASSERT_EQ(o.checks.size(), 2u);
    EXPECT_EQ(o.checks[0].call, "UT5ABC");
    EXPECT_EQ(o.checks[0].area, "KV");
    EXPECT_EQ(o.checks[1].call, "DL1AA");
    EXPECT_EQ(o.checks[1].area, "");
    EXPECT_EQ(o.checkBand, "20m");
    EXPECT_EQ(o.checkMode, "RTTY");
}

TEST(ReplayOptions, DefaultsLeaveTheChoiceToTheLog) {
    Options o;
    std::string error;
    ASSERT_EQ(parse({"log.adi"}, o, error), CommandLine::run);
    EXPECT_TRUE(o.pluginPath.empty() && o.ctyPath.empty() && o.ownCall.empty() && o.hostFolder.empty());
    EXPECT_FALSE(o.hasStart || o.hasEnd || o.cabrillo || o.html || o.strict);
    EXPECT_EQ(parse({"--help", "--bogus"}, o, error), CommandLine::help);
    EXPECT_EQ(parse({"-h"}, o, error), CommandLine::help);
}

TEST(ReplayOptions, SeveralLogsAreTheReportsCrossCheck) {
    Options o;
    std::string error;
    ASSERT_EQ(parse({"--report", "p.html", "--tolerance=5", "a.log", "b.log", "c.log"}, o, error), CommandLine::run)
        << error;
    EXPECT_EQ(o.reportPath, "p.html");
    EXPECT_EQ(o.logPath, "a.log");
    EXPECT_EQ(o.crossCheckLogs, (std::vector<std::string>{"b.log", "c.log"}));
    EXPECT_EQ(o.toleranceMinutes, 5);
}

TEST(ReplayOptions, UsageErrorsSayWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "no log file"},
        {{"a.log", "b.log"}, "one log file at a time"},
        {{"--bogus", "a.log"}, "unknown option '--bogus'"},
        {{"-x", "a.log"}, "unknown option '-x'"},
        {{"a.log", "--plugin"}, "--plugin needs a value"},
        {{"--own-call=", "a.log"}, "non-empty"},
        {{"--strict=yes", "a.log"}, "takes no value"},
        {{"--start", "2024-02-30 1200", "a.log"}, "--start"},
        {{"--end", "tomorrow", "a.log"}, "--end"},
        {{"--start", "2024-12-14 1800", "--end", "2024-12-14 1200", "a.log"}, "before"},
        {{"--check", ":KV", "a.log"}, "no call"},
        {{"--band", "20m", "a.log"}, "only apply to --check"},
        {{"--report", "p.html", "a.log", "-"}, "only the first log may come from standard input"},
        {{"--report", "p.html", "a.log", "b.log", "a.log"}, "'a.log' is given twice"},
        {{"--tolerance", "5", "--report", "p.html", "a.log"}, "only applies to a cross-check"},
        {{"--tolerance", "-1", "--report", "p.html", "a.log", "b.log"}, "not a number of minutes"},
        {{"--scp", "MASTER.SCP", "a.log"}, "only applies to --report"},
    };
    for (const Case& c : cases) {
        Options o;
        std::string error;
        EXPECT_EQ(parse(c.args, o, error), CommandLine::error) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(ReplayOptions, HelpDocumentsEveryOption) {
    const std::string help = usageText();
    for (const char* option :
         {"--plugin",   "--own-call", "--start", "--end",       "--cty",     "--host-folder", "--out-dir",
          "--cabrillo", "--html",     "--check", "--band",      "--mode",    "--strict",      "--utf8",
          "--verbose",  "--timing",   "--help",  "Exit status", "--explain", "--operators",   "--name",
          "--address",  "--email",    "--club",  "--soapbox",   "--fresh",   "--force",       "--no-dialog",
          "--version",  "--report",   "--scp",   "--tolerance"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST(ReplayOptions, ContestPeriodFromTheLogOrTheOptions) {
    const std::vector<Qso> qsos = {qsoAt({2024, 12, 14, 12, 5, 30}), qsoAt({2024, 12, 14, 12, 1, 15}),
                                   qsoAt({2024, 12, 14, 23, 59, 0})};
    Options o;
    Timestamp start, end;
    ASSERT_TRUE(contestPeriod(o, qsos, start, end));
    EXPECT_EQ(formatTimestamp(start), "2024-12-14 12:01");   // earliest, not first in file
    EXPECT_EQ(formatTimestamp(end), "2024-12-14 23:59:59");  // stays on the same date
    o.hasEnd = true;
    o.end = {2024, 12, 15, 0, 0, 0};
    ASSERT_TRUE(contestPeriod(o, qsos, start, end));
    EXPECT_EQ(formatTimestamp(start), "2024-12-14 12:01");
    EXPECT_EQ(formatTimestamp(end), "2024-12-15 00:00");
    EXPECT_FALSE(contestPeriod(o, {}, start, end));  // start unknown
    o.hasStart = true;
    o.start = {2024, 12, 14, 12, 0, 0};
    EXPECT_TRUE(contestPeriod(o, {}, start, end));
}

TEST(ReplayOptions, NamesOfThePluginsFiles) {
    EXPECT_EQ(badQsoReportName({2019, 2, 10, 23, 59, 59}), "BadQSO_StatsTALVENCP_10_02_2019.txt");
    EXPECT_EQ(badQsoReportName({2024, 12, 1, 0, 0, 0}), "BadQSO_StatsTALVENCP_01_12_2024.txt");
    EXPECT_EQ(cabrilloExportName("OK1XYZ"), "OK1XYZ.cbr");
    EXPECT_EQ(cabrilloExportName("DL/OK1XYZ/P"), "DL_OK1XYZ_P.cbr");
    EXPECT_EQ(cabrilloExportName("A\\B"), "A_B.cbr");
}
