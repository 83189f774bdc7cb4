#include "analysis/page.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "ascii_text.h"

namespace replay {

namespace {

// The charts' drawing area, in the SVG's own units; the SVG scales to the page width.
constexpr double kWidth = 960, kLeft = 64, kRight = 932;

const char* const kStyle =
    "body{font:14px/1.45 system-ui,-apple-system,'Segoe UI',sans-serif;color:#1d1d1d;max-width:1000px;"
    "margin:1.5em auto;padding:0 1em}"
    "h1{font-size:1.5em;margin:.2em 0}h2{font-size:1.2em;border-bottom:1px solid #bbb;margin:1.8em 0 .6em}"
    "h3{font-size:1em;margin:1.2em 0 .4em}"
    "p.meta{color:#555;margin:.2em 0}nav a{margin-right:1em}"
    "p.note{background:#fff3cd;border:1px solid #e0c060;padding:.4em .8em}"
    "pre.summary{background:#fffac6;border:1px solid #bbb;padding:.6em .8em;tab-size:8;overflow-x:auto}"
    "iframe.summary{width:100%;height:30em;border:1px solid #bbb}"
    "table.data{border-collapse:collapse;font-variant-numeric:tabular-nums;margin:.4em 0}"
    "table.data th,table.data td{border:1px solid #c8c8c8;padding:2px 8px;text-align:right;vertical-align:top}"
    "table.data th{background:#f0f0f0;text-align:center}table.data td.text{text-align:left}table.data "
    "td.time{white-space:nowrap}"
    "table.data tr.sum td{font-weight:600;background:#f7f7f7}"
    "p.more{color:#555;font-style:italic}"
    "svg.chart{display:block;width:100%;height:auto}"
    "svg.chart text{font:11px sans-serif;fill:#444}svg.chart .grid{stroke:#ddd}svg.chart .axis{stroke:#888}"
    ".legend{margin:.2em 0 .8em}.legend span{display:inline-block;margin-right:1.2em}"
    ".legend i{display:inline-block;width:.9em;height:.9em;margin-right:.35em;vertical-align:-.1em}"
    "footer{margin-top:2.5em;color:#777;font-size:.9em}"
    "@media print{body{max-width:none;margin:0;font-size:11px}nav{display:none}"
    "section{break-inside:avoid-page}table.data{break-inside:auto}tr{break-inside:avoid}}";

// Colours of the bands, longest wavelength first; bands the plug-in names otherwise
// take the spare ones in turn.
const char* bandColour(const std::string& band, size_t index) {
    static const std::pair<const char*, const char*> kKnown[] = {{"160m", "#6b4c9a"}, {"80m", "#1f77b4"},
                                                                 {"40m", "#ff7f0e"},  {"20m", "#2ca02c"},
                                                                 {"15m", "#d62728"},  {"10m", "#9467bd"}};
    static const char* const kSpare[] = {"#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
    for (const auto& k : kKnown)
        if (band == k.first) return k.second;
    return kSpare[index % (sizeof kSpare / sizeof *kSpare)];
}
const char* const kDxccColour = "#1f77b4";
const char* const kAreaColour = "#f2a900";
const char* const kScoreColour = "#3a7d44";

std::string number(long long v) {
    // Thousands apart by a thin space, as figures read best in a table.
    std::string digits = std::to_string(v < 0 ? -v : v), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += "\xE2\x80\x89";
        out += digits[i];
    }
    return (v < 0 ? "-" : "") + out;
}

std::string fixed(double v) {
    char s[32];
    std::snprintf(s, sizeof s, "%.1f", v);
    return s;
}

std::string clock(const Timestamp& t) {
    char s[16];
    std::snprintf(s, sizeof s, "%02d:%02d", t.hour, t.minute);
    return s;
}

std::string dateTime(const Timestamp& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return s;
}

std::string binText(const TimeAxis& axis, size_t bin) {
    const Timestamp from = fromEpochSeconds(axis.start + int64_t(bin) * axis.binSeconds);
    const Timestamp to = fromEpochSeconds(axis.start + int64_t(bin + 1) * axis.binSeconds);
    return dateTime(from) + " to " + (to.day == from.day && to.month == from.month ? clock(to) : dateTime(to));
}

// Where on the chart a time falls.
double xOf(const TimeAxis& axis, int64_t t) {
    const double span = double(axis.end() - axis.start);
    const double f = span > 0 ? double(t - axis.start) / span : 0;
    return kLeft + std::clamp(f, 0.0, 1.0) * (kRight - kLeft);
}

// The step of the chart's four grid lines: the smallest of 1, 2, 5 times a power of ten
// that reaches the highest bar at the fourth line.
long long gridStep(long long highest) {
    const long long quarter = (std::max(highest, 1LL) + 3) / 4;
    for (long long p = 1;; p *= 10)
        for (long long m : {1, 2, 5})
            if (m * p >= quarter) return m * p;
}

// The time labels under a chart: about a dozen, at bin starts.
void timeLabels(std::ostringstream& s, const TimeAxis& axis, double y) {
    const size_t step = std::max<size_t>(1, (axis.bins + 11) / 12);
    int lastDay = -1;
    for (size_t b = 0; b <= axis.bins; b += step) {
        const int64_t t = axis.start + int64_t(b) * axis.binSeconds;
        const Timestamp ts = fromEpochSeconds(t);
        const double x = xOf(axis, t);
        std::string label =
            axis.binSeconds >= 86400 ? std::to_string(ts.day) + "." + std::to_string(ts.month) : clock(ts);
        s << "<line class=\"axis\" x1=\"" << fixed(x) << "\" x2=\"" << fixed(x) << "\" y1=\"" << fixed(y - 4)
          << "\" y2=\"" << fixed(y) << "\"/>";
        s << "<text x=\"" << fixed(x) << "\" y=\"" << fixed(y + 13) << "\" text-anchor=\"middle\">" << label
          << "</text>";
        if (axis.binSeconds < 86400 && ts.day != lastDay) {
            char day[16];
            std::snprintf(day, sizeof day, "%02d.%02d", ts.day, ts.month);
            s << "<text x=\"" << fixed(x) << "\" y=\"" << fixed(y + 26) << "\" text-anchor=\"middle\">" << day
              << "</text>";
            lastDay = ts.day;
        }
    }
}

struct Segment {
    long long value;
    const char* colour;
};

struct Bar {
    std::string title;
    std::vector<Segment> segments;  // stacked from the bottom
};

// A bar chart on the time axis: one <g class="bar"> per bin (its title says what the
// bin holds), one rectangle per segment that is not zero.
std::string barChart(const std::string& id, const std::string& label, const TimeAxis& axis,
                     const std::vector<Bar>& bars) {
    constexpr double kTop = 12, kBottom = 196, kHeight = 232;
    long long highest = 0;
    for (const Bar& b : bars) {
        long long sum = 0;
        for (const Segment& g : b.segments) sum += std::max(0LL, g.value);
        highest = std::max(highest, sum);
    }
    const long long step = gridStep(highest), top = 4 * step;
    const double scale = (kBottom - kTop) / double(top);
    std::ostringstream s;
    s << "<svg class=\"chart\" id=\"" << id << "\" viewBox=\"0 0 " << kWidth << " " << kHeight
      << "\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-label=\"" << htmlEscape(label) << "\">";
    for (int i = 0; i <= 4; ++i) {
        const long long v = step * i;
        const double y = kBottom - double(v) * scale;
        s << "<line class=\"grid\" x1=\"" << kLeft << "\" x2=\"" << kRight << "\" y1=\"" << fixed(y) << "\" y2=\""
          << fixed(y) << "\"/><text x=\"" << kLeft - 6 << "\" y=\"" << fixed(y + 4) << "\" text-anchor=\"end\">"
          << number(v) << "</text>";
    }
    const double slot = (kRight - kLeft) / double(axis.bins);
    const double width = std::max(1.0, slot * 0.8);
    for (size_t b = 0; b < bars.size() && b < axis.bins; ++b) {
        const double x = kLeft + slot * double(b) + (slot - width) / 2;
        s << "<g class=\"bar\"><title>" << htmlEscape(bars[b].title) << "</title>";
        double base = kBottom;
        for (const Segment& g : bars[b].segments) {
            if (g.value <= 0) continue;
            const double h = double(g.value) * scale;
            s << "<rect x=\"" << fixed(x) << "\" y=\"" << fixed(base - h) << "\" width=\"" << fixed(width)
              << "\" height=\"" << fixed(h) << "\" fill=\"" << g.colour << "\"/>";
            base -= h;
        }
        s << "</g>";
    }
    s << "<line class=\"axis\" x1=\"" << kLeft << "\" x2=\"" << kRight << "\" y1=\"" << kBottom << "\" y2=\"" << kBottom
      << "\"/>";
    timeLabels(s, axis, kBottom + 4);
    s << "</svg>";
    return s.str();
}

// The band and mode changes on the same time axis: band changes above, mode changes
// below, and behind them the ten minutes of each change that raised the warning. Marks
// that fall on one unit of the width are drawn once, so the chart stays small for any
// number of changes.
std::string changeChart(const AnalysisPage& page) {
    constexpr double kTop = 8, kMiddle = 38, kBottom = 68, kHeight = 104;
    const size_t columns = size_t(kRight - kLeft) + 1;
    std::vector<unsigned> bandAt(columns), modeAt(columns), windowAt(columns);
    auto column = [&](int64_t t) { return std::min(columns - 1, size_t(xOf(page.axis, t) - kLeft)); };
    for (const BandModeChange& c : page.changes) {
        ++(c.band ? bandAt : modeAt)[column(c.time)];
        if (c.warned)
            for (size_t x = column(c.windowStart), e = column(c.windowEnd); x <= e; ++x) ++windowAt[x];
    }
    std::ostringstream s;
    s << "<svg class=\"chart\" id=\"chart-changes\" viewBox=\"0 0 " << kWidth << " " << kHeight
      << "\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-label=\"band and mode changes\">";
    s << "<text x=\"" << kLeft - 6 << "\" y=\"" << (kTop + kMiddle) / 2 + 4 << "\" text-anchor=\"end\">band</text>";
    s << "<text x=\"" << kLeft - 6 << "\" y=\"" << (kMiddle + kBottom) / 2 + 4 << "\" text-anchor=\"end\">mode</text>";
    // Runs of neighbouring marked columns become one rectangle.
    auto runs = [&](const std::vector<unsigned>& at, double y0, double y1, const char* cls, const char* fill,
                    const char* what) {
        for (size_t x = 0; x < columns;) {
            if (!at[x]) {
                ++x;
                continue;
            }
            size_t e = x;
            unsigned count = 0;
            while (e < columns && at[e]) count += at[e++];
            s << "<rect class=\"" << cls << "\" x=\"" << fixed(kLeft + double(x)) << "\" y=\"" << y0 << "\" width=\""
              << (e - x) << "\" height=\"" << (y1 - y0) << "\" fill=\"" << fill << "\">";
            if (*what) s << "<title>" << count << " " << what << (count == 1 ? "" : "s") << "</title>";
            s << "</rect>";
            x = e;
        }
    };
    runs(windowAt, kTop, kBottom, "window", "#f4b6b6", "");
    runs(bandAt, kTop, kMiddle, "change band", "#1f4e9a", "band change");
    runs(modeAt, kMiddle, kBottom, "change mode", "#8e3b9e", "mode change");
    s << "<line class=\"axis\" x1=\"" << kLeft << "\" x2=\"" << kRight << "\" y1=\"" << kMiddle << "\" y2=\"" << kMiddle
      << "\"/><line class=\"axis\" x1=\"" << kLeft << "\" x2=\"" << kRight << "\" y1=\"" << kBottom << "\" y2=\""
      << kBottom << "\"/>";
    timeLabels(s, page.axis, kBottom + 4);
    s << "</svg>";
    return s.str();
}

void legend(std::ostringstream& s, const std::vector<std::pair<std::string, std::string>>& entries) {
    s << "<div class=\"legend\">";
    for (const auto& e : entries)
        s << "<span><i style=\"background:" << e.second << "\"></i>" << htmlEscape(e.first) << "</span>";
    s << "</div>";
}

std::string qsoTime(const PageQso& q) { return dateTime(q.time); }

std::string lineOf(const PageQso& q) {
    std::string s = q.line > 0 ? std::to_string(q.line) : std::string();
    if (q.record > 0) s += (s.empty() ? "" : " ") + std::string("(record ") + std::to_string(q.record) + ")";
    return s;
}

// The cells every QSO list begins with.
void qsoCells(std::ostringstream& s, const PageQso& q) {
    s << "<td>" << lineOf(q) << "</td><td class=\"text time\">" << qsoTime(q) << "</td><td class=\"text\">"
      << htmlEscape(q.call) << "</td><td class=\"text\">" << htmlEscape(q.band) << "</td><td class=\"text\">"
      << htmlEscape(q.mode) << "</td>";
}
const char* const kQsoHeads = "<th>Line</th><th>Time</th><th>Call</th><th>Band</th><th>Mode</th>";

template <class T>
void more(std::ostringstream& s, const CappedList<T>& list, const char* what) {
    if (list.more)
        s << "<p class=\"more\">The first " << list.items.size() << " are listed; " << number(long(list.more))
          << " more " << what << " are not.</p>";
}

void summarySection(std::ostringstream& s, const AnalysisPage& p) {
    s << "<section id=\"summary\"><h2>The plug-in's summary</h2>";
    if (p.summary.empty()) {
        s << "<p class=\"note\">The plug-in returned no summary.</p>";
    } else if (p.summaryIsHtml) {
        // Its own HTML document, kept apart so that neither page's style reaches the other.
        s << "<iframe class=\"summary\" title=\"the plug-in's summary\" sandbox srcdoc=\"" << htmlEscape(p.summary)
          << "\"></iframe>";
    } else {
        std::string text;
        for (char c : p.summary)
            if (c != '\r') text += c;
        s << "<pre class=\"summary\">" << htmlEscape(text) << "</pre>";
    }
    s << "</section>";
}

void bandSection(std::ostringstream& s, const AnalysisPage& p) {
    s << "<section id=\"bands\"><h2>Bands and modes</h2>";
    s << "<table class=\"data\" id=\"table-bands\"><tr><th>Band</th><th>Mode</th><th>QSOs</th><th>Points</th>"
         "<th>DXCC</th><th>Areas</th></tr>";
    auto row = [&](const std::string& band, const std::string& mode, long long q, long long pts, long long d,
                   long long a, bool sum) {
        s << "<tr" << (sum ? " class=\"sum\"" : "") << "><td class=\"text\">" << htmlEscape(band)
          << "</td><td class=\"text\">" << htmlEscape(mode) << "</td><td>" << number(q) << "</td><td>" << number(pts)
          << "</td><td>" << number(d) << "</td><td>" << number(a) << "</td></tr>";
    };
    for (const BandModeRow& r : p.bandModes)
        row(r.band, r.mode.empty() ? "all" : r.mode, r.qsos, r.points, r.dxcc, r.areas, r.mode.empty());
    row("Total", "", p.total.qsos, p.total.points, p.total.dxcc, p.total.areas, true);
    s << "</table><p class=\"meta\">QSOs that count, their points and the multipliers, as the plug-in's summary "
         "gives them for each band; the rows of each mode come from the plug-in scoring the QSOs of that mode "
         "alone.</p></section>";
}

void timeSections(std::ostringstream& s, const AnalysisPage& p) {
    const TimeAxis& axis = p.axis;
    const long long hours = axis.binSeconds / 3600;
    const std::string per = hours == 1        ? "hour"
                            : hours == 24     ? "day"
                            : hours % 24 == 0 ? std::to_string(hours / 24) + " days"
                                              : std::to_string(hours) + " hours";
    // QSOs per bin, stacked by band.
    std::vector<Bar> bars(axis.bins);
    for (size_t b = 0; b < p.bins.size() && b < axis.bins; ++b) {
        long long sum = 0;
        std::string parts;
        for (size_t i = 0; i < p.bands.size(); ++i) {
            const long long v = i < p.bins[b].qsos.size() ? p.bins[b].qsos[i] : 0;
            bars[b].segments.push_back({v, bandColour(p.bands[i], i)});
            sum += v;
            if (v) parts += (parts.empty() ? ": " : ", ") + p.bands[i] + " " + std::to_string(v);
        }
        bars[b].title = binText(axis, b) + ": " + std::to_string(sum) + " QSO" + (sum == 1 ? "" : "s") + parts;
    }
    s << "<section id=\"rate\"><h2>QSOs per " << per << "</h2>";
    s << barChart("chart-rate", "QSOs per " + per, axis, bars);
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t i = 0; i < p.bands.size(); ++i) entries.push_back({p.bands[i], bandColour(p.bands[i], i)});
    legend(s, entries);
    s << "<p class=\"meta\">The QSOs that count, per " << per << " (UTC).</p></section>";

