// Starting a scoring run, judging each QSO the host feeds, and taking QSOs out again.
#include <algorithm>
#include <cctype>

#include "../plugin.h"

namespace {

const char* const kVersionsWithoutWindows[] = {"2.18", "2.17", "2.16", "2.15", "2.14", "2.14R"};

std::string normaliseArea(const std::string& exchange) {
    std::string s = exchange;
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return trimBlanks(s);
}

BadQsoEntry entryOf(const QsoArgs& a) {
    BadQsoEntry e;
    e.frequencyKhz = a.frequencyHz / 1000;
    e.mode = a.mode;
    e.time = a.time.format("%Y-%m-%d %H%M");
    e.ownCall = a.ownCall;
    e.rstSent = a.rstSent;
    e.exchangeSent = a.exchangeSent;
    e.call = a.call;
    e.rstReceived = a.rstReceived;
    e.exchangeReceived = a.exchangeReceived;
    return e;
}

}  // namespace

Plugin::Plugin(Platform& platform) : platform_(platform), settings_(platform.profile) {}

int Plugin::resetStats(const ResetArgs& a) {
    {
        std::lock_guard<std::mutex> guard(state_.lock);
        state_.contestStartDayMonth = a.start.format("%d.%m");
        state_.contestStartYear = a.start.format("%Y");
        state_.contestEndDate = a.end.format("%d.%m.%Y");
        detectHostVersion(platform_.folders, a.hostFolder, state_.hostVersion);
        // The records go; their storage is kept for the rescan that follows, which
        // would otherwise fault in fresh memory for every record again.
        state_.qsoLog.clear();
        state_.index.clear();
        state_.workedBands.clear();
        state_.exportRequested = a.exportRequested;
        if (isRussianTextPrefix(a.ownPrefix)) state_.russianTexts = 1;
        if (a.ownPrefix == "UR") state_.ownIsUkraine = 1;
        state_.ownContinent = a.ownContinent;
        if (a.ownContinent == "EU") state_.ownIsEurope = 1;
        state_.ownPrefix = a.ownPrefix;
        state_.ownCall = a.ownCall;
        for (int i = 0; i < kBandCount; ++i) state_.infoGridRows[i] = {bandTable()[i], "-", "-", "-", "-"};
    }

    // The dialog waits for the operator: no lock is held meanwhile.
    if (state_.exportRequested) {
        if (!cabrillo_.prepareHeader(a.ownCall, a.start, a.end, settings_, platform_.headerDialog))
            state_.exportRequested = 0;
        settings_.set("Start", "1");
    }

    const int startToggle = settings_.getInt("Start");
    if (startToggle != 0) {
        settings_.set("Start", "0");
    } else if (!platform_.windows.companionRunning()) {
        const std::string& v = state_.hostVersion;
        const bool suppressed = std::any_of(std::begin(kVersionsWithoutWindows), std::end(kVersionsWithoutWindows),
                                            [&](const char* x) { return v == x; });
        if (!suppressed) platform_.windows.startCompanion();
        settings_.set("Start", "1");
    }

    state_.badQsoFileName = BadQsoReport::fileNameFor(a.end);
    report_.setFileName(state_.badQsoFileName);
    report_.start();
    return 1;
}

void Plugin::changeRule(CInfo& q, int n) {
    if (n == 0) {
        state_.changeWarning = 1;
        q.bandChanged = q.modeChanged = 1;
        q.bandChangeIndex = q.modeChangeIndex = 0;
        state_.lastChangeQsoIndex = 0;
        return;
    }
    const CInfo& last = state_.qsoLog[static_cast<size_t>(n - 1)];
    if (last.band != q.band) {
        q.bandChanged = 1;
        q.bandChangeIndex = n;
        if (wholeMinutesBetween(last.time, q.time) < 10) {
            state_.changeWarning = 1;
            state_.lastChangeQsoIndex = n;
            state_.lastBandChangeIndex = n;
            platform_.windows.rearmBandChangeTimer();
        } else {
            state_.changeWarning = 0;
        }
    } else if (last.mode != q.mode) {
        q.modeChanged = 1;
        if (wholeMinutesBetween(last.time, q.time) < 10) {
            state_.changeWarning = 1;
            state_.lastChangeQsoIndex = n;
            state_.lastModeChangeIndex = n;
            q.modeChangeIndex = n;
            platform_.windows.rearmBandChangeTimer();
        } else {
            state_.changeWarning = 0;
        }
    }
}

