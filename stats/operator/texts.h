// The texts of the operator windows in English and Russian (code page 1251), and the
// band table of the watch.
#pragma once
#include <string>

// Band index 0..5 ("160m" .. "10m") of a dial frequency by whole megahertz (1, 3, 7, 14,
// 21, 28); -1 outside the six bands.
int watchBandOfFrequency(double hertz);
// "160m", "80m", "40m", "20m", "15m", "10m" by band index.
const char* watchBandName(int band);

std::string dxccTitle(bool russian, bool rtty, const std::string& band, int count);
std::string areaTitle(bool russian, bool rtty, int count, const std::string& band);
std::string workedWithTitle(bool russian, const std::string& year, const std::string& call);
std::string companionTitle(bool russian, const std::string& year);

// The empty cell of the per-call grid.
extern const char* const kEmptyGridCell;  // "   -"
