#include "reports/summary.h"

#include <cstdio>

namespace {

const char* const kCreditPlain = "Scored by the TALVEN-CUP module for Orba.";
const char* const kCreditPlainUkraine = "Scored by the TALVEN-CUP module for Orba. 73 from Ukraine!";
const char* const kCreditHtml = "TALVEN-CUP scoring module for Orba";
const char* const kCreditHtmlUkraine = "TALVEN-CUP scoring module for Orba, 73 from Ukraine";

// printf into a string sized from the arguments; host texts never meet a fixed buffer.
template <typename... Args>
void appendf(std::string& out, const char* fmt, Args... args) {
    const int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0) return;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n) + 1);
    std::snprintf(&out[at], static_cast<size_t>(n) + 1, fmt, args...);
    out.resize(at + static_cast<size_t>(n));
}

void htmlRow(std::string& out, const BandRow& r, const char* label) {
    appendf(out,
            "<tr><th><center>%s</center></th><td><center>%i</center></td><td><center>%i</center></td>"
            "<td><center>%i</center></td><td><center>%i</center></td><td><center>%i</center></td>"
            "<td><center>%i</center></td></tr>",
            label, r.qsos, r.points, r.dxcc, r.areas, r.rttyQsos, r.bpskQsos);
}

}  // namespace

std::string buildSummary(const ScoreFigures& f, const ContestData& s) {
    std::string out;
    const char* start = s.period.contestStartDayMonth.c_str();
    const char* end = s.period.contestEndDate.c_str();
    const char* call = s.own.ownCall.c_str();
    const bool ownUkraine = s.own.ownIsUkraine;
    const BandRow& t = f.total;
    if (!s.htmlOutput) {
        appendf(
            out,
            "\tTALVEN-CUP Contest %s-%s \r\n\t     Contestant: %s\r\n\tQSOs\tPoints\tDXCC\tArea\tRTTY75\tBPSK63\r\n",
            start, end, call);
        for (const BandRow& r : f.bands)
            appendf(out, "%s\t %i\t %i\t %i\t %i\t %i\t %i\r\n", r.band.c_str(), r.qsos, r.points, r.dxcc, r.areas,
                    r.rttyQsos, r.bpskQsos);
        appendf(
            out,
            "Total\t %i\t %i\t %i\t %i\t %i\t %i\r\nDupe\t %i\r\nBad QSO\t %i\r\n\r\nScore = %i * ( %i + %i) = %i \r\n",
            t.qsos, t.points, t.dxcc, t.areas, t.rttyQsos, t.bpskQsos, f.dupes, f.badQsoCount, t.points, t.dxcc,
            t.areas, f.score);
        if (s.exportRequested == 0 && !s.qsoLog.empty()) {
            appendf(
                out,
                "\r\nHourly (10min) QSO rate: %5i (%i) QSOs/hour\r\nHourly (10min) pts rate: %5i (%i) points/hour\r\n"
                "\r\nLast QSO: %i points\r\n\r\n%s",
                f.qsos60, 6 * f.qsos10, f.points60, 6 * f.points10, f.lastQsoPoints,
                ownUkraine ? kCreditPlainUkraine : kCreditPlain);
        }
        return out;
    }

    // HOST-QUIRK: the markup's odd tags ("</center></b>", "</small>", a row without "<tr>")
    // are what the host's display was made for.
    out +=
        "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; border-collapse: collapse; }"
        "th, td{ padding: 1px; text-align: middle; }th,td{ background-color: #fffac6; color: black; }</style>"
        "</head><body>";
    std::string title;
    appendf(title, "   TALVEN-CUP Contest %s-%s", start, end);
    appendf(out, "<center><b>%s</b></center><center>Contestant:  <b>%s</center></b><table>", title.c_str(), call);
    appendf(out, "<tr><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th></tr>", "Band",
            "QSOs", "Points", "DXCC", "Area", "RTTY75", "BPSK63");
    for (const BandRow& r : f.bands) htmlRow(out, r, r.band.c_str());
    htmlRow(out, t, "Total");
    const char* countRow = "<tr><th><center>%s</center></th><td><center>%i</center></td><td colspan=7> </td></tr>";
    appendf(out, countRow, "Dupe", f.dupes);
    appendf(out, countRow, "Bad QSO", f.badQsoCount);
    appendf(out, "<tr><th>%s</th><td colspan=8><center>%i * (%i + %i) = %i</center></td></tr>", "Score:", t.points,
            t.dxcc, t.areas, f.score);
    appendf(out, "<tr><th>%s</small></th><td colspan=9><center>%5i</center></td></tr>",
            "Last QSO points:", f.lastQsoPoints);
    appendf(out, "<th colspan=10><center>%s</center></th></tr>", "Rate");
    const char* rateRow = "<tr><th>%s</th><td colspan=7><center>%5i /%i</center></td></tr>";
    appendf(out, rateRow, "Hourly (10min/1 hour) QSO rate:", f.qsos60, 6 * f.qsos10);
    appendf(out, rateRow, "Hourly (10min/1 hour) pts rate:", f.points60, 6 * f.points10);
    appendf(out, "</table><h6 align=\"right\">%s</h6></body></html>", ownUkraine ? kCreditHtmlUkraine : kCreditHtml);
    return out;
}
