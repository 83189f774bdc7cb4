// Drives the exported functions with arbitrary call sequences and checks, after every
// call, what must always hold: not only that nothing crashes (AddressSanitizer and
// UndefinedBehaviorSanitizer watch that) but that the answers are right. The input is
// read as a little program: each step picks an export and takes its arguments from the
// bytes that follow, texts either from a small dictionary (so that dupes, Ukrainian
// areas and removals actually meet) or raw (null, long, high bytes).
//
// The harness keeps a model of its own, written from the contest's rules and not from
// the plug-in's code: which QSOs the log must hold with which marks, and which entries
// the bad-QSO report must hold. After each call it checks
//   - the log holds exactly the model's QSOs: none the band, mode or exchange rule
//     refuses, each dupe and bad area marked as the model says;
//   - every refusal and mark has its report entry, and the file holds the header line
//     and exactly those entries (a removal takes out entries by the report's own
//     call-and-time filter, which the model applies too);
//   - the score in the summary equals (DXCC + areas) x points recomputed from the log,
//     and the Bad QSO and Dupe lines count what the model counts;
//   - the index gives the answers of a plain scan of the log, and so does the call check;
//   - an export run leaves a whole Cabrillo file and no temporary file behind.
// A broken invariant aborts with a message, so that libFuzzer keeps the input.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <new>
#include <string>
#include <vector>

#include "exports.h"
#include "plugin.h"
#include "reports/cabrillo_log.h"

namespace {

FILE* g_out = stderr;  // stays open when libFuzzer closes standard error (-close_fd_mask)

[[noreturn]] void broken(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::fprintf(g_out, "INVARIANT BROKEN: ");
    std::vfprintf(g_out, fmt, args);
    std::fprintf(g_out, "\n");
    va_end(args);
    std::fflush(g_out);
    std::abort();
}
#define CHECK(cond, ...)                  \
    do {                                  \
        if (!(cond)) broken(__VA_ARGS__); \
    } while (0)

using Dict = std::vector<const char*>;
const Dict kCalls = {"DL1AA", "UT1AA", "dl1aa", "UT1A", "UR5XYZ", "OK1XYZ/P", ""};
const Dict kBands = {"80m", "40m", "20m", "15m", "10m", "160m", "80M", "", "2m"};
const Dict kModes = {"RTTY", "BPSK63", "rtty", "PSK31", "BPSK62", ""};
const Dict kPrefixes = {"UR", "DL", "OK", "", "ur"};
const Dict kContinents = {"EU", "AS", "NA", ""};
const Dict kExchanges = {"KV", "kv ", " KR", "XX", "001", "599", "", "SL"};

class Input {
public:
    Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool empty() const { return p_ >= end_; }
    uint8_t byte() { return empty() ? 0 : *p_++; }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return v;
    }
    // A dictionary entry, a null pointer or raw bytes (up to 255, no zero byte).
    const char* text(const Dict& dict) {
        const uint8_t b = byte();
        if (b == 0xFF) return nullptr;
        if (b < 0xC0) return dict[b % dict.size()];
        const uint8_t n = byte();
        std::string s;
        for (uint8_t i = 0; i < n && !empty(); ++i) {
            const char c = static_cast<char>(byte());
            if (c) s.push_back(c);
        }
        keep_.push_back(std::move(s));
        return keep_.back().c_str();
    }
    // Mostly minutes of a contest weekend; sometimes NaN, huge, infinite or null.
    const OleDateTime* time() {
        const uint8_t kind = byte();
        if (kind % 7 == 6) return nullptr;
        const uint32_t raw = u32();
        double v = 43085.5 + static_cast<double>(raw % 4096) / 1440.0;
        if (kind % 7 == 5) v = (raw & 1) ? std::nan("") : static_cast<double>(raw) * 1e300;
        times_.push_back(OleDateTime{v, static_cast<int32_t>(kind % 7 == 4 ? raw % 5 : 0)});
        return &times_.back();
    }
    void release() {
        keep_.clear();
        times_.clear();
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

private:
    const uint8_t* p_;
    const uint8_t* end_;
    // Deques: what was handed out stays where it is while more is added.
    std::deque<std::string> keep_;
    std::deque<OleDateTime> times_;
};

std::string str(const char* s) { return s ? s : ""; }
std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}
std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}
bool oneOf(const std::string& s, std::initializer_list<const char*> set) {
    for (const char* x : set)
        if (s == x) return true;
    return false;
}
const std::initializer_list<const char*> kAreas = {"CH", "CN", "CR", "DN", "DO", "HA", "HE", "HM", "IF",
                                                   "KI", "KO", "KV", "LU", "LV", "NI", "OD", "PO", "RI",
                                                   "SU", "TE", "VI", "VO", "ZA", "ZH", "ZP", "KR", "SL"};

