#include "qso_index.h"

std::string QsoIndex::key(const std::string& a, const std::string& b, const std::string& c) {
    // Host texts are zero-terminated, so a zero byte cannot occur inside them.
    std::string k;
    k.reserve(a.size() + b.size() + c.size() + 2);
    k.append(a).push_back('\0');
    k.append(b).push_back('\0');
    k.append(c);
    return k;
}

void QsoIndex::clear() {
    calls_.clear();
    prefixes_.clear();
    areas_.clear();
}

void QsoIndex::add(const CInfo& q, int index) {
    calls_[key(q.call, q.band, q.mode)].push_back(index);
    prefixes_.emplace(key(q.band, q.mode, q.prefix), index);
    areas_.emplace(key(q.band, q.mode, q.area), index);
}

void QsoIndex::rebuild(const std::vector<CInfo>& log) {
    clear();
    for (size_t i = 0; i < log.size(); ++i) add(log[i], static_cast<int>(i));
}

const std::vector<int>* QsoIndex::byCall(const std::string& call, const std::string& band, const std::string& mode) const {
    auto it = calls_.find(key(call, band, mode));
    return it == calls_.end() ? nullptr : &it->second;
}

int QsoIndex::firstWithPrefix(const std::string& band, const std::string& mode, const std::string& prefix) const {
    auto it = prefixes_.find(key(band, mode, prefix));
    return it == prefixes_.end() ? -1 : it->second;
}

int QsoIndex::firstWithArea(const std::string& band, const std::string& mode, const std::string& area) const {
    auto it = areas_.find(key(band, mode, area));
    return it == areas_.end() ? -1 : it->second;
}
