#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "ascii_text.h"
#include "logs/log.h"

namespace replay {

namespace fs = std::filesystem;

namespace {

// The largest log a contest can give: far more QSOs than any station has made.
constexpr size_t kLogLimit = size_t(1) << 30;

// "<NAME:digits" somewhere in the text: an ADIF data specifier.
bool hasAdifTag(std::string_view text) {
    for (size_t lt = text.find('<'); lt != std::string_view::npos; lt = text.find('<', lt + 1)) {
        size_t i = lt + 1;
        while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) ++i;
        if (i == lt + 1 || i >= text.size()) continue;
        if (text[i] == '>') {
            std::string_view name = text.substr(lt + 1, i - lt - 1);
            if (iequals(name, "EOR") || iequals(name, "EOH")) return true;
        } else if (text[i] == ':' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') {
            return true;
        }
    }
    return false;
}

}  // namespace

LogFormat detectFormat(std::string_view text) {
    size_t pos = 0;
    bool first = true;
    bool qsoLine = false;
    std::string_view raw;
    while (nextLine(text, pos, raw)) {
        std::string_view line = trim(raw);
        if (line.empty()) continue;
        if (first && istartsWith(line, "START-OF-LOG:")) return LogFormat::cabrillo;
        first = false;
        if (istartsWith(line, "QSO:")) {
            qsoLine = true;
            break;
        }
    }
    // ADIF before the QSO: test: an ADIF comment may well contain "QSO:".
    if (hasAdifTag(text)) return LogFormat::adif;
    return qsoLine ? LogFormat::cabrillo : LogFormat::unknown;
}

bool readWholeFile(const std::string& path, size_t limit, const std::string& noun, std::string& text,
                   std::string& error) {
    const bool standardInput = path == "-";
    const std::string what = "the " + noun + " " + logName(path);
    std::error_code ec;
    const fs::path p = fs::u8path(path);
    if (!standardInput && fs::is_directory(p, ec)) {
        error = logName(path) + " is a folder, not a " + noun;
        return false;
    }
    auto tooLarge = [&] {
        const std::string size =
            limit >= (size_t(1) << 30) ? std::to_string(limit >> 30) + " GiB" : std::to_string(limit >> 20) + " MiB";
        error = what + " is larger than " + size + ", more than any " + noun + " holds";
        return false;
    };
    // A regular file tells its size: refuse a huge one before reading a byte of it.
    if (!standardInput && fs::is_regular_file(p, ec)) {
        const uintmax_t size = fs::file_size(p, ec);
        if (!ec && size > limit) return tooLarge();
    }
    std::ifstream file;
    std::istream* in = &std::cin;
    if (!standardInput) {
        file.open(p, std::ios::binary);
        if (!file) {
            error = "cannot open " + what;
            return false;
        }
        in = &file;
    }
    text.clear();
    std::vector<char> chunk(size_t(1) << 16);
    while (in->read(chunk.data(), std::streamsize(chunk.size())) || in->gcount() > 0) {
        const size_t n = size_t(in->gcount());
        if (text.size() + n > limit) return tooLarge();  // before the string grows past the limit
        text.append(chunk.data(), n);
    }
    if (in->bad()) {
        error = "cannot read " + what;
        return false;
    }
    return true;
}

namespace {

// A byte order mark of UTF-16, or text whose every other byte is zero (Windows editors'
// "Unicode" without a mark): ASCII letters with a zero beside each.
bool looksLikeUtf16(std::string_view text) {
    if (text.size() >= 2 && (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")) return true;
    const size_t n = std::min<size_t>(text.size() & ~size_t(1), 512);
    if (n < 8) return false;
    size_t evenZeros = 0, oddZeros = 0;
    for (size_t i = 0; i < n; ++i) (i % 2 ? oddZeros : evenZeros) += text[i] == '\0';
    return evenZeros * 10 >= n / 2 * 9 || oddZeros * 10 >= n / 2 * 9;
}

}  // namespace

bool readLogFile(const std::string& path, bool strict, LogData& out, std::string& error) {
    const std::string what = "the log " + logName(path);
    std::string text;
    if (!readWholeFile(path, kLogLimit, "log", text, error)) return false;
    std::string_view view = text;
    if (view.size() >= 3 && view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
    if (trim(view).empty()) {
        error = what + " is empty";
        return false;
    }
    if (looksLikeUtf16(view)) {
        error = what + ": UTF-16 text is not supported; save it as UTF-8 or Latin-1";
        return false;
    }
    if (view.find('\0') != std::string_view::npos) {
        error = what + " is a binary file, not a Cabrillo or ADIF log";
        return false;
    }
    switch (detectFormat(view)) {
        case LogFormat::cabrillo:
            parseCabrillo(view, strict, out);
            return true;
        case LogFormat::adif:
            parseAdif(view, strict, out);
            return true;
        case LogFormat::unknown:
            break;
    }
    error = what + " is neither Cabrillo (START-OF-LOG:/QSO: lines) nor ADIF (<CALL:n> tags)";
    return false;
}

std::string logName(const std::string& path) {
    return path == "-" ? "from standard input" : "'" + printable(path, 200) + "'";
}

std::string describeIssue(const std::string& file, const LogIssue& issue) {
    std::string s = file;
    if (issue.line > 0) s += ":" + std::to_string(issue.line);
    s += ": ";
    if (issue.record > 0) s += "record " + std::to_string(issue.record) + ": ";
    return s + issue.message;
}

}  // namespace replay
