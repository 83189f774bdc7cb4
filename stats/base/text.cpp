#include "base/text.h"

namespace {
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

std::string upperAscii(std::string s) {
    for (char& c : s) c = foldAscii(c);
    return s;
}

std::string replaceAll(const std::string& text, const std::string& find, const std::string& replacement) {
    if (find.empty() || find == replacement) return text;
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = text.find(find, pos);
        if (hit == std::string::npos) break;
        out.append(text, pos, hit - pos).append(replacement);
        pos = hit + find.size();
    }
    out.append(text, pos, std::string::npos);
    return out;
}
