#include "plugin.h"

#include <algorithm>
#include <iterator>

#include "reports/summary.h"

namespace {
// HOST-QUIRK: these host versions get no operator windows.
const char* const kVersionsWithoutWindows[] = {"2.18", "2.17", "2.16", "2.15", "2.14", "2.14R"};
}  // namespace

Plugin::Plugin(Platform& platform)
    : platform_(platform),
      settings_(platform.profile),
      report_(platform.diagnostics),
      engine_(state_, report_, platform.windows) {}

void Plugin::resetStats(const ResetArgs& a) {
    engine_.startRun(a);
    {
        const auto d = state_.lock();
        detectHostVersion(platform_.folders, a.hostFolder, d->hostVersion);
    }
    // The dialog waits for the operator: no lock is held meanwhile.
    if (a.exportRequested != 0) {
        if (!cabrillo_.prepareHeader(a.ownCall, a.start, a.end, settings_, platform_.headerDialog))
            state_.lock()->exportRequested = 0;
        settings_.set("Start", "1");
    }
    const std::string fileName = BadQsoReport::fileNameFor(a.end);
    state_.lock()->badQsoFileName = fileName;
    report_.start(fileName);
    // Last: the host's thread may wait here a moment for the windows to come up.
    startWindowsIfDue();
}

void Plugin::startWindowsIfDue() {
    // HOST-QUIRK: the toggle lets only every other run start the windows, and an export
    // run none; the host relies on it not to open them twice.
    if (settings_.getInt("Start") != 0) {
        settings_.set("Start", "0");
        return;
    }
    if (platform_.windows.companionRunning()) return;
    const std::string version = state_.lock()->hostVersion;
    const bool suppressed = std::any_of(std::begin(kVersionsWithoutWindows), std::end(kVersionsWithoutWindows),
                                        [&](const char* v) { return version == v; });
    if (!suppressed) platform_.windows.startCompanion(state_);
    settings_.set("Start", "1");
}

bool Plugin::addData(const QsoArgs& a) { return engine_.add(a); }

void Plugin::removeData(const QsoArgs& a) { engine_.remove(a); }

CallCheckAnswer Plugin::checkCall(const CallCheckArgs& a) { return engine_.checkCall(a, platform_.clock.nowUtc()); }

void Plugin::setHtml() { state_.lock()->htmlOutput = true; }

const std::string& Plugin::getResult() {
    const ScoreFigures f = engine_.computeScore();
    settings_.set("Claimed", std::to_string(f.score));
    CabrilloLog::WriteResult written{true, std::string()};
    bool exported = false;
    {
        const auto d = state_.lock();
        resultText_ = buildSummary(f, *d);
        if (d->exportRequested != 0) {
            // Every result of an export run writes the whole log once: lines queued by an
            // earlier result of the same run would otherwise appear twice in the file.
            cabrillo_.qsoLines.clear();
            for (const CInfo& q : d->qsoLog)
                cabrillo_.addQsoLine(q.call, q.frequencyKhz, CabrilloLog::modeCode(q.mode), q.time, q.rstSent,
                                     q.exchangeSent, q.rstReceived, q.exchangeReceived);
            written = cabrillo_.writeFile(d->claimedScore, d->hostVersion);
            exported = true;
        }
    }
    // The message box waits for the operator: no lock is held meanwhile.
    if (exported) platform_.notifier.show(written.message, "Output", Notifier::Icon::information);
    return resultText_;
}

Plugin& thePlugin() {
    static Plugin plugin(defaultPlatform());
    return plugin;
}
