#include "host_calls.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace hostcalls {

HostDate::HostDate(double days, int32_t status) {
    std::memset(bytes, 0xA5, sizeof bytes);
    std::memcpy(bytes, &days, sizeof days);
    std::memcpy(bytes + 8, &status, sizeof status);
}

namespace {

constexpr double kDec16_2017 = 43085.0;
constexpr double kDec17_2017 = 43086.0;
double at(double day, int hour, int minute) { return day + (hour * 60 + minute) / 1440.0; }

const char* const kReportName = "BadQSO_StatsTALVENCP_17_12_2017.txt";

void expectEqual(Failures& f, const std::string& what, const std::string& actual, const std::string& expected) {
    if (actual != expected) f.push_back(what + ": got \"" + actual + "\", expected \"" + expected + "\"");
}
void expectEqual(Failures& f, const std::string& what, long long actual, long long expected) {
    if (actual != expected)
        f.push_back(what + ": got " + std::to_string(actual) + ", expected " + std::to_string(expected));
}
void expectContains(Failures& f, const std::string& what, const std::string& text, const std::string& part) {
    if (text.find(part) == std::string::npos) f.push_back(what + ": \"" + part + "\" not in \"" + text + "\"");
}

std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The report's lines without their line ends (CR LF on Windows).
std::vector<std::string> reportLines() {
    std::vector<std::string> lines;
    std::istringstream in(readFile(kReportName));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string summary(const Exports& e) {
    const char* s = e.getResult(nullptr);
    return s ? s : "<null>";
}

// Every position the plug-in ignores gets a value of its own, named after its position
// where it is a text ("r06" is the sixth argument of ResetStats0).
int reset(const Exports& e, cstr hostFolder, int exportRequested, cstr ownCall, const HostDate& start,
          const HostDate& end, cstr ownPrefix, cstr ownContinent) {
    return e.resetStats(hostFolder, exportRequested, ownCall, start.bytes, end.bytes, "r06", "r07", "r08", "r09", "r10",
                        "r11", "r12", "r13", "r14", ownPrefix, 1016, 1017, 1018, 19.25, 20.5, "r21", ownContinent,
                        "r23");
}

// The contest of every check: 16.12.2017 00:00 to 17.12.2017 23:59, a Ukrainian station
// in Europe, the host's folder the current one, where an Orba2.ini names version 2.19
// (whose call check answers 1 instead of 4 outside the contest).
int standardReset(const Exports& e) {
    std::filesystem::create_directory("Plugins");
    std::ofstream("Orba2.ini") << "[Main]\nOrba=2.19\n";
    return reset(e, ".\\", 0, "UT5AA", HostDate(kDec16_2017, 0), HostDate(at(kDec17_2017, 23, 59), 0), "UR", "EU");
}

struct Qso {
    cstr call;
    double time;
    unsigned frequencyHz;
    cstr mode, rstSent, rstReceived, exchangeSent, exchangeReceived, prefix, continent, band;
};

int qsoCall(QsoFn f, const Qso& q) {
    // The three date-times the plug-in ignores are a day, two and three after the QSO.
    const HostDate time(q.time, 0), d4(q.time + 1, 0), d5(q.time + 2, 0), d6(q.time + 3, 0);
    return f("UT5AA", q.call, time.bytes, d4.bytes, d5.bytes, d6.bytes, 1007, q.frequencyHz, q.mode, q.rstSent,
             q.rstReceived, q.exchangeSent, q.exchangeReceived, "a14", "a15", "a16", "a17", "a18", "a19", "a20", "a21",
             "a22", q.prefix, 1024, 1025, 1026, 27.25, 28.5, "a29", q.continent, "a31", q.band, "a33");
}

// Three QSOs that count on 20 m: Ukraine (area KV), Germany, and the USA in BPSK63.
const Qso kUkraine{"UR7KV", at(kDec16_2017, 14, 10), 14085000, "RTTY", "579", "589", "011", "KV", "UR", "EU", "20m"};
const Qso kGermany{"DL1ABC", at(kDec16_2017, 14, 12), 14086000, "RTTY", "579", "589", "012", "044", "DL", "EU", "20m"};
const Qso kUsa{"W1AW", at(kDec16_2017, 14, 30), 14071000, "BPSK63", "579", "589", "013", "007", "K", "NA", "20m"};

struct Check {
    cstr call, mode, stationText, prefix, area, band, band2;
};

// The buffers get a filler; each answer tells whether it was written.
struct CheckAnswer {
    int result;
    std::string hint, warning;
};
const char* const kUntouched = "untouched";

CheckAnswer checkCall(const Exports& e, const Check& c) {
    char hint[100], warning[100];
    std::strcpy(hint, kUntouched);
    std::strcpy(warning, kUntouched);
    const int r = e.checkCall(c.call, 1002, 1003, c.mode, "c05", "c06", "c07", "c08", "c09", "c10", "c11", "c12",
                              c.stationText, c.prefix, 1015, 1016, 1017, 18.25, 19.5, "c20", "c21", "c22", "c23",
                              c.area, c.band, c.band2, hint, warning);
    return {r, hint, warning};
}

}  // namespace

Failures resetArguments(const Exports& e) {
    Failures f;
    expectEqual(f, "ResetStats0", standardReset(e), 1);
    int shown = 12345;
    const char* s = e.getResult(&shown);
    expectEqual(f, "GetResult0 sets the host's int", shown, -1);
    const std::string text = s ? s : "<null>";
    // Start and end date (positions 4 and 5) in the title, the own call (3) below it.
    const std::string head = "\tTALVEN-CUP Contest 16.12-17.12.2017 \r\n\t     Contestant: UT5AA\r\n";
    expectEqual(f, "summary head", text.substr(0, head.size()), head);
    // The report is named after the end date.
    const std::vector<std::string> lines = reportLines();
    expectEqual(f, std::string("first line of ") + kReportName, lines.empty() ? "<no file>" : lines[0],
                "TALVEN-CUP TEST UBN file ");
    // Export flag 0 (position 2): no header dialog and no Cabrillo file.
    if (std::filesystem::exists("UT5AA.cbr")) f.push_back("a Cabrillo file was written without an export");
    // The host folder (position 1) led to Orba2.ini: version 2.19's answer outside the contest.
    expectEqual(f, "CheckCall0 outside the contest", checkCall(e, {"F5ABC", "RTTY", "", "F", "", "20m", "40m"}).result,
                1);
    return f;
}

Failures addDataArguments(const Exports& e) {
    Failures f;
    expectEqual(f, "ResetStats0", standardReset(e), 1);
    // Refused for its band: the report line shows every other field the plug-in reads.
    const Qso wrongBand{"DL1ABC", at(kDec16_2017, 14, 5), 1838000, "RTTY", "579", "589", "010", "033", "DL", "EU",
                        "160m"};
    expectEqual(f, "AddData0 on 160 m", qsoCall(e.addData, wrongBand), 0);
    // A Ukrainian prefix (position 23) makes the exchange an area code, and ZZ is none.
    const Qso badArea{"UR0ZZZ", at(kDec16_2017, 14, 7), 14084000, "RTTY", "579", "589", "014", "ZZ", "UR", "EU", "20m"};
    expectEqual(f, "AddData0 with a wrong area", qsoCall(e.addData, badArea), 1);
    for (const Qso& q : {kUkraine, kGermany, kUsa})
        expectEqual(f, std::string("AddData0 of ") + q.call, qsoCall(e.addData, q), 1);
    Qso again = kGermany;
    again.time = at(kDec16_2017, 14, 40);
    expectEqual(f, "AddData0 of a dupe", qsoCall(e.addData, again), 1);

    const std::vector<std::string> lines = reportLines();
    const std::vector<std::string> expected = {
        "TALVEN-CUP TEST UBN file ",
        "QSO:  1838  RTTY  2017-12-16 1405  UT5AA  579  010  DL1ABC  589  033   WRONG BAND !!!",
        "QSO:  14084  RTTY  2017-12-16 1407  UT5AA  579  014  UR0ZZZ  589  ZZ   Ukrainan Code Area is not acceptable ",
        " !!!",
        "QSO:  14086  RTTY  2017-12-16 1440  UT5AA  579  012  DL1ABC  589  044   DUPE !!!",
    };
    expectEqual(f, "report lines", static_cast<long long>(lines.size()), static_cast<long long>(expected.size()));
    for (size_t i = 0; i < lines.size() && i < expected.size(); ++i)
        expectEqual(f, "report line " + std::to_string(i + 1), lines[i], expected[i]);

    // Points need the own prefix and continent (positions 15 and 22 of the reset) and the
    // QSOs' continents (30): a Ukrainian station scores 1 in Europe and 3 elsewhere.
    const std::string text = summary(e);
    expectContains(f, "summary", text, "20m\t 3\t 5\t 3\t 1\t 2\t 1\r\n");
    expectContains(f, "summary", text, "Total\t 3\t 5\t 3\t 1\t 2\t 1\r\nDupe\t 1\r\n");
    expectContains(f, "summary", text, "Score = 5 * ( 3 + 1) = 20 \r\n");
    return f;
}

Failures removeDataArguments(const Exports& e) {
    Failures f;
    expectEqual(f, "ResetStats0", standardReset(e), 1);
    for (const Qso& q : {kUkraine, kGermany, kUsa})
        expectEqual(f, std::string("AddData0 of ") + q.call, qsoCall(e.addData, q), 1);
    // The time (position 3) must match: an hour later is another QSO.
    Qso later = kUsa;
    later.time += 1.0 / 24;
    expectEqual(f, "RemoveData0 of a QSO not in the log", qsoCall(e.removeData, later), 1);
    expectContains(f, "summary after removing nothing", summary(e), "Total\t 3\t 5\t 3\t 1\t 2\t 1\r\n");
    // Call, time, mode and band (positions 2, 3, 9 and 32) find it.
    expectEqual(f, "RemoveData0", qsoCall(e.removeData, kUsa), 1);
    expectContains(f, "summary after the removal", summary(e), "Total\t 2\t 2\t 2\t 1\t 2\t 0\r\n");
    return f;
}

Failures checkCallArguments(const Exports& e) {
    Failures f;
    expectEqual(f, "ResetStats0", standardReset(e), 1);
    for (const Qso& q : {kUkraine, kGermany})
        expectEqual(f, std::string("AddData0 of ") + q.call, qsoCall(e.addData, q), 1);
    // Answers: 0 dupe, 1 worked multiplier (or outside the contest for version 2.19),
    // 2 new multiplier. The station text "UU..." of a Ukrainian call writes a blank
    // warning; nothing here writes the hint (the companion window's option is off).
    const std::string blanks(9, ' ');
    const struct Case {
        Check check;
        int result;
        const char* warning;
    } cases[] = {
        {{"DL1ABC", "RTTY", "", "DL", "", "20m", "20m"}, 0, kUntouched},            // call (1), mode (4), band (25)
        {{"DL1ABC", "BPSK63", "", "DL", "", "20m", "20m"}, 2, kUntouched},          // not a dupe in the other mode
        {{"DL2XYZ", "RTTY", "", "DL", "", "20m", "20m"}, 1, kUntouched},            // prefix (14) worked
        {{"F5ABC", "RTTY", "", "F", "", "20m", "20m"}, 2, kUntouched},              // prefix new
        {{"F5ABC", "RTTY", "", "F", "", "20m", "40m"}, 1, kUntouched},              // second band (26) differs
        {{"UR7LV", "RTTY", "", "UR", "KV", "20m", "20m"}, 1, kUntouched},           // area (24) worked
        {{"UR7LV", "RTTY", "", "UR", "LV", "20m", "20m"}, 2, kUntouched},           // area new
        {{"UU7LV", "RTTY", "UU7LV", "UR", "LV", "20m", "20m"}, 1, blanks.c_str()},  // station text (13), warning (28)
    };
    for (const Case& c : cases) {
        const CheckAnswer a = checkCall(e, c.check);
        const std::string what = std::string("CheckCall0 ") + c.check.call + " " + c.check.mode + " " + c.check.band +
                                 "/" + c.check.band2 + " area '" + c.check.area + "'";
        expectEqual(f, what, a.result, c.result);
        expectEqual(f, what + ": warning buffer", a.warning, c.warning);
        expectEqual(f, what + ": hint buffer", a.hint, kUntouched);
    }
    return f;
}

}  // namespace hostcalls
