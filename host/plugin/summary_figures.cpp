#include "plugin/summary_figures.h"

#include "ascii_text.h"

namespace replay {

namespace {

bool parseNumber(std::string_view s, long long& out) {
    s = trim(s);
    const bool negative = !s.empty() && s[0] == '-';
    uint64_t value = 0;
    if (!parseUnsigned(negative ? s.substr(1) : s, value) || value > uint64_t(1) << 62) return false;
    out = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    return true;
}

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t from = 0;
    for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', from)) {
        fields.push_back(line.substr(from, tab - from));
        from = tab + 1;
    }
    fields.push_back(line.substr(from));
    return fields;
}

}  // namespace

const SummaryRow* SummaryFigures::band(std::string_view name) const {
    for (const SummaryRow& r : bands)
        if (r.band == name) return &r;
    return nullptr;
}

bool parseSummary(std::string_view text, SummaryFigures& out) {
    SummaryFigures f;
    bool haveTotal = false, haveScore = false;
    size_t pos = 0;
    std::string_view line;
    while (nextLine(text, pos, line)) {
        const std::vector<std::string_view> fields = splitTabs(line);
        if (fields.size() == 7 && !trim(fields[0]).empty()) {
            SummaryRow row;
            row.band = std::string(trim(fields[0]));
            long long* const values[] = {&row.qsos, &row.points, &row.dxcc, &row.areas, &row.rttyQsos, &row.bpskQsos};
            bool numbers = true;
            for (size_t i = 0; i < 6 && numbers; ++i) numbers = parseNumber(fields[i + 1], *values[i]);
            if (!numbers) continue;  // the column titles
            if (row.band == "Total") {
                f.total = row;
                haveTotal = true;
            } else if (!haveTotal) {
                f.bands.push_back(row);
            }
        } else if (fields.size() == 2 && trim(fields[0]) == "Dupe") {
            parseNumber(fields[1], f.dupes);
        } else if (fields.size() == 2 && trim(fields[0]) == "Bad QSO") {
            parseNumber(fields[1], f.badQsos);
        } else if (!haveScore && line.substr(0, 7) == "Score =") {
            // "Score = points * ( dxcc + areas) = score"
            haveScore = parseNumber(line.substr(line.rfind('=') + 1), f.score);
        }
    }
    if (!haveTotal || !haveScore) return false;
    out = std::move(f);
    return true;
}

}  // namespace replay
