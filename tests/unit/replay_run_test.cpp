// Whole replays through the built plug-in, as an operator runs them: the Cabrillo header
// taken from the log, why QSOs do not count, the warnings, and the output folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "plugin/workspace.h"
#include "replay/options.h"
#include "replay/replay.h"

using namespace replay;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// A folder of its own for each test, empty at the start.
fs::path freshDir(const std::string& name) {
    const fs::path dir = fs::path(::testing::TempDir()) / ("replay_run_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

Outcome replayIn(const fs::path& outDir, std::vector<std::string> args) {
    const std::vector<std::string> fixed = {"--plugin",  STATS_LIBRARY_PATH,
                                            "--cty",     std::string(TEST_DATA_DIR) + "/cty/cty_excerpt.dat",
                                            "--out-dir", outDir.string()};
    args.insert(args.begin(), fixed.begin(), fixed.end());
    Options o;
    std::string error;
    Outcome run;
    if (parseCommandLine(args, o, error) != CommandLine::run) {
        run.err = error;
        return run;
    }
    const fs::path cwd = fs::current_path();
    std::ostringstream out, err;
    run.status = runReplay(o, "", out, err);
    fs::current_path(cwd);
    run.out = out.str();
    run.err = err.str();
    return run;
}

const char* const kQsos =
    "QSO: 14085 RY 2024-12-14 1200 UT1AA         599 001    DL1AA         599 017\n"
    "QSO: 14085 RY 2024-12-14 1201 UT1AA         599 002    OK2AB         599 018\n";

}  // namespace

TEST(ReplayRun, CabrilloHeaderComesFromTheLogTheCommandLineOrTheSettings) {
    struct Case {
        const char* what;
        std::string log;
        std::vector<std::string> args;
        std::string settings;                  // Plugins/TALVENA-CUP.ini before the run
        std::vector<std::string> headerLines;  // in the Cabrillo file
        const char* message;                   // in the messages, or nullptr
    } cases[] = {
        {"Cabrillo 3.0",
         std::string("START-OF-LOG: 3.0\nCALLSIGN: UT1AA\nOPERATORS: UT1AA UT2BB\nNAME: Ivan Petrenko\n"
                     "ADDRESS: Street 1\nADDRESS-CITY: Kyiv\nADDRESS-POSTALCODE: 01001\nADDRESS-COUNTRY: Ukraine\n"
                     "EMAIL: ut1aa@example.org\nCLUB: UCC\nSOAPBOX: line one\nSOAPBOX: line two\n") +
             kQsos,
         {},
         "",
         {"OPERATORS: UT1AA UT2BB\r\n", "NAME: Ivan Petrenko\r\n",
          "ADDRESS: Street 1\r\nADDRESS: Kyiv 01001\r\nADDRESS: Ukraine\r\n", "EMAIL: ut1aa@example.org\r\n",
          "CLUB: UCC\r\n", "SOAPBOX: line one\r\nSOAPBOX: line two\r\n"},
         nullptr},
        {"Cabrillo 2.0; what the log leaves out stays as this station stored it",
         std::string("START-OF-LOG: 2.0\nCALLSIGN: UT1AA\nCATEGORY: SINGLE-OP ALL LOW\nNAME: Ivan\nCLUB:\n") + kQsos,
         {},
         "[Settings]\r\nOperators=UT1AA\r\nEmail=kept@example.org\r\nClub=Old club\r\n",
         {"OPERATORS: UT1AA\r\n", "NAME: Ivan\r\n", "EMAIL: kept@example.org\r\n", "CLUB: \r\n"},
         "the log's category is SINGLE-OP ALL LOW"},
        {"ADIF: header fields, and the operators of the records",
         "<MY_NAME:4>Ivan <EMAIL:11>a@b.example <EOH>\n"
         "<CALL:5>DL1AA<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY<STATION_CALLSIGN:5>UT1AA"
         "<OPERATOR:5>UT1AA<MY_STREET:8>Street 1<MY_CITY:4>Kyiv<EOR>\n"
         "<CALL:5>OK2AB<QSO_DATE:8>20241214<TIME_ON:4>1201<BAND:3>20m<MODE:4>RTTY<STATION_CALLSIGN:5>UT1AA"
         "<OPERATOR:5>ut2bb<EOR>\n",
         {},
         "",
         {"OPERATORS: UT1AA UT2BB\r\n", "NAME: Ivan\r\n", "ADDRESS: Street 1\r\nADDRESS: Kyiv\r\n",
          "EMAIL: a@b.example\r\n"},
         nullptr},
        {"the command line before the log; an empty value clears",
         std::string("START-OF-LOG: 3.0\nCALLSIGN: UT1AA\nNAME: Ivan\nCLUB: UCC\n") + kQsos,
         {"--name", "Taras", "--club=", "--address", "a\nb", "--verbose"},
         "",
         {"NAME: Taras\r\n", "CLUB: \r\n", "ADDRESS: a\r\nADDRESS: b\r\n"},
         "Cabrillo header Name 'Taras' from --name"},
        {"a settings file written for another station is not carried over",
         std::string("START-OF-LOG: 3.0\nCALLSIGN: UW1M\nOPERATORS: UR5MW\n") + kQsos,
         {},
         "[Settings]\r\nOperators=OK1XYZ\r\nName=Sample Operator\r\nmaster_x=120\r\n",
         {"OPERATORS: UR5MW\r\n", "NAME: \r\n"},
         "written for another station (Operators OK1XYZ), so UW1M.cbr does not take its Name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path dir = freshDir("header");
        writeFile(dir / "station.log", c.log);
        if (!c.settings.empty()) writeFile(dir / "Plugins" / "TALVENA-CUP.ini", c.settings);
        std::vector<std::string> args = c.args;
        args.push_back("--cabrillo");
        args.push_back((dir / "station.log").string());
        const Outcome run = replayIn(dir, args);
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string cbr = readFile(dir / (c.log.find("UW1M") != std::string::npos ? "UW1M.cbr" : "UT1AA.cbr"));
        for (const std::string& line : c.headerLines)
            EXPECT_NE(cbr.find("\n" + line), std::string::npos) << line << cbr;
        if (c.message) {
            EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        }
        if (!c.settings.empty()) {
            // Nothing stored is lost: what the run did not take is still there or in the copy.
            const std::string after =
                readFile(dir / "Plugins" / "TALVENA-CUP.ini") + readFile(dir / "Plugins" / "TALVENA-CUP.ini.bak");
            for (const char* key : {"Email=kept", "Name=Sample Operator", "master_x=120"})
                if (c.settings.find(key) != std::string::npos) {
                    EXPECT_NE(after.find(key), std::string::npos) << key;
                }
        }
    }
}

TEST(ReplayRun, ExplainNamesEveryQsoThatDoesNotCountOnceWithItsLine) {
    const fs::path dir = freshDir("explain");
    const std::string log = fs::path(std::string(GOLDEN_DIR) + "/../../data/sample.log").lexically_normal().string();
    const Outcome run = replayIn(dir, {"--explain", log});
    ASSERT_EQ(run.status, 0) << run.err;
    const char* const expected[] = {
        ":17: EN5ROD 2024-12-14 1201 20m RTTY: Ukrainan Code Area is not acceptable (logged, not counted)",
        ":79: DL9CIY 2024-12-14 1412 20m PSK31: WRONG MODE (refused: not in the log)",
        ":132: RA9NP 2024-12-14 1553 20m RTTY: DUPE (logged, not counted)",
        ":180: UT5SUX 2024-12-14 1735 160m RTTY: WRONG BAND (refused: not in the log)",
        ":186: EM8ZQB 2024-12-14 1741 40m RTTY: DUPE (logged, not counted)",
        ":232: LZ9SGF 2024-12-14 1918 80m BPSK63: DUPE (logged, not counted)",
        ":241: I5JVP 2024-12-14 1934 80m BPSK63: DUPE (logged, not counted)",
        ":268: US9NY 2024-12-14 2017 20m RTTY: Ukrainan Code Area is not acceptable (logged, not counted)",
        ":271: ZS9PY 2024-12-14 2020 20m RTTY: DUPE (logged, not counted)",
        ":302: EN3QBU 2024-12-14 2123 80m RTTY: Ukrainan Code Area is not acceptable (logged, not counted)",
    };
    std::vector<std::string> listed;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, log.size(), log) == 0) listed.push_back(line.substr(log.size()));
    ASSERT_EQ(listed.size(), std::size(expected)) << run.out;
    for (size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(listed[i], expected[i]);
    EXPECT_NE(run.err.find("302 QSOs replayed: 2 refused by the plug-in, 300 logged = 292 counted + 5 dupes + 3 bad "
                           "QSOs; in the summary Total 292, Dupe 5, Bad QSO 5"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("Total\t 292"), std::string::npos);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);  // one line end style on the console
}

TEST(ReplayRun, WarningsOfAnotherContestAndOfQsosOutsideThePeriod) {
    const fs::path dir = freshDir("warnings");
    writeFile(dir / "wpx.log", std::string("START-OF-LOG: 3.0\nCALLSIGN: UT1AA\nCONTEST: CQ-WPX-RTTY\n") + kQsos);
    const Outcome run =
        replayIn(dir, {"--start", "2024-12-14 1201", "--end", "2024-12-14 1300", (dir / "wpx.log").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("this log is for CQ-WPX-RTTY; it is scored by the TALVEN-CUP rules"), std::string::npos);
    EXPECT_NE(run.err.find("1 QSO lies outside the contest period 2024-12-14 12:01 to 2024-12-14 13:00 (the first at "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("wpx.log:4: ...); the plug-in scores them"), std::string::npos) << run.err;
}

TEST(ReplayRun, OutputFolderAndFilesThatCannotBeWritten) {
    const fs::path dir = freshDir("files");
    const fs::path out = dir / "new" / "folder";
    writeFile(dir / "good.log", std::string("START-OF-LOG: 3.0\nCALLSIGN: UT1AA\n") + kQsos);
    writeFile(dir / "cut.log", std::string("START-OF-LOG: 3.0\nCALLSIGN: UT1AA\n") + kQsos + "QSO: 14085 RY 2024-12-1");

    // A missing folder is made; a stale temporary name of the export blocks nothing.
    fs::create_directories(out / "UT1AA.cbr.tmp");
    Outcome run = replayIn(out, {"--cabrillo", (dir / "good.log").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(out / "Plugins" / "TALVENA-CUP.ini"));
    const std::string good = readFile(out / "UT1AA.cbr");
    EXPECT_NE(good.find("DL1AA"), std::string::npos);

    // A log with unreadable lines leaves the good file alone unless told otherwise.
    run = replayIn(out, {"--cabrillo", (dir / "cut.log").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readFile(out / "UT1AA.cbr"), good);
    EXPECT_TRUE(fs::is_regular_file(out / "UT1AA.new.cbr"));
    EXPECT_NE(run.err.find("kept the existing UT1AA.cbr"), std::string::npos) << run.err;
    run = replayIn(out, {"--cabrillo", "--force", (dir / "cut.log").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("wrote UT1AA.cbr"), std::string::npos) << run.err;

    // A report that cannot be put in place is a failure, not a success.
    fs::remove(out / "BadQSO_StatsTALVENCP_14_12_2024.txt");
    fs::create_directories(out / "BadQSO_StatsTALVENCP_14_12_2024.txt" / "in the way");
    run = replayIn(out, {(dir / "good.log").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot write BadQSO_StatsTALVENCP_14_12_2024.txt"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("no bad-QSO report"), std::string::npos) << run.err;
    for (const auto& entry : fs::directory_iterator(out))  // no work folder left behind
        EXPECT_EQ(entry.path().filename().string().find(".talven-replay"), std::string::npos);
}

// The analysis runs' folder in memory: the user's alone, a new one each time, and gone
// with whatever the plug-in left in it.
TEST(ReplayRun, TheMemoryFolderIsPrivateAndGoesWithItsFiles) {
    fs::path kept;
    {
        const MemoryFolder one, two;
        if (one.path().empty()) GTEST_SKIP() << "no memory file system here";
        EXPECT_NE(one.path(), two.path());
        EXPECT_EQ(fs::status(one.path()).permissions() & fs::perms::all, fs::perms::owner_all);
        fs::create_directories(one.path() / "Plugins");
        std::ofstream(one.path() / "Plugins" / "TALVENA-CUP.ini") << "[Settings]";
        kept = one.path();
    }
    EXPECT_FALSE(fs::exists(kept));
}
