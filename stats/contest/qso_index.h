// Lookups over the log that the acceptance rules, the call check and removal need,
// kept in step with the log so that each answers in constant time. Every answer is
// the one a scan of the log from its first entry would give (the first match).
#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "info.h"

class QsoIndex {
public:
    void clear();
    // Record entry `index` of the log (entries are added in log order).
    void add(const CInfo& q, int index);
    void rebuild(const std::vector<CInfo>& log);

    // Positions of the entries with this call, band and mode, ascending.
    const std::vector<int>* byCall(const std::string& call, const std::string& band, const std::string& mode) const;
    // First entry with this band, mode and prefix; -1 when none.
    int firstWithPrefix(const std::string& band, const std::string& mode, const std::string& prefix) const;
    // First entry with this band, mode and area (the empty area included); -1 when none.
    int firstWithArea(const std::string& band, const std::string& mode, const std::string& area) const;

private:
    static std::string key(const std::string& a, const std::string& b, const std::string& c);
    std::unordered_map<std::string, std::vector<int>> calls_;
    std::unordered_map<std::string, int> prefixes_;
    std::unordered_map<std::string, int> areas_;
};
