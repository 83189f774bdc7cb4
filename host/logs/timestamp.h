// Calendar date-times of the log (UTC, to the second) and their conversion to the
// host's OLE Automation date.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace replay {

struct Timestamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

bool operator<(const Timestamp& a, const Timestamp& b);
bool operator==(const Timestamp& a, const Timestamp& b);

int daysInMonth(int year, int month);            // 0 for a month outside 1..12
bool isValidDate(int year, int month, int day);  // years 1900..9999
bool isValidTimestamp(const Timestamp& t);

// Days since 1899-12-30 plus the time of day as a fraction: the host's date value.
double toOleDate(const Timestamp& t);
int64_t toEpochSeconds(const Timestamp& t);  // seconds since 1970-01-01
Timestamp fromEpochSeconds(int64_t seconds);

std::string formatTimestamp(const Timestamp& t);  // "2019-02-09 00:52" (":ss" added when non-zero)

// Date and time from the command line. Accepted:
//   "YYYY-MM-DD HHMM", "YYYY-MM-DD HH:MM", either with seconds ("HHMMSS", "HH:MM:SS"),
//   'T' instead of the space, "YYYYMMDD" instead of "YYYY-MM-DD", a trailing 'Z',
//   and a date alone for 00:00.
bool parseDateTimeText(std::string_view text, Timestamp& out, std::string& error);

// The pieces the log formats use; false when malformed or the value does not exist.
bool parseIsoDate(std::string_view text, Timestamp& t);      // YYYY-MM-DD
bool parseCompactDate(std::string_view text, Timestamp& t);  // YYYYMMDD
bool parseClock(std::string_view text, Timestamp& t);        // HHMM, HHMMSS, HH:MM, HH:MM:SS

}  // namespace replay
