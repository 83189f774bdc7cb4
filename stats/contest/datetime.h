// The host's date-time value: an OLE Automation date (days since 30 December 1899,
// the fraction being the time of day) with a status. The plug-in formats it, compares
// it and counts whole minutes between two of them, the way the host's date type does.
#pragma once
#include <cstdint>
#include <string>

// Binary layout the host passes by pointer: 8-byte day count, 32-bit status.
struct OleDateTime {
    double dt;
    int32_t status;
};

class DateTime {
public:
    enum Status : int32_t { valid = 0, invalid = 1, null = 2 };

    DateTime() = default;  // null
    DateTime(double days, Status s) : days_(days), status_(s) {}
    // A null pointer from the host reads as a null date-time; an unknown status as invalid.
    static DateTime fromHost(const OleDateTime* p);
    static DateTime fromCalendar(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

    double days() const { return days_; }
    Status status() const { return status_; }
    // Valid status and a day count the calendar can show (years 100 to 9999).
    bool isValid() const;

    // strftime-like formatting of the calendar value rounded to the nearest second.
    // Supports %d %m %Y %H %M %S and %%; anything else is copied. Not valid: empty text.
    std::string format(const char* pattern) const;

    // Same instant when both are valid, or both null.
    bool sameAs(const DateTime& other) const;

private:
    double days_ = 0.0;
    Status status_ = null;
};

// Calendar fields of a valid date-time after rounding to the nearest second.
struct CalendarTime {
    int year, month, day, hour, minute, second;
};
bool toCalendar(const DateTime& t, CalendarTime& out);

// Whole minutes of (later - earlier): the difference in days moved half a second away
// from zero, times 1440, truncated toward zero. When either side is not valid the span
// is empty and reads as 0 minutes, as the host's span type does.
long long wholeMinutesBetween(const DateTime& earlier, const DateTime& later);
