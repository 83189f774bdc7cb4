// The host's thread feeds, removes, scores and checks calls while a second thread does
// what the operator windows do with the state: the watch looks the typed call up in the
// log and fills the info grid, the multiplier grids sort their lists in place, the lamp
// follows the change flags and the time of the last change. Built with
// -fsanitize=thread this shows any access outside the state's lock; without it, it still
// checks that the readers see whole, consistent data.
#include <algorithm>
#include <atomic>
#include <thread>

#include "fake_platform.h"
#include "operator/lamp.h"
#include "operator/watch.h"

using SharedState = PluginTest;

TEST_F(SharedState, WindowThreadReadsWhileTheHostWrites) {
    reset("UT1ZZ", "UR", "EU");
    ContestState& state = plugin->state();
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::thread window([&] {
        const char* bands[] = {"80m", "40m", "20m", "15m", "10m"};
        TypingHost host;
        OpenGrids grids;
        BandModeWatch watch(state);
        BandChangeLamp lamp;
        while (!done) {
            host.typed = host.typed.empty() ? "DL1AA" : "";  // a call typed, then the field emptied
            watch.refresh(host, grids, true, true);          // the watch itself, both branches
            lamp.tick(state, at("1205"));
            {  // the watch and the grids
                const auto d = state.lock();
                for (int b = 0; b < 5; ++b) {
                    const bool worked = d->index.hasCall("DL1AA", bands[b], "RTTY");
                    d->infoGridRows[static_cast<size_t>(b + 1)][1] = worked ? "R" : "-";
                    auto& list = d->dxccRtty[static_cast<size_t>(b + 1)];
                    std::sort(list.begin(), list.end());
                    EXPECT_LE(list.size(), 2u);
                }
                EXPECT_TRUE(d->own.ownIsUkraine);
                EXPECT_EQ(d->period.contestStartYear, "2017");
            }
            {  // the lamp
                const int last = state.shared.lastChangeQsoIndex;
                if (state.shared.changeWarning) {
                    const auto d = state.lock();
                    if (last >= 0 && static_cast<size_t>(last) < d->qsoLog.size()) {
                        EXPECT_TRUE(d->qsoLog[static_cast<size_t>(last)].time.isValid());
                    }
                }
                state.shared.changeUndone.exchange(false);
                state.shared.logEmptied.exchange(false);
            }
            const auto copy = state.snapshot();
            for (const auto& list : copy.areaRtty) EXPECT_LE(list.size(), 1u);
            state.shared.refreshPending = false;
            ++reads;
        }
    });
    windows.running = true;
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
    EXPECT_TRUE(data()->qsoLog.empty());
}
