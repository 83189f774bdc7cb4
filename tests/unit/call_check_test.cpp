// The answer to a call being typed: dupe, multiplier, outside the contest, and the
// ten-minute warning with its texts.
#include "fake_platform.h"

namespace {

struct CallCheck : PluginTest {
    std::string band = "20m";
    CallCheckAnswer check(const std::string& call, const std::string& prefix = "DL", const std::string& area = "",
                          const std::string& mode = "RTTY", const std::string& stationText = "") {
        CallCheckArgs a;
        a.call = call;
        a.mode = mode;
        a.prefix = prefix;
        a.area = area;
        a.stationText = stationText.empty() ? call : stationText;
        a.band = band.c_str();
        return plugin->checkCall(a);
    }
    void minutesAfter(const std::string& hhmm, int minutes, int seconds = 0) {
        clock.now = DateTime(at(hhmm).days() + (minutes * 60 + seconds) / 86400.0, DateTime::valid);
    }
};

}  // namespace

TEST_F(CallCheck, OutsideTheContestDependsOnTheHostVersion) {
    reset();
    band = "160m";
    EXPECT_EQ(check("DL1AA").result, 4);
    band = "20m";
    EXPECT_EQ(check("DL1AA", "DL", "", "PSK31").result, 4);
    data()->hostVersion = "2.19";
    band = "160m";
    EXPECT_EQ(check("DL1AA").result, 1);
    CallCheckArgs a;
    a.call = "DL1AA";
    a.mode = "RTTY";
    a.band = "20m";
    a.band2 = "40M";
    EXPECT_EQ(plugin->checkCall(a).result, 1);
    a.band2 = "20M";
    EXPECT_EQ(plugin->checkCall(a).result, 2);
    a.band = nullptr;  // a null band is an empty one
    EXPECT_EQ(plugin->checkCall(a).result, 1);
}

TEST_F(CallCheck, DupesAndMultipliersFollowTheLogExactly) {
    reset();
    EXPECT_EQ(check("DL1AA").result, 2);
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    add(qso("UT9AA", "20m", "RTTY", "1201", "XX", "UR"));  // bad area, still makes a dupe
    EXPECT_EQ(check("DL1AA").result, 0);
    EXPECT_EQ(check("UT9AA", "UR").result, 0);
    EXPECT_EQ(check("DL2BB").result, 1);
    EXPECT_EQ(check("DL1AA", "DL", "", "rtty").result, 2);  // passes the mode check, matches nothing
    EXPECT_EQ(check("DL2BB", "DL", "", "BPSK63").result, 2);
}

TEST_F(CallCheck, UkrainianStationsScoreByArea) {
    reset();
    flags().areaHintEnabled = true;
    add(qso("UT1AA", "20m", "RTTY", "1200", "KV", "UR"));
    add(qso("DL1AA", "20m", "RTTY", "1201"));
    auto a = check("UT2AA", "UR", "LV");
    EXPECT_EQ(a.result, 2);  // UR is worked, but LV is not
    EXPECT_EQ(a.hint, "LV");
    EXPECT_EQ(check("UT3AA", "UR", "KV").result, 1);
    a = check("UU1AA", "UR", "LV");
    EXPECT_EQ(a.result, 1);
    EXPECT_EQ(a.warning, "         ");
    EXPECT_EQ(check("UT4AA", "UR", "KR").hint, "   ");
    EXPECT_EQ(check("UT4AA", "UR", "SL").hint, "   ");
    a = check("DL2AA");
    EXPECT_TRUE(a.hintWritten);
    EXPECT_EQ(a.hint, "");
    flags().areaHintEnabled = false;
    EXPECT_FALSE(check("UT2AA", "UR", "LV").hintWritten);
}

