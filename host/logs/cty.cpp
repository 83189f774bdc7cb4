#include "logs/cty.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "ascii_text.h"
#include "logs/log.h"

namespace replay {

namespace {

bool isCallChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return c >= 'A' && c <= 'Z'; }

bool allDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), isDigit); }

// Suffixes that say how, not where, a station operates.
bool isOperatingSuffix(std::string_view s) {
    static const char* const kSuffixes[] = {"P", "M", "A", "AM", "QRP", "QRPP", "LH", "J", "AE", "AG", "KT"};
    for (const char* k : kSuffixes)
        if (s == k) return true;
    return false;
}

// A complete call (prefix, digit, letters) rather than a bare prefix such as "W5" or "DL".
bool looksLikeFullCall(std::string_view s) {
    if (s.size() < 3 || !isLetter(s.back())) return false;
    return std::any_of(s.begin(), s.end(), isDigit);
}

// US calls keep their country whatever call area they sign: W1AW/4 and KH6KG/4 alike.
bool isUsCall(std::string_view s) {
    if (s.empty()) return false;
    if (s[0] == 'K' || s[0] == 'N' || s[0] == 'W') return true;
    return s.size() > 1 && s[0] == 'A' && s[1] >= 'A' && s[1] <= 'L';
}

// UA1ABC with area 9 -> UA9ABC: the last run of digits before the suffix letters.
std::string withCallArea(std::string_view call, std::string_view area) {
    size_t end = call.size();
    while (end > 0 && !isDigit(call[end - 1])) --end;
    if (end == 0) return std::string(call);
    size_t begin = end;
    while (begin > 0 && isDigit(call[begin - 1])) --begin;
    if (begin == 0) return std::string(call);  // a call that starts with its only digits
    return std::string(call.substr(0, begin)) + std::string(area) + std::string(call.substr(end));
}

}  // namespace

bool CountryFile::parse(std::string_view text, const std::string& fileName, std::string& error) {
    entities_.clear();
    prefixes_.clear();
    exactCalls_.clear();
    longestPrefixLength_ = 0;
    size_t pos = 0;
    int line = 1;
    auto advance = [&](size_t to) {
        for (; pos < to; ++pos)
            if (text[pos] == '\n') ++line;
    };
    auto fail = [&](const std::string& why) {
        error = fileName + ":" + std::to_string(line) + ": " + why;
        entities_.clear();
        prefixes_.clear();
        exactCalls_.clear();
        return false;
    };
    while (true) {
        while (pos < text.size() && std::string_view(" \t\r\n").find(text[pos]) != std::string_view::npos)
            advance(pos + 1);
        if (pos >= text.size()) break;
        // Header: eight fields, each closed by ':'.
        std::string_view fields[8];
        for (auto& f : fields) {
            size_t colon = text.find(':', pos);
            size_t nl = text.find('\n', pos);
            if (colon == std::string_view::npos || (nl != std::string_view::npos && nl < colon))
                return fail("entity line with fewer than 8 ':'-separated fields");
            f = trim(text.substr(pos, colon - pos));
            advance(colon + 1);
        }
        CtyEntity entity;
        entity.name = std::string(fields[0]);
        // Messages name the entity a call belongs to: a nameless one would leave them blank.
        if (entity.name.empty()) return fail("entity line without a name");
        entity.continent = toUpper(fields[3]);
        std::string_view primary = fields[7];  // "*" marks entities on the WAE list only
        entity.waeOnly = !primary.empty() && primary[0] == '*';
        if (entity.waeOnly) primary.remove_prefix(1);
        entity.prefix = std::string(primary);  // as written: sub-entities are "3D2/c"
        if (entity.prefix.empty() || entity.continent.size() != 2)
            return fail("entity '" + entity.name + "' has no primary prefix or continent");
        const uint32_t index = uint32_t(entities_.size());
        entities_.push_back(entity);

        size_t semicolon = text.find(';', pos);
        if (semicolon == std::string_view::npos) return fail("alias list of '" + entity.name + "' not closed by ';'");
        std::string_view list = text.substr(pos, semicolon - pos);
        advance(semicolon + 1);
        size_t i = 0;
        while (i <= list.size()) {
            size_t comma = list.find(',', i);
            if (comma == std::string_view::npos) comma = list.size();
            std::string_view alias = trim(list.substr(i, comma - i));
            i = comma + 1;
            if (alias.empty()) continue;
            bool exactCall = alias[0] == '=';
            if (exactCall) alias.remove_prefix(1);
            std::string key;
            size_t k = 0;
            for (; k < alias.size() && isCallChar(char(std::toupper(static_cast<unsigned char>(alias[k])))); ++k)
                key.push_back(char(std::toupper(static_cast<unsigned char>(alias[k]))));
            Listing listing{index, {}};
            // Overrides; the zone, position and time zone ones are of no use here.
            while (k < alias.size()) {
                char open = alias[k];
                char close = open == '('   ? ')'
                             : open == '[' ? ']'
                             : open == '<' ? '>'
                             : open == '{' ? '}'
                             : open == '~' ? '~'
                                           : 0;
                size_t end = close ? alias.find(close, k + 1) : std::string_view::npos;
                if (end == std::string_view::npos) break;  // tolerate a malformed tail
                if (open == '{') listing.continent = toUpper(alias.substr(k + 1, end - k - 1));
                k = end + 1;
            }
            if (key.empty()) continue;
            // The first entity that lists a call or prefix places it; the first DXCC entity
            // that lists it too is the one it counts for when the first is a WAE entity
            // (4U1A: Vienna Intl Ctr, then Austria).
            auto& map = exactCall ? exactCalls_ : prefixes_;
            auto [it, inserted] = map.try_emplace(std::move(key), std::move(listing));
            if (!entity.waeOnly && it->second.dxccEntity == kNoEntity) it->second.dxccEntity = index;
            if (inserted && !exactCall) longestPrefixLength_ = std::max(longestPrefixLength_, it->first.size());
        }
    }
    if (entities_.empty()) return fail("no entities: not a country file");
    return true;
}

