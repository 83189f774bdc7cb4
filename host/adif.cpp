// ADIF 3 (.adi). Tags are <NAME:LENGTH[:TYPE]>, the length counting bytes of the data.
// Free header text may contain anything, so tags without a length are only an error once
// the records have begun.
#include <unordered_map>

#include "band.h"
#include "log.h"
#include "text.h"

namespace replay {

namespace {

struct Record {
    int line = 0;
    int number = 0;
    std::unordered_map<std::string, std::string> fields;  // upper-case names
    std::string error;                                     // first problem seen in the record
};

std::string field(const Record& r, const char* name) {
    auto it = r.fields.find(name);
    return it == r.fields.end() ? std::string() : std::string(trim(it->second));
}

bool buildQso(const Record& r, Qso& q, std::string& error) {
    q.line = r.line;
    q.record = r.number;
    q.call = toUpper(field(r, "CALL"));
    if (q.call.empty()) {
        error = "no CALL";
        return false;
    }
    const std::string date = field(r, "QSO_DATE"), timeOn = field(r, "TIME_ON");
    if (date.empty()) {
        error = "no QSO_DATE";
        return false;
    }
    if (!parseCompactDate(date, q.time)) {
        error = "QSO_DATE '" + printable(date) + "' is not an existing date YYYYMMDD";
        return false;
    }
    if (timeOn.empty()) {
        error = "no TIME_ON";
        return false;
    }
    if ((timeOn.size() != 4 && timeOn.size() != 6) || !parseClock(timeOn, q.time)) {
        error = "TIME_ON '" + printable(timeOn) + "' is not HHMM or HHMMSS";
        return false;
    }
    const std::string freq = field(r, "FREQ"), band = field(r, "BAND");
    if (!freq.empty() && !parseDecimalScaled(freq, 6, q.frequencyHz)) {
        error = "FREQ '" + printable(freq) + "' is not a frequency in MHz";
        return false;
    }
    if (!band.empty())
        q.band = normalizeBand(band);
    else if (!freq.empty())
        q.band = bandFromHz(q.frequencyHz);
    else {
        error = "neither BAND nor FREQ";
        return false;
    }
    const std::string mode = field(r, "MODE");
    if (mode.empty()) {
        error = "no MODE";
        return false;
    }
    q.mode = modeFromAdif(mode, field(r, "SUBMODE"));
    q.ownCall = toUpper(field(r, "STATION_CALLSIGN"));
    if (q.ownCall.empty()) q.ownCall = toUpper(field(r, "OPERATOR"));
    q.rstSent = field(r, "RST_SENT");
    q.rstReceived = field(r, "RST_RCVD");
    q.exchangeSent = field(r, "STX_STRING");
    if (q.exchangeSent.empty()) q.exchangeSent = field(r, "STX");
    q.exchangeReceived = field(r, "SRX_STRING");
    if (q.exchangeReceived.empty()) q.exchangeReceived = field(r, "SRX");
    return true;
}

}  // namespace

void parseAdif(std::string_view text, bool strict, LogData& out) {
    out.format = LogFormat::adif;
    out.formatName = "ADIF";
    bool inHeader = !text.empty() && text[0] != '<';  // free text before the first tag is a header
    bool recordsBegun = false;
    int lineNo = 1;
    size_t counted = 0;  // text before this offset has been counted into lineNo
    auto lineAt = [&](size_t offset) {
        for (; counted < offset && counted < text.size(); ++counted)
            if (text[counted] == '\n') ++lineNo;
        return lineNo;
    };
    int recordCount = 0;
    Record current;
    auto finish = [&]() -> bool {  // false: stop reading
        if (current.fields.empty() && current.error.empty()) return true;
        Qso q;
        std::string error = current.error;
        if (error.empty() && buildQso(current, q, error)) {
            out.qsos.push_back(std::move(q));
        } else {
            out.issues.push_back({current.line, current.number, error});
            if (strict) {
                out.stopped = true;
                return false;
            }
        }
        current = Record();
        return true;
    };
    auto startField = [&](size_t offset) {
        if (current.fields.empty() && current.error.empty()) {
            current.line = lineAt(offset);
            current.number = ++recordCount;
        }
    };

    size_t pos = 0;
    while (pos < text.size()) {
        size_t lt = text.find('<', pos);
        if (lt == std::string_view::npos) break;
        size_t gt = text.find('>', lt + 1);
        size_t nextLt = text.find('<', lt + 1);
        if (gt == std::string_view::npos || (nextLt != std::string_view::npos && nextLt < gt)) {
            if (inHeader && !recordsBegun) {  // a stray '<' in free header text
                pos = lt + 1;
                continue;
            }
            startField(lt);
            if (current.error.empty()) current.error = "tag '" + printable(text.substr(lt, 20)) + "' is not closed by '>'";
            if (gt == std::string_view::npos) break;
            pos = nextLt;
            continue;
        }
        std::string_view inner = trim(text.substr(lt + 1, gt - lt - 1));
        pos = gt + 1;
        size_t c1 = inner.find(':');
        std::string name = toUpper(trim(inner.substr(0, c1)));
        if (!name.empty() && name.back() == '/') name.pop_back();  // <EOR/> from some writers
        if (name == "EOH") {
            current = Record();  // fields so far were header fields
            recordCount = 0;
            inHeader = false;
            continue;
        }
        if (name == "EOR") {
            recordsBegun = true;
            inHeader = false;
            if (!finish()) return;
            continue;
        }
        std::string_view lengthText;
        if (c1 != std::string_view::npos) {
            std::string_view afterName = inner.substr(c1 + 1);
            lengthText = trim(afterName.substr(0, afterName.find(':')));
        }
        uint64_t length = 0;
        if (name.empty() || !parseUnsigned(lengthText, length)) {
            if (inHeader && !recordsBegun) continue;  // header prose such as "<created by X>"
            startField(lt);
            if (current.error.empty()) current.error = "tag <" + printable(inner, 30) + "> has no data length";
            continue;
        }
        startField(lt);
        if (length > text.size() - pos) {
            current.error = "field " + name + " declares " + std::to_string(length) + " bytes but only " +
                            std::to_string(text.size() - pos) + " remain (file truncated?)";
            pos = text.size();
            break;
        }
        current.fields[name] = std::string(text.substr(pos, size_t(length)));
        pos += size_t(length);
    }
    // A last record without <EOR> is taken as it is.
    finish();
}

}  // namespace replay
