// The answer to a call sign being typed: dupe, new multiplier, ordinary contact or
// outside the contest, with the ten-minute warning and the area hint.
#include <string>

#include "../plugin.h"

namespace {

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

CallCheckAnswer Plugin::checkCall(const CallCheckArgs& a) {
    CallCheckAnswer ans;
    auto& st = state_;
    if (platform_.windows.companionRunning() && st.refreshPending) {
        st.refreshPending = 0;
        platform_.windows.postRefresh();
    }

    std::lock_guard<std::mutex> guard(st.lock);
    const int outside = (st.hostVersion == "2.19" || st.hostVersion == "2.20") ? 1 : 4;
    const std::string band = a.band ? a.band : "";
    ans.result = outside;
    if (a.band && a.band2 && !equalsIgnoreCase(a.band, a.band2)) return ans;
    if (!bandTable().contains(band)) return ans;
    if (!modeTable().contains(a.mode)) return ans;

    const DateTime now = platform_.clock.nowUtc();
    const auto& log = st.qsoLog;
    const int n = static_cast<int>(log.size());
    int r = 2;
    if (st.index.hasCall(a.call, band, a.mode)) {
        ans.result = 0;
        return ans;
    }
    // Where the last scan over the log stopped: its first match, or the end of the log.
    int stoppedAt = st.index.firstWithPrefix(band, a.mode, a.prefix);
    if (stoppedAt >= 0) r = 1;
    else stoppedAt = n;

    const bool ukrainian = a.prefix == "UR";
    if (ukrainian) {
        r = 2;
        if (a.stationText.compare(0, 2, "UU") == 0) {
            r = 1;
            ans.warningWritten = true;
            ans.warning = "         ";
        }
        stoppedAt = st.index.firstWithArea(band, a.mode, a.area);
        if (stoppedAt >= 0) r = 1;
        else stoppedAt = n;
    }
    ans.result = r;

    if (stoppedAt != 0) {
        const int bandIdx = st.lastBandChangeIndex;
        if (bandIdx < 0 || bandIdx >= n) return ans;
        bool haveMinutes = false;
        long long m = 0;
        if (log[static_cast<size_t>(bandIdx)].band != band) {
            m = wholeMinutesBetween(log[static_cast<size_t>(bandIdx)].time, now);
            haveMinutes = true;
        } else {
            const int modeIdx = st.lastModeChangeIndex;
            if (modeIdx < 0 || modeIdx >= n) return ans;
            if (log[static_cast<size_t>(modeIdx)].mode != a.mode) {
                m = wholeMinutesBetween(log[static_cast<size_t>(modeIdx)].time, now);
                haveMinutes = true;
            }
        }
        if (haveMinutes && m >= 0 && m < 10) {
            const int w = static_cast<int>(10 - m);
            const char* pattern = kWarningEnglish;
            if (st.russianTexts) pattern = w == 1 ? kWarningRussian1 : (w <= 4 ? kWarningRussian2to4 : kWarningRussian5to10);
            ans.warningWritten = true;
            ans.warning = fill(pattern, a.call, std::to_string(w));
            return ans;
        }
    }

    std::string hint;
    if (ukrainian) hint = (a.area == "KR" || a.area == "SL") ? "   " : a.area;
    if (st.areaHintEnabled) {
        ans.hintWritten = true;
        ans.hint = hint;
    }
    return ans;
}