    // The running score.
    for (size_t b = 0; b < axis.bins; ++b) {
        const long long v = b < p.bins.size() ? p.bins[b].score : 0;
        bars[b].segments = {{v, kScoreColour}};
        bars[b].title = "score at " + dateTime(fromEpochSeconds(axis.start + int64_t(b + 1) * axis.binSeconds)) + ": " +
                        std::to_string(v);
    }
    s << "<section id=\"score\"><h2>Running score</h2>" << barChart("chart-score", "running score", axis, bars)
      << "<p class=\"meta\">The plug-in's score for the QSOs up to the end of each bar.</p></section>";

    // New multipliers.
    long long dxcc = 0, areas = 0;
    for (size_t b = 0; b < axis.bins; ++b) {
        const long long d = b < p.bins.size() ? p.bins[b].newDxcc : 0, a = b < p.bins.size() ? p.bins[b].newAreas : 0;
        dxcc += d;
        areas += a;
        bars[b].segments = {{d, kDxccColour}, {a, kAreaColour}};
        bars[b].title = binText(axis, b) + ": " + std::to_string(d) + " new DXCC, " + std::to_string(a) +
                        " new areas (" + std::to_string(dxcc) + " and " + std::to_string(areas) + " so far)";
    }
    s << "<section id=\"multipliers\"><h2>New multipliers per " << per << "</h2>"
      << barChart("chart-multipliers", "new multipliers per " + per, axis, bars);
    legend(s, {{"DXCC", kDxccColour}, {"areas", kAreaColour}});
    s << "<p class=\"meta\">Each band and mode counts its own multipliers.</p></section>";

