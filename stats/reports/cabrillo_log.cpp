#include "reports/cabrillo_log.h"

#include <cstdio>

#include "ascii_text.h"
#include "whole_file.h"

namespace {

// Line breaks never reach the settings file as such.
std::string encodeBreaks(const std::string& s) { return replaceAll(replaceAll(s, "\r", "<CR>"), "\n", "<LF>"); }
std::string decodeBreaks(const std::string& s) { return replaceAll(replaceAll(s, "<CR>", "\r"), "<LF>", "\n"); }

// A value of several lines becomes several header lines with the same keyword.
std::string asHeaderLines(const std::string& encoded, const std::string& keyword) {
    return replaceAll(replaceAll(encoded, "<CR>", "\r\n" + keyword + ": "), "<LF>", "");
}

}  // namespace

std::string CabrilloLog::fileBaseFor(const std::string& ownCall) {
    const std::string base = std::string(trim(replaceAll(replaceAll(ownCall, "/", "_"), "\\", "_")));
    // HOST-QUIRK: the name of a log without an own call.
    return base.empty() ? "KVAT" : base;
}

std::string CabrilloLog::modeCode(const std::string& mode) {
    if (mode == "RTTY") return "RY";
    if (mode == "BPSK63" || mode == "BPSK62") return "PK";
    return "??";
}

bool CabrilloLog::prepareHeader(const std::string& ownCall, const DateTime&, const DateTime&, const Settings& settings,
                                HeaderDialog& dialog) {
    callsign = ownCall;
    fileBase = fileBaseFor(ownCall);

    operators = settings.get("Operators");
    if (operators.empty()) operators = ownCall;
    name = settings.get("Name");
    address = decodeBreaks(settings.get("Address"));
    claimed = settings.get("Claimed");
    email = settings.get("Email");
    club = settings.get("Club");
    soapbox = decodeBreaks(settings.get("SoapBox"));
    contest = "TALVEN-CUP";
    category = "SINGLE-OP ALL HIGH";
    arrlSection = "DX";

    CabrilloHeader h{callsign, name, address, claimed, contest, arrlSection, email, club, soapbox, operators, category};
    if (!dialog.run(h)) return false;
    callsign = h.callsign;
    operators = h.operators;
    category = h.category;
    arrlSection = h.arrlSection;
    name = h.name;
    address = encodeBreaks(h.address);
    contest = h.contest;
    email = h.email;
    club = h.club;
    soapbox = encodeBreaks(h.soapbox);

    settings.set("Operators", operators);
    settings.set("Name", name);
    settings.set("Address", address);
    settings.set("Category", category);
    settings.set("Contest", contest);
    settings.set("Email", email);
    settings.set("Club", club);
    settings.set("SoapBox", soapbox);

    soapbox = asHeaderLines(soapbox, "SOAPBOX");
    address = asHeaderLines(address, "ADDRESS");
    qsoLines.clear();
    return true;
}

void CabrilloLog::addQsoLine(const std::string& call, unsigned frequencyKhz, const std::string& modeCode,
                             const DateTime& time, const std::string& rstSent, const std::string& exchangeSent,
                             const std::string& rstReceived, const std::string& exchangeReceived) {
    // Sized from the texts themselves, so no host text can overrun it.
    const std::string when = time.format("%Y-%m-%d %H%M");
    const char* fmt = "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n";
    const auto args = [&](char* buf, size_t size) {
        return std::snprintf(buf, size, fmt, static_cast<int>(frequencyKhz), modeCode.c_str(), when.c_str(),
                             callsign.c_str(), rstSent.c_str(), exchangeSent.c_str(), call.c_str(), rstReceived.c_str(),
                             exchangeReceived.c_str());
    };
    const int n = args(nullptr, 0);
    if (n < 0) return;
    std::string line(static_cast<size_t>(n) + 1, '\0');
    args(&line[0], line.size());
    line.resize(static_cast<size_t>(n));
    qsoLines.push_back(std::move(line));
}

CabrilloLog::WriteResult CabrilloLog::writeFile(int claimedScore, const std::string& hostVersion) const {
    const std::string target = fileBase + ".cbr";
    std::string text;
    text += "START-OF-LOG: 2.0\r\n";
    // HOST-QUIRK: the blanks before the line ends of these two lines are the format's.
    text += "ARRL-SECTION: " + arrlSection + " \r\n";
    text += "CALLSIGN: " + callsign + "\r\n";
    text += "CATEGORY: " + category + "\r\n";
    text += "CLAIMED-SCORE: " + std::to_string(claimedScore) + "\r\n";
    text += "CLUB: " + club + "\r\n";
    text += "CONTEST: TALVEN-CUP \r\n";
    text += "CREATED-BY: Orba " + hostVersion + "\r\n";
    text += "NAME: " + name + "\r\n";
    text += "ADDRESS: " + address + "\r\n";
    text += "OPERATORS: " + operators + "\r\n";
    text += "EMAIL: " + email + "\r\n";
    text += "SOAPBOX: " + soapbox + "\r\n";
    for (const auto& l : qsoLines) text += l;
    text += "END-OF-LOG:\r\n";

    // A temporary name of its own, never one a stale folder or a planted link can hold.
    std::string error;
    if (!writeWholeFile(nativePath(target), text, error))
        return {false, "File not produced: " + target + " could not be written (" + error + ")"};
    return {true, "File produced: " + target};
}