// --- the model ---------------------------------------------------------------------

struct ModelQso {
    std::string call, band, mode, prefix, continent, area;
    DateTime time;
    bool dupe = false, bad = false;
};
struct ModelEntry {
    std::string text;
    bool counted;
};

struct Model {
    std::vector<ModelQso> log;
    std::vector<ModelEntry> report;
    std::string reportFile;  // empty until a run starts
    bool ownUkraine = false, ownEurope = false;
    std::string ownContinent, fileBase;
    bool exporting = false;
};

void record(Model& m, const QsoArgs& a, const char* message, bool counted) {
    std::string text = "QSO:  " + std::to_string(a.frequencyHz / 1000);
    for (const std::string& piece : {a.mode, a.time.format("%Y-%m-%d %H%M"), a.ownCall, a.rstSent, a.exchangeSent,
                                     a.call, a.rstReceived, a.exchangeReceived})
        text += "  " + piece;
    m.report.push_back({text + message, counted});
}

// Judges a QSO as the contest's rules say; true when it enters the log.
bool modelAdd(Model& m, const QsoArgs& a) {
    if (!oneOf(lower(a.band), {"80m", "40m", "20m", "15m", "10m"})) {
        record(m, a, "   WRONG BAND !!!", true);
        return false;
    }
    if (!oneOf(lower(a.mode), {"rtty", "bpsk63"})) {
        record(m, a, "   WRONG MODE !!!", true);
        return false;
    }
    if (a.exchangeReceived.empty() || a.exchangeSent.empty()) {
        record(m, a, "   NO RX NUMBER !!!", true);
        return false;
    }
    ModelQso q{a.call, a.band, a.mode, a.prefix, a.continent, "", a.time};
    if (a.prefix == "UR") {
        const std::string code = trim(upper(a.exchangeReceived));
        if (oneOf(code, kAreas)) {
            q.area = code;
        } else {
            q.bad = true;
            record(m, a, "   Ukrainan Code Area is not acceptable \n !!!", true);
        }
    }
    for (const ModelQso& e : m.log)
        if (e.call == q.call && e.band == q.band && e.mode == q.mode) q.dupe = true;
    if (q.dupe) record(m, a, "   DUPE !!!", false);
    m.log.push_back(q);
    return true;
}

void modelRemove(Model& m, const QsoArgs& a) {
    for (size_t i = 0; i < m.log.size(); ++i) {
        const ModelQso& e = m.log[i];
        if (e.call == a.call && e.band == a.band && e.mode == a.mode && e.time.sameAs(a.time)) {
            m.log.erase(m.log.begin() + static_cast<long>(i));
            break;
        }
    }
    const std::string hhmm = " " + a.time.format("%H%M") + " ";
    std::vector<ModelEntry> kept;
    for (const ModelEntry& e : m.report) {
        const std::string first = e.text.substr(0, e.text.find('\n'));
        if (first.find(a.call) != std::string::npos && first.find(hhmm) != std::string::npos) continue;
        kept.push_back(e);
    }
    m.report = kept;
}

// --- the checks ----------------------------------------------------------------------

// The same value as the host passed it (NaN included).
bool stored(const DateTime& a, const DateTime& b) {
    return a.status() == b.status() && (a.days() == b.days() || (std::isnan(a.days()) && std::isnan(b.days())));
}

