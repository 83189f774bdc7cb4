#include "standin/protocol.h"

#include <cstdio>

namespace standin {

std::string Request::word(size_t index) const {
    if (index >= words.size() || words[index] == "-") return std::string();
    return words[index];
}

std::string Request::after(size_t count) const {
    if (count >= words.size()) return std::string();
    std::string rest = line.substr(wordStart[count]);
    return rest == "-" ? std::string() : rest;
}

Request parseRequest(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    Request r;
    r.line = std::string(line);
    bool first = true;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        std::string w(line.substr(start, i - start));
        if (first) {
            for (char& c : w)
                if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
            r.verb = std::move(w);
            first = false;
        } else {
            r.words.push_back(std::move(w));
            r.wordStart.push_back(start);
        }
    }
    // Spaces at the end belong to no word: after() keeps them only inside its text.
    if (!r.wordStart.empty()) {
        size_t end = r.line.size();
        while (end > 0 && r.line[end - 1] == ' ') --end;
        r.line.resize(end);
    }
    return r;
}

std::string escapeField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char b[8];
                    std::snprintf(b, sizeof b, "\\x%02X", c);
                    out += b;
                } else {
                    out += ch;
                }
        }
    }
    return out;
}

namespace {
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

bool unescapeField(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 'x': {
                if (i + 2 >= text.size()) return false;
                const int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
                if (hi < 0 || lo < 0) return false;
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

std::string okReply(const std::vector<std::string>& fields) {
    std::string out = "ok";
    for (size_t i = 0; i < fields.size(); ++i) {
        out += i == 0 ? ' ' : '\t';
        out += escapeField(fields[i]);
    }
    return out;
}

std::string errorReply(std::string_view message) { return "error " + escapeField(message); }

bool parseReply(std::string_view line, Reply& out) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    out = Reply{};
    std::string_view body;
    if (line == "ok") {
        out.ok = true;
        return true;
    }
    if (line.substr(0, 3) == "ok ") {
        out.ok = true;
        body = line.substr(3);
        size_t start = 0;
        for (;;) {
            const size_t tab = body.find('\t', start);
            std::string field;
            if (!unescapeField(body.substr(start, tab == std::string_view::npos ? body.npos : tab - start), field))
                return false;
            out.fields.push_back(std::move(field));
            if (tab == std::string_view::npos) return true;
            start = tab + 1;
        }
    }
    if (line.substr(0, 6) == "error ") {
        std::string message;
        if (!unescapeField(line.substr(6), message)) return false;
        out.fields.push_back(std::move(message));
        return true;
    }
    return false;
}

}  // namespace standin
