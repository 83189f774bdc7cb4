// Judging the QSOs the host feeds: the rules in their order, the marks, the report
// lines, the change watch, and removal.
#include "fake_platform.h"

namespace {
const std::string kHeader = "TALVEN-CUP TEST UBN file \n";
}

using Acceptance = PluginTest;

TEST_F(Acceptance, ResetStartsTheReportAndRecordsTheOwnStation) {
    reset("UT1AA", "UR", "EU");
    EXPECT_EQ(report(), kHeader);
    {
        const auto s = data();
        EXPECT_EQ(s->period.contestStartDayMonth, "16.12");
        EXPECT_EQ(s->period.contestStartYear, "2017");
        EXPECT_EQ(s->period.contestEndDate, "17.12.2017");
        EXPECT_EQ(s->badQsoFileName, "BadQSO_StatsTALVENCP_17_12_2017.txt");
        EXPECT_TRUE(s->own.ownIsUkraine && s->own.ownIsEurope && s->own.russianTexts);
        EXPECT_EQ(s->infoGridRows[0][0], "80m");
        EXPECT_EQ(s->infoGridRows[5][0], "10m");
        EXPECT_EQ(s->infoGridRows[3][4], "-");
    }
    // The own-station flags are never cleared by a later run.
    reset("DL1AA", "DL", "EU");
    const auto s = data();
    EXPECT_TRUE(s->own.ownIsUkraine && s->own.russianTexts);
}

TEST_F(Acceptance, RejectionsNeverEnterTheLog) {
    reset();
    auto q160 = qso("DL1AA", "160m", "RTTY", "1200");
    EXPECT_EQ(add(q160), 0);
    EXPECT_EQ(add(qso("DL1AB", "20m", "PSK31", "1201")), 0);
    EXPECT_EQ(add(qso("DL1AC", "40m", "RTTY", "1202", "")), 0);
    auto noSent = qso("DL1AD", "15m", "RTTY", "1203");
    noSent.exchangeSent.clear();
    EXPECT_EQ(add(noSent), 0);
    EXPECT_TRUE(data()->qsoLog.empty());
    // A band reaches the worked list before the mode and exchange rules judge the QSO.
    EXPECT_EQ(data()->workedBands, (std::vector<std::string>{"20m", "40m", "15m"}));
    EXPECT_EQ(report(), kHeader +
                            "QSO:  1838  RTTY  2017-12-16 1200  OK1XYZ  599  001  DL1AA  599  001   WRONG BAND !!!\n"
                            "QSO:  14080  PSK31  2017-12-16 1201  OK1XYZ  599  001  DL1AB  599  001   WRONG MODE !!!\n"
                            "QSO:  7040  RTTY  2017-12-16 1202  OK1XYZ  599  001  DL1AC  599     NO RX NUMBER !!!\n"
                            "QSO:  21080  RTTY  2017-12-16 1203  OK1XYZ  599    DL1AD  599  001   NO RX NUMBER !!!\n");
}

TEST_F(Acceptance, BandAndModeNamesIgnoreCaseButDupesDoNot) {
    reset();
    EXPECT_EQ(add(qso("DL1AA", "80M", "rtty", "1200")), 1);
    EXPECT_EQ(add(qso("DL1AA", "80m", "RTTY", "1201")), 1);
    EXPECT_EQ(data()->qsoLog[1].dupe, 0);
    EXPECT_EQ(add(qso("DL1AA", "80m", "RTTY", "1300")), 1);
    EXPECT_EQ(data()->qsoLog[2].dupe, 1);
    EXPECT_EQ(data()->qsoLog[0].band, "80M");  // stored as given
}

