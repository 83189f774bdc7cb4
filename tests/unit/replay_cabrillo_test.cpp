// Cabrillo QSO lines as real loggers write them, and the reader's handling of bad lines.
#include <gtest/gtest.h>

#include "logs/log.h"

using namespace replay;

TEST(ReplayCabrillo, QsoLinesOfSeveralLoggers) {
    struct Case {
        const char* logger;
        const char* line;
        uint64_t hz;
        const char *band, *mode, *date, *own, *rstS, *exS, *call, *rstR, *exR;
    } cases[] = {
        {"N1MM", "QSO: 14079 RY 2019-02-09 0052 7K4VPV        599 0001   KA6BIM        599 0063", 14079000, "20m",
         "RTTY", "2019-02-09 00:52", "7K4VPV", "599", "0001", "KA6BIM", "599", "0063"},
        {"Win-Test", "QSO:  3590 RY 2019-02-09 0000 9A1A          599 0001   RY6AAG        599 001", 3590000, "80m",
         "RTTY", "2019-02-09 00:00", "9A1A", "599", "0001", "RY6AAG", "599", "001"},
        {"Win-Test, portable", "QSO:  7043 RY 2019-02-09 0018 9A1A          599 0028   KH6KG/W5      599 003", 7043000,
         "40m", "RTTY", "2019-02-09 00:18", "9A1A", "599", "0028", "KH6KG/W5", "599", "003"},
        {"5MContest, transmitter ID",
         "QSO:  7042 RY 2019-02-09 0002 UW1M          599 001    IU4HRJ        599 001     0", 7042000, "40m", "RTTY",
         "2019-02-09 00:02", "UW1M", "599", "001", "IU4HRJ", "599", "001"},
        {"5MContest, last line", "QSO:  3587 RY 2019-02-10 2028 UW1M          599 2436   DK7TM         599 207     0",
         3587000, "80m", "RTTY", "2019-02-10 20:28", "UW1M", "599", "2436", "DK7TM", "599", "207"},
        {"tabs and BPSK63", "QSO:\t21080\tPK\t2024-12-14\t1200\tOK1XYZ\t599\t001\tUT5ABC\t599\tKV", 21080000, "15m",
         "BPSK63", "2024-12-14 12:00", "OK1XYZ", "599", "001", "UT5ABC", "599", "KV"},
        {"other mode passes", "QSO: 14070 PSK31 2024-12-14 1201 OK1XYZ 599 002 DL1AA 599 017", 14070000, "20m", "PSK31",
         "2024-12-14 12:01", "OK1XYZ", "599", "002", "DL1AA", "599", "017"},
        {"160 m and lower case", "qso: 1838 ry 2024-12-14 1202 ok1xyz 599 003 ut5abc 599 kv", 1838000, "160m", "RTTY",
         "2024-12-14 12:02", "OK1XYZ", "599", "003", "UT5ABC", "599", "kv"},
        {"kHz with a fraction", "QSO: 14080.5 RY 2024-12-14 1203 OK1XYZ 599 004 DL1AA 599 018", 14080500, "20m", "RTTY",
         "2024-12-14 12:03", "OK1XYZ", "599", "004", "DL1AA", "599", "018"},
        {"band designator", "QSO: 50 RY 2024-12-14 1204 OK1XYZ 599 005 DL1AA 599 019", 50000000, "6m", "RTTY",
         "2024-12-14 12:04", "OK1XYZ", "599", "005", "DL1AA", "599", "019"},
        {"out of band: band left empty", "QSO: 5000 RY 2024-12-14 1205 OK1XYZ 599 006 DL1AA 599 020", 5000000, "",
         "RTTY", "2024-12-14 12:05", "OK1XYZ", "599", "006", "DL1AA", "599", "020"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logger);
        Qso q;
        std::string error;
        ASSERT_TRUE(parseCabrilloQsoLine(c.line, q, error)) << error;
        EXPECT_EQ(q.frequencyHz, c.hz);
        EXPECT_EQ(q.band, c.band);
        EXPECT_EQ(q.mode, c.mode);
        EXPECT_EQ(formatTimestamp(q.time), c.date);
        EXPECT_EQ(q.ownCall, c.own);
        EXPECT_EQ(q.rstSent, c.rstS);
        EXPECT_EQ(q.exchangeSent, c.exS);
        EXPECT_EQ(q.call, c.call);
        EXPECT_EQ(q.rstReceived, c.rstR);
        EXPECT_EQ(q.exchangeReceived, c.exR);
    }
}