    // Band and mode changes.
    s << "<section id=\"changes\"><h2>Band and mode changes</h2>" << changeChart(p);
    legend(s, {{"band change", "#1f4e9a"}, {"mode change", "#8e3b9e"}, {"ten-minute window", "#f4b6b6"}});
    s << "<table class=\"data\" id=\"table-changes\"><tr><th>Band changes</th><th>Mode changes</th>"
         "<th>Less than ten minutes after the QSO before</th></tr><tr><td>"
      << p.bandChanges << "</td><td>" << p.modeChanges << "</td><td>" << p.warnedChanges.size() << "</td></tr></table>";
    s << "<p class=\"meta\">A change of band or mode less than ten minutes after the QSO before it raises the "
         "plug-in's band-change warning: its lamp stays red for the ten minutes after that QSO (shaded). These "
         "changes are listed below.</p>";
    if (p.warnedChanges.size()) {
        s << "<table class=\"data\" id=\"table-warned\"><tr>" << kQsoHeads
          << "<th>Change</th><th>Minutes after the QSO before</th></tr>";
        for (const auto& [c, q] : p.warnedChanges.items) {
            s << "<tr>";
            qsoCells(s, q);
            s << "<td class=\"text\">" << (c.band ? "band " : "mode ") << htmlEscape(c.from) << " to "
              << htmlEscape(c.to) << "</td><td>" << (c.time - c.windowStart) / 60 << "</td></tr>";
        }
        s << "</table>";
        more(s, p.warnedChanges, "changes");
    }
    s << "</section>";
}

void notCountedSection(std::ostringstream& s, const AnalysisPage& p) {
    s << "<section id=\"not-counted\"><h2>QSOs that do not count (" << p.notCounted.size() << ")</h2>";
    if (!p.notCounted.size()) {
        s << "<p>The plug-in counted every QSO.</p></section>";
        return;
    }
    s << "<table class=\"data\" id=\"table-not-counted\"><tr>" << kQsoHeads
      << "<th>The plug-in's reason</th><th>In its log</th></tr>";
    for (const NotCountedQso& n : p.notCounted.items) {
        s << "<tr>";
        qsoCells(s, n.qso);
        s << "<td class=\"text\">" << htmlEscape(n.reasons) << "</td><td class=\"text\">"
          << (n.logged ? "yes, not counted" : "no, refused") << "</td></tr>";
    }
    s << "</table>";
    more(s, p.notCounted, "QSOs");
    s << "</section>";
}

void callSection(std::ostringstream& s, const AnalysisPage& p) {
    s << "<section id=\"calls\"><h2>Calls to check</h2>";
    s << "<h3>Worked once (" << p.callsToCheck.size() << ")</h3><p class=\"meta\">Calls in one QSO only that ";
    if (p.scpChecked) s << "are not in the super-check-partial list " << htmlEscape(p.scpName) << ", or ";
    s << "are one character (wrong, missing or extra) from a call worked more often: a busted call is likely.</p>";
    if (p.callsToCheck.size()) {
        s << "<table class=\"data\" id=\"table-calls\"><tr>" << kQsoHeads << "<th>Why</th></tr>";
        for (const CallToCheck& c : p.callsToCheck.items) {
            std::string why = c.notInScp ? "not in the list" : "";
            if (!c.nearCalls.empty()) {
                why += why.empty() ? "one edit from " : "; one edit from ";
                for (size_t i = 0; i < c.nearCalls.size(); ++i) why += (i ? ", " : "") + c.nearCalls[i];
            }
            s << "<tr>";
            qsoCells(s, c.qso);
            s << "<td class=\"text\">" << htmlEscape(why) << "</td></tr>";
        }
        s << "</table>";
        more(s, p.callsToCheck, "calls");
    }
    s << "<h3>Not placed by the country file (" << p.unplaced.size() << ")</h3>";
    if (p.unplaced.size()) {
        s << "<p class=\"meta\">The plug-in got these calls without a DXCC prefix and continent.</p>"
             "<table class=\"data\" id=\"table-unplaced\"><tr><th>Call</th><th>QSOs</th><th>First line</th>"
             "<th>First time</th></tr>";
        for (const UnplacedCall& u : p.unplaced.items)
            s << "<tr><td class=\"text\">" << htmlEscape(u.call) << "</td><td>" << u.qsos << "</td><td>"
              << lineOf(u.first) << "</td><td class=\"text\">" << qsoTime(u.first) << "</td></tr>";
        s << "</table>";
        more(s, p.unplaced, "calls");
    }
    s << "</section>";
}

void crossSection(std::ostringstream& s, const AnalysisPage& p) {
    s << "<section id=\"cross-check\"><h2>Cross-check of " << p.crossLogs.size() << " logs</h2>";
    s << "<p class=\"meta\">Every QSO between two of these stations must be in both logs on the same band and "
         "mode, at most "
      << p.toleranceMinutes << " minute" << (p.toleranceMinutes == 1 ? "" : "s")
      << " apart, each log holding the other's call and what the other sent. The checked score is the plug-in's "
         "score of the log without the QSOs that fail.</p>";
    s << "<table class=\"data\" id=\"table-cross-logs\"><tr><th>Station</th><th>Log</th><th>QSOs</th>"
         "<th>With these stations</th><th>Not in the other log</th><th>Busted call</th><th>Busted exchange</th>"
         "<th>Claimed score (the log's / the plug-in's)</th><th>Checked score</th></tr>";
    for (const CrossLogRow& r : p.crossLogs) {
        s << "<tr><td class=\"text\">" << htmlEscape(r.call) << "</td><td class=\"text\">" << htmlEscape(r.file)
          << "</td><td>" << number(long(r.qsos)) << "</td><td>" << r.checked << "</td><td>" << r.notInOtherLog
          << "</td><td>" << r.bustedCall << "</td><td>" << r.bustedExchange << "</td>";
        s << "<td>" << (r.claimedInLog.empty() ? std::string("&ndash;") : htmlEscape(r.claimedInLog)) << " / "
          << (r.haveScores ? number(r.claimed) : std::string("?")) << "</td><td>"
          << (r.haveScores ? number(r.checkedScore) : std::string("?")) << "</td>";
        s << "</tr>";
    }
    s << "</table>";
    if (p.mismatches.size()) {
        s << "<h3>QSOs that fail (" << p.mismatches.size() << ")</h3><table class=\"data\" id=\"table-mismatches\">"
          << "<tr><th>Station</th>" << kQsoHeads << "<th>Finding</th><th>The other log</th></tr>";
        for (const CrossMismatch& m : p.mismatches.items) {
            s << "<tr><td class=\"text\">" << htmlEscape(m.station) << "</td>";
            qsoCells(s, m.qso);
            s << "<td class=\"text\">" << findingText(m.finding) << "</td><td class=\"text\">" << htmlEscape(m.detail)
              << "</td></tr>";
        }
        s << "</table>";
        more(s, p.mismatches, "QSOs");
        if (p.mismatches.more)
            s << "<p class=\"more\">"
              << (p.findingsFile.empty() ? std::string("--findings FILE.csv writes them all.")
                                         : "All of them are in " + htmlEscape(p.findingsFile) + ".")
              << "</p>";
    } else {
        s << "<p>Every QSO between these stations is in both logs alike.</p>";
    }
    s << "</section>";
}

}  // namespace

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\'':
                    out += "&#39;";
                    break;
                default:
                    // Control characters other than line ends and TABs are not text.
                    if (c < 0x20 && c != '\n' && c != '\t')
                        out += "\xEF\xBF\xBD";
                    else
                        out += char(c);
            }
            ++i;
            continue;
        }
        // A well-formed UTF-8 sequence passes; any other byte becomes U+FFFD.
        size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
        if (c >= 0xF5) n = 0;
        bool ok = n > 0 && i + n <= text.size();
        for (size_t k = 1; ok && k < n; ++k) ok = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (ok && n == 3) {
            const unsigned char d = static_cast<unsigned char>(text[i + 1]);
            ok = !(c == 0xE0 && d < 0xA0) && !(c == 0xED && d >= 0xA0);
        }
        if (ok && n == 4) {
            const unsigned char d = static_cast<unsigned char>(text[i + 1]);
            ok = !(c == 0xF0 && d < 0x90) && !(c == 0xF4 && d >= 0x90);
        }
        if (ok) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string renderPage(const AnalysisPage& p) {
    std::ostringstream s;
    s << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      << "<meta name=\"generator\" content=\"talven-replay " << htmlEscape(p.version) << "\">"
      << "<title>TALVEN-CUP analysis: " << htmlEscape(p.ownCall) << "</title><style>" << kStyle
      << "</style></head>\n<body>\n";
    s << "<header><h1>TALVEN-CUP analysis: " << htmlEscape(p.ownCall) << "</h1><p class=\"meta\">"
      << htmlEscape(p.logFile) << " (" << htmlEscape(p.formatName) << "), " << number(long(p.qsoCount))
      << " QSOs; contest period " << dateTime(p.start) << " to " << dateTime(p.end)
      << " UTC. Every figure is the Stats plug-in's, from replays of the log through its exports.</p></header>\n";
    s << "<nav>";
    if (p.crossChecked) s << "<a href=\"#cross-check\">Cross-check</a>";
    s << "<a href=\"#summary\">Summary</a><a href=\"#bands\">Bands</a><a href=\"#rate\">Rate</a>"
         "<a href=\"#score\">Score</a><a href=\"#multipliers\">Multipliers</a><a href=\"#changes\">Changes</a>"
         "<a href=\"#not-counted\">Not counted</a><a href=\"#calls\">Calls to check</a>";
    s << "</nav>\n";
    for (const std::string& n : p.notes) s << "<p class=\"note\">" << htmlEscape(n) << "</p>\n";
    // A sponsor's checker reads the cross-check first; the first log's analysis follows.
    if (p.crossChecked) {
        crossSection(s, p);
        s << "\n<h2 class=\"part\">The log of " << htmlEscape(p.ownCall) << "</h2>\n";
    }
    summarySection(s, p);
    s << "\n";
    if (p.haveFigures) {
        bandSection(s, p);
        s << "\n";
        timeSections(s, p);
        s << "\n";
    }
    notCountedSection(s, p);
    s << "\n";
    callSection(s, p);
    s << "\n";
    s << "<footer>Made by talven-replay " << htmlEscape(p.version)
      << " with the Stats plug-in for Orba. Times are UTC.</footer>\n</body></html>\n";
    return s.str();
}

}  // namespace replay
