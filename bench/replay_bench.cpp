// Replays generated logs through the plug-in (reset, every QSO, then the result) and
// a stream of call checks, and prints how the costs grow with the log and what the
// log index gains over plain scans. Ratios are measured within one run.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "fakes.h"

namespace {

// A contest-like log: mostly new stations, about 2% dupes, a third of the stations
// Ukrainian with area codes, ~120 DXCC prefixes, band and mode changes now and then,
// a QSO every 20 seconds or so.
std::vector<QsoArgs> makeLog(int n, unsigned seed) {
    std::mt19937 rng(seed);
    const char* bands[] = {"80m", "40m", "20m", "15m", "10m"};
    const char* modes[] = {"RTTY", "BPSK63"};
    std::vector<QsoArgs> log;
    double t = DateTime::fromCalendar(2017, 12, 16, 12, 0, 0).days();
    int band = 0, mode = 0;
    for (int i = 0; i < n; ++i) {
        if (rng() % 40 == 0) band = static_cast<int>(rng() % 5);
        if (rng() % 60 == 0) mode = 1 - mode;
        t += (10 + rng() % 20) / 86400.0;
        QsoArgs q;
        if (!log.empty() && rng() % 50 == 0) {
            q = log[rng() % log.size()];  // a dupe, or the same station on another band or mode
        } else {
            const unsigned s = rng();
            const bool ukrainian = s % 3 == 0;
            // Calls look like real ones (two letters, a digit, two or three letters),
            // so that they share lengths and first letters as real logs do.
            const unsigned p = s % 120;
            const std::string prefix = ukrainian ? "UR" : std::string{char('A' + p / 26 % 26), char('A' + p % 26)};
            std::string suffix;
            for (unsigned k = static_cast<unsigned>(i) + 26 * 26; k; k /= 26) suffix += char('A' + k % 26);
            q.call = (ukrainian ? "UT" : prefix) + std::to_string(s % 10) + suffix;
            q.prefix = prefix;
            q.exchangeReceived = ukrainian ? areaDisplayOrder[s % kAreaCount] : "123";
            q.continent = (s % 10 == 3) ? "NA" : (s % 10 == 4 ? "AS" : "EU");
        }
        q.ownCall = "OK1XYZ";
        q.time = DateTime(t, DateTime::valid);
        q.frequencyHz = 14080000;
        q.mode = modes[mode];
        q.rstSent = q.rstReceived = "599";
        q.exchangeSent = std::to_string(i + 1);
        q.band = bands[band];
        log.push_back(q);
    }
    return log;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs `measure` in a child process of its own, so that every size starts from the
// same fresh heap instead of reusing memory the previous run warmed up. Its result is a
// plain value (a number, or a struct of numbers) sent back through a pipe.
template <typename F>
auto inFreshProcess(F measure) -> decltype(measure()) {
    using Result = decltype(measure());
    int fds[2];
    if (pipe(fds) != 0) return measure();
    const pid_t pid = fork();
    if (pid == 0) {
        const Result v = measure();
        if (write(fds[1], &v, sizeof v) != sizeof v) _exit(1);
        _exit(0);
    }
    Result v{};
    if (read(fds[0], &v, sizeof v) != sizeof v) v = Result{};
    close(fds[0]);
    close(fds[1]);
    waitpid(pid, nullptr, 0);
    return v;
}

// The parts of one rescan, in seconds.
struct Phases {
    double reset = 0, feed = 0, result = 0;
    double total() const { return reset + feed + result; }
};

// A host rescans its log through the same plug-in: reset, every QSO, the result.
// One untimed rescan first, then the best of `repeat` timed ones.
Phases bestRescan(const std::vector<QsoArgs>& log, bool plainScans, int repeat) {
    HeadlessPlugin host;
    Plugin& plugin = host.plugin;
    plugin.state().lock()->index.usePlainScans(plainScans);
    Phases best{1e9, 0, 0};
    for (int r = 0; r <= repeat; ++r) {
        Phases p;
        auto start = std::chrono::steady_clock::now();
        plugin.resetStats(contestReset());
        p.reset = seconds(start);
        start = std::chrono::steady_clock::now();
        for (const auto& q : log) plugin.addData(q);
        p.feed = seconds(start);
        start = std::chrono::steady_clock::now();
        plugin.getResult();
        p.result = seconds(start);
        if (r > 0 && p.total() < best.total()) best = p;
    }
    return best;
}

// The best rescan of a log of `qsos` in a fresh process per size, so each size starts
// from the same clean heap.
Phases replay(int qsos, bool plainScans, int repeat) {
    return inFreshProcess([&] { return bestRescan(makeLog(qsos, static_cast<unsigned>(qsos)), plainScans, repeat); });
}

// Seconds per call check on a log of the given size.
double callChecks(int qsos, bool plainScans, int calls) {
    return inFreshProcess([&] {
        const auto log = makeLog(qsos, static_cast<unsigned>(qsos));
        HeadlessPlugin host;
        Plugin& plugin = host.plugin;
        plugin.state().lock()->index.usePlainScans(plainScans);
        plugin.resetStats(contestReset());
        for (const auto& q : log) plugin.addData(q);
        std::vector<CallCheckArgs> typed;
        for (size_t i = 0; i < 1000; ++i) {
            const QsoArgs& q = log[(i * 7919) % log.size()];
            CallCheckArgs a;
            a.call = i % 2 ? q.call : q.call + "Z";  // half of them new stations
            a.mode = q.mode;
            a.prefix = q.prefix;
            a.area = q.exchangeReceived;
            a.stationText = a.call;
            a.band = "20m";
            typed.push_back(a);
        }
        const auto start = std::chrono::steady_clock::now();
        int sum = 0;
        for (int i = 0; i < calls; ++i) sum += plugin.checkCall(typed[static_cast<size_t>(i) % typed.size()]).result;
        const double s = seconds(start);
        if (sum < 0) std::puts("");
        return s / calls;
    });
}

// Seconds per refresh of the watch while calls of the log are typed, a keystroke at a
// time: every keystroke brings a refresh, from the third character on.
double watchRefreshes(int qsos, int refreshes, bool keystrokes) {
    return inFreshProcess([&] {
        const auto log = makeLog(qsos, static_cast<unsigned>(qsos));
        HeadlessPlugin plugged;
        Plugin& plugin = plugged.plugin;
        plugin.resetStats(contestReset());
        for (const auto& q : log) plugin.addData(q);
        TypingHost host;
        OpenGrids windows;
        BandModeWatch watch(plugin.state());
        // Keystrokes: the growing beginnings of calls, as typed. Otherwise whole calls of the
        // log picked all over it, each one's QSOs far from the last one's in memory.
        std::vector<std::string> typed;
        for (size_t i = 0; typed.size() < 4000; ++i) {
            const std::string& call = log[(i * 7919) % log.size()].call;
            if (!keystrokes)
                typed.push_back(call);
            else
                for (size_t n = 3; n <= call.size(); ++n) typed.push_back(call.substr(0, n));
        }
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < refreshes; ++i) {
            host.typed = typed[static_cast<size_t>(i) % typed.size()];
            watch.refresh(host, windows, true, true);
        }
        return seconds(start) / refreshes;
    });
}

// One replay for a profiler (perf, callgrind), in this process: the log is made, fed
// once untimed and `repeat` times more.
int profileReplay(int qsos, int repeat) {
    const Phases p = bestRescan(makeLog(qsos, static_cast<unsigned>(qsos)), false, repeat);
    std::printf("replay %d QSOs: %.2f ms\n", qsos, p.total() * 1e3);
    return 0;
}

}  // namespace

