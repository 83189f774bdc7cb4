// ADIF records: field lengths in bytes, header variants, and what makes a record unusable.
#include <gtest/gtest.h>

#include "logs/log.h"

using namespace replay;

namespace {

LogData parse(const std::string& text, bool strict = false) {
    LogData log;
    parseAdif(text, strict, log);
    return log;
}

}  // namespace

TEST(ReplayAdif, FieldsOfARecord) {
    const LogData log = parse(
        "Exported by a logger\n<ADIF_VER:5>3.1.4 <PROGRAMID:4>Test\n<EOH>\n"
        "<CALL:6>UT5ABC <QSO_DATE:8>20241214 <TIME_ON:6>120530 <FREQ:7>14.0805 <MODE:4>RTTY\n"
        "<RST_SENT:3>599 <RST_RCVD:3>589 <STX:1>7 <SRX_STRING:2>KV <STATION_CALLSIGN:6>ok1xyz <EOR>\n");
    ASSERT_TRUE(log.issues.empty()) << log.issues.front().message;
    ASSERT_EQ(log.qsos.size(), 1u);
    const Qso& q = log.qsos[0];
    EXPECT_EQ(q.call, "UT5ABC");
    EXPECT_EQ(formatTimestamp(q.time), "2024-12-14 12:05:30");
    EXPECT_EQ(q.frequencyHz, 14080500u);
    EXPECT_EQ(q.band, "20m");
    EXPECT_EQ(q.mode, "RTTY");
    EXPECT_EQ(q.rstSent, "599");
    EXPECT_EQ(q.rstReceived, "589");
    EXPECT_EQ(q.exchangeSent, "7");
    EXPECT_EQ(q.exchangeReceived, "KV");
    EXPECT_EQ(q.ownCall, "OK1XYZ");
    EXPECT_EQ(q.record, 1);
    EXPECT_EQ(q.line, 4);
}

