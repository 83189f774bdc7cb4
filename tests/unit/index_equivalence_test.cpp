// The indexed lookups must answer exactly as the plain scans of the log: the same
// marks, the same removals and the same call-check answers, on a random log with
// many repeats, removals included.
#include <random>

#include "fake_platform.h"

namespace {

struct Outcome {
    std::vector<int> added;
    std::vector<std::string> marks, answers;
    std::string summary, report;
};

}  // namespace

struct IndexEquivalence : PluginTest {
    Outcome replay(unsigned seed);
};

Outcome IndexEquivalence::replay(unsigned seed) {
    Plugin& plugin = *this->plugin;
    std::mt19937 rng(seed);
    const char* bands[] = {"80m", "40m", "20m", "15m", "10m", "80M"};
    const char* modes[] = {"RTTY", "BPSK63", "rtty"};
    const char* areas[] = {"KV", "LV", "XX", "kr", "SL"};
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    Outcome run;
    std::vector<QsoArgs> logged;
    for (int i = 0; i < 600; ++i) {
        const bool ukrainian = pick(3) == 0;
        const std::string call = (ukrainian ? "UT" : "DL") + std::to_string(pick(40));
        std::string hhmm = std::to_string(1000 + pick(12) * 100 + pick(60));
        auto q = PluginTest::qso(call, bands[pick(6)], modes[pick(3)], hhmm, ukrainian ? areas[pick(5)] : "001",
                                 ukrainian ? "UR" : (pick(2) ? "DL" : "F"), pick(4) ? "EU" : "NA");
        run.added.push_back(plugin.addData(q));
        if (run.added.back()) logged.push_back(q);
        if (pick(10) == 0 && !logged.empty()) {
            plugin.removeData(logged[static_cast<size_t>(pick(static_cast<int>(logged.size())))]);
        }
        if (pick(4) == 0) {
            CallCheckArgs a;
            a.call = (pick(2) ? "UT" : "DL") + std::to_string(pick(40));
            a.mode = modes[pick(3)];
            a.prefix = a.call[0] == 'U' ? "UR" : "DL";
            a.area = areas[pick(5)];
            a.stationText = a.call;
            a.band = bands[pick(6)];
            const auto ans = plugin.checkCall(a);
            run.answers.push_back(std::to_string(ans.result) + "|" + ans.warning + "|" + ans.hint);
        }
    }
    {
        const auto d = plugin.state().lock();
        for (const auto& q : d->qsoLog)
            run.marks.push_back(q.call + q.band + q.mode + q.area + std::to_string(q.dupe) + std::to_string(q.bad));
    }
    run.summary = plugin.getResult();
    run.report = report();
    return run;
}

TEST_F(IndexEquivalence, SameAnswersAsThePlainScans) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        plugin = std::make_unique<Plugin>(platform);
        flags().areaHintEnabled = true;
        reset();
        clock.now = at("1130");
        const Outcome indexed = replay(seed);

        plugin = std::make_unique<Plugin>(platform);
        data()->index.usePlainScans(true);
        flags().areaHintEnabled = true;
        reset();
        const Outcome plain = replay(seed);

        EXPECT_EQ(indexed.added, plain.added);
        EXPECT_EQ(indexed.marks, plain.marks);
        EXPECT_EQ(indexed.answers, plain.answers);
        EXPECT_EQ(indexed.summary, plain.summary);
        EXPECT_EQ(indexed.report, plain.report);
        EXPECT_GT(indexed.marks.size(), 100u);
    }
}
