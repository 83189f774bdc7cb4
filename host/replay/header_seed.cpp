#include "replay/header_seed.h"

#include "ascii_text.h"

namespace replay {

namespace {

// What the plug-in's header always says outside its dialog.
const char* const kExportCategory = "SINGLE-OP ALL HIGH";
const char* const kExportSection = "DX";

std::vector<std::string> calls(std::string_view text) {
    std::vector<std::string> out;
    std::string word;
    for (char c : std::string(text) + " ") {
        if (c == ' ' || c == ',' || c == ';' || c == '\t') {
            if (!word.empty()) out.push_back(toUpper(word));
            word.clear();
        } else {
            word.push_back(c);
        }
    }
    return out;
}

// The own call or one of its parts: UT1AA/P is UT1AA's station.
bool sameStation(const std::string& word, const std::string& ownCall) {
    if (word == ownCall) return true;
    size_t start = 0;
    while (start <= ownCall.size()) {
        size_t slash = ownCall.find('/', start);
        if (slash == std::string::npos) slash = ownCall.size();
        if (ownCall.compare(start, slash - start, word) == 0 && slash - start == word.size()) return true;
        start = slash + 1;
    }
    return false;
}

}  // namespace

HeaderPlan planHeader(const LogHeader& log, const HeaderOptions& options, const ProfileFile& settings,
                      const std::string& ownCall) {
    struct Slot {
        const char* key;
        const char* option;
        const std::optional<std::string>& fromOption;
        const HeaderField& fromLog;
        bool multiLine;
    } slots[] = {
        {"Operators", "--operators", options.operators, log.operators, false},
        {"Name", "--name", options.name, log.name, false},
        {"Address", "--address", options.address, log.address, true},
        {"Email", "--email", options.email, log.email, false},
        {"Club", "--club", options.club, log.club, false},
        {"SoapBox", "--soapbox", options.soapbox, log.soapbox, true},
    };
    HeaderPlan plan;
    for (const Slot& s : slots) {
        HeaderValue v{s.key, s.option, {}, ValueSource::none, 0};
        if (s.fromOption) {
            v.value = *s.fromOption;
            v.source = ValueSource::commandLine;
        } else if (s.fromLog.given) {
            v.value = s.fromLog.value;
            v.source = ValueSource::log;
            v.line = s.fromLog.line;
        } else if (settings.has(s.key)) {
            v.value = decodeLineBreaks(settings.get(s.key));
            v.source = ValueSource::settingsFile;
        }
        if (!s.multiLine) {
            for (char& c : v.value)
                if (c == '\r' || c == '\n') c = ' ';
        }
        plan.values.push_back(std::move(v));
    }

    plan.storedOperators = settings.get("Operators");
    const std::vector<std::string> stored = calls(plan.storedOperators);
    const std::vector<std::string> now =
        calls(plan.values[0].source == ValueSource::settingsFile ? "" : plan.values[0].value);
    bool shared = stored.empty();
    for (const std::string& w : stored) {
        if (sameStation(w, ownCall)) shared = true;
        for (const std::string& n : now)
            if (w == n) shared = true;
    }
    plan.otherStation = !shared;
    if (plan.otherStation) {
        for (HeaderValue& v : plan.values) {
            if (v.source != ValueSource::settingsFile) continue;
            if (!v.value.empty()) plan.cleared.push_back(v.key);
            v.value.clear();
            v.source = ValueSource::cleared;
        }
    }
    return plan;
}

void seedSettings(const HeaderPlan& plan, ProfileFile& settings) {
    for (const HeaderValue& v : plan.values)
        if (v.source != ValueSource::none && v.source != ValueSource::settingsFile)
            settings.set(v.key, encodeLineBreaks(v.value));
}

std::string describeSource(const HeaderValue& v, const std::string& logFile) {
    switch (v.source) {
        case ValueSource::commandLine:
            return std::string("from ") + v.option;
        case ValueSource::log:
            return "from " + logFile + (v.line > 0 ? ":" + std::to_string(v.line) : std::string());
        case ValueSource::settingsFile:
            return std::string("kept from ") + kSettingsRelativePath;
        case ValueSource::cleared:
            return std::string("left empty: ") + kSettingsRelativePath + " is another station's";
        case ValueSource::none:
            break;
    }
    return std::string("given by nobody") +
           (std::string(v.key) == "Operators" ? ": the plug-in writes the own call" : "");
}

std::string categoryNote(const LogHeader& log) {
    std::string differs;
    if (!log.category.empty() && !iequals(trim(log.category), kExportCategory))
        differs = "category is " + std::string(trim(log.category));
    if (!log.location.empty() && !iequals(trim(log.location), kExportSection))
        differs += (differs.empty() ? "" : " and its ") + std::string("section/location is ") +
                   std::string(trim(log.location));
    if (differs.empty()) return {};
    return "the log's " + differs + "; the Cabrillo file says CATEGORY: " + kExportCategory +
           " and ARRL-SECTION: " + kExportSection +
           ", as the plug-in writes them unless its header dialog changes them";
}

bool isThisContest(const std::string& contest) {
    std::string letters;
    for (char c : toUpper(contest))
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) letters.push_back(c);
    return letters.empty() || letters.find("TALVEN") != std::string::npos;
}

}  // namespace replay