bool CountryFile::load(const std::string& path, std::string& error) {
    // cty.dat is a few hundred kB; anything many times that (a device, a wrong file) is refused
    // before it is read into memory.
    constexpr size_t kLimit = size_t(4) << 20;
    std::string text;
    if (!readWholeFile(path, kLimit, "country file", text, error)) return false;
    return parse(text, printable(path, 200), error);
}

const CountryFile::Listing* CountryFile::longestListing(std::string_view text, bool dxccOnly) const {
    std::string key(text.substr(0, std::min(text.size(), longestPrefixLength_)));
    while (!key.empty()) {
        auto it = prefixes_.find(key);
        if (it != prefixes_.end() && (!dxccOnly || it->second.dxccEntity != kNoEntity)) return &it->second;
        key.pop_back();
    }
    return nullptr;
}

// The DXCC entity that a call or prefix listed under an entity counts for: that entity,
// unless it is on the WAE list only; then the DXCC entity that lists the same call or
// prefix, or else the one with the longest prefix of the text.
uint32_t CountryFile::countsFor(const Listing& listing, std::string_view text) const {
    if (!entities_[listing.entity].waeOnly) return listing.entity;
    if (listing.dxccEntity != kNoEntity) return listing.dxccEntity;
    if (const Listing* p = longestListing(text, true)) return p->dxccEntity;
    return listing.entity;  // no DXCC entity covers it: the WAE entity is all the file knows
}

CountryFile::Match CountryFile::exact(std::string_view call) const {
    auto it = exactCalls_.find(std::string(call));
    if (it == exactCalls_.end()) return {};
    return {&it->second, countsFor(it->second, call)};
}

CountryFile::Match CountryFile::longestPrefix(std::string_view text) const {
    const Listing* p = longestListing(text, false);
    if (!p) return {};
    return {p, countsFor(*p, text)};
}

CountryFile::Match CountryFile::resolveBase(std::string_view call) const {
    if (Match m = exact(call)) return m;
    return longestPrefix(call);
}

CtyResult CountryFile::result(const Match& m) const {
    CtyResult r;
    if (!m) return r;
    const CtyEntity& dxcc = entities_[m.dxccEntity];
    r.prefix = dxcc.prefix;
    r.entity = dxcc.name;
    r.continent = m.where->continent.empty() ? entities_[m.where->entity].continent : m.where->continent;
    return r;
}

CtyResult CountryFile::resolve(std::string_view callText) const {
    const std::string call = toUpper(trim(callText));
    if (call.empty()) return {};
    if (Match m = exact(call)) return result(m);
    if (call.find('/') == std::string::npos) return result(longestPrefix(call));

    std::vector<std::string_view> parts;
    for (size_t i = 0; i <= call.size();) {
        size_t slash = call.find('/', i);
        if (slash == std::string::npos) slash = call.size();
        if (slash > i) parts.push_back(std::string_view(call).substr(i, slash - i));
        i = slash + 1;
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        if (parts[i] == "MM") {
            CtyResult r;
            r.maritime = true;
            return r;
        }
    }
    while (parts.size() > 1 && isOperatingSuffix(parts.back())) parts.pop_back();
    if (parts.empty()) return {};
    if (parts.size() == 1) return result(resolveBase(parts[0]));

    // The home call is the part that looks like a complete call (the longest if several);
    // a further non-numeric part is where the station is, a lone digit a new call area.
    auto rank = [&](size_t i) { return std::make_pair(looksLikeFullCall(parts[i]), parts[i].size()); };
    size_t base = 0;
    for (size_t i = 1; i < parts.size(); ++i)
        if (rank(i) > rank(base)) base = i;
    std::string_view location, area;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i == base) continue;
        if (allDigits(parts[i])) {
            area = parts[i];
        } else if (location.empty() || parts[i].size() < location.size()) {
            location = parts[i];
        }
    }
    if (!location.empty())
        if (Match m = longestPrefix(location)) return result(m);
    if (!area.empty() && area.size() == 1 && !isUsCall(parts[base])) {
        if (Match m = resolveBase(withCallArea(parts[base], area))) return result(m);
    }
    return result(resolveBase(parts[base]));
}

std::string defaultCtyPath(const std::string& programDir) {
#ifdef _WIN32
    return programDir + "\\cty.dat";
#else
    (void)programDir;
    return "/usr/share/hamradio-files/cty.dat";
#endif
}

}  // namespace replay