TEST_F(Acceptance, UkrainianAreaCodesAreNormalisedOrMarkedBad) {
    reset();
    EXPECT_EQ(add(qso("UT1AA", "20m", "RTTY", "1200", " kv ", "UR")), 1);
    EXPECT_EQ(add(qso("UT2AA", "20m", "RTTY", "1201", "XX", "UR")), 1);
    EXPECT_EQ(add(qso("UT3AA", "20m", "RTTY", "1202", "   ", "UR")), 1);
    EXPECT_EQ(add(qso("DL1AA", "20m", "RTTY", "1203", "XX", "DL")), 1);
    {
        const auto d = data();
        const auto& log = d->qsoLog;
        EXPECT_EQ(log[0].area, "KV");
        EXPECT_EQ(log[0].exchangeReceived, " kv ");
        EXPECT_EQ(log[0].notCounted, 0);
        EXPECT_TRUE(log[1].bad && log[1].notCounted && !log[1].dupe && log[1].area.empty());
        EXPECT_TRUE(log[2].bad);
        EXPECT_FALSE(log[3].bad);
    }
    EXPECT_EQ(report(), kHeader +
                            "QSO:  14080  RTTY  2017-12-16 1201  OK1XYZ  599  001  UT2AA  599  XX"
                            "   Ukrainan Code Area is not acceptable \n !!!\n"
                            "QSO:  14080  RTTY  2017-12-16 1202  OK1XYZ  599  001  UT3AA  599     "
                            "   Ukrainan Code Area is not acceptable \n !!!\n");
}

TEST_F(Acceptance, DupesRegardlessOfTimeAndOfEarlierMarks) {
    reset();
    add(qso("UT2AA", "20m", "RTTY", "1200", "XX", "UR"));  // bad area
    add(qso("UT2AA", "20m", "RTTY", "1500", "XX", "UR"));  // bad area and dupe
    add(qso("UT2AA", "20m", "RTTY", "1700", "KV", "UR"));  // still a dupe
    add(qso("UT2AA", "20m", "BPSK63", "1701", "KV", "UR"));
    {
        const auto d = data();
        const auto& log = d->qsoLog;
        ASSERT_EQ(log.size(), 4u);
        EXPECT_TRUE(log[1].bad && log[1].dupe && log[1].notCounted);
        EXPECT_TRUE(log[2].dupe && !log[2].bad);
        EXPECT_EQ(log[2].area, "KV");
        EXPECT_FALSE(log[3].dupe);
    }
    const std::string r = report();
    // Both entries of the doubly marked QSO, the area entry first.
    const size_t area = r.find("1500  OK1XYZ  599  001  UT2AA  599  XX   Ukrainan");
    const size_t dupe = r.find("1500  OK1XYZ  599  001  UT2AA  599  XX   DUPE !!!");
    ASSERT_NE(area, std::string::npos);
    ASSERT_NE(dupe, std::string::npos);
    EXPECT_LT(area, dupe);
}

TEST_F(Acceptance, ChangeRuleWatchesBandAndModeChangesForTenMinutes) {
    reset();
    SharedFlags& s = flags();
    const auto record = [&](size_t i) { return data()->qsoLog.at(i); };
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    EXPECT_TRUE(s.changeWarning);
    EXPECT_TRUE(record(0).bandChanged && record(0).modeChanged);

    add(qso("DL1AB", "40m", "RTTY", "120959"));  // 9:59 later: raises the warning
    EXPECT_TRUE(s.changeWarning);
    EXPECT_EQ(s.lastBandChangeIndex, 1);
    EXPECT_EQ(s.lastChangeQsoIndex, 1);
    EXPECT_EQ(record(1).bandChangeIndex, 1);
    EXPECT_EQ(windows.timerRearms, 1);

    add(qso("DL1AC", "20m", "RTTY", "121959"));  // exactly 10 minutes: lowers it, index still recorded
    EXPECT_FALSE(s.changeWarning);
    EXPECT_EQ(record(2).bandChangeIndex, 2);
    EXPECT_EQ(s.lastBandChangeIndex, 1);

    add(qso("DL1AD", "20m", "BPSK63", "1225"));  // mode change within 10 minutes
    EXPECT_TRUE(s.changeWarning);
    EXPECT_EQ(s.lastModeChangeIndex, 3);
    EXPECT_EQ(record(3).modeChangeIndex, 3);
    EXPECT_FALSE(record(3).bandChanged);

    add(qso("DL1AE", "20m", "RTTY", "1300"));  // mode change after 10 minutes: no index
    EXPECT_FALSE(s.changeWarning);
    EXPECT_EQ(record(4).modeChanged, 1);
    EXPECT_EQ(record(4).modeChangeIndex, 0);

    add(qso("DL1AF", "40m", "RTTY", "1200"));  // earlier than the last QSO: counts as below 10
    EXPECT_TRUE(s.changeWarning);
    EXPECT_EQ(windows.timerRearms, 3);
}

