#include "contest/tables.h"

#include "ascii_text.h"

namespace {
const char* const kBands[] = {"80m", "80m", "40m", "20m", "15m", "10m"};
const char* const kModes[] = {"RTTY", "BPSK63"};
}  // namespace

CContestRules::CContestRules(const char* const* entries, int count) {
    for (int i = 0; i < count; ++i) entries_.emplace_back(entries[i]);
}

bool CContestRules::contains(const std::string& text) const {
    for (const auto& e : entries_)
        if (iequals(e, text)) return true;
    return false;
}

const CContestRules& bandTable() {
    static const CContestRules t(kBands, 6);
    return t;
}

const CContestRules& modeTable() {
    static const CContestRules t(kModes, 2);
    return t;
}

const std::array<const char*, kAreaCount> areaDisplayOrder = {"CH", "CN", "CR", "DN", "DO", "HA", "HE", "HM", "IF",
                                                              "KI", "KO", "KV", "LU", "LV", "NI", "OD", "PO", "RI",
                                                              "SU", "TE", "VI", "VO", "ZA", "ZH", "ZP", "KR", "SL"};

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
