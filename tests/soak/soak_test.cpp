// One loaded plug-in takes a long, mixed stream of calls as a host would make them over
// a long contest weekend: QSOs added and removed, calls checked, results asked for, runs
// restarted with the whole log fed again. At the end the host rescans its log once more
// (marks such as a dupe are judged as QSOs arrive, so only a rescan settles them); then
// every answer must equal that of a fresh plug-in fed the same log, and the soaked
// plug-in must hold no more memory than that one needs (within 10%): nothing kept from
// the removed QSOs and the earlier runs.
//
//   soak_test [CALLS]     (default 1,000,000; the test command runs 50,000)
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "fakes.h"

namespace {

// Bytes the allocator has handed out and not had back (large blocks are mapped apart):
// what live objects hold, unlike the process's resident size, which keeps freed memory.
long long inUse() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<long long>(m.uordblks + m.hblkhd);
}

void rescan(Plugin& plugin, const std::vector<QsoArgs>& log) {
    plugin.resetStats(contestReset());
    for (const QsoArgs& q : log) plugin.addData(q);
}

std::vector<std::string> callCheckAnswers(Plugin& plugin) {
    std::vector<std::string> answers;
    for (int i = 0; i < 300; ++i) {
        CallCheckArgs c;
        c.call = (i % 2 ? "DL" : "UT") + std::to_string(i * 17);
        c.mode = i % 3 ? "RTTY" : "BPSK63";
        c.prefix = i % 2 ? "DL" : "UR";
        c.area = "KV";
        c.band = i % 5 ? "20m" : "40m";
        const CallCheckAnswer a = plugin.checkCall(c);
        answers.push_back(std::to_string(a.result) + a.warning + "|" + a.hint);
    }
    return answers;
}

QsoArgs randomQso(std::mt19937& rng, double& t) {
    static const char* const bands[] = {"80m", "40m", "20m", "15m", "10m", "160m"};
    static const char* const modes[] = {"RTTY", "BPSK63", "PSK31"};
    static const char* const areas[] = {"KV", "LV", "XX", "od", "CH"};
    QsoArgs q;
    const unsigned s = rng();
    const bool ukrainian = s % 4 == 0;
    q.call = (ukrainian ? "UT" : "DL") + std::to_string(s % 5000);
    q.prefix = ukrainian ? "UR" : (s % 7 == 0 ? "JA" : "DL");
    q.continent = q.prefix == "JA" ? "AS" : "EU";
    q.ownCall = "OK1XYZ";
    t += (5 + rng() % 40) / 86400.0;
    q.time = DateTime(t, DateTime::valid);
    q.frequencyHz = 14080000;
    q.band = bands[rng() % 100 < 97 ? rng() % 5 : 5];
    q.mode = modes[rng() % 100 < 98 ? rng() % 2 : 2];
    q.rstSent = q.rstReceived = "599";
    q.exchangeSent = std::to_string(rng() % 999 + 1);
    q.exchangeReceived = ukrainian ? areas[rng() % 5] : "123";
    return q;
}

}  // namespace

int main(int argc, char** argv) {
    const long calls = argc > 1 ? std::atol(argv[1]) : 1000000;
    auto* soakedHost = new HeadlessPlugin;  // destroyed explicitly, to see what it held
    HeadlessPlugin& soaked = *soakedHost;
    char folder[] = "/tmp/talven-soak-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) return 2;

    std::mt19937 rng(20171216);
    soaked.plugin.resetStats(contestReset());
    std::vector<QsoArgs> log;  // what the host's log holds, in order
    double t = DateTime::fromCalendar(2017, 12, 16, 12, 0, 0).days();
    long results = 0, checks = 0, resets = 0, removals = 0;
    for (long i = 0; i < calls; ++i) {
        unsigned what = rng() % 1000;
        // A contest log of a few thousand QSOs: past that, QSOs come and go in turn.
        if (what < 550 && log.size() >= 2000) what = 600;
        if (what < 550) {
            QsoArgs q = randomQso(rng, t);
            if (soaked.plugin.addData(q)) log.push_back(q);
        } else if (what < 750 && !log.empty()) {
            const size_t at = rng() % log.size();
            soaked.plugin.removeData(log[at]);
            log.erase(log.begin() + static_cast<long>(at));
            ++removals;
        } else if (what < 990) {
            CallCheckArgs c;
            c.call = "DL" + std::to_string(rng() % 5000);
            c.mode = "RTTY";
            c.prefix = "DL";
            c.band = "20m";
            soaked.plugin.checkCall(c);
            ++checks;
        } else if (what < 999) {
            soaked.plugin.getResult();
            ++results;
        } else if (rng() % 4 == 0) {
            // A rescan: the host starts a run and feeds its whole log again.
            soaked.plugin.resetStats(contestReset());
            std::vector<QsoArgs> kept;
            for (const QsoArgs& q : log)
                if (soaked.plugin.addData(q)) kept.push_back(q);
            log.swap(kept);
            ++resets;
        }
    }
    rescan(soaked.plugin, log);
    const std::string soakedResult = soaked.plugin.getResult();
    const std::string soakedReport = soaked.plugin.report().text();
    const std::vector<std::string> soakedAnswers = callCheckAnswers(soaked.plugin);
    const size_t soakedLog = soaked.plugin.state().lock()->qsoLog.size();
    const bool noFault = soaked.diagnostics.faults.empty();
    long long before = inUse();
    delete soakedHost;
    const long long soakedBytes = before - inUse();

    before = inUse();
    auto* freshHost = new HeadlessPlugin;
    rescan(freshHost->plugin, log);
    const std::string freshResult = freshHost->plugin.getResult();
    const std::string freshReport = freshHost->plugin.report().text();
    const std::vector<std::string> freshAnswers = callCheckAnswers(freshHost->plugin);
    const size_t freshLog = freshHost->plugin.state().lock()->qsoLog.size();
    const long long freshBytes = inUse() - before;
    delete freshHost;

    int failures = 0;
    const auto check = [&](bool ok, const char* what) {
        std::printf("%s %s\n", ok ? "  ok:" : "  FAILED:", what);
        if (!ok) ++failures;
    };
    std::printf("soak: %ld calls (%ld results, %ld call checks, %ld removals, %ld rescans); final log %zu QSOs\n",
                calls, results, checks, removals, resets, log.size());
    check(soakedLog == freshLog, "the log holds the same QSOs");
    check(soakedResult == freshResult, "the result equals that of a fresh plug-in fed the same log");
    check(soakedReport == freshReport, "so does the bad-QSO report");
    check(soakedAnswers == freshAnswers, "and every call check answer");
    check(noFault, "no fault was recorded");
    std::printf("soak: the soaked plug-in held %lld kB, a fresh one with the same log %lld kB\n", soakedBytes / 1024,
                freshBytes / 1024);
    check(soakedBytes <= freshBytes + freshBytes / 10, "memory within 10% of what the final log needs");
    std::printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
    return failures == 0 ? 0 : 1;
}