TEST_F(CallCheck, TenMinuteWarningAfterABandChange) {
    reset();
    flags().areaHintEnabled = true;
    add(qso("DL1AA", "40m", "RTTY", "1200"));
    add(qso("DL1AB", "20m", "RTTY", "1230"));  // band change 30 minutes later: index 1, no warning
    add(qso("DL1AC", "40m", "RTTY", "1231"));  // back within 10 minutes: recorded at index 2
    EXPECT_EQ(flags().lastBandChangeIndex, 2);

    band = "20m";
    minutesAfter("1231", 3);
    auto a = check("JA1AA", "JA");
    EXPECT_EQ(a.result, 2);
    EXPECT_EQ(a.warning, "QSO WITH JA1AA WHILE IT IS IMPOSSIBLE !!! WAIT 7 MINTUTES !!!");
    EXPECT_FALSE(a.hintWritten);

    minutesAfter("1231", 9, 59);
    EXPECT_EQ(check("JA1AA", "JA").warning, "QSO WITH JA1AA WHILE IT IS IMPOSSIBLE !!! WAIT 1 MINTUTES !!!");
    minutesAfter("1231", 10);
    a = check("JA1AA", "JA");
    EXPECT_FALSE(a.warningWritten);
    EXPECT_TRUE(a.hintWritten);

    // On the band of the change itself there is nothing to wait for.
    band = "40m";
    minutesAfter("1231", 1);
    EXPECT_FALSE(check("JA1AA", "JA").warningWritten);
}

TEST_F(CallCheck, RussianWarningsAgreeWithTheNumber) {
    reset("UT1AA", "UR", "EU");
    add(qso("DL1AA", "40m", "RTTY", "1200"));
    add(qso("DL1AB", "20m", "RTTY", "1201"));
    band = "40m";
    const std::pair<int, std::string> cases[] = {
        {9,
         "QSO c W1AW \xCF\xCE\xCA\xC0 \xCD\xC5\xCB\xDC\xC7\xDF \xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC !!! \xC5\xD9\xC5 1 "
         "\xCC\xC8\xCD\xD3\xD2\xD3  !!!"},
        {7,
         "QSO c W1AW \xCF\xCE\xCA\xC0 \xCD\xC5\xCB\xDC\xC7\xDF \xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC !!! \xC5\xD9\xC5 3 "
         "\xCC\xC8\xCD\xD3\xD2\xDB  !!!"},
        {0,
         "QSO c W1AW \xCF\xCE\xCA\xC0 \xCD\xC5\xCB\xDC\xC7\xDF \xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC !!! \xC5\xD9\xC5 "
         "10 "
         "\xCC\xC8\xCD\xD3\xD2  !!!"},
    };
    for (const auto& [minutes, text] : cases) {
        minutesAfter("1201", minutes);
        EXPECT_EQ(check("W1AW", "K").warning, text) << minutes;
    }
}

TEST_F(CallCheck, NoWarningWhenTheLastScanStopsAtTheFirstEntry) {
    reset();
    add(qso("DL1AA", "40m", "RTTY", "1200"));
    add(qso("DL1AB", "20m", "RTTY", "1201"));  // band change at 1 within 10 minutes
    band = "40m";
    minutesAfter("1201", 2);
    EXPECT_FALSE(check("DL2ZZ", "DL").warningWritten);  // the prefix scan matches entry 0
    EXPECT_TRUE(check("F1AA", "F").warningWritten);     // no match: the scan ran to the end
}

TEST_F(CallCheck, ChangeIndexOutsideTheLogMeansNoChange) {
    reset();
    add(qso("DL1AA", "40m", "RTTY", "1200"));
    add(qso("DL1AB", "40m", "RTTY", "1201"));
    flags().lastBandChangeIndex = 7;
    EXPECT_FALSE(check("F1AA", "F").warningWritten);
    EXPECT_FALSE(check("F1AA", "F").hintWritten);
    flags().lastBandChangeIndex = -1;
    EXPECT_EQ(check("F1AA", "F").result, 2);
}

TEST_F(CallCheck, PendingRefreshIsPostedOnceWhileTheWindowRuns) {
    reset();
    check("DL1AA");
    EXPECT_EQ(windows.refreshes, 0);
    windows.running = true;
    check("DL1AA");
    check("DL1AA");
    EXPECT_EQ(windows.refreshes, 1);
    EXPECT_FALSE(flags().refreshPending);
}