TEST_F(Acceptance, RemovalTakesTheQsoAndItsReportLinesOut) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    add(qso("DL1AA", "20m", "RTTY", "1205"));              // dupe
    add(qso("UT2AA", "20m", "RTTY", "1206", "XX", "UR"));  // bad area, two lines
    add(qso("DL1AA", "40m", "RTTY", "1305"));
    add(qso("DL1AA", "40m", "RTTY", "1405"));  // dupe at another hour
    windows.running = true;
    plugin->removeData(qso("DL1AA", "20m", "RTTY", "1205"));
    ASSERT_EQ(data()->qsoLog.size(), 4u);
    EXPECT_EQ(data()->qsoLog[1].call, "UT2AA");
    const std::string r = report();
    EXPECT_EQ(r.find("1205  OK1XYZ"), std::string::npos);
    EXPECT_NE(r.find("1405  OK1XYZ  599  001  DL1AA  599  001   DUPE !!!"), std::string::npos);
    EXPECT_EQ(windows.refreshes, 1);
    EXPECT_EQ(windows.areaResets, 1);

    // An area entry goes with its continuation line, which holds no call sign.
    plugin->removeData(qso("UT2AA", "20m", "RTTY", "1206"));
    EXPECT_EQ(report().find("UT2AA"), std::string::npos);
    EXPECT_EQ(report().find(" !!!\n !!!"), std::string::npos);
    EXPECT_EQ(report().find("\n !!!\n"), std::string::npos);

    // No match: the report is still rewritten and the refresh still requested.
    plugin->removeData(qso("NOBODY", "20m", "RTTY", "1206"));
    EXPECT_EQ(data()->qsoLog.size(), 3u);
    EXPECT_EQ(windows.refreshes, 3);
    EXPECT_TRUE(flags().refreshPending);
}

TEST_F(Acceptance, RemovalMatchesTheExactInstantAndFirstOfEqualEntries) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    add(qso("DL1AB", "20m", "RTTY", "1201"));
    plugin->removeData(qso("DL1AA", "20m", "RTTY", "120001"));  // another second
    EXPECT_EQ(data()->qsoLog.size(), 2u);
    auto nullTime = qso("DL1AA", "20m", "RTTY", "1200");
    nullTime.time = DateTime();
    plugin->removeData(nullTime);
    EXPECT_EQ(data()->qsoLog.size(), 2u);
    plugin->removeData(qso("DL1AA", "20m", "RTTY", "1200"));
    ASSERT_EQ(data()->qsoLog.size(), 1u);
    // Later entries are found after the shift.
    plugin->removeData(qso("DL1AB", "20m", "RTTY", "1201"));
    EXPECT_TRUE(data()->qsoLog.empty());
}

// A reset keeps the records' storage and the rescan writes over it: no mark, area or
// change index of a spent record may show through in the record written over it.
TEST_F(Acceptance, ARescanOverSpentRecordsKeepsNoneOfTheirMarks) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    add(qso("DL1AA", "20m", "RTTY", "1201"));                 // dupe
    add(qso("UT2AA", "40m", "RTTY", "1202", "XX", "UR"));     // bad area, a band change
    add(qso("UT3AA", "40m", "RTTY", "1203", "KV", "UR"));     // an area
    plugin->removeData(qso("DL1AA", "20m", "RTTY", "1200"));  // the last place spent
    reset();
    const std::vector<QsoArgs> rescan = {
        qso("DL2BB", "20m", "RTTY", "1300", "002"), qso("DL2BC", "20m", "RTTY", "1301", "003"),
        qso("DL2BD", "20m", "RTTY", "1302", "004"), qso("DL2BE", "20m", "RTTY", "1303", "005")};
    for (const QsoArgs& q : rescan) add(q);
    const auto d = data();
    ASSERT_EQ(d->qsoLog.size(), rescan.size());
    for (size_t i = 0; i < rescan.size(); ++i) {
        const CInfo& r = d->qsoLog[i];
        SCOPED_TRACE(rescan[i].call);
        EXPECT_EQ(r.call, rescan[i].call);
        EXPECT_EQ(r.exchangeReceived, rescan[i].exchangeReceived);
        EXPECT_EQ(r.prefix, "DL");
        EXPECT_EQ(r.area, "");
        EXPECT_EQ(r.dupe + r.bad + r.notCounted, 0);
        EXPECT_EQ(r.bandChanged, i == 0 ? 1 : 0);
        EXPECT_EQ(r.bandChangeIndex, 0);
    }
    EXPECT_EQ(d->index.hasCall("DL1AA", "20m", "RTTY"), false);
    EXPECT_EQ(d->index.findQso("DL2BE", "20m", "RTTY", at("1303")), 3);
}

