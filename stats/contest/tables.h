// The contest's fixed tables: accepted bands and modes, the 27 Ukrainian area codes,
// the own prefixes that switch the texts to Russian, and the band numbering.
#pragma once
#include <array>
#include <string>
#include <vector>

// A fixed list of texts with a case-insensitive membership test.
class CContestRules {
public:
    CContestRules(const char* const* entries, int count);
    // True at the first entry equal to text ignoring letter case.
    bool contains(const std::string& text) const;
    const std::string& operator[](size_t i) const { return entries_[i]; }
    size_t size() const { return entries_.size(); }

private:
    std::vector<std::string> entries_;
};

// HOST-QUIRK: "80m" twice (it also labels row 0 of the info grid, never drawn) and no
// "160m", so a 160 m QSO is refused.
const CContestRules& bandTable();
const CContestRules& modeTable();  // "RTTY", "BPSK63"

constexpr int kAreaCount = 27;
// Display order used by the area window and the watch.
extern const std::array<const char*, kAreaCount> areaDisplayOrder;
// The search list of the area rule, ended by an empty entry.
extern const std::array<const char*, kAreaCount + 1> areaCodeTable;
bool isAreaCode(const std::string& code);  // exact, letter case significant

extern const std::array<const char*, 7> russianTextPrefixes;
bool isRussianTextPrefix(const std::string& prefix);  // exact

constexpr int kBandCount = 6;
// "160m" 0, "80m" 1, "40m" 2, "20m" 3, "15m" 4, "10m" 5 (exact); anything else 0.
int bandIndex(const std::string& band);