TEST(ReplayCabrillo, MultiFieldExchangesSplitBetweenSentAndReceived) {
    Qso q;
    std::string error;
    ASSERT_TRUE(parseCabrilloQsoLine("QSO: 14080 RY 2019-02-09 0000 DL1AA 599 05 DL UT5AB 599 16 UR 1", q, error));
    EXPECT_EQ(q.exchangeSent, "05 DL");
    EXPECT_EQ(q.call, "UT5AB");
    EXPECT_EQ(q.exchangeReceived, "16 UR");
}

TEST(ReplayCabrillo, LinesThatCannotBeUsed) {
    struct Case {
        const char* line;
        const char* reason;  // part of the message
    } cases[] = {
        {"QSO: 14079 RY 2019-02-09 0052 7K4VPV 599 0001 KA6BIM 599", "9 fields"},
        {"QSO: 14079 RY 2019-02-30 0052 7K4VPV 599 0001 KA6BIM 599 0063", "date '2019-02-30'"},
        {"QSO: 14079 RY 2019-13-01 0052 7K4VPV 599 0001 KA6BIM 599 0063", "date"},
        {"QSO: 14079 RY 09.02.2019 0052 7K4VPV 599 0001 KA6BIM 599 0063", "date"},
        {"QSO: 14079 RY 2019-02-09 2460 7K4VPV 599 0001 KA6BIM 599 0063", "time '2460'"},
        {"QSO: 14079 RY 2019-02-09 052 7K4VPV 599 0001 KA6BIM 599 0063", "time"},
        {"QSO: 14O79 RY 2019-02-09 0052 7K4VPV 599 0001 KA6BIM 599 0063", "frequency '14O79'"},
        {"QSO: 7 RY 2019-02-09 0052 7K4VPV 599 0001 KA6BIM 599 0063", "frequency"},
        {"QSO: 14079 RY 2019-02-09 0052 7K4VPV 599 0001 KA6BIM 599 0063 X", "uneven"},
        {"QSO: 14079 RY 2019-02-09 0052 7K4VPV 599 0001 599 599 0063", "call '599'"},
        {"QSO: 14079 RY 2019-02-09 0052 ##### 599 0001 KA6BIM 599 0063", "own call"},
    };
    for (const Case& c : cases) {
        Qso q;
        std::string error;
        EXPECT_FALSE(parseCabrilloQsoLine(c.line, q, error)) << c.line;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.line << " -> " << error;
    }
}