TEST_F(Acceptance, EmptyingTheLogByRemovalClearsTheDerivedLists) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    plugin->getResult();
    EXPECT_EQ(data()->dxccRtty[3], std::vector<std::string>{"DL"});
    plugin->removeData(qso("DL1AA", "20m", "RTTY", "1200"));
    EXPECT_TRUE(flags().logEmptied);
    EXPECT_TRUE(flags().changeUndone);
    EXPECT_FALSE(flags().changeWarning);
    EXPECT_TRUE(data()->workedBands.empty());
    EXPECT_TRUE(data()->dxccRtty[3].empty());
    EXPECT_EQ(report(), kHeader);
    // A result on the emptied log has no last entry to measure from.
    EXPECT_NE(plugin->getResult().find("Total\t 0\t 0"), std::string::npos);
}

TEST_F(Acceptance, RemovalRestoresTheChangeIndicesFromTheLog) {
    reset();
    SharedFlags& s = flags();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    add(qso("DL1AB", "40m", "RTTY", "1201"));    // band change at 1
    add(qso("DL1AC", "40m", "BPSK63", "1202"));  // mode change at 2
    add(qso("DL1AD", "15m", "BPSK63", "1203"));  // band change at 3
    EXPECT_EQ(s.lastBandChangeIndex, 3);
    plugin->removeData(qso("DL1AD", "15m", "BPSK63", "1203"));
    // Walking down from the end, the mode change at 2 is met first.
    EXPECT_EQ(s.lastModeChangeIndex, 2);
    EXPECT_EQ(s.lastBandChangeIndex, 3);
    plugin->removeData(qso("DL1AC", "40m", "BPSK63", "1202"));
    EXPECT_EQ(s.lastBandChangeIndex, 1);
}

TEST_F(Acceptance, MissingReportFileIsNotAnError) {
    reset();
    std::remove("BadQSO_StatsTALVENCP_17_12_2017.txt");
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    EXPECT_FALSE(fileExists("BadQSO_StatsTALVENCP_17_12_2017.txt"));  // nothing to write: not created
    plugin->removeData(qso("DL1AA", "20m", "RTTY", "1200"));
    EXPECT_EQ(report(), kHeader);
}

TEST_F(Acceptance, HostileTextsAreStoredWithoutHarm) {
    reset();
    const std::string longCall(5000, 'W');
    auto q = qso(longCall, "20m", "RTTY", "1200", "\xC0\xC1\xFF");
    q.frequencyHz = 4294967295u;
    EXPECT_EQ(add(q), 1);
    auto zero = qso("DL1AA", "", "RTTY", "1201");
    zero.frequencyHz = 0;
    EXPECT_EQ(add(zero), 0);
    auto bad = qso("DL1AB", "20m", "RTTY", "1202");
    bad.time = DateTime(43085.5, DateTime::invalid);
    EXPECT_EQ(add(bad), 1);
    EXPECT_EQ(data()->qsoLog[0].frequencyKhz, 4294967u);
    EXPECT_NE(report().find("QSO:  0  RTTY  2017-12-16 1201"), std::string::npos);
    const std::string summary = plugin->getResult();
    EXPECT_NE(summary.find("20m\t 2\t"), std::string::npos);
    plugin->removeData(bad);  // an invalid time matches nothing
    EXPECT_EQ(data()->qsoLog.size(), 2u);
}
