// The contest engine on its own, without the plug-in: what it tells the bad-QSO report
// and the operator windows, and that it never holds the state's lock while it asks the
// windows for something (their thread takes the same lock).
#include "contest/engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <utility>
#include <vector>

namespace {

struct RecordingSink : BadQsoSink {
    void record(const QsoArgs& q, BadQsoReason reason) override { recorded.emplace_back(q.call, reason); }
    void forget(const std::string& call, const DateTime& time) override {
        forgotten.push_back(call + "@" + time.format("%H%M"));
    }
    int badQsoCount() const override { return count; }
    std::vector<std::pair<std::string, BadQsoReason>> recorded;
    std::vector<std::string> forgotten;
    int count = 0;
};

// Records each request, and whether the state's lock was free when it came: another
// thread must be able to take it at once, as the window thread will.
struct CheckingBridge : WindowBridge {
    explicit CheckingBridge(ContestState& s) : state(s) {}
    bool companionRunning() override { return running; }
    void startCompanion(ContestState&) override { note("start"); }
    void postRefresh() override { note("refresh"); }
    void rearmBandChangeTimer() override { note("rearm"); }
    void resetAreaWindow() override { note("resetArea"); }
    void note(const char* what) {
        auto other = std::async(std::launch::async, [this] { const auto d = state.lock(); });
        if (other.wait_for(std::chrono::seconds(2)) != std::future_status::ready) lockHeld = true;
        requests.emplace_back(what);
    }
    ContestState& state;
    bool running = false;
    bool lockHeld = false;
    std::vector<std::string> requests;
};

DateTime at(int hour, int minute) { return DateTime::fromCalendar(2017, 12, 16, hour, minute, 0); }

QsoArgs qso(const std::string& call, const std::string& band, const std::string& mode, DateTime time,
            const std::string& exchange = "001", const std::string& prefix = "DL") {
    QsoArgs q;
    q.ownCall = "OK1XYZ";
    q.call = call;
    q.band = band;
    q.mode = mode;
    q.time = time;
    q.frequencyHz = 14080000;
    q.rstSent = q.rstReceived = "599";
    q.exchangeSent = "001";
    q.exchangeReceived = exchange;
    q.prefix = prefix;
    q.continent = "EU";
    return q;
}

class Engine : public ::testing::Test {
protected:
    Engine() {
        ResetArgs r;
        r.ownCall = "OK1XYZ";
        r.ownPrefix = "OK";
        r.ownContinent = "EU";
        r.start = at(12, 0);
        r.end = at(23, 59);
        engine.startRun(r);
    }
    ContestState state;
    RecordingSink sink;
    CheckingBridge bridge{state};
    ContestEngine engine{state, sink, bridge};
};

TEST_F(Engine, TellsTheReportWhyEachQsoDoesNotCount) {
    struct Case {
        QsoArgs q;
        bool logged;
        std::vector<BadQsoReason> reasons;
    };
    const Case cases[] = {
        {qso("DL1AA", "20m", "RTTY", at(12, 0)), true, {}},
        {qso("DL1AB", "160m", "RTTY", at(12, 1)), false, {BadQsoReason::wrongBand}},
        {qso("DL1AC", "20m", "PSK31", at(12, 2)), false, {BadQsoReason::wrongMode}},
        {qso("DL1AD", "20m", "RTTY", at(12, 3), ""), false, {BadQsoReason::noRxNumber}},
        {qso("UT1AA", "20m", "RTTY", at(12, 4), "XX", "UR"), true, {BadQsoReason::badArea}},
        {qso("DL1AA", "20m", "RTTY", at(12, 5)), true, {BadQsoReason::dupe}},
        {qso("UT1AA", "20m", "RTTY", at(12, 6), "XX", "UR"), true, {BadQsoReason::badArea, BadQsoReason::dupe}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.q.call + " " + c.q.band + " " + c.q.mode);
        sink.recorded.clear();
        EXPECT_EQ(engine.add(c.q), c.logged);
        std::vector<BadQsoReason> reasons;
        for (const auto& r : sink.recorded) {
            EXPECT_EQ(r.first, c.q.call);
            reasons.push_back(r.second);
        }
        EXPECT_EQ(reasons, c.reasons);
    }
    EXPECT_EQ(state.lock()->qsoLog.size(), 4u);
}

TEST_F(Engine, TheBadQsoCountIsTheReports) {
    engine.add(qso("DL1AA", "20m", "RTTY", at(12, 0)));
    sink.count = 7;
    EXPECT_EQ(engine.computeScore().badQsoCount, 7);
    EXPECT_EQ(state.lock()->badQsoCount, 7);
}

TEST_F(Engine, AsksTheWindowsOnlyWithTheLockFree) {
    bridge.running = true;
    engine.add(qso("DL1AA", "20m", "RTTY", at(12, 0)));
    engine.add(qso("DL1AB", "40m", "RTTY", at(12, 5)));     // band change within ten minutes
    engine.add(qso("DL1AC", "40m", "BPSK63", at(12, 30)));  // mode change after it: no timer
    CallCheckArgs a;
    a.call = "DL1AD";
    a.mode = "RTTY";
    a.band = "20m";
    engine.checkCall(a, at(12, 31));  // the refresh pending since the start
    engine.checkCall(a, at(12, 31));  // nothing pending any more
    engine.remove(qso("DL1AB", "40m", "RTTY", at(12, 5)));
    engine.remove(qso("NOBODY", "40m", "RTTY", at(12, 5)));
    EXPECT_EQ(bridge.requests, (std::vector<std::string>{"rearm", "refresh", "resetArea", "refresh", "refresh"}));
    EXPECT_FALSE(bridge.lockHeld);
    EXPECT_EQ(sink.forgotten, (std::vector<std::string>{"DL1AB@1205", "NOBODY@1205"}));
}

TEST_F(Engine, TheWindowThreadsFlagsFollowTheLog) {
    SharedFlags& f = state.shared;
    engine.add(qso("DL1AA", "20m", "RTTY", at(12, 0)));
    EXPECT_TRUE(f.changeWarning);
    f.refreshPending = false;
    engine.remove(qso("DL1AA", "20m", "RTTY", at(12, 0)));
    EXPECT_TRUE(f.logEmptied && f.changeUndone && f.refreshPending);
    EXPECT_FALSE(f.changeWarning);
    const ContestState::Snapshot s = state.snapshot();
    EXPECT_EQ(s.logSize, 0u);
    EXPECT_EQ(s.contestStartYear, "2017");
    EXPECT_EQ(s.infoGridRows[1][0], "80m");
}

}  // namespace
