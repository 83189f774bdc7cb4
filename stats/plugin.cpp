#include "plugin.h"

const std::string& Plugin::getResult() {
    std::unique_lock<std::mutex> guard(state_.lock);
    const ScoreFigures f = computeScore();
    settings_.set("Claimed", std::to_string(f.score));
    resultText_ = buildSummary(f, state_, state_.qsoLog.empty());
    if (state_.exportRequested != 0) {
        // Every result of an export run writes the whole log once: lines queued by an
        // earlier result of the same run would otherwise appear twice in the file.
        cabrillo_.qsoLines.clear();
        for (const CInfo& q : state_.qsoLog)
            cabrillo_.addQsoLine(q.call, q.frequencyKhz, CabrilloLog::modeCode(q.mode), q.time, q.rstSent,
                                 q.exchangeSent, q.rstReceived, q.exchangeReceived);
        const auto written = cabrillo_.writeFile(state_.claimedScore, state_.hostVersion);
        guard.unlock();  // the message box waits for the operator
        platform_.notifier.show(written.message, "Output", Notifier::Icon::information);
    }
    return resultText_;
}

Plugin& thePlugin() {
    static Plugin plugin(defaultPlatform());
    return plugin;
}