TEST(ReplayCabrillo, RealLogsReadCompletely) {
    struct Case {
        const char* file;
        const char* ownCall;
        size_t qsos;
        const char* lastCall;
    } cases[] = {
        {"7k4vpv.log", "7K4VPV", 180, "KL7SB"},
        {"9a1a.log", "9A1A", 4428, "W4UEF"},
        {"ab1j.log", "AB1J", 180, "VA7FC"},
        {"uw1m.log", "UW1M", 2436, "DK7TM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        LogData log;
        std::string error;
        ASSERT_TRUE(readLogFile(std::string(TEST_DATA_DIR) + "/logs/" + c.file, false, log, error)) << error;
        EXPECT_EQ(log.format, LogFormat::cabrillo);
        EXPECT_EQ(log.formatName, "Cabrillo 3.0");
        EXPECT_EQ(log.ownCall, c.ownCall);
        EXPECT_TRUE(log.issues.empty()) << log.issues.front().line << ": " << log.issues.front().message;
        ASSERT_EQ(log.qsos.size(), c.qsos);
        EXPECT_EQ(log.qsos.back().call, c.lastCall);
        EXPECT_GT(log.qsos.front().line, 10);  // after the header
    }
}

TEST(ReplayCabrillo, BadLinesAreSkippedWithTheirNumbers) {
    const std::string text =
        "START-OF-LOG: 2.0\r\n"
        "CALLSIGN: ok1xyz\r\n"
        "QSO: 14080 RY 2024-12-14 1200 OK1XYZ 599 001 DL1AA 599 017\r\n"
        "this is no cabrillo line\r\n"
        "\r\n"
        "QSO: 14080 RY 2024-02-30 1201 OK1XYZ 599 002 DL1AB 599 018\r\n"
        "X-QSO: 14080 RY 2024-12-14 1202 OK1XYZ 599 003 DL1AC 599 019\r\n"
        "QSO: 14080 RY 2024-12-14 1203 OK1XYZ 599 004 DL1AD 599 020\r\n"
        "END-OF-LOG:\r\n";
    LogData log;
    parseCabrillo(text, false, log);
    EXPECT_EQ(log.formatName, "Cabrillo 2.0");
    EXPECT_EQ(log.ownCall, "OK1XYZ");
    ASSERT_EQ(log.qsos.size(), 2u);
    EXPECT_EQ(log.qsos[0].line, 3);
    EXPECT_EQ(log.qsos[1].line, 8);
    EXPECT_EQ(log.qsos[1].exchangeReceived, "020");  // no carriage return left over
    EXPECT_EQ(log.ignoredQsos, 1);
    ASSERT_EQ(log.issues.size(), 2u);
    EXPECT_EQ(log.issues[0].line, 4);
    EXPECT_EQ(log.issues[1].line, 6);
    EXPECT_EQ(describeIssue("x.log", log.issues[1]), "x.log:6: date '2024-02-30' is not an existing date YYYY-MM-DD");

    LogData strict;
    parseCabrillo(text, true, strict);
    EXPECT_TRUE(strict.stopped);
    EXPECT_EQ(strict.issues.size(), 1u);
    EXPECT_EQ(strict.qsos.size(), 1u);
}

TEST(ReplayCabrillo, LineEndsOfEverySystemReadAlike) {
    const std::string lines[] = {"START-OF-LOG: 3.0",
                                 "CALLSIGN: OK1XYZ",
                                 "",
                                 "QSO: 14080 RY 2024-12-14 1200 OK1XYZ 599 001 DL1AA 599 017",
                                 "bad line",
                                 "QSO: 14080 RY 2024-12-14 1203 OK1XYZ 599 004 DL1AD 599 020"};
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string text;
        for (const std::string& l : lines) text += l + end;
        LogData log;
        std::string error;
        ASSERT_EQ(detectFormat(text), LogFormat::cabrillo);
        parseCabrillo(text, false, log);
        ASSERT_EQ(log.qsos.size(), 2u) << "line end " << int(end[0]) << int(end[1]);
        EXPECT_EQ(log.qsos[1].line, 6);
        EXPECT_EQ(log.qsos[1].exchangeReceived, "020");
        ASSERT_EQ(log.issues.size(), 1u);
        EXPECT_EQ(log.issues[0].line, 5);

        LogData adif;
        parseAdif(std::string("<EOH>") + end + end + "<CALL:4>DL1A<QSO_DATE:8>20241214<TIME_ON:4>1200<BAND:3>20m<EOR>",
                  false, adif);
        ASSERT_EQ(adif.issues.size(), 1u);
        EXPECT_EQ(adif.issues[0].line, 3);
    }
}