std::string readFile(const std::string& name) {
    std::string text;
    if (FILE* f = std::fopen(name.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

void checkLogAndIndex(const Model& m) {
    const auto d = thePlugin().state().lock();
    const auto& log = d->qsoLog;
    CHECK(log.size() == m.log.size(), "log holds %zu QSOs, the rules %zu", log.size(), m.log.size());
    for (size_t i = 0; i < log.size(); ++i) {
        const CInfo& q = log[i];
        const ModelQso& e = m.log[i];
        CHECK(oneOf(lower(q.band), {"80m", "40m", "20m", "15m", "10m"}), "log entry %zu on band '%s'", i,
              q.band.c_str());
        CHECK(oneOf(lower(q.mode), {"rtty", "bpsk63"}), "log entry %zu in mode '%s'", i, q.mode.c_str());
        CHECK(!q.exchangeReceived.empty() && !q.exchangeSent.empty(), "log entry %zu without exchange", i);
        CHECK(q.call == e.call && q.band == e.band && q.mode == e.mode && stored(q.time, e.time),
              "log entry %zu is '%s', expected '%s'", i, q.call.c_str(), e.call.c_str());
        CHECK((q.dupe != 0) == e.dupe && (q.bad != 0) == e.bad && (q.notCounted != 0) == (e.dupe || e.bad),
              "log entry %zu '%s' marked dupe %d bad %d", i, q.call.c_str(), q.dupe, q.bad);
        CHECK(q.area == e.area, "log entry %zu area '%s', expected '%s'", i, q.area.c_str(), e.area.c_str());
        bool worked = false;
        for (const auto& b : d->workedBands) worked = worked || b == q.band;
        CHECK(worked, "band '%s' of entry %zu is not among the worked bands", q.band.c_str(), i);
    }
    // The index against plain scans, for every entry's keys.
    const auto first = [&](auto match) {
        for (size_t j = 0; j < log.size(); ++j)
            if (match(log[j])) return static_cast<int>(j);
        return -1;
    };
    for (const CInfo& q : log) {
        const auto same = [&](const CInfo& o) { return o.call == q.call && o.band == q.band && o.mode == q.mode; };
        CHECK(d->index.hasCall(q.call, q.band, q.mode), "index misses '%s'", q.call.c_str());
        CHECK(d->index.findQso(q.call, q.band, q.mode, q.time) ==
                  first([&](const CInfo& o) { return same(o) && o.time.sameAs(q.time); }),
              "index finds another QSO of '%s'", q.call.c_str());
        CHECK(d->index.firstWithPrefix(q.band, q.mode, q.prefix) ==
                  first([&](const CInfo& o) { return o.band == q.band && o.mode == q.mode && o.prefix == q.prefix; }),
              "index finds another first entry of prefix '%s'", q.prefix.c_str());
        CHECK(d->index.firstWithArea(q.band, q.mode, q.area) ==
                  first([&](const CInfo& o) { return o.band == q.band && o.mode == q.mode && o.area == q.area; }),
              "index finds another first entry of area '%s'", q.area.c_str());
        std::vector<int> all;
        for (size_t j = 0; j < log.size(); ++j)
            if (log[j].call == q.call) all.push_back(static_cast<int>(j));
        CHECK(d->index.entriesOfCall(q.call) == all, "index lists other entries of '%s'", q.call.c_str());
    }
}

void checkReport(const Model& m) {
    if (m.reportFile.empty()) return;
    std::string expected = "TALVEN-CUP TEST UBN file \n";
    for (const ModelEntry& e : m.report) expected += e.text + "\n";
    const std::string actual = readFile(m.reportFile);
    CHECK(actual.compare(0, 26, "TALVEN-CUP TEST UBN file \n") == 0, "the report does not start with its header");
    CHECK(actual == expected, "the report holds %zu bytes, the model %zu", actual.size(), expected.size());
}

// The first `count` numbers of the text from position `at` on.
std::vector<long long> numbersAfter(const std::string& text, size_t at, size_t count) {
    std::vector<long long> out;
    while (at < text.size() && out.size() < count) {
        const char c = text[at];
        if ((c >= '0' && c <= '9') ||
            (c == '-' && at + 1 < text.size() && text[at + 1] >= '0' && text[at + 1] <= '9')) {
            char* end = nullptr;
            out.push_back(std::strtoll(text.c_str() + at, &end, 10));
            at = static_cast<size_t>(end - text.c_str());
        } else {
            ++at;
        }
    }
    return out;
}

void checkSummary(const Model& m, const std::string& summary) {
    // The score recomputed from the log: points per band and multipliers per band and mode.
    long long points = 0, dxcc = 0, areas = 0;
    int dupes = 0;
    std::vector<std::string> bands;
    for (const ModelQso& q : m.log)
        if (std::find(bands.begin(), bands.end(), q.band) == bands.end()) bands.push_back(q.band);
    for (const std::string& band : bands) {
        long long bandPoints = 0;
        std::vector<std::string> seen[2][2];  // [RTTY, BPSK63][prefix, area]
        for (const ModelQso& q : m.log) {
            if (q.band != band || q.call.empty()) continue;
            dupes += q.dupe ? 1 : 0;
            if (q.dupe || q.bad) continue;
            if (m.ownUkraine)
                bandPoints += q.continent == m.ownContinent ? 1 : 3;
            else if (q.prefix == "UR")
                bandPoints += m.ownEurope ? 5 : 10;
            else
                bandPoints += q.continent == m.ownContinent ? 1 : 3;
            const int mode = q.mode == "RTTY" ? 0 : (q.mode == "BPSK63" ? 1 : -1);
            if (mode < 0) continue;
            auto& prefixes = seen[mode][0];
            if (std::find(prefixes.begin(), prefixes.end(), q.prefix) == prefixes.end()) prefixes.push_back(q.prefix);
            auto& areaList = seen[mode][1];
            if (!q.area.empty() && std::find(areaList.begin(), areaList.end(), q.area) == areaList.end())
                areaList.push_back(q.area);
        }
        points += (band == "80m" ? 2 : 1) * bandPoints;
        for (auto& mode : seen) {
            dxcc += static_cast<long long>(mode[0].size());
            areas += static_cast<long long>(mode[1].size());
        }
    }
    const int score = static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>((dxcc + areas) * points)));
    int badCount = 0;
    for (const ModelEntry& e : m.report) badCount += e.counted ? 1 : 0;

    const bool html = summary.compare(0, 6, "<html>") == 0;
    const size_t scoreAt = summary.rfind(html ? "Score:</th>" : "Score = ");
    CHECK(scoreAt != std::string::npos, "no score in the summary");
    const auto s = numbersAfter(summary, summary.find(html ? "<center>" : "=", scoreAt), 4);
    CHECK(s.size() == 4 && s[0] == points && s[1] == dxcc && s[2] == areas && s[3] == score,
          "summary scores %lld * (%lld + %lld) = %lld; the log gives %lld * (%lld + %lld) = %d",
          s.size() > 0 ? s[0] : -1, s.size() > 1 ? s[1] : -1, s.size() > 2 ? s[2] : -1, s.size() > 3 ? s[3] : -1,
          points, dxcc, areas, score);
    const size_t badAt = summary.rfind(html ? "Bad QSO</center>" : "Bad QSO\t");
    const size_t dupeAt = summary.rfind(html ? "Dupe</center>" : "Dupe\t");
    CHECK(badAt != std::string::npos && dupeAt != std::string::npos, "no Dupe or Bad QSO line");
    const auto bad = numbersAfter(summary, badAt, 1);
    const auto dupe = numbersAfter(summary, dupeAt, 1);
    CHECK(bad.size() == 1 && bad[0] == badCount, "summary counts %lld bad QSOs, the report %d", bad.at(0), badCount);
    CHECK(dupe.size() == 1 && dupe[0] == dupes, "summary counts %lld dupes, the log %d", dupe.at(0), dupes);
}

void checkExport(const Model& m) {
    const std::string name = m.fileBase + ".cbr";
    const std::string text = readFile(name);
    if (name.size() < 200) {
        CHECK(text.compare(0, 19, "START-OF-LOG: 2.0\r\n") == 0, "the Cabrillo file %s does not start right",
              name.c_str());
        CHECK(text.size() >= 13 && text.compare(text.size() - 13, 13, "END-OF-LOG:\r\n") == 0,
              "the Cabrillo file %s does not end right", name.c_str());
    }
    std::remove(name.c_str());
    DIR* dir = opendir(".");
    while (dirent* e = dir ? readdir(dir) : nullptr) {
        const size_t n = std::strlen(e->d_name);
        CHECK(n < 4 || std::strcmp(e->d_name + n - 4, ".tmp") != 0, "a temporary file stayed: %s", e->d_name);
    }
    if (dir) closedir(dir);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Invariant messages go to a copy of standard error, which libFuzzer may close.
    if (FILE* f = fdopen(dup(2), "w")) g_out = f;
    // The settings file lives in Plugins/ of the current folder (the fuzz script gives
    // each run a folder of its own).
    std::system("mkdir -p Plugins");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Every input starts from a plug-in just loaded and no settings file, so that it
    // replays alone exactly as it ran.
    Plugin& plugin = thePlugin();
    plugin.~Plugin();
    new (&plugin) Plugin(defaultPlatform());
    std::remove("Plugins/TALVENA-CUP.ini");

    Model m;
    Input in(data, size);
    const char* e = "";
    int steps = 0;
    bool last = false;
    while (!last) {
        last = in.empty() || ++steps > 64;
        in.release();
        switch (last ? 4 : in.byte() % 7) {
            case 0: {
                const char* call = in.text(kCalls);
                const char* prefix = in.text(kPrefixes);
                const char* continent = in.text(kContinents);
                const OleDateTime* start = in.time();
                const OleDateTime* end = in.time();
                const char* folder = in.text({"host/", "", "Plugins/"});
                const int exportRequested = (in.byte() % 4 == 0) ? 1 : 0;
                CHECK(ResetStats0(folder, exportRequested, call, start, end, e, e, e, e, e, e, e, e, e, prefix, 0, 0, 0,
                                  0, 0, e, continent, e) == 1,
                      "ResetStats0 failed");
                m.log.clear();
                m.report.clear();
                m.reportFile = BadQsoReport::fileNameFor(DateTime::fromHost(end));
                m.ownUkraine = m.ownUkraine || str(prefix) == "UR";
                m.ownEurope = m.ownEurope || str(continent) == "EU";
                m.ownContinent = str(continent);
                m.fileBase = CabrilloLog::fileBaseFor(str(call));
                m.exporting = exportRequested != 0;
                break;
            }
            case 1:
            case 2:
            case 3: {
                QsoArgs a;
                const char* call = in.text(kCalls);
                const char* band = in.text(kBands);
                const char* mode = in.text(kModes);
                const char* exchangeSent = (in.byte() & 7) ? "001" : in.text(kExchanges);
                const char* exchange = in.text(kExchanges);
                const char* prefix = in.text(kPrefixes);
                const char* continent = in.text(kContinents);
                const OleDateTime* t = in.time();
                const unsigned freq = in.u32();
                a.ownCall = "OK1XYZ";
                a.call = str(call);
                a.time = DateTime::fromHost(t);
                a.frequencyHz = freq;
                a.mode = str(mode);
                a.rstSent = a.rstReceived = "599";
                a.exchangeSent = str(exchangeSent);
                a.exchangeReceived = str(exchange);
                a.prefix = str(prefix);
                a.continent = str(continent);
                a.band = str(band);
                const bool removal = in.byte() % 4 == 0;
                auto f = removal ? RemoveData0 : AddData0;
                const int r = f("OK1XYZ", call, t, nullptr, nullptr, nullptr, 0, freq, mode, "599", "599", exchangeSent,
                                exchange, e, e, e, e, e, e, e, e, e, prefix, 0, 0, 0, 0, 0, e, continent, e, band, e);
                if (removal) {
                    CHECK(r == 1, "RemoveData0 answered %d", r);
                    modelRemove(m, a);
                } else {
                    const bool logged = modelAdd(m, a);
                    CHECK(r == (logged ? 1 : 0), "AddData0 answered %d for '%s' on '%s' in '%s'", r, a.call.c_str(),
                          a.band.c_str(), a.mode.c_str());
                }
                break;
            }
            case 4: {
                int out = 0;
                const char* text = GetResult0((in.byte() & 1) ? &out : nullptr);
                CHECK(text != nullptr, "GetResult0 gave a null text");
                checkSummary(m, text);
                if (m.exporting) checkExport(m);
                if (in.byte() % 16 == 0) setVersion(nullptr);
                break;
            }
            case 5: {
                // Buffers of exactly the host's size: a longer text overruns them under ASan.
                std::vector<char> hint(100, 'h'), warning(100, 'w');
                const char* band = in.text(kBands);
                const char* band2 = (in.byte() & 3) ? band : in.text(kBands);
                const char* mode = in.text(kModes);
                const char* call = in.text(kCalls);
                const char* prefix = in.text(kPrefixes);
                const char* area = in.text(kExchanges);
                const char* stationText = in.text({"UU", "UT1AA", ""});
                const int r =
                    CheckCallFunc0(call, 0, 0, mode, e, e, e, e, e, e, e, e, stationText, prefix, 0, 0, 0, 0, 0, e, e,
                                   e, e, area, band, band2, (in.byte() & 1) ? hint.data() : nullptr, warning.data());
                CHECK(r == 0 || r == 1 || r == 2 || r == 4, "CheckCall0 answered %d", r);
                const bool inContest = (!band || !band2 || lower(band) == lower(band2)) &&
                                       oneOf(lower(str(band)), {"80m", "40m", "20m", "15m", "10m"}) &&
                                       oneOf(lower(str(mode)), {"rtty", "bpsk63"});
                bool worked = false;
                for (const ModelQso& q : m.log)
                    worked = worked || (q.call == str(call) && q.band == str(band) && q.mode == str(mode));
                if (inContest)
                    CHECK((r == 0) == worked, "CheckCall0 answered %d for '%s', worked: %d", r, str(call).c_str(),
                          worked);
                break;
            }
            default: {
                const int r = StatsIsValidExchg0(in.text(kExchanges), e, in.text(kPrefixes), e, 0, 0, 0);
                CHECK(r == 0 || r == 1, "IsValidExchg0 answered %d", r);
                CHECK(GetSetName(static_cast<int>(in.u32())) != nullptr, "GetSetName gave a null text");
                break;
            }
        }
        checkLogAndIndex(m);
        checkReport(m);
    }
    return 0;
}
