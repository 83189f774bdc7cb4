// ADIF 3 (.adi). Tags are <NAME:LENGTH[:TYPE]>, the length counting bytes of the data.
// Free header text may contain anything, so tags without a length are only an error once
// the records have begun.
#include <unordered_map>

#include "ascii_text.h"
#include "logs/band.h"
#include "logs/log.h"

namespace replay {

namespace {

struct Record {
    int line = 0;
    int number = 0;
    std::unordered_map<std::string, std::string> fields;  // upper-case names
    std::string error;                                    // first problem seen in the record
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
    // A frequency of 0 would reach the Cabrillo export as "QSO:     0", which no log
    // checker accepts: the band's lower edge is what loggers write for a band alone.
    if (freq.empty()) q.frequencyHz = bandLowerEdgeHz(q.band);
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

// The station's values are not part of a QSO in ADIF: a header may carry them (as fields
// named like the record fields), else every record repeats them (MY_NAME, MY_STREET, ...,
// and OPERATOR, which may change from QSO to QSO at a multi-operator station).
class StationValues {
public:
    void fromHeader(const std::unordered_map<std::string, std::string>& fields) { take(fields, 1, true); }
    void fromRecord(const Record& r) { take(r.fields, r.line, false); }

    void fill(LogHeader& h) const {
        set(h.operators, "OPERATOR");
        if (!operators_.empty() && !h.operators.given) h.operators = {true, joined(operators_, " "), operatorsLine_};
        set(h.name, "MY_NAME");
        set(h.email, "EMAIL");
        set(h.club, "CLUB");
        std::vector<std::string> lines;
        for (const std::vector<const char*>& names : std::vector<std::vector<const char*>>{
                 {"MY_STREET"}, {"MY_CITY", "MY_STATE", "MY_POSTAL_CODE"}, {"MY_COUNTRY"}}) {
            std::vector<std::string> words;
            for (const char* n : names)
                if (auto it = values_.find(n); it != values_.end() && !it->second.value.empty())
                    words.push_back(it->second.value);
            if (!words.empty()) lines.push_back(joined(words, " "));
        }
        if (!lines.empty()) {
            auto street = values_.find("MY_STREET");
            h.address = {true, joined(lines, "\n"),
                         street != values_.end() ? street->second.line : values_.begin()->second.line};
        }
        if (auto it = values_.find("CONTEST_ID"); it != values_.end()) h.contest = it->second.value;
    }

private:
    struct Value {
        std::string value;
        int line;
    };
    static std::string joined(const std::vector<std::string>& parts, const char* separator) {
        std::string out;
        for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
        return out;
    }
    void take(const std::unordered_map<std::string, std::string>& fields, int line, bool header) {
        static const char* const kNames[] = {"MY_NAME",        "MY_STREET",  "MY_CITY",   "MY_STATE",
                                             "MY_POSTAL_CODE", "MY_COUNTRY", "CONTEST_ID"};
        for (const char* n : kNames)
            if (auto it = fields.find(n); it != fields.end())
                values_.try_emplace(n, Value{std::string(trim(it->second)), line});
        // In a record these are the worked station's: only a header speaks for the own one.
        if (header)
            for (const char* n : {"EMAIL", "CLUB", "OPERATOR"})
                if (auto it = fields.find(n); it != fields.end())
                    values_.try_emplace(n, Value{std::string(trim(it->second)), line});
        if (!header) {
            auto it = fields.find("OPERATOR");
            if (it == fields.end()) return;
            const std::string op = toUpper(trim(it->second));
            if (op.empty()) return;
            for (const std::string& known : operators_)
                if (known == op) return;
            if (operators_.empty()) operatorsLine_ = line;
            operators_.push_back(op);
        }
    }
    void set(HeaderField& field, const char* name) const {
        if (auto it = values_.find(name); it != values_.end()) field = {true, it->second.value, it->second.line};
    }

    std::unordered_map<std::string, Value> values_;
    std::vector<std::string> operators_;
    int operatorsLine_ = 0;
};

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
            if (text[counted] == '\n' ||
                (text[counted] == '\r' && (counted + 1 == text.size() || text[counted + 1] != '\n')))
                ++lineNo;
        return lineNo;
    };
    int recordCount = 0;
    Record current;
    StationValues station;
    auto finish = [&]() -> bool {  // false: stop reading
        if (current.fields.empty() && current.error.empty()) return true;
        Qso q;
        std::string error = current.error;
        if (error.empty() && buildQso(current, q, error)) {
            station.fromRecord(current);
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
            if (current.error.empty())
                current.error = "tag '" + printable(text.substr(lt, 20)) + "' is not closed by '>'";
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
            station.fromHeader(current.fields);
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
    station.fill(out.header);
}

}  // namespace replay
