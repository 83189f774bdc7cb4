// The answer to a call sign being typed: dupe, new multiplier, ordinary contact or
// outside the contest, with the ten-minute warning and the area hint.
#include <string>

#include "ascii_text.h"
#include "contest/engine.h"

namespace {

// HOST-QUIRK: "MINTUTES" is the text operators know.
const char* const kWarningEnglish = "QSO WITH %s WHILE IT IS IMPOSSIBLE !!! WAIT %s MINTUTES !!!";
const char* const kWarningRussian1 = "QSO c %s ПОКА НЕЛЬЗЯ ПРОВОДИТЬ !!! ЕЩЕ %s МИНУТУ  !!!";
const char* const kWarningRussian2to4 = "QSO c %s ПОКА НЕЛЬЗЯ ПРОВОДИТЬ !!! ЕЩЕ %s МИНУТЫ  !!!";
const char* const kWarningRussian5to10 = "QSO c %s ПОКА НЕЛЬЗЯ ПРОВОДИТЬ !!! ЕЩЕ %s МИНУТ  !!!";

// Fills the two %s of a warning pattern; the call may be of any length.
std::string fill(const char* pattern, const std::string& call, const std::string& wait) {
    const std::string p = pattern;
    const size_t first = p.find("%s");
    const size_t second = p.find("%s", first + 2);
    return p.substr(0, first) + call + p.substr(first + 2, second - first - 2) + wait + p.substr(second + 2);
}

}  // namespace

CallCheckAnswer ContestEngine::checkCall(const CallCheckArgs& a, const DateTime& now) {
    CallCheckAnswer ans;
    SharedFlags& shared = state_.shared;
    if (windows_.companionRunning() && shared.refreshPending.exchange(false)) windows_.postRefresh();

    const auto d = state_.lock();
    // HOST-QUIRK: hosts 2.19 and 2.20 take 1 for "outside the contest", the others 4.
    const int outside = (d->hostVersion == "2.19" || d->hostVersion == "2.20") ? 1 : 4;
    const std::string band = a.band ? a.band : "";
    ans.result = outside;
    if (a.band && a.band2 && !iequals(a.band, a.band2)) return ans;
    if (!bandTable().contains(band)) return ans;
    if (!modeTable().contains(a.mode)) return ans;

    const auto& log = d->qsoLog;
    const int n = static_cast<int>(log.size());
    int r = 2;
    if (d->index.hasCall(a.call, band, a.mode)) {
        ans.result = 0;
        return ans;
    }
    // Where the last scan over the log stopped: its first match, or the end of the log.
    int stoppedAt = d->index.firstWithPrefix(band, a.mode, a.prefix);
    if (stoppedAt >= 0)
        r = 1;
    else
        stoppedAt = n;

    const bool ukrainian = a.prefix == "UR";
    if (ukrainian) {
        r = 2;
        if (a.stationText.compare(0, 2, "UU") == 0) {
            r = 1;
            ans.warningWritten = true;
            ans.warning = "         ";
        }
        stoppedAt = d->index.firstWithArea(band, a.mode, a.area);
        if (stoppedAt >= 0)
            r = 1;
        else
            stoppedAt = n;
    }
    ans.result = r;

    // HOST-QUIRK: no warning when the last scan stopped on the first record.
    if (stoppedAt != 0) {
        // A marker that names no record counts as none.
        const int bandIdx = shared.lastBandChangeIndex;
        if (bandIdx < 0 || bandIdx >= n) return ans;
        bool haveMinutes = false;
        long long m = 0;
        if (log[static_cast<size_t>(bandIdx)].band != band) {
            m = wholeMinutesBetween(log[static_cast<size_t>(bandIdx)].time, now);
            haveMinutes = true;
        } else {
            const int modeIdx = shared.lastModeChangeIndex;
            if (modeIdx < 0 || modeIdx >= n) return ans;
            if (log[static_cast<size_t>(modeIdx)].mode != a.mode) {
                m = wholeMinutesBetween(log[static_cast<size_t>(modeIdx)].time, now);
                haveMinutes = true;
            }
        }
        if (haveMinutes && m >= 0 && m < 10) {
            const int w = static_cast<int>(10 - m);
            const char* pattern = kWarningEnglish;
            if (d->own.russianTexts)
                pattern = w == 1 ? kWarningRussian1 : (w <= 4 ? kWarningRussian2to4 : kWarningRussian5to10);
            ans.warningWritten = true;
            ans.warning = fill(pattern, a.call, std::to_string(w));
            return ans;
        }
    }

    std::string hint;
    // HOST-QUIRK: the hint for KR and SL is three blanks.
    if (ukrainian) hint = (a.area == "KR" || a.area == "SL") ? "   " : a.area;
    if (shared.areaHintEnabled) {
        ans.hintWritten = true;
        ans.hint = hint;
    }
    return ans;
}
