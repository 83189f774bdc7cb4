// The figures of the plug-in's plain-text summary, read back from the text GetResult0
// returns. The analysis page shows only figures the plug-in computed: each one comes
// from a summary like this, never from counting the log again.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace replay {

struct SummaryRow {
    std::string band;  // "80m"; "Total" for the totals
    long long qsos = 0, points = 0, dxcc = 0, areas = 0, rttyQsos = 0, bpskQsos = 0;
};

struct SummaryFigures {
    std::vector<SummaryRow> bands;  // in the plug-in's order
    SummaryRow total;
    long long dupes = 0, badQsos = 0, score = 0;

    const SummaryRow* band(std::string_view name) const;
};

// False when the text lacks the totals or the score line (an HTML summary, or a plug-in
// that lays it out otherwise).
bool parseSummary(std::string_view text, SummaryFigures& out);

}  // namespace replay