int Plugin::addData(const QsoArgs& a) {
    std::lock_guard<std::mutex> guard(state_.lock);
    struct BatchEnd {
        BadQsoReport& r;
        ~BatchEnd() { r.endBatch(); }
    } batchEnd{report_};

    if (!bandTable().contains(a.band)) {
        report_.append(entryOf(a), badqso::wrongBand);
        return 0;
    }
    if (std::find(state_.workedBands.begin(), state_.workedBands.end(), a.band) == state_.workedBands.end())
        state_.workedBands.push_back(a.band);

    const int n = static_cast<int>(state_.qsoLog.size());
    CInfo q;
    q.call = a.call;
    q.prefix = a.prefix;
    q.continent = a.continent;
    q.band = a.band;
    q.mode = a.mode;
    q.rstReceived = a.rstReceived;
    q.rstSent = a.rstSent;
    q.exchangeReceived = a.exchangeReceived;
    q.exchangeSent = a.exchangeSent;
    q.frequencyKhz = a.frequencyHz / 1000;
    q.time = a.time;

    if (!modeTable().contains(a.mode)) {
        report_.append(entryOf(a), badqso::wrongMode);
        return 0;
    }
    if (a.exchangeReceived.empty() || a.exchangeSent.empty()) {
        report_.append(entryOf(a), badqso::noRxNumber);
        return 0;
    }

    changeRule(q, n);

    if (a.prefix == "UR") {
        const std::string code = normaliseArea(a.exchangeReceived);
        if (isAreaCode(code)) {
            q.area = code;
        } else {
            q.bad = 1;
            q.notCounted = 1;
            report_.append(entryOf(a), badqso::badArea);
        }
    }

    if (state_.index.hasCall(q.call, q.band, q.mode)) {
        q.notCounted = 1;
        q.dupe = 1;
        report_.append(entryOf(a), badqso::dupe);
    }

    state_.index.add(q, n);
    state_.qsoLog.push_back(std::move(q));
    return 1;
}

int Plugin::removeData(const QsoArgs& a) {
    {
        std::lock_guard<std::mutex> guard(state_.lock);
        auto& log = state_.qsoLog;
        int n = static_cast<int>(log.size());
        const int match = state_.index.findQso(a.call, a.band, a.mode, a.time);
        if (match >= 0) {
            platform_.windows.resetAreaWindow();
            const CInfo& q = log[static_cast<size_t>(match)];
            if (q.bandChanged == 1 || q.modeChanged == 1) {
                state_.changeUndone = 1;
                state_.changeWarning = 0;
            }
            log.erase(log.begin() + match);
            state_.index.rebuild();
            --n;
            if (n <= 0) state_.logEmptied = 1;
        }
        for (int i = n - 1; i >= 1; --i) {
            const CInfo& q = log[static_cast<size_t>(i)];
            if (q.bandChanged == 1) {
                state_.lastBandChangeIndex = q.bandChangeIndex;
                break;
            }
            if (q.modeChanged == 1) {
                state_.lastModeChangeIndex = q.modeChangeIndex;
                break;
            }
        }
        report_.removeEntriesOf(a.call, a.time.format("%H%M"));
        if (n <= 0) {
            state_.workedBands.clear();
            for (BandLists* lists : {&state_.dxccRtty, &state_.areaRtty, &state_.dxccBpsk, &state_.areaBpsk})
                for (auto& l : *lists) l.clear();
        }
    }
    state_.refreshPending = 1;
    if (platform_.windows.companionRunning()) platform_.windows.postRefresh();
    return 1;
}
