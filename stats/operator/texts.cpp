#include "operator/texts.h"

#include <cmath>

namespace {

// Each %s of a pattern in turn gets the next value; values may be of any length.
std::string fill(const char* pattern, std::initializer_list<std::string> values) {
    std::string out;
    auto next = values.begin();
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's' && next != values.end()) {
            out += *next++;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

const char* const kBandNames[] = {"160m", "80m", "40m", "20m", "15m", "10m"};

}  // namespace

const char* const kEmptyGridCell = "   -";

int watchBandOfFrequency(double hertz) {
    const double mhz = std::trunc(hertz / 1000000.0);
    const double bands[] = {1, 3, 7, 14, 21, 28};
    for (int i = 0; i < 6; ++i)
        if (mhz == bands[i]) return i;
    return -1;
}

const char* watchBandName(int band) { return band >= 0 && band < 6 ? kBandNames[band] : ""; }

// HOST-QUIRK: "of 338" is part of the text, not a computed total.
std::string dxccTitle(bool russian, bool rtty, const std::string& band, int count) {
    const char* pattern = russian
                              ? (rtty ? "RTTY сработано DXCC на %s %s of 338" : "BPSK63 сработано DXCC на %s %s of 338")
                              : (rtty ? "RTTY worked DXCC on %s %s of 338" : "BPSK63 worked DXCC on %s %s of 338");
    return fill(pattern, {band, std::to_string(count)});
}

// HOST-QUIRK: the Russian titles begin their second word with a Latin capital C, and
// every area title ends with a blank.
std::string areaTitle(bool russian, bool rtty, int count, const std::string& band) {
    const char* pattern = russian ? (rtty ? "RTTY Cработано областей %s на %s " : "BPSK63 Cработано областей %s на %s ")
                                  : (rtty ? "RTTY Working area %s on %s " : "BPSK63 Working area %s on %s ");
    return fill(pattern, {std::to_string(count), band});
}

std::string workedWithTitle(bool russian, const std::string& year, const std::string& call) {
    return fill(russian ? "TALVENA-CUP-%s работал с %s" : "TALVENA-CUP-%s worked with %s", {year, call});
}

std::string companionTitle(bool russian, const std::string& year) {
    return fill(russian ? "Установки TALVENA-CUP-%s" : "Setup TALVENA-CUP-%s", {year});
}
