#include "contest/datetime.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kHalfSecond = 0.5 / 86400.0;
// Day numbers of 1 January 100 and 31 December 9999 in the OLE epoch.
constexpr double kMinDays = -657434.0;
constexpr double kMaxDays = 2958466.0;

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const long long kOleEpochFromUnix = daysFromCivil(1899, 12, 30);

// OLE dates below zero count the day backwards but the time of day forwards
// (-1.25 is 29 December 1899, 06:00); this gives a value that grows with time.
double linear(double days) {
    if (days >= 0) return days;
    const double whole = std::ceil(days);
    return whole + (whole - days);
}

}  // namespace

DateTime DateTime::fromHost(const OleDateTime* p) {
    if (!p) return DateTime();
    const Status s = (p->status == valid || p->status == null) ? static_cast<Status>(p->status) : invalid;
    return DateTime(p->dt, s);
}

DateTime DateTime::fromCalendar(int year, int month, int day, int hour, int minute, int second) {
    const long long d =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kOleEpochFromUnix;
    const double frac = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before the epoch the fraction still runs forward from midnight.
    const double value = d >= 0 ? static_cast<double>(d) + frac : static_cast<double>(d) - frac;
    return DateTime(value, valid);
}

bool DateTime::isValid() const {
    return status_ == valid && std::isfinite(days_) && days_ >= kMinDays && days_ < kMaxDays;
}

bool toCalendar(const DateTime& t, CalendarTime& out) {
    if (!t.isValid()) return false;
    const double v = t.days();
    double whole, frac;
    if (v >= 0) {
        const double r = v + kHalfSecond;
        whole = std::floor(r);
        frac = r - whole;
    } else {
        const double r = v - kHalfSecond;
        whole = std::ceil(r);
        frac = whole - r;
    }
    long long secs = static_cast<long long>(std::floor(frac * 86400.0));
    if (secs > 86399) secs = 86399;
    civilFromDays(static_cast<long long>(whole) + kOleEpochFromUnix, out.year, out.month, out.day);
    out.hour = static_cast<int>(secs / 3600);
    out.minute = static_cast<int>(secs / 60 % 60);
    out.second = static_cast<int>(secs % 60);
    return true;
}

std::string DateTime::format(const char* pattern) const {
    CalendarTime c{};
    if (!pattern || !toCalendar(*this, c)) return std::string();
    std::string out;
    char buf[16];
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        ++p;
        switch (*p) {
            case 'd':
                std::snprintf(buf, sizeof buf, "%02d", c.day);
                break;
            case 'm':
                std::snprintf(buf, sizeof buf, "%02d", c.month);
                break;
            case 'Y':
                std::snprintf(buf, sizeof buf, "%d", c.year);
                break;
            case 'H':
                std::snprintf(buf, sizeof buf, "%02d", c.hour);
                break;
            case 'M':
                std::snprintf(buf, sizeof buf, "%02d", c.minute);
                break;
            case 'S':
                std::snprintf(buf, sizeof buf, "%02d", c.second);
                break;
            case '%':
                std::snprintf(buf, sizeof buf, "%%");
                break;
            default:
                std::snprintf(buf, sizeof buf, "%%%c", *p);
                break;
        }
        out += buf;
    }
    return out;
}

bool DateTime::sameAs(const DateTime& other) const {
    if (status_ == null && other.status_ == null) return true;
    if (!isValid() || !other.isValid()) return false;
    return days_ == other.days_;
}

long long wholeMinutesBetween(const DateTime& earlier, const DateTime& later) {
    if (!earlier.isValid() || !later.isValid()) return 0;
    double diff = linear(later.days()) - linear(earlier.days());
    if (diff > 0)
        diff += kHalfSecond;
    else if (diff < 0)
        diff -= kHalfSecond;
    return static_cast<long long>(std::trunc(diff * 1440.0));
}