TEST(ReplayAdif, HeaderAndEndOfRecordVariants) {
    struct Case {
        const char* what;
        const char* text;
        size_t qsos;
    } cases[] = {
        {"no header at all", "<call:4>DL1A<qso_date:8>20241214<time_on:4>1200<band:3>20M<mode:4>RTTY<eor>", 1},
        {"header text without <EOH>",
         "log of OK1XYZ\n<CALL:4>DL1A <QSO_DATE:8>20241214 <TIME_ON:4>1200 <BAND:3>20m <MODE:4>RTTY <EOR>", 1},
        {"header prose with a stray tag",
         "created by <my logger> 1 < 2\n<EOH><CALL:4>DL1A<QSO_DATE:8>20241214"
         "<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY<EOR>",
         1},
        {"last record without <EOR>",
         "<EOH><CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY<EOR>\n"
         "<CALL:4>DL1B<QSO_DATE:8>20241214<TIME_ON:4>1201<BAND:3>20m<MODE:4>RTTY\n",
         2},
        {"<EOR/>, <EOR:0> and empty records",
         "<EOH><CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY<EOR/><EOR>\n"
         "<CALL:4>DL1B<QSO_DATE:8>20241214<TIME_ON:4>1201<BAND:3>20m<MODE:4>RTTY<EOR:0>",
         2},
        {"type indicators and spaces",
         "<CALL:4:S>DL1A <QSO_DATE:8:D>20241214 <TIME_ON:4:T>1200 <FREQ:6:N>7.0305 "
         "<MODE:4>RTTY <EOR>",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LogData log = parse(c.text);
        EXPECT_TRUE(log.issues.empty()) << log.issues.front().message;
        ASSERT_EQ(log.qsos.size(), c.qsos);
        EXPECT_EQ(log.qsos[0].call, "DL1A");
        EXPECT_FALSE(log.qsos[0].band.empty());
    }
}

TEST(ReplayAdif, LengthsCountBytesNotCharacters) {
    // "Kyiv" in Cyrillic is 8 bytes of UTF-8; a reader counting characters would swallow
    // the next tag's start.
    const LogData log = parse(
        "<CALL:5>UR5AA<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>40m<MODE:3>PSK<SUBMODE:5>PSK63"
        "<SRX_STRING:2>KV<COMMENT:8>\xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2<EOR>");
    ASSERT_EQ(log.qsos.size(), 1u);
    EXPECT_EQ(log.qsos[0].mode, "BPSK63");
    EXPECT_EQ(log.qsos[0].exchangeReceived, "KV");
    EXPECT_TRUE(log.issues.empty());
}

TEST(ReplayAdif, ModesAndBands) {
    struct Case {
        const char *fields, *mode, *band;
    } cases[] = {
        {"<MODE:4>RTTY<BAND:3>80M", "RTTY", "80m"},
        {"<MODE:4>rtty<SUBMODE:4>ASCI<BAND:3>80m", "RTTY", "80m"},
        {"<MODE:3>PSK<SUBMODE:6>BPSK63<FREQ:5>3.580", "BPSK63", "80m"},
        {"<MODE:5>PSK63<FREQ:6>28.120", "BPSK63", "10m"},
        {"<MODE:3>PSK<SUBMODE:5>PSK31<FREQ:6>14.070", "PSK31", "20m"},
        {"<MODE:2>CW<FREQ:5>1.838", "CW", "160m"},
        {"<MODE:4>RTTY<FREQ:6>10.140", "RTTY", "30m"},
        {"<MODE:4>RTTY<FREQ:3>5.0", "RTTY", ""},                  // between bands: the plug-in judges
        {"<MODE:4>RTTY<BAND:3>20m<FREQ:5>7.040", "RTTY", "20m"},  // the log's band wins
    };
    for (const Case& c : cases) {
        const LogData log = parse(std::string("<CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200") + c.fields + "<EOR>");
        ASSERT_EQ(log.qsos.size(), 1u) << c.fields;
        EXPECT_EQ(log.qsos[0].mode, c.mode) << c.fields;
        EXPECT_EQ(log.qsos[0].band, c.band) << c.fields;
    }
}

TEST(ReplayAdif, UnusableRecordsAreReportedWithNumberAndLine) {
    struct Case {
        const char* record;
        const char* reason;
    } cases[] = {
        {"<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY", "no CALL"},
        {"<CALL:4>DL1A<QSO_DATE:8>20230229<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY", "QSO_DATE '20230229'"},
        {"<CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1260<BAND:3>20m<MODE:4>RTTY", "TIME_ON '1260'"},
        {"<CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:3>120<BAND:3>20m<MODE:4>RTTY", "TIME_ON"},
        {"<CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200<MODE:4>RTTY", "neither BAND nor FREQ"},
        {"<CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200<FREQ:4>14,1<MODE:4>RTTY", "FREQ '14,1'"},
        {"<CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m", "no MODE"},
        {"<CALL:4>DL1A<QSO_DATE>20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY", "no data length"},
        {"<CALL:4>DL1A<QSO_DATE:8 20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY", "not closed"},
    };
    for (const Case& c : cases) {
        const std::string good = "<CALL:4>DL1B<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY<EOR>\n";
        const LogData log = parse("<EOH>\n" + good + std::string(c.record) + "<EOR>\n" + good);
        EXPECT_EQ(log.qsos.size(), 2u) << c.record;
        ASSERT_EQ(log.issues.size(), 1u) << c.record;
        EXPECT_EQ(log.issues[0].record, 2) << c.record;
        EXPECT_EQ(log.issues[0].line, 3) << c.record;
        EXPECT_NE(log.issues[0].message.find(c.reason), std::string::npos)
            << c.record << " -> " << log.issues[0].message;
    }
}

TEST(ReplayAdif, TruncatedFileEndsWithAnIssueNotACrash) {
    const std::string text =
        "<EOH><CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY<EOR>\n"
        "<CALL:6>DL1";
    const LogData log = parse(text);
    EXPECT_EQ(log.qsos.size(), 1u);
    ASSERT_EQ(log.issues.size(), 1u);
    EXPECT_EQ(log.issues[0].record, 2);
    EXPECT_EQ(describeIssue("x.adi", log.issues[0]),
              "x.adi:2: record 2: field CALL declares 6 bytes but only 3 remain (file truncated?)");
    // Every cut of a valid file must read without a crash.
    for (size_t cut = 0; cut < text.size(); ++cut) parse(text.substr(0, cut));
    for (size_t cut = 0; cut < text.size(); ++cut) parse(text.substr(0, cut) + "<");
}

TEST(ReplayAdif, StrictStopsAtTheFirstBadRecord) {
    const LogData log =
        parse("<CALL:4>DL1A<EOR><CALL:4>DL1B<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY<EOR>", true);
    EXPECT_TRUE(log.stopped);
    EXPECT_EQ(log.issues.size(), 1u);
    EXPECT_TRUE(log.qsos.empty());
}

TEST(ReplayAdif, ABandAloneGivesTheBandsLowerEdge) {
    struct Case {
        const char* fields;
        uint64_t hz;
    } cases[] = {
        {"<BAND:3>20m", 14000000},
        {"<BAND:3>80M", 3500000},
        {"<BAND:4>160m", 1800000},
        {"<BAND:3>10m", 28000000},
        {"<BAND:3>20m<FREQ:6>14.085", 14085000},
        {"<BAND:3>11m", 0},
    };
    for (const Case& c : cases) {
        const LogData log =
            parse(std::string("<CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200<MODE:4>RTTY") + c.fields + "<EOR>");
        ASSERT_EQ(log.qsos.size(), 1u) << c.fields;
        EXPECT_EQ(log.qsos[0].frequencyHz, c.hz) << c.fields;
    }
}
