#include "qso_index.h"

namespace {
template <typename Match>
int scan(const std::vector<CInfo>& log, Match match) {
    for (size_t i = 0; i < log.size(); ++i)
        if (match(log[i])) return static_cast<int>(i);
    return -1;
}
}  // namespace

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
    if (plain_) return;
    calls_[key(q.call, q.band, q.mode)].push_back(index);
    prefixes_.emplace(key(q.band, q.mode, q.prefix), index);
    areas_.emplace(key(q.band, q.mode, q.area), index);
}

void QsoIndex::rebuild() {
    clear();
    for (size_t i = 0; i < log_.size(); ++i) add(log_[i], static_cast<int>(i));
}

bool QsoIndex::hasCall(const std::string& call, const std::string& band, const std::string& mode) const {
    if (plain_)
        return scan(log_, [&](const CInfo& q) { return q.call == call && q.band == band && q.mode == mode; }) >= 0;
    return calls_.count(key(call, band, mode)) != 0;
}

int QsoIndex::findQso(const std::string& call, const std::string& band, const std::string& mode,
                      const DateTime& time) const {
    if (plain_)
        return scan(log_, [&](const CInfo& q) {
            return q.call == call && q.mode == mode && q.band == band && q.time.sameAs(time);
        });
    auto it = calls_.find(key(call, band, mode));
    if (it == calls_.end()) return -1;
    for (int i : it->second)
        if (log_[static_cast<size_t>(i)].time.sameAs(time)) return i;
    return -1;
}

int QsoIndex::firstWithPrefix(const std::string& band, const std::string& mode, const std::string& prefix) const {
    if (plain_)
        return scan(log_, [&](const CInfo& q) { return q.band == band && q.mode == mode && q.prefix == prefix; });
    auto it = prefixes_.find(key(band, mode, prefix));
    return it == prefixes_.end() ? -1 : it->second;
}

int QsoIndex::firstWithArea(const std::string& band, const std::string& mode, const std::string& area) const {
    if (plain_)
        return scan(log_, [&](const CInfo& q) { return q.band == band && q.mode == mode && q.area == area; });
    auto it = areas_.find(key(band, mode, area));
    return it == areas_.end() ? -1 : it->second;
}
