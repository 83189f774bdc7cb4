#include "logs/band.h"

#include "ascii_text.h"

namespace replay {

namespace {

struct BandRange {
    uint64_t lowHz, highHz;
    const char* name;
};

const BandRange kBands[] = {
    {1800000, 2000000, "160m"},     {3500000, 4000000, "80m"},        {5060000, 5450000, "60m"},
    {7000000, 7300000, "40m"},      {10100000, 10150000, "30m"},      {14000000, 14350000, "20m"},
    {18068000, 18168000, "17m"},    {21000000, 21450000, "15m"},      {24890000, 24990000, "12m"},
    {28000000, 29700000, "10m"},    {50000000, 54000000, "6m"},       {70000000, 71000000, "4m"},
    {144000000, 148000000, "2m"},   {222000000, 225000000, "1.25m"},  {420000000, 450000000, "70cm"},
    {902000000, 928000000, "33cm"}, {1240000000, 1300000000, "23cm"},
};

// Cabrillo's designators for the bands where a kHz figure would be unwieldy.
struct Designator {
    const char* text;
    uint64_t hz;
    const char* band;
};

const Designator kDesignators[] = {
    {"50", 50000000, "6m"},           {"70", 70000000, "4m"},           {"144", 144000000, "2m"},
    {"222", 222000000, "1.25m"},      {"432", 432000000, "70cm"},       {"902", 902000000, "33cm"},
    {"1.2G", 1240000000, "23cm"},     {"2.3G", 2300000000, "13cm"},     {"3.4G", 3400000000ULL, "9cm"},
    {"5.7G", 5650000000ULL, "6cm"},   {"10G", 10000000000ULL, "3cm"},   {"24G", 24000000000ULL, "1.25cm"},
    {"47G", 47000000000ULL, "6mm"},   {"75G", 75500000000ULL, "4mm"},   {"122G", 122250000000ULL, "2.5mm"},
    {"134G", 134000000000ULL, "2mm"}, {"241G", 241000000000ULL, "1mm"}, {"LIGHT", 0, "submm"},
};

}  // namespace

std::string bandFromHz(uint64_t hz) {
    for (const BandRange& b : kBands)
        if (hz >= b.lowHz && hz <= b.highHz) return b.name;
    return {};
}

uint64_t bandLowerEdgeHz(std::string_view band) {
    for (const BandRange& b : kBands)
        if (band == b.name) return b.lowHz;
    return 0;
}

bool parseCabrilloFrequency(std::string_view field, uint64_t& hz, std::string& band) {
    for (const Designator& d : kDesignators) {
        if (iequals(field, d.text)) {
            hz = d.hz;
            band = d.band;
            return true;
        }
    }
    uint64_t value;
    if (!parseDecimalScaled(field, 3, value)) return false;
    if (value < 1000000) return false;  // below 1000 kHz: not an amateur HF figure in kHz
    hz = value;
    band = bandFromHz(value);
    return true;
}

std::string normalizeBand(std::string_view band) {
    std::string b = toLower(trim(band));
    if (!b.empty() && b.back() >= '0' && b.back() <= '9') b += 'm';
    return b;
}

std::string modeFromCabrillo(std::string_view code) {
    if (iequals(code, "RY")) return "RTTY";
    if (iequals(code, "PK")) return "BPSK63";
    return std::string(code);
}

std::string modeFromAdif(std::string_view mode, std::string_view submode) {
    std::string m = toUpper(trim(mode));
    std::string s = toUpper(trim(submode));
    if (m == "RTTY") return "RTTY";
    if (m == "PSK63" || m == "BPSK63" || s == "PSK63" || s == "BPSK63") return "BPSK63";
    return s.empty() ? m : s;
}

}  // namespace replay
