#include "analysis/call_list.h"

#include <algorithm>

#include "ascii_text.h"
#include "logs/log.h"

namespace replay {

namespace {

// FNV-1a over the word with the character at skip left out (skip past the end: none).
uint64_t formHash(std::string_view word, size_t skip) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < word.size(); ++i) {
        if (i == skip) continue;
        h ^= static_cast<unsigned char>(word[i]);
        h *= 1099511628211ull;
    }
    return h;
}

}  // namespace

bool CallList::load(const std::string& path, std::string& error) {
    // MASTER.SCP holds some 50,000 calls in about half a megabyte.
    constexpr size_t kLimit = size_t(16) << 20;
    std::string text;
    if (!readWholeFile(path, kLimit, "super-check-partial list", text, error)) return false;
    parse(text);
    if (calls_.empty()) {
        error = "the super-check-partial list " + logName(path) + " holds no call";
        return false;
    }
    return true;
}

void CallList::parse(std::string_view text) {
    size_t pos = 0;
    std::string_view line;
    while (nextLine(text, pos, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        std::string call = toUpper(line);
        if (index_.emplace(call, uint32_t(calls_.size())).second) calls_.push_back(std::move(call));
    }
}

long CallList::indexOf(const std::string& call) const {
    auto it = index_.find(call);
    return it == index_.end() ? -1 : long(it->second);
}

bool CallList::contains(const std::string& call) const {
    if (index_.count(call)) return true;
    size_t from = 0;
    for (size_t slash = call.find('/'); slash != std::string::npos || from > 0; slash = call.find('/', from)) {
        const std::string part = call.substr(from, slash == std::string::npos ? slash : slash - from);
        // Short parts are prefixes and designators ("DL", "P", "QRP"), not calls.
        if (part.size() >= 3 && index_.count(part)) return true;
        if (slash == std::string::npos) break;
        from = slash + 1;
    }
    return false;
}

bool oneEditApart(std::string_view a, std::string_view b) {
    if (a.size() > b.size()) std::swap(a, b);
    if (b.size() - a.size() > 1) return false;
    size_t i = 0;
    while (i < a.size() && a[i] == b[i]) ++i;
    if (a.size() == b.size()) return i < a.size() && a.substr(i + 1) == b.substr(i + 1);
    return a.substr(i) == b.substr(i + 1);
}

void NearMissIndex::reserve(size_t words) {
    words_.reserve(words);
    keys_.reserve(words * 8);
}

uint32_t NearMissIndex::add(std::string_view word) {
    const uint32_t id = uint32_t(words_.size());
    words_.emplace_back(word);
    for (size_t skip = 0; skip <= word.size(); ++skip) keys_.emplace_back(formHash(word, skip), id);
    return id;
}

void NearMissIndex::build() { std::sort(keys_.begin(), keys_.end()); }

std::vector<uint32_t> NearMissIndex::query(std::string_view word) const {
    std::vector<uint32_t> found;
    for (size_t skip = 0; skip <= word.size(); ++skip) {
        const uint64_t h = formHash(word, skip);
        auto it = std::lower_bound(keys_.begin(), keys_.end(), std::make_pair(h, uint32_t(0)));
        for (; it != keys_.end() && it->first == h; ++it)
            if (oneEditApart(word, words_[it->second])) found.push_back(it->second);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::string defaultScpPath(const std::string& programDir) {
#ifdef _WIN32
    return programDir + "\\MASTER.SCP";
#else
    (void)programDir;
    return "/usr/share/hamradio-files/MASTER.SCP";
#endif
}

}  // namespace replay
