// The fixed tables, the exchange rules and the date-time arithmetic everything else leans on.
#include "contest/tables.h"

#include <gtest/gtest.h>

#include <cmath>

#include "contest/datetime.h"
#include "contest/exchange.h"

TEST(ContestRules, ContainsIgnoresCaseButNothingElse) {
    EXPECT_EQ(bandTable().contains("80M"), 1);
    EXPECT_EQ(bandTable().contains("10m"), 1);
    EXPECT_EQ(bandTable().contains("160m"), 0);
    EXPECT_EQ(bandTable().contains(" 20m"), 0);
    EXPECT_EQ(bandTable().contains(""), 0);
    EXPECT_EQ(modeTable().contains("rtty"), 1);
    EXPECT_EQ(modeTable().contains("Bpsk63"), 1);
    EXPECT_EQ(modeTable().contains("BPSK31"), 0);
    ASSERT_EQ(bandTable().size(), 6u);
    EXPECT_EQ(bandTable()[0], "80m");  // row 0 of the info grid, never drawn
}

TEST(ContestRules, BandIndexIsExact) {
    const std::pair<const char*, int> cases[] = {{"160m", 0}, {"80m", 1}, {"40m", 2}, {"20m", 3}, {"15m", 4},
                                                 {"10m", 5},  {"30m", 0}, {"80M", 0}, {"", 0}};
    for (const auto& [band, index] : cases) EXPECT_EQ(bandIndex(band), index) << band;
}

TEST(ContestRules, AreaCodesAndRussianPrefixesCompareExactly) {
    EXPECT_TRUE(isAreaCode("KV"));
    EXPECT_TRUE(isAreaCode("SL"));
    EXPECT_FALSE(isAreaCode("kv"));
    EXPECT_FALSE(isAreaCode(""));  // the end marker is no code
    EXPECT_FALSE(isAreaCode("XX"));
    int found = 0;
    for (const char* c : areaDisplayOrder) found += isAreaCode(c);
    EXPECT_EQ(found, kAreaCount);
    EXPECT_TRUE(isRussianTextPrefix("UA2/f"));
    EXPECT_FALSE(isRussianTextPrefix("UA2/F"));
    EXPECT_TRUE(isRussianTextPrefix("EU"));
    EXPECT_FALSE(isRussianTextPrefix("DL"));
}

TEST(Exchange, SerialsAndAreaCodes) {
    struct Case {
        const char* exchange;
        const char* prefix;
        int valid;
    } cases[] = {
        {"599", "DL", 0},
        {"0599", "DL", 1},
        {"001", "DL", 1},
        {"1234", "UR", 1},
        {"12", "DL", 0},
        {"1", "DL", 0},
        {"12345", "DL", 0},
        {"", "DL", 0},
        {"KI", "UR", 1},
        {"ki", "UR", 0},
        {"KI ", "UR", 0},
        {"KI", "DL", 0},
        {"12a", "DL", 0},
        {"\xB9"
         "12",
         "DL", 0},
        {"SL", "UR", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidExchange(c.exchange, c.prefix), c.valid) << c.exchange << "/" << c.prefix;
    EXPECT_EQ(exchangeFieldCount(), 1);
}

TEST(DateTime, FormatsTheCalendarValueRoundedToTheSecond) {
    const DateTime t = DateTime::fromCalendar(2017, 12, 16, 12, 5, 0);
    EXPECT_EQ(t.format("%Y-%m-%d %H%M"), "2017-12-16 1205");
    EXPECT_EQ(t.format("%d.%m"), "16.12");
    EXPECT_EQ(t.format("%d.%m.%Y"), "16.12.2017");
    EXPECT_EQ(t.format("%d_%m_%Y"), "16_12_2017");
    EXPECT_EQ(t.format("%H:%M"), "12:05");
    // A hair below 12:05:00 still shows 1205.
    EXPECT_EQ(DateTime(t.days() - 1e-9, DateTime::valid).format("%H%M"), "1205");
    // Just before midnight rounds into the next day.
    const DateTime late = DateTime::fromCalendar(2017, 12, 31, 23, 59, 59);
    EXPECT_EQ(DateTime(late.days() + 0.7 / 86400, DateTime::valid).format("%d.%m.%Y %H%M"), "01.01.2018 0000");
    EXPECT_EQ(DateTime(0.0, DateTime::valid).format("%d.%m.%Y"), "30.12.1899");
    EXPECT_EQ(DateTime(-1.25, DateTime::valid).format("%d.%m.%Y %H:%M"), "29.12.1899 06:00");
}

TEST(DateTime, NullInvalidAndOutOfRangeFormatAsEmpty) {
    EXPECT_EQ(DateTime().format("%H%M"), "");
    EXPECT_EQ(DateTime(43085.5, DateTime::invalid).format("%H%M"), "");
    EXPECT_EQ(DateTime(1e300, DateTime::valid).format("%H%M"), "");
    EXPECT_EQ(DateTime(std::nan(""), DateTime::valid).format("%H%M"), "");
    EXPECT_EQ(DateTime::fromHost(nullptr).status(), DateTime::null);
    const OleDateTime odd{43085.5, 7};
    EXPECT_EQ(DateTime::fromHost(&odd).status(), DateTime::invalid);
}

TEST(DateTime, WholeMinutesMoveHalfASecondAwayFromZero) {
    const DateTime base = DateTime::fromCalendar(2017, 12, 16, 12, 0, 0);
    const auto plus = [&](int secs) { return DateTime(base.days() + secs / 86400.0, DateTime::valid); };
    EXPECT_EQ(wholeMinutesBetween(base, plus(59 * 60 + 59)), 59);
    EXPECT_EQ(wholeMinutesBetween(base, plus(60 * 60)), 60);
    EXPECT_EQ(wholeMinutesBetween(base, plus(9 * 60 + 59)), 9);
    EXPECT_EQ(wholeMinutesBetween(base, plus(10 * 60)), 10);
    EXPECT_EQ(wholeMinutesBetween(plus(10 * 60), base), -10);
    EXPECT_EQ(wholeMinutesBetween(plus(30), base), 0);
    // A double that is a hair short of ten minutes still counts as ten.
    EXPECT_EQ(wholeMinutesBetween(base, DateTime(plus(600).days() - 1e-10, DateTime::valid)), 10);
    EXPECT_EQ(wholeMinutesBetween(DateTime(), base), 0);
}

TEST(DateTime, SameInstant) {
    const DateTime a = DateTime::fromCalendar(2017, 12, 16, 12, 0, 0);
    EXPECT_TRUE(a.sameAs(DateTime(a.days(), DateTime::valid)));
    EXPECT_FALSE(a.sameAs(DateTime(a.days() + 1.0 / 86400, DateTime::valid)));
    EXPECT_TRUE(DateTime().sameAs(DateTime()));
    EXPECT_FALSE(a.sameAs(DateTime()));
    EXPECT_FALSE(DateTime(a.days(), DateTime::invalid).sameAs(DateTime(a.days(), DateTime::invalid)));
}
