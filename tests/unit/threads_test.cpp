// The host's thread feeds and removes QSOs while the window thread reads the state,
// as the operator windows will. Built with -fsanitize=thread this shows any unguarded
// access; without it, it still checks that the readers see whole, consistent copies.
#include <atomic>
#include <thread>

#include "fake_platform.h"

using SharedState = PluginTest;

TEST_F(SharedState, WindowThreadReadsWhileTheHostWrites) {
    reset();
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::thread window([&] {
        ContestState& s = plugin->state();
        while (!done) {
            const auto copy = s.snapshot();
            for (const auto& list : copy.dxccRtty) EXPECT_LE(list.size(), 2u);
            for (const auto& q : copy.qsoLog) EXPECT_FALSE(q.band.empty());
            (void)s.changeWarning.load();
            (void)s.refreshPending.load();
            s.refreshPending = 0;
            ++reads;
        }
    });
    for (int round = 0; round < 200; ++round) {
        add(qso("DL1AA", "20m", "RTTY", "1200"));
        add(qso("UT1AA", "40m", "RTTY", "1201", "KV", "UR"));
        plugin->getResult();
        CallCheckArgs a;
        a.call = "DL1AB";
        a.mode = "RTTY";
        a.band = "20m";
        plugin->checkCall(a);
        plugin->removeData(qso("DL1AA", "20m", "RTTY", "1200"));
        plugin->removeData(qso("UT1AA", "40m", "RTTY", "1201"));
    }
    done = true;
    window.join();
    EXPECT_GT(reads.load(), 0);
    EXPECT_TRUE(plugin->state().qsoLog.empty());
}
