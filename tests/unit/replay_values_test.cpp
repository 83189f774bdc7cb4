// Values the replay tool hands to the plug-in: OLE dates, frequencies, bands; and how a
// log file is recognised.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "ascii_text.h"
#include "cp1251_table.h"
#include "logs/band.h"
#include "logs/log.h"
#include "logs/timestamp.h"

using namespace replay;

TEST(ReplayValues, OleDatesAreExactDaysSince18991230) {
    struct Case {
        Timestamp t;
        double expected;
    } cases[] = {
        {{1899, 12, 30, 0, 0, 0}, 0.0},     {{1900, 3, 1, 0, 0, 0}, 61.0},  // no phantom 29 February 1900
        {{2019, 2, 9, 0, 0, 0}, 43505.0},   {{2019, 2, 10, 12, 0, 0}, 43506.5},
        {{2024, 2, 29, 6, 0, 0}, 45351.25}, {{2024, 12, 14, 23, 59, 59}, 45640.0 + 86399.0 / 86400.0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(toOleDate(c.t), c.expected) << formatTimestamp(c.t);
    // A minute is a minute at any date: the plug-in counts minutes between QSOs.
    EXPECT_NEAR((toOleDate({2019, 2, 10, 0, 10, 0}) - toOleDate({2019, 2, 10, 0, 0, 0})) * 1440.0, 10.0, 1e-6);
}

TEST(ReplayValues, CalendarChecks) {
    EXPECT_TRUE(isValidDate(2024, 2, 29));
    EXPECT_FALSE(isValidDate(2023, 2, 29));
    EXPECT_FALSE(isValidDate(2100, 2, 29));
    EXPECT_TRUE(isValidDate(2000, 2, 29));
    EXPECT_FALSE(isValidDate(2024, 4, 31));
    EXPECT_FALSE(isValidDate(2024, 0, 1));
    EXPECT_FALSE(isValidDate(2024, 13, 1));
    const Timestamp t{2019, 2, 10, 23, 59, 59};
    EXPECT_EQ(fromEpochSeconds(toEpochSeconds(t)), t);
    EXPECT_EQ(fromEpochSeconds(toEpochSeconds(t) + 1), (Timestamp{2019, 2, 11, 0, 0, 0}));
}

TEST(ReplayValues, DateTimeOnTheCommandLine) {
    struct Case {
        const char* text;
        const char* expected;  // nullptr: rejected
    } cases[] = {
        {"2024-12-14 1200", "2024-12-14 12:00"},
        {"2024-12-14 12:00", "2024-12-14 12:00"},
        {"2024-12-14T12:00:30Z", "2024-12-14 12:00:30"},
        {"20241214 235959", "2024-12-14 23:59:59"},
        {"2024-12-14", "2024-12-14 00:00"},
        {" 2024-12-14  1200 ", "2024-12-14 12:00"},
        {"2024-12-32 1200", nullptr},
        {"2024-12-14 2400", nullptr},
        {"2024-12-14 12", nullptr},
        {"14.12.2024 1200", nullptr},
        {"2024-12-14x1200", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        Timestamp t;
        std::string error;
        bool ok = parseDateTimeText(c.text, t, error);
        EXPECT_EQ(ok, c.expected != nullptr) << c.text;
        if (ok && c.expected) {
            EXPECT_EQ(formatTimestamp(t), c.expected) << c.text;
        } else if (!ok) {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(ReplayValues, BandEdges) {
    struct Case {
        uint64_t hz;
        const char* band;
    } cases[] = {
        {1799999, ""},     {1800000, "160m"}, {1838000, "160m"}, {3500000, "80m"},  {4000000, "80m"},
        {4000001, ""},     {7000000, "40m"},  {7300000, "40m"},  {7300001, ""},     {10100000, "30m"},
        {10150000, "30m"}, {14000000, "20m"}, {14350000, "20m"}, {18068000, "17m"}, {18168000, "17m"},
        {21000000, "15m"}, {21450000, "15m"}, {24890000, "12m"}, {24990000, "12m"}, {28000000, "10m"},
        {29700000, "10m"}, {29700001, ""},    {0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(bandFromHz(c.hz), c.band) << c.hz;
}

TEST(ReplayValues, FrequenciesAndModes) {
    uint64_t v = 0;
    EXPECT_TRUE(parseDecimalScaled("14.0805", 6, v));
    EXPECT_EQ(v, 14080500u);
    EXPECT_TRUE(parseDecimalScaled("3.58", 6, v));
    EXPECT_EQ(v, 3580000u);
    EXPECT_TRUE(parseDecimalScaled("14080.49999", 3, v));
    EXPECT_EQ(v, 14080500u);  // rounded to the Hz
    EXPECT_TRUE(parseDecimalScaled(".5", 3, v));
    EXPECT_EQ(v, 500u);
    for (const char* bad : {"", ".", "-14", "14,08", "1e3", "14.0.5", "99999999999999"})
        EXPECT_FALSE(parseDecimalScaled(bad, 6, v)) << bad;

    std::string band;
    EXPECT_TRUE(parseCabrilloFrequency("1.2G", v, band));
    EXPECT_EQ(band, "23cm");
    EXPECT_TRUE(parseCabrilloFrequency("144", v, band));
    EXPECT_EQ(band, "2m");
    EXPECT_FALSE(parseCabrilloFrequency("999", v, band));

    EXPECT_EQ(normalizeBand("20M"), "20m");
    EXPECT_EQ(normalizeBand("80"), "80m");
    EXPECT_EQ(normalizeBand(" 70CM "), "70cm");
    EXPECT_EQ(modeFromCabrillo("RY"), "RTTY");
    EXPECT_EQ(modeFromCabrillo("pk"), "BPSK63");
    EXPECT_EQ(modeFromCabrillo("DG"), "DG");
    EXPECT_EQ(modeFromCabrillo("PSK31"), "PSK31");
}

TEST(ReplayValues, FormatRecognition) {
    struct Case {
        const char* text;
        LogFormat format;
    } cases[] = {
        {"START-OF-LOG: 3.0\nCALLSIGN: OK1XYZ\n", LogFormat::cabrillo},
        {"\n\nstart-of-log: 2.0\n", LogFormat::cabrillo},
        {"CALLSIGN: OK1XYZ\nQSO: 14080 RY 2024-12-14 1200 OK1XYZ 599 1 DL1AA 599 2\n", LogFormat::cabrillo},
        {"ADIF export\n<ADIF_VER:5>3.1.4\n<EOH>\n", LogFormat::adif},
        {"<call:4>DL1A<eor>", LogFormat::adif},
        {"header only\n<eoh>\n", LogFormat::adif},
        {"Date,Time,Call\n2024-12-14,1200,DL1AA\n", LogFormat::unknown},
        {"<html><body>not a log</body></html>", LogFormat::unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(detectFormat(c.text), c.format) << c.text;
}

TEST(ReplayValues, FilesThatHoldNoLog) {
    const std::string dir = ::testing::TempDir();
    struct Case {
        const char* name;
        std::string content;
        const char* reason;
    } cases[] = {
        {"replay_empty.log", "", "is empty"},
        {"replay_blank.log", " \r\n\n\t\n", "is empty"},
        {"replay_bom.log", "\xEF\xBB\xBF", "is empty"},
        {"replay_csv.log", "Date,Time,Call\n", "neither Cabrillo"},
        {"replay_binary.log", std::string("QSO:\0\x01\x02", 7), "binary"},
    };
    for (const Case& c : cases) {
        const std::string path = dir + c.name;
        std::ofstream(path, std::ios::binary) << c.content;
        LogData log;
        std::string error;
        EXPECT_FALSE(readLogFile(path, false, log, error)) << c.name;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;  // the message names the file
        std::remove(path.c_str());
    }
    LogData log;
    std::string error;
    EXPECT_FALSE(readLogFile(dir + "replay_no_such_file.log", false, log, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(ReplayValues, Cp1251TextBecomesUtf8) {
    EXPECT_EQ(cp1251ToUtf8("Score \xCE\xF7\xEA\xE8"), "Score \xD0\x9E\xD1\x87\xD0\xBA\xD0\xB8");  // "Очки"
    EXPECT_EQ(cp1251ToUtf8("\xA8\xB8\xAA\xBA\xAF\xBF\xB2\xB3"),
              "\xD0\x81\xD1\x91\xD0\x84\xD1\x94\xD0\x87\xD1\x97\xD0\x86\xD1\x96");  // Ё ё Є є Ї ї І і
    EXPECT_EQ(cp1251ToUtf8("\xB9"), "\xE2\x84\x96");                                // №
    EXPECT_EQ(cp1251ToUtf8("plain"), "plain");
}
