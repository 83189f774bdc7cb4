// The analysis page's own logic: the search for calls one edit apart, the cross-check of
// several logs, reading the plug-in's summary back, the time axis and the band and mode
// changes, and a page that is written whole or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/call_list.h"
#include "analysis/cross_check.h"
#include "analysis/runs.h"
#include "analysis/timeline.h"
#include "plugin/summary_figures.h"

using namespace replay;
namespace fs = std::filesystem;

namespace {

Qso qso(const char* call, const char* band, const char* mode, int hour, int minute, const char* sent,
        const char* received) {
    Qso q;
    q.call = call;
    q.band = band;
    q.mode = mode;
    q.time = {2024, 12, 14, hour, minute, 0};
    q.exchangeSent = sent;
    q.exchangeReceived = received;
    return q;
}

}  // namespace

TEST(ReplayAnalysis, OneEditApartIsOneSubstitutionInsertionOrDeletion) {
    const struct {
        const char* a;
        const char* b;
        bool near;
    } cases[] = {
        {"DL1ABC", "DL1ABD", true},
        {"DL1ABC", "DL1AB", true},
        {"DL1AB", "DL1ABC", true},
        {"DL1ABC", "DL11ABC", true},
        {"DL1ABC", "XL1ABC", true},
        {"DL1ABC", "DL1ABC", false},
        {"DL1ABC", "DL1BAC", false},  // two swapped characters are two edits
        {"DL1ABC", "DL1A", false},
        {"A", "", true},
        {"", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(oneEditApart(c.a, c.b), c.near) << c.a << " " << c.b;

    // The index finds exactly what the plain comparison finds, each once.
    const std::vector<std::string> words = {"DL1ABC", "DL1ABD", "DL1AB", "DL1ABCD", "DL1BAC", "UT5AA", "AAB", "AB"};
    NearMissIndex index;
    for (const std::string& w : words) index.add(w);
    index.build();
    for (const char* query : {"DL1ABC", "DL1AB", "UT5A", "AB", "ABA", "XYZ"}) {
        std::vector<uint32_t> expected;
        for (uint32_t i = 0; i < words.size(); ++i)
            if (oneEditApart(query, words[i])) expected.push_back(i);
        EXPECT_EQ(index.query(query), expected) << query;
    }

    CallList scp;
    scp.parse("# comment\r\nDL1ABC\nok1xyz\n\nDL1ABC\n");
    EXPECT_EQ(scp.calls().size(), 2u);
    EXPECT_TRUE(scp.contains("OK1XYZ"));
    EXPECT_TRUE(scp.contains("OK/DL1ABC/P"));
    EXPECT_FALSE(scp.contains("DL1ABD"));
}

TEST(ReplayAnalysis, CrossCheckFindsEachPlantedErrorAndNothingElse) {
    // Three stations; each line of a log is one QSO. The comments say what is planted.
    const std::vector<Qso> a = {
        qso("BB2BB", "20m", "RTTY", 12, 0, "001", "001"),    // 0 clean
        qso("CC3CX", "20m", "RTTY", 12, 5, "002", "001"),    // 1 busted call (CC3CC)
        qso("BB2BB", "40m", "RTTY", 13, 0, "003", "0002"),   // 2 clean: leading zeros
        qso("CC3CC", "15m", "RTTY", 14, 0, "004", "002"),    // 3 not in CC3CC's log
        qso("BB2BB", "80m", "BPSK63", 15, 0, "005", "009"),  // 4 busted exchange (BB2BB sent 3)
        qso("BB2BC", "10m", "RTTY", 16, 0, "006", "001"),    // 5 another station, no log: left alone
        qso("BB2BB", "20m", "BPSK63", 17, 0, "007", "004"),  // 6 clean, 2 minutes off
    };
    const std::vector<Qso> b = {
        qso("AA1AA", "20m", "RTTY", 12, 0, "001", "001"),  // 0 clean
        qso("AA1AA", "40m", "RTTY", 13, 1, "2", "003"),    // 1 clean
        qso("AA1AA", "80m", "BPSK63", 15, 0, "3", "005"),  // 2 clean
        qso("AA1AA", "20m", "BPSK63", 17, 2, "4", "007"),  // 3 clean
        qso("CC3CC", "20m", "RTTY", 18, 0, "5", "002"),    // 4 on 40m in CC3CC's log: not in it
        qso("AA1AA", "15m", "RTTY", 19, 0, "6", "010"),    // 5 5 minutes off: not in AA1AA's log
    };
    const std::vector<Qso> c = {
        qso("AA1AA", "20m", "RTTY", 12, 5, "001", "002"),  // 0 clean (AA1AA busted this call)
        qso("BB2BB", "40m", "RTTY", 18, 0, "002", "005"),  // 1 not in BB2BB's log (other band)
    };
    const std::vector<Qso> aLate = {qso("BB2BB", "15m", "RTTY", 19, 5, "010", "006")};
    std::vector<Qso> a2 = a;
    a2.push_back(aLate[0]);  // 7 5 minutes off: not in BB2BB's log

    const CrossCheck result = crossCheck({{"AA1AA", &a2}, {"BB2BB", &b}, {"CC3CC", &c}}, 3);
    const std::vector<std::vector<Finding>> expected = {
        {Finding::none, Finding::bustedCall, Finding::none, Finding::notInOtherLog, Finding::bustedExchange,
         Finding::none, Finding::none, Finding::notInOtherLog},
        {Finding::none, Finding::none, Finding::none, Finding::none, Finding::notInOtherLog, Finding::notInOtherLog},
        {Finding::none, Finding::notInOtherLog},
    };
    ASSERT_EQ(result.size(), expected.size());
    for (size_t log = 0; log < expected.size(); ++log)
        for (size_t q = 0; q < expected[log].size(); ++q)
            EXPECT_EQ(result[log][q].finding, expected[log][q]) << "log " << log << " QSO " << q;
    EXPECT_FALSE(result[0][5].checked);  // BB2BC sent no log
    EXPECT_EQ(result[0][1].otherLog, 2u);
    EXPECT_EQ(result[0][1].otherQso, 0u);  // where the busted call's QSO is in the other log

    // With more tolerance the QSOs 5 minutes apart pair up.
    const CrossCheck wide = crossCheck({{"AA1AA", &a2}, {"BB2BB", &b}, {"CC3CC", &c}}, 5);
    EXPECT_EQ(wide[0][7].finding, Finding::none);
    EXPECT_EQ(wide[1][5].finding, Finding::none);
}

TEST(ReplayAnalysis, CrossCheckBustedCallOnAnotherStationsCallAndPortableCalls) {
    // UW1M meant 9A1AA but logged 9A1A, whose log is given too: a busted call for UW1M,
    // nothing for 9A1AA, and 9A1A (who never worked UW1M then) is not touched.
    const std::vector<Qso> uw = {
        qso("9A1A", "20m", "RTTY", 12, 0, "001", "002"),   // 0 busted call (9A1AA)
        qso("4Z5MY", "40m", "RTTY", 13, 0, "002", "003"),  // 1 clean: 4Z5MY/P's log
        qso("9A1A", "15m", "RTTY", 14, 0, "003", "004"),   // 2 not in 9A1A's log: 9A1A has it 6 minutes later
        qso("9A1A", "10m", "RTTY", 15, 0, "004", "005"),   // 3 not in 9A1A's log: 9A1A has it on 40m
    };
    const std::vector<Qso> a1aa = {qso("UW1M", "20m", "RTTY", 12, 1, "002", "001")};
    const std::vector<Qso> a1a = {
        qso("UW1M", "15m", "RTTY", 14, 6, "004", "003"),   // 0 not in UW1M's log (the same QSO)
        qso("UW1M", "40m", "RTTY", 15, 1, "005", "004"),   // 1 not in UW1M's log (band)
        qso("4Z5MY", "80m", "RTTY", 16, 0, "006", "007"),  // 2 clean: logged without /P
    };
    const std::vector<Qso> my = {
        qso("UW1M", "40m", "RTTY", 13, 0, "003", "002"),     // 0 clean
        qso("DL/9A1A", "80m", "RTTY", 16, 1, "007", "006"),  // 1 clean: a prefix is the same station
    };
    const CrossCheck r = crossCheck({{"UW1M", &uw}, {"9A1AA", &a1aa}, {"9A1A", &a1a}, {"4Z5MY/P", &my}}, 3);
    const std::vector<std::vector<Finding>> expected = {
        {Finding::bustedCall, Finding::none, Finding::notInOtherLog, Finding::notInOtherLog},
        {Finding::none},
        {Finding::notInOtherLog, Finding::notInOtherLog, Finding::none},
        {Finding::none, Finding::none},
    };
    for (size_t log = 0; log < expected.size(); ++log)
        for (size_t q = 0; q < expected[log].size(); ++q) {
            EXPECT_EQ(r[log][q].finding, expected[log][q]) << "log " << log << " QSO " << q;
            EXPECT_TRUE(r[log][q].checked) << "log " << log << " QSO " << q;
        }
    EXPECT_EQ(r[0][0].otherLog, 1u);
    EXPECT_EQ(r[0][0].otherQso, 0u);
    EXPECT_EQ(r[0][1].otherLog, 3u);
    EXPECT_EQ(r[0][2].nearestQso, 0u);
    EXPECT_EQ(describeNearest("UW1M", uw[2], "9A1A", a1a[r[0][2].nearestQso]), "9A1A logged UW1M 6 minutes later");
    EXPECT_EQ(describeNearest("UW1M", uw[3], "9A1A", a1a[r[0][3].nearestQso]),
              "9A1A logged UW1M 1 minute later on 40m");
    EXPECT_EQ(describeNearest("9A1A", a1a[0], "UW1M", uw[r[2][0].nearestQso]), "UW1M logged 9A1A 6 minutes earlier");

    const std::vector<std::pair<const char*, const char*>> stations = {
        {"4Z5MY/P", "4Z5MY"}, {"dl/4z5my/p", "4Z5MY"}, {"4Z5MY/QRP", "4Z5MY"}, {"4Z5MY/3", "4Z5MY"},
        {"4Z5MY/M", "4Z5MY"}, {"VP2E/W1AW", "W1AW"},   {"W1AW/KH6", "W1AW"},   {"9A1A", "9A1A"}};
    for (const auto& [call, station] : stations) EXPECT_EQ(stationOf(call), station) << call;
}

TEST(ReplayAnalysis, TheSummaryReadsBackAsThePluginWroteIt) {
    std::ifstream in(std::string(GOLDEN_DIR) + "/expected/sample.summary", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    SummaryFigures f;
    ASSERT_TRUE(parseSummary(text.str(), f));
    ASSERT_EQ(f.bands.size(), 5u);
    EXPECT_EQ(f.bands[0].band, "80m");
    EXPECT_EQ(f.bands[0].points, 462);
    EXPECT_EQ(f.total.qsos, 292);
    EXPECT_EQ(f.total.dxcc, 134);
    EXPECT_EQ(f.total.areas, 86);
    EXPECT_EQ(f.dupes, 5);
    EXPECT_EQ(f.badQsos, 5);
    EXPECT_EQ(f.score, 231660);  // the closing credit line, "Scored by ...", is no score
    EXPECT_FALSE(parseSummary("<html><body><table></table></body></html>", f));
}

TEST(ReplayAnalysis, TimeAxisAndTheChangesOnIt) {
    const int64_t day = toEpochSeconds({2024, 12, 14, 0, 0, 0});
    const struct {
        int64_t first, last;
        size_t maxBins;
        int64_t start, binSeconds;
        size_t bins;
    } axes[] = {
        {day + 12 * 3600 + 60, day + 21 * 3600 + 3540, 72, day + 12 * 3600, 3600, 10},  // one bar an hour
        {day, day + 48 * 3600 - 1, 72, day, 3600, 48},
        {day + 5 * 3600, day + 14 * 86400, 24, day, 86400, 15},  // long logs: days from midnight
        {day + 7 * 3600, day + 7 * 3600, 72, day + 7 * 3600, 3600, 1},
    };
    for (const auto& a : axes) {
        const TimeAxis axis = chooseTimeAxis(a.first, a.last, a.maxBins);
        EXPECT_EQ(axis.start, a.start);
        EXPECT_EQ(axis.binSeconds, a.binSeconds);
        EXPECT_EQ(axis.bins, a.bins);
        EXPECT_EQ(axis.binOf(a.last), axis.bins - 1);
    }

    // The plug-in compares each logged QSO with the one logged before it; a refused QSO
    // is not in its log.
    const std::vector<Qso> qsos = {
        qso("A", "20m", "RTTY", 12, 0, "1", "1"),    qso("B", "40m", "RTTY", 12, 5, "2", "1"),  // band, 5 min
        qso("C", "160m", "RTTY", 12, 6, "3", "1"),                                              // refused
        qso("D", "40m", "BPSK63", 12, 20, "4", "1"),                                            // mode, 15 min
        qso("E", "40m", "BPSK63", 12, 21, "5", "1"),
    };
    const std::vector<BandModeChange> changes = bandModeChanges(qsos, {true, true, false, true, true});
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_TRUE(changes[0].band && changes[0].warned);
    EXPECT_EQ(changes[0].windowStart, toEpochSeconds(qsos[0].time));
    EXPECT_EQ(changes[0].windowEnd - changes[0].windowStart, 600);
    EXPECT_TRUE(!changes[1].band && !changes[1].warned);
    EXPECT_EQ(changes[1].qso, 3u);
}
