#include "logs/timestamp.h"

#include <cstdio>
#include <tuple>

namespace replay {

namespace {

auto key(const Timestamp& t) { return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second); }

bool digits(std::string_view s, size_t pos, size_t count, int& out) {
    if (pos + count > s.size()) return false;
    int v = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    out = v;
    return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

bool operator<(const Timestamp& a, const Timestamp& b) { return key(a) < key(b); }
bool operator==(const Timestamp& a, const Timestamp& b) { return key(a) == key(b); }

int daysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return days[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool isValidDate(int year, int month, int day) {
    return year >= 1900 && year <= 9999 && day >= 1 && day <= daysInMonth(year, month);
}

bool isValidTimestamp(const Timestamp& t) {
    return isValidDate(t.year, t.month, t.day) && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
           t.second >= 0 && t.second < 60;
}

double toOleDate(const Timestamp& t) {
    const int64_t days = daysFromCivil(t.year, t.month, t.day) - daysFromCivil(1899, 12, 30);
    return double(days) + double(t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
}

int64_t toEpochSeconds(const Timestamp& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

Timestamp fromEpochSeconds(int64_t seconds) {
    int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    int64_t rest = seconds - days * 86400;
    // Inverse of daysFromCivil.
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    Timestamp t;
    t.day = int(doy - (153 * mp + 2) / 5 + 1);
    t.month = int(mp < 10 ? mp + 3 : mp - 9);
    t.year = int(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = int(rest / 3600);
    t.minute = int(rest / 60 % 60);
    t.second = int(rest % 60);
    return t;
}

std::string formatTimestamp(const Timestamp& t) {
    char buf[40];
    if (t.second)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return buf;
}

bool parseIsoDate(std::string_view s, Timestamp& t) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    int y, m, d;
    if (!digits(s, 0, 4, y) || !digits(s, 5, 2, m) || !digits(s, 8, 2, d)) return false;
    if (!isValidDate(y, m, d)) return false;
    t.year = y, t.month = m, t.day = d;
    return true;
}

bool parseCompactDate(std::string_view s, Timestamp& t) {
    int y, m, d;
    if (s.size() != 8 || !digits(s, 0, 4, y) || !digits(s, 4, 2, m) || !digits(s, 6, 2, d)) return false;
    if (!isValidDate(y, m, d)) return false;
    t.year = y, t.month = m, t.day = d;
    return true;
}

bool parseClock(std::string_view s, Timestamp& t) {
    int h = 0, m = 0, sec = 0;
    bool ok;
    switch (s.size()) {
        case 4:
            ok = digits(s, 0, 2, h) && digits(s, 2, 2, m);
            break;
        case 6:
            ok = digits(s, 0, 2, h) && digits(s, 2, 2, m) && digits(s, 4, 2, sec);
            break;
        case 5:
            ok = s[2] == ':' && digits(s, 0, 2, h) && digits(s, 3, 2, m);
            break;
        case 8:
            ok = s[2] == ':' && s[5] == ':' && digits(s, 0, 2, h) && digits(s, 3, 2, m) && digits(s, 6, 2, sec);
            break;
        default:
            ok = false;
    }
    if (!ok || h > 23 || m > 59 || sec > 59) return false;
    t.hour = h, t.minute = m, t.second = sec;
    return true;
}

bool parseDateTimeText(std::string_view text, Timestamp& out, std::string& error) {
    std::string_view s = text;
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (!s.empty() && (s.back() == 'Z' || s.back() == 'z')) s.remove_suffix(1);
    Timestamp t;
    size_t dateLength = (s.size() >= 10 && s[4] == '-') ? 10 : 8;
    std::string_view date = s.substr(0, dateLength);
    if (!(dateLength == 10 ? parseIsoDate(date, t) : parseCompactDate(date, t))) {
        error = "'" + std::string(text) + "' does not start with an existing date YYYY-MM-DD";
        return false;
    }
    std::string_view rest = s.substr(date.size());
    if (!rest.empty()) {
        if (rest.front() != ' ' && rest.front() != 'T' && rest.front() != 't') {
            error = "'" + std::string(text) + "': expected a space or 'T' between date and time";
            return false;
        }
        rest.remove_prefix(1);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        if (!parseClock(rest, t)) {
            error = "'" + std::string(text) + "': time must be HHMM, HH:MM, HHMMSS or HH:MM:SS";
            return false;
        }
    }
    out = t;
    return true;
}

}  // namespace replay
