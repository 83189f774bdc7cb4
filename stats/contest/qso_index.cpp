#include "contest/qso_index.h"

#include <initializer_list>

namespace {

template <typename Match>
int scan(const QsoLog& log, Match match) {
    for (size_t i = 0; i < log.size(); ++i)
        if (match(log[i])) return static_cast<int>(i);
    return -1;
}

// FNV-1a over the texts, each ended by a zero byte (which host texts never contain).
// The table keeps 32 bits of it: a collision only lengthens a chain.
uint32_t hashOf(std::initializer_list<const std::string*> texts) {
    uint64_t h = 1469598103934665603ull;
    for (const std::string* s : texts) {
        for (unsigned char ch : *s) h = (h ^ ch) * 1099511628211ull;
        h = h * 1099511628211ull;
    }
    return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

// The slot holding `hash` in this run, or the free slot where it would go.
QsoIndex::Chains::Slot* QsoIndex::Chains::find(uint32_t hash) {
    if (slots.empty()) return nullptr;
    const size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask)
        if (isFree(slots[i]) || slots[i].hash == hash) return &slots[i];
}

const QsoIndex::Chains::Slot* QsoIndex::Chains::find(uint32_t hash) const {
    return const_cast<Chains*>(this)->find(hash);
}

void QsoIndex::Chains::grow() {
    std::vector<Slot> old(slots.empty() ? 64 : slots.size() * 2);
    old.swap(slots);
    const uint32_t current = run;
    run = 1;  // the new table's slots are all of run 0: free
    for (const Slot& s : old)
        if (s.run == current) *find(s.hash) = Slot{s.hash, run, s.first, s.last};
}

void QsoIndex::Chains::clear() {
    // Keeps the table's size: the rescan that follows fills it again.
    if (++run == 0) {  // the stamps went round: free every slot for real
        for (Slot& s : slots) s.run = 0;
        run = 1;
    }
    used = 0;
    next.clear();
}

void QsoIndex::Chains::add(uint32_t hash, int index) {
    // Entries arrive in log order, so `next` grows by one each time.
    while (next.size() <= static_cast<size_t>(index)) next.push_back(-1);
    if (2 * (used + 1) > slots.size()) grow();
    Slot* s = find(hash);
    if (isFree(*s)) {
        *s = Slot{hash, run, index, index};
        ++used;
    } else {
        next[static_cast<size_t>(s->last)] = index;
        s->last = index;
    }
}

template <typename Match>
int QsoIndex::Chains::first(uint32_t hash, Match match) const {
    const Slot* s = find(hash);
    if (!s || isFree(*s)) return -1;
    for (int i = s->first; i >= 0; i = next[static_cast<size_t>(i)])
        if (match(i)) return i;
    return -1;
}

void QsoIndex::clear() {
    calls_.clear();
    prefixes_.clear();
    areas_.clear();
}

void QsoIndex::add(const CInfo& q, int index) {
    if (plain_) return;
    calls_.add(hashOf({&q.call}), index);
    prefixes_.add(hashOf({&q.band, &q.mode, &q.prefix}), index);
    areas_.add(hashOf({&q.band, &q.mode, &q.area}), index);
}

void QsoIndex::rebuild() {
    clear();
    for (size_t i = 0; i < log_.size(); ++i) add(log_[i], static_cast<int>(i));
}

bool QsoIndex::hasCall(const std::string& call, const std::string& band, const std::string& mode) const {
    const auto match = [&](const CInfo& q) { return q.call == call && q.band == band && q.mode == mode; };
    if (plain_) return scan(log_, match) >= 0;
    return calls_.first(hashOf({&call}), [&](int i) { return match(log_[static_cast<size_t>(i)]); }) >= 0;
}

int QsoIndex::findQso(const std::string& call, const std::string& band, const std::string& mode,
                      const DateTime& time) const {
    const auto match = [&](const CInfo& q) {
        return q.call == call && q.mode == mode && q.band == band && q.time.sameAs(time);
    };
    if (plain_) return scan(log_, match);
    return calls_.first(hashOf({&call}), [&](int i) { return match(log_[static_cast<size_t>(i)]); });
}

int QsoIndex::firstWithPrefix(const std::string& band, const std::string& mode, const std::string& prefix) const {
    const auto match = [&](const CInfo& q) { return q.band == band && q.mode == mode && q.prefix == prefix; };
    if (plain_) return scan(log_, match);
    return prefixes_.first(hashOf({&band, &mode, &prefix}), [&](int i) { return match(log_[static_cast<size_t>(i)]); });
}

int QsoIndex::firstWithArea(const std::string& band, const std::string& mode, const std::string& area) const {
    const auto match = [&](const CInfo& q) { return q.band == band && q.mode == mode && q.area == area; };
    if (plain_) return scan(log_, match);
    return areas_.first(hashOf({&band, &mode, &area}), [&](int i) { return match(log_[static_cast<size_t>(i)]); });
}

std::vector<int> QsoIndex::entriesOfCall(const std::string& call) const {
    std::vector<int> found;
    const auto match = [&](int i) {
        if (log_[static_cast<size_t>(i)].call == call) found.push_back(i);
        return false;  // go on to the end of the chain
    };
    if (plain_) {
        for (size_t i = 0; i < log_.size(); ++i) match(static_cast<int>(i));
    } else {
        calls_.first(hashOf({&call}), match);
    }
    return found;
}