// replay_bench                  the whole benchmark
// replay_bench replay N [R]     one log of N QSOs rescanned 1 + R times (default 1), for a profiler
int main(int argc, char** argv) {
    // The plug-in writes its report into the current folder: keep it out of the tree.
    char folder[] = "/tmp/talven-bench-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) {
        std::perror("bench folder");
        return 1;
    }
    if (argc >= 3 && std::string(argv[1]) == "replay")
        return profileReplay(std::atoi(argv[2]), argc > 3 ? std::atoi(argv[3]) : 1);
    std::printf("TALVEN-CUP plug-in benchmark (native; best of several rescans of one log)\n\n");
    const Phases p1k = replay(1000, false, 20), p10k = replay(10000, false, 10), p100k = replay(100000, false, 4);
    const double t1k = p1k.total(), t10k = p10k.total(), t100k = p100k.total();
    std::printf("full replay   1,000 QSOs: %9.2f ms\n", t1k * 1e3);
    std::printf("full replay  10,000 QSOs: %9.2f ms\n", t10k * 1e3);
    std::printf("full replay 100,000 QSOs: %9.2f ms\n", t100k * 1e3);
    std::printf("ratio 100k/10k: %.1f (near-linear: at most 12)\n", t100k / t10k);
    // Where the time of a rescan goes.
    for (const auto& [qsos, p] : {std::pair<int, Phases>{10000, p10k}, {100000, p100k}})
        std::printf("  %6d QSOs: reset %.2f ms, the QSOs %.2f ms (%.3f us each), the result %.2f ms\n", qsos,
                    p.reset * 1e3, p.feed * 1e3, p.feed * 1e6 / qsos, p.result * 1e3);
    std::printf("\n");

    const double plain10k = replay(10000, true, 2).total();
    std::printf("plain scans, full replay 10,000 QSOs: %9.2f ms\n", plain10k * 1e3);
    std::printf("speed-up of the index at 10,000 QSOs: %.0fx (goal: at least 20x)\n\n", plain10k / t10k);

    const double check = callChecks(10000, false, 200000);
    const double checkPlain = callChecks(10000, true, 2000);
    std::printf("one call check on 10,000 QSOs: %.2f us (goal: under 5 us)\n", check * 1e6);
    std::printf("plain scans: %.2f us, speed-up %.0fx\n\n", checkPlain * 1e6, checkPlain / check);

    const double watch1k = watchRefreshes(1000, 200000, true);
    const double watch100k = watchRefreshes(100000, 200000, true);
    std::printf("one refresh of the operator windows while a call is typed (no painting):\n");
    std::printf("  keystroke by keystroke, on 1,000 QSOs: %.2f us, on 100,000 QSOs: %.2f us (goal: under 20 us)\n",
                watch1k * 1e6, watch100k * 1e6);
    std::printf("  ratio 100k/1k: %.2f (goal: at most 2)\n", watch100k / watch1k);
    const double cold1k = watchRefreshes(1000, 200000, false);
    const double cold100k = watchRefreshes(100000, 200000, false);
    std::printf("  whole calls from all over the log: %.2f us and %.2f us, ratio %.2f (memory, not work)\n",
                cold1k * 1e6, cold100k * 1e6, cold100k / cold1k);
    return 0;
}
