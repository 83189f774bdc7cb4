// The bad-QSO report joined to the replayed QSOs, and the counts that explain the summary.
#include <gtest/gtest.h>

#include "plugin/report_join.h"

using namespace replay;

namespace {

Qso qso(int line, const char* call, const char* band, uint64_t hz, int minute, const char* exchange) {
    Qso q;
    q.line = line;
    q.call = call;
    q.band = band;
    q.frequencyHz = hz;
    q.mode = "RTTY";
    q.time = {2024, 12, 14, 12, minute, 0};
    q.ownCall = "OK1XYZ";
    q.rstSent = q.rstReceived = "599";
    q.exchangeSent = "001";
    q.exchangeReceived = exchange;
    return q;
}

// As the plug-in writes an entry.
std::string entry(const Qso& q, const char* message) {
    return "QSO:  " + std::to_string(q.frequencyHz / 1000) + "  RTTY  " + reportTime(q.time) + "  OK1XYZ  599  001  " +
           q.call + "  599  " + q.exchangeReceived + message + "\n";
}

}  // namespace

TEST(ReplayReportJoin, IdenticalQsosAndTwoReasonsLandOnTheRightLines) {
    const char* area = "   Ukrainan Code Area is not acceptable \n !!!";
    const char* dupe = "   DUPE !!!";
    const std::vector<Qso> qsos = {
        qso(10, "UT5ABC", "20m", 14085000, 0, "XX"),  // bad area
        qso(11, "UT5ABC", "20m", 14085000, 0, "XX"),  // the same again: bad area and dupe
        qso(12, "DL1AA", "20m", 14085000, 1, "017"),  // counted
        qso(13, "DL1AA", "20m", 14085000, 1, "017"),  // the same again: dupe only
        qso(14, "DL1AB", "160m", 1838000, 2, "018"),  // refused
    };
    const std::string report = "TALVEN-CUP TEST UBN file \n" + entry(qsos[0], area) + entry(qsos[1], area) +
                               entry(qsos[1], dupe) + entry(qsos[3], dupe) + entry(qsos[4], "   WRONG BAND !!!") +
                               "QSO:  7000  RTTY  2024-12-14 1300  OK1XYZ  599  001  W1AW  599  5   DUPE !!!\n";
    const JoinedReport j = joinReport(report, qsos, {true, true, true, true, false});
    ASSERT_EQ(j.verdicts.size(), 5u);
    EXPECT_TRUE(j.verdicts[0].bad && !j.verdicts[0].dupe);
    EXPECT_TRUE(j.verdicts[1].bad && j.verdicts[1].dupe);
    EXPECT_EQ(j.verdicts[1].reasons, (std::vector<std::string>{"Ukrainan Code Area is not acceptable", "DUPE"}));
    EXPECT_TRUE(!j.verdicts[2].bad && !j.verdicts[2].dupe);
    EXPECT_TRUE(j.verdicts[3].dupe);
    EXPECT_TRUE(!j.verdicts[4].logged);
    EXPECT_EQ(j.verdicts[4].reasons, std::vector<std::string>{"WRONG BAND"});
    ASSERT_EQ(j.unmatched.size(), 1u);  // W1AW was never replayed
    EXPECT_NE(j.unmatched[0].find("W1AW"), std::string::npos);

    const ReplayCounts c = countVerdicts(j.verdicts);
    EXPECT_EQ(reconcile(c),
              "5 QSOs replayed: 1 refused by the plug-in, 4 logged = 1 counted + 2 dupes + 2 bad QSOs - 1 both dupe "
              "and bad; in the summary Total 1, Dupe 2, Bad QSO 3 (1 refused + 2 bad)");
}
