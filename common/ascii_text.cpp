#include "ascii_text.h"

#include <cctype>

namespace {
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
}  // namespace

std::string_view trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isSpace(s[b])) ++b;
    while (e > b && isSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string toUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = upper(c);
    return r;
}

std::string toLower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = lower(c);
    return r;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

bool istartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && iequals(s.substr(0, prefix.size()), prefix);
}

std::vector<std::string_view> splitWhitespace(std::string_view s) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isSpace(s[i])) ++i;
        size_t b = i;
        while (i < s.size() && !isSpace(s[i])) ++i;
        if (i > b) out.push_back(s.substr(b, i - b));
    }
    return out;
}

std::string replaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    if (find.empty() || find == replacement) return std::string(text);
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = text.find(find, pos);
        if (hit == std::string_view::npos) break;
        out.append(text, pos, hit - pos).append(replacement);
        pos = hit + find.size();
    }
    out.append(text, pos, std::string_view::npos);
    return out;
}

bool parseUnsigned(std::string_view s, uint64_t& out) {
    if (s.empty() || s.size() > 19) return false;
    uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint64_t(c - '0');
    }
    out = v;
    return true;
}

bool parseDecimalScaled(std::string_view s, int scale, uint64_t& out) {
    size_t dot = s.find('.');
    std::string_view whole = s.substr(0, dot);
    std::string_view frac = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
    if (whole.empty() && frac.empty()) return false;
    if (whole.size() > 12) return false;
    uint64_t v = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint64_t(c - '0');
    }
    for (char c : frac)
        if (c < '0' || c > '9') return false;
    for (int i = 0; i < scale; ++i) v = v * 10 + (size_t(i) < frac.size() ? uint64_t(frac[size_t(i)] - '0') : 0);
    if (frac.size() > size_t(scale) && frac[size_t(scale)] >= '5') ++v;
    out = v;
    return true;
}

std::string printable(std::string_view s, size_t maxLength) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (out.size() >= maxLength) {
            out += "...";
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        } else {
            out.push_back(char(c));
        }
    }
    return out;
}

bool nextLine(std::string_view text, size_t& pos, std::string_view& line) {
    if (pos >= text.size()) return false;
    const size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
        line = text.substr(pos);
        pos = text.size();
        return true;
    }
    line = text.substr(pos, end - pos);
    pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    return true;
}

std::string consoleLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
#ifdef _WIN32
        if (c == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(c);
#else
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(c);
#endif
    }
    return out;
}
