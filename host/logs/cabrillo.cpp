// Cabrillo 2.0 and 3.0. Loggers align the QSO columns differently (N1MM, Win-Test and
// 5MContest all do), so QSO lines are split on white space, not on the template's columns.
#include <algorithm>
#include <initializer_list>

#include "ascii_text.h"
#include "logs/band.h"
#include "logs/log.h"

namespace replay {

namespace {

bool isTransmitterId(std::string_view t) { return t == "0" || t == "1"; }

bool looksLikeCall(std::string_view t) {
    if (t.empty() || t.size() > 20) return false;
    bool digit = false, letter = false;
    for (char c : t) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            letter = true;
        else if (c != '/')
            return false;
    }
    return digit && letter;
}

std::string join(const std::vector<std::string_view>& tokens, size_t from, size_t to) {
    std::string out;
    for (size_t i = from; i < to; ++i) {
        if (!out.empty()) out += ' ';
        out += tokens[i];
    }
    return out;
}

// "WORD:" or "WORD-WORD:" at the start of a line; returns the tag without the colon.
bool headerTag(std::string_view line, std::string_view& tag) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    for (size_t i = 0; i < colon; ++i) {
        char c = line[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
            return false;
    }
    tag = line.substr(0, colon);
    return true;
}

}  // namespace

bool parseCabrilloQsoLine(std::string_view line, Qso& qso, std::string& error) {
    std::vector<std::string_view> t = splitWhitespace(line);
    if (t.empty() || !iequals(t[0], "QSO:")) {
        error = "not a QSO line";
        return false;
    }
    t.erase(t.begin());
    // freq mode date time mycall rst exch... call rst exch... [tx]
    if (t.size() < 10) {
        error = "QSO line has " + std::to_string(t.size()) +
                " fields; expected frequency, mode, date, time, own call, RST and exchange sent, "
                "call, RST and exchange received";
        return false;
    }
    std::vector<std::string_view> rest(t.begin() + 5, t.end());
    // Sent part is RST + exchange, received part is call + RST + exchange: an odd count,
    // unless a transmitter ID closes the line.
    if (rest.size() % 2 == 0) {
        if (!isTransmitterId(rest.back())) {
            error = "QSO line has an uneven number of sent and received exchange fields";
            return false;
        }
        rest.pop_back();
    }
    const size_t sent = (rest.size() - 1) / 2;  // RST + exchange fields sent
    Qso q;
    if (!parseCabrilloFrequency(t[0], q.frequencyHz, q.band)) {
        error = "frequency '" + printable(t[0]) + "' is neither kHz nor a Cabrillo band designator";
        return false;
    }
    q.mode = modeFromCabrillo(t[1]);
    if (!parseIsoDate(t[2], q.time)) {
        error = "date '" + printable(t[2]) + "' is not an existing date YYYY-MM-DD";
        return false;
    }
    if (t[3].size() != 4 || !parseClock(t[3], q.time)) {
        error = "time '" + printable(t[3]) + "' is not HHMM";
        return false;
    }
    if (!looksLikeCall(t[4])) {
        error = "own call '" + printable(t[4]) + "' is not a call sign";
        return false;
    }
    q.ownCall = toUpper(t[4]);
    q.rstSent = std::string(rest[0]);
    q.exchangeSent = join(rest, 1, sent);
    if (!looksLikeCall(rest[sent])) {
        error = "call '" + printable(rest[sent]) + "' is not a call sign";
        return false;
    }
    q.call = toUpper(rest[sent]);
    q.rstReceived = std::string(rest[sent + 1]);
    q.exchangeReceived = join(rest, sent + 2, rest.size());
    qso = std::move(q);
    return true;
}

namespace {

// ADDRESS and SOAPBOX may take several lines; the other station values one.
void takeHeaderValue(HeaderField& field, std::string_view value, int lineNo, bool multiLine) {
    if (field.given && multiLine) {
        field.value += '\n';
        field.value += value;
        return;
    }
    if (field.given) return;  // the first line that gives it counts
    field = {true, std::string(value), lineNo};
}

std::string joinWords(std::initializer_list<std::string_view> words) {
    std::string out;
    for (std::string_view w : words) {
        if (w.empty()) continue;
        if (!out.empty()) out += ' ';
        out += w;
    }
    return out;
}

}  // namespace

