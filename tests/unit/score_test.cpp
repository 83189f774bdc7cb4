// Score, multipliers and rates, and how the summary lays them out.
#include "fake_platform.h"

using Score = PluginTest;

TEST_F(Score, EmptyLogGivesTheHeaderAndZeroTotals) {
    reset("OK1XYZ");
    const std::string text = plugin->getResult();
    EXPECT_EQ(text,
              "\tTALVEN-CUP Contest 16.12-17.12.2017 \r\n\t     Contestant: OK1XYZ\r\n"
              "\tQSOs\tPoints\tDXCC\tArea\tRTTY75\tBPSK63\r\n"
              "Total\t 0\t 0\t 0\t 0\t 0\t 0\r\nDupe\t 0\r\nBad QSO\t 0\r\n\r\nScore = 0 * ( 0 + 0) = 0 \r\n");
    EXPECT_EQ(profile.values["Claimed"], "0");
}

TEST_F(Score, PointsByOwnStationAndEightyMetresCountDouble) {
    struct Case {
        const char *ownPrefix, *ownContinent;
        int points20, points80;  // for one Ukrainian, one same-continent and one other-continent QSO
    } cases[] = {
        {"UR", "EU", 1 + 1 + 3, 2 * (1 + 1 + 3)},  // Ukraine: Ukrainian QSOs are on its own continent
        {"OK", "EU", 5 + 1 + 3, 2 * (5 + 1 + 3)},
        {"K", "NA", 10 + 1 + 3, 2 * (10 + 1 + 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ownPrefix);
        plugin = std::make_unique<Plugin>(platform);
        reset("X", c.ownPrefix, c.ownContinent);
        const std::string sameContinentPrefix = std::string(c.ownContinent) == "EU" ? "DL" : "VE";
        for (const char* band : {"20m", "80m"}) {
            add(qso("UT1AA", band, "RTTY", "1200", "KV", "UR", "EU"));
            add(qso("SAME1", band, "RTTY", "1201", "001", sameContinentPrefix, c.ownContinent));
            add(qso("JA1AA", band, "RTTY", "1202", "001", "JA", "AS"));
        }
        const ScoreFigures f = plugin->engine().computeScore();
        ASSERT_EQ(f.bands.size(), 2u);
        EXPECT_EQ(f.bands[0].band, "80m");
        EXPECT_EQ(f.bands[0].points, c.points80);
        EXPECT_EQ(f.bands[1].points, c.points20);
        EXPECT_EQ(f.total.points, c.points20 + c.points80);
    }
}

TEST_F(Score, MultipliersPerBandAndMode) {
    reset();
    add(qso("UT1AA", "20m", "RTTY", "1200", "KV", "UR"));
    add(qso("UT2AA", "20m", "RTTY", "1201", "KV", "UR"));    // same area, same prefix
    add(qso("UT3AA", "20m", "BPSK63", "1202", "LV", "UR"));  // other mode: new UR and new area
    add(qso("DL1AA", "20m", "RTTY", "1203"));
    add(qso("DL1AB", "20m", "rtty", "1204"));  // counts, but in neither mode column
    add(qso("DL1AC", "40m", "RTTY", "1205"));
    add(qso("DL1AC", "40m", "RTTY", "1206"));              // dupe
    add(qso("UT4AA", "40m", "RTTY", "1207", "XX", "UR"));  // bad area
    const ScoreFigures f = plugin->engine().computeScore();
    ASSERT_EQ(f.bands.size(), 2u);
    const BandRow& b20 = f.bands[1];
    EXPECT_EQ(b20.band, "20m");
    EXPECT_EQ(b20.qsos, 5);
    EXPECT_EQ(b20.dxcc, 3);   // UR and DL in RTTY, UR in BPSK63
    EXPECT_EQ(b20.areas, 2);  // KV in RTTY, LV in BPSK63
    EXPECT_EQ(b20.rttyQsos, 3);
    EXPECT_EQ(b20.bpskQsos, 1);
    EXPECT_EQ(b20.points, 3 * 5 + 2 * 1);
    EXPECT_EQ(f.bands[0].qsos, 1);
    EXPECT_EQ(f.dupes, 1);
    EXPECT_EQ(f.badQsoCount, 1);  // one bad-area entry, though it spans two lines; dupes do not count
    EXPECT_EQ(f.score, (4 + 2) * (17 + 1));
    const auto s = data();
    EXPECT_EQ(s->dxccRtty[3], (std::vector<std::string>{"UR", "DL"}));
    EXPECT_EQ(s->areaBpsk[3], (std::vector<std::string>{"LV"}));
    EXPECT_EQ(s->dxccRtty[2], (std::vector<std::string>{"DL"}));
    EXPECT_EQ(s->claimedScore, f.score);
}

TEST_F(Score, WorkedBandsSortLongestWavelengthFirst) {
    reset();
    for (const char* band : {"10m", "40m", "15m", "80m", "20m"}) add(qso("DL1AA", band, "RTTY", "1200"));
    plugin->engine().computeScore();
    EXPECT_EQ(data()->workedBands, (std::vector<std::string>{"80m", "40m", "20m", "15m", "10m"}));
}

TEST_F(Score, RatesCountTheLastEntrysBandOnly) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1000"));              // 90 minutes before the last entry
    add(qso("DL1AB", "20m", "RTTY", "1105"));              // 25 minutes before
    add(qso("JA1AA", "40m", "RTTY", "1125"));              // other band: not in the rates
    add(qso("DL1AC", "20m", "RTTY", "1121"));              // 9 minutes before
    add(qso("UT1AA", "20m", "RTTY", "1140", "KV", "UR"));  // a later one: negative difference
    add(qso("DL1AB", "20m", "RTTY", "1130"));              // last entry, a dupe
    const ScoreFigures f = plugin->engine().computeScore();
    EXPECT_EQ(f.qsos60, 3);
    EXPECT_EQ(f.points60, 1 + 1 + 5);
    EXPECT_EQ(f.qsos10, 2);
    EXPECT_EQ(f.points10, 1 + 5);
    EXPECT_EQ(f.lastQsoPoints, 5);  // the latest counted QSO on the last entry's band
    const std::string text = plugin->getResult();
    EXPECT_NE(text.find("\r\nHourly (10min) QSO rate:     3 (12) QSOs/hour\r\n"
                        "Hourly (10min) pts rate:     7 (36) points/hour\r\n\r\nLast QSO: 5 points\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.rfind("\r\n") + 2), "Scored by the TALVEN-CUP module for Orba.");
}

TEST_F(Score, EightyMetresDoublesTheLastQsoPoints) {
    reset("K1AA", "K", "NA");
    add(qso("UT1AA", "80m", "RTTY", "1200", "KV", "UR"));
    const ScoreFigures f = plugin->engine().computeScore();
    EXPECT_EQ(f.lastQsoPoints, 20);
    EXPECT_EQ(f.qsos10, 1);
    EXPECT_EQ(f.points60, 20);
}

TEST_F(Score, PlainSummaryLayout) {
    reset("OK1XYZ");
    add(qso("UT1AA", "20m", "RTTY", "1200", "KV", "UR"));
    add(qso("DL1AA", "40m", "BPSK63", "1230"));
    add(qso("DL1AA", "40m", "BPSK63", "1231"));
    EXPECT_EQ(plugin->getResult(),
              "\tTALVEN-CUP Contest 16.12-17.12.2017 \r\n\t     Contestant: OK1XYZ\r\n"
              "\tQSOs\tPoints\tDXCC\tArea\tRTTY75\tBPSK63\r\n"
              "40m\t 1\t 1\t 1\t 0\t 0\t 1\r\n"
              "20m\t 1\t 5\t 1\t 1\t 1\t 0\r\n"
              "Total\t 2\t 6\t 2\t 1\t 1\t 1\r\nDupe\t 1\r\nBad QSO\t 0\r\n\r\nScore = 6 * ( 2 + 1) = 18 \r\n"
              "\r\nHourly (10min) QSO rate:     1 (6) QSOs/hour\r\nHourly (10min) pts rate:     1 (6) points/hour\r\n"
              "\r\nLast QSO: 1 points\r\n\r\nScored by the TALVEN-CUP module for Orba.");
    EXPECT_EQ(profile.values["Claimed"], "18");
}

TEST_F(Score, HtmlSummaryLayout) {
    reset("OK1XYZ");
    plugin->setHtml();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    EXPECT_EQ(plugin->getResult(),
              "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; border-collapse: "
              "collapse; }th, td{ padding: 1px; text-align: middle; }th,td{ background-color: #fffac6; color: black; "
              "}</style></head><body>"
              "<center><b>   TALVEN-CUP Contest 16.12-17.12.2017</b></center><center>Contestant:  <b>OK1XYZ</center>"
              "</b><table>"
              "<tr><th>Band</th><th>QSOs</th><th>Points</th><th>DXCC</th><th>Area</th><th>RTTY75</th><th>BPSK63</th>"
              "</tr>"
              "<tr><th><center>20m</center></th><td><center>1</center></td><td><center>1</center></td><td><center>1"
              "</center></td><td><center>0</center></td><td><center>1</center></td><td><center>0</center></td></tr>"
              "<tr><th><center>Total</center></th><td><center>1</center></td><td><center>1</center></td><td><center>1"
              "</center></td><td><center>0</center></td><td><center>1</center></td><td><center>0</center></td></tr>"
              "<tr><th><center>Dupe</center></th><td><center>0</center></td><td colspan=7> </td></tr>"
              "<tr><th><center>Bad QSO</center></th><td><center>0</center></td><td colspan=7> </td></tr>"
              "<tr><th>Score:</th><td colspan=8><center>1 * (1 + 0) = 1</center></td></tr>"
              "<tr><th>Last QSO points:</small></th><td colspan=9><center>    1</center></td></tr>"
              "<th colspan=10><center>Rate</center></th></tr>"
              "<tr><th>Hourly (10min/1 hour) QSO rate:</th><td colspan=7><center>    1 /6</center></td></tr>"
              "<tr><th>Hourly (10min/1 hour) pts rate:</th><td colspan=7><center>    1 /6</center></td></tr>"
              "</table><h6 align=\"right\">TALVEN-CUP scoring module for Orba</h6></body></html>");
}

TEST_F(Score, ExportRunKeepsRatesAtZeroAndWritesTheCabrilloFile) {
    reset("OK1XYZ", "OK", "EU", 1);
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    const std::string text = plugin->getResult();
    EXPECT_EQ(text.find("Hourly"), std::string::npos);
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0], "Output|File produced: OK1XYZ.cbr");
    EXPECT_TRUE(fileExists("OK1XYZ.cbr"));
    plugin->setHtml();
    EXPECT_NE(plugin->getResult().find("<center>    0 /0</center>"), std::string::npos);
}

TEST_F(Score, ResultBeforeAnyResetIsHarmless) {
    int out = 0;
    (void)out;
    const std::string text = plugin->getResult();
    EXPECT_NE(text.find("Score = 0 * ( 0 + 0) = 0"), std::string::npos);
}
