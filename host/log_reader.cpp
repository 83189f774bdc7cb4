#include <cctype>
#include <filesystem>
#include <fstream>

#include "log.h"
#include "text.h"

namespace replay {

namespace {

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
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trim(text.substr(pos, end - pos));
        pos = end + 1;
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

bool readLogFile(const std::string& path, bool strict, LogData& out, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(std::filesystem::u8path(path), ec)) {
        error = "'" + path + "' is a folder, not a log";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the log '" + path + "'";
        return false;
    }
    // Pipes and devices have no size: read them in chunks up to the same limit.
    constexpr size_t kLimit = size_t(1) << 30;
    std::string text;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, size_t(in.gcount()));
        if (text.size() > kLimit) {
            error = "the log '" + path + "' is larger than 1 GiB: not a contest log";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read the log '" + path + "'";
        return false;
    }
    std::string_view view = text;
    if (view.size() >= 3 && view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
    if (trim(view).empty()) {
        error = "the log '" + path + "' is empty";
        return false;
    }
    if (view.find('\0') != std::string_view::npos) {
        error = "the log '" + path + "' is a binary file, not a Cabrillo or ADIF log";
        return false;
    }
    switch (detectFormat(view)) {
    case LogFormat::cabrillo: parseCabrillo(view, strict, out); return true;
    case LogFormat::adif: parseAdif(view, strict, out); return true;
    case LogFormat::unknown: break;
    }
    error = "the log '" + path + "' is neither Cabrillo (START-OF-LOG:/QSO: lines) nor ADIF (<CALL:n> tags)";
    return false;
}

std::string describeIssue(const std::string& file, const LogIssue& issue) {
    std::string s = file;
    if (issue.line > 0) s += ":" + std::to_string(issue.line);
    s += ": ";
    if (issue.record > 0) s += "record " + std::to_string(issue.record) + ": ";
    return s + issue.message;
}

}  // namespace replay
