#include "tables.h"

#include <cstring>

namespace {
const char* const kBands[] = {"80m", "80m", "40m", "20m", "15m", "10m"};
const char* const kModes[] = {"RTTY", "BPSK63"};

char foldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

std::string trimBlanks(const std::string& s) {
    const char* ws = " \t\r\n\v\f";
    const size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

CContestRules::CContestRules(const char* const* entries, int count) {
    for (int i = 0; i < count; ++i) entries_.emplace_back(entries[i]);
}

int CContestRules::contains(const std::string& text) const {
    for (const auto& e : entries_)
        if (equalsIgnoreCase(e, text)) return 1;
    return 0;
}

const CContestRules& bandTable() {
    static const CContestRules t(kBands, 6);
    return t;
}

const CContestRules& modeTable() {
    static const CContestRules t(kModes, 2);
    return t;
}

const std::array<const char*, kAreaCount> areaDisplayOrder = {
    "CH", "CN", "CR", "DN", "DO", "HA", "HE", "HM", "IF", "KI", "KO", "KV", "LU", "LV",
    "NI", "OD", "PO", "RI", "SU", "TE", "VI", "VO", "ZA", "ZH", "ZP", "KR", "SL"};

const std::array<const char*, kAreaCount + 1> areaCodeTable = {
    "VI", "VO", "LU", "DN", "ZH", "ZA", "ZP", "KO", "KI", "LV", "NI", "OD", "PO", "RI",
    "DO", "IF", "SU", "TE", "HA", "HE", "HM", "CH", "CR", "CN", "KV", "KR", "SL", ""};

bool isAreaCode(const std::string& code) {
    for (const char* c : areaCodeTable) {
        if (!*c) break;  // end marker
        if (code == c) return true;
    }
    return false;
}

const std::array<const char*, 7> russianTextPrefixes = {"UA", "UA2", "UA2/f", "UA9", "UN", "UR", "EU"};

bool isRussianTextPrefix(const std::string& prefix) {
    for (const char* p : russianTextPrefixes)
        if (prefix == p) return true;
    return false;
}

int bandIndex(const std::string& band) {
    static const char* const names[kBandCount] = {"160m", "80m", "40m", "20m", "15m", "10m"};
    for (int i = 0; i < kBandCount; ++i)
        if (band == names[i]) return i;
    return 0;
}