void parseCabrillo(std::string_view text, bool strict, LogData& out) {
    out.format = LogFormat::cabrillo;
    out.formatName = "Cabrillo";
    size_t lines = size_t(std::count(text.begin(), text.end(), '\n'));
    if (lines == 0) lines = size_t(std::count(text.begin(), text.end(), '\r'));
    out.qsos.reserve(out.qsos.size() + lines + 1);
    LogHeader& h = out.header;
    std::string categoryOperator, categoryBand, categoryPower, cityLine[3], country;
    int addressLine = 0;
    int lineNo = 0;
    size_t pos = 0;
    std::string_view raw;
    while (nextLine(text, pos, raw)) {
        std::string_view line = trim(raw);
        ++lineNo;
        if (line.empty()) continue;
        std::string_view tag;
        if (!headerTag(line, tag)) {
            out.issues.push_back({lineNo, 0, "not a Cabrillo line (no TAG: at its start): '" + printable(line) + "'"});
            if (strict) {
                out.stopped = true;
                return;
            }
            continue;
        }
        std::string_view value = trim(line.substr(tag.size() + 1));
        const std::string key = toUpper(tag);
        if (key == "QSO") {
            Qso q;
            std::string error;
            if (parseCabrilloQsoLine(line, q, error)) {
                q.line = lineNo;
                out.qsos.push_back(std::move(q));
            } else {
                out.issues.push_back({lineNo, 0, error});
                if (strict) {
                    out.stopped = true;
                    return;
                }
            }
        } else if (key == "X-QSO") {
            ++out.ignoredQsos;
        } else if (key == "START-OF-LOG") {
            out.formatName = value.empty() ? "Cabrillo" : "Cabrillo " + std::string(value);
        } else if (key == "CALLSIGN") {
            out.ownCall = toUpper(value);
        } else if (key == "OPERATORS") {
            // Some loggers write one OPERATORS line per operator.
            if (h.operators.given && !value.empty())
                h.operators.value += (h.operators.value.empty() ? "" : " ") + std::string(value);
            else
                takeHeaderValue(h.operators, value, lineNo, false);
        } else if (key == "NAME") {
            takeHeaderValue(h.name, value, lineNo, false);
        } else if (key == "ADDRESS") {
            takeHeaderValue(h.address, value, lineNo, true);
        } else if (key == "ADDRESS-CITY" || key == "ADDRESS-STATE-PROVINCE" || key == "ADDRESS-POSTALCODE") {
            cityLine[key == "ADDRESS-CITY" ? 0 : key == "ADDRESS-STATE-PROVINCE" ? 1 : 2] = std::string(value);
            if (!addressLine) addressLine = lineNo;
        } else if (key == "ADDRESS-COUNTRY") {
            country = std::string(value);
            if (!addressLine) addressLine = lineNo;
        } else if (key == "EMAIL") {
            takeHeaderValue(h.email, value, lineNo, false);
        } else if (key == "CLUB") {
            takeHeaderValue(h.club, value, lineNo, false);
        } else if (key == "SOAPBOX") {
            takeHeaderValue(h.soapbox, value, lineNo, true);
        } else if (key == "CONTEST") {
            h.contest = std::string(value);
        } else if (key == "CATEGORY") {
            h.category = std::string(value);
        } else if (key == "CATEGORY-OPERATOR") {
            categoryOperator = std::string(value);
        } else if (key == "CATEGORY-BAND") {
            categoryBand = std::string(value);
        } else if (key == "CATEGORY-POWER") {
            categoryPower = std::string(value);
        } else if (key == "CLAIMED-SCORE") {
            h.claimedScore = std::string(value);
        } else if (key == "LOCATION" || key == "ARRL-SECTION") {
            h.location = std::string(value);
        }
    }
    // Cabrillo 3.0 splits the category and the address into tags of their own; the export
    // is 2.0, with one CATEGORY line and ADDRESS lines only.
    if (h.category.empty() && !categoryOperator.empty())
        h.category = joinWords({categoryOperator, categoryBand, categoryPower});
    for (const std::string& extra : {joinWords({cityLine[0], cityLine[1], cityLine[2]}), country}) {
        if (extra.empty()) continue;
        takeHeaderValue(h.address, extra, addressLine, true);
    }
}

}  // namespace replay
