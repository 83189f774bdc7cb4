// Times the cross-check alone (the matching, without reading the logs or the plug-in's
// runs) on a folder of logs, e.g. a contest made by scripts/make_contest.py, and gives
// the memory it adds to the logs already read.
//   crosscheck_bench FOLDER [ROUNDS]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/cross_check.h"
#include "analysis/findings_export.h"
#include "logs/log.h"
#include "replay/log_inputs.h"

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long peakKilobytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace replay;
    if (argc < 2) {
        std::fprintf(stderr, "usage: crosscheck_bench FOLDER [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::vector<std::string> paths;
    std::string error;
    if (!expandLogInputs({argv[1]}, paths, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<LogData> logs(paths.size());
    std::vector<StationLog> stations;
    size_t qsos = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!readLogFile(paths[i], false, logs[i], error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        stations.push_back({logs[i].ownCall, &logs[i].qsos});
        qsos += logs[i].qsos.size();
    }
    const long before = peakKilobytes();
    double best = 1e300, bestCpu = 1e300;
    CrossCheck result;
    for (int r = 0; r < rounds; ++r) {
        result.clear();
        const auto t0 = std::chrono::steady_clock::now();
        const double cpu0 = cpuSeconds();
        result = crossCheck(stations, 3);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        bestCpu = std::min(bestCpu, cpuSeconds() - cpu0);
    }
    size_t findings = 0;
    for (const auto& log : result)
        for (const QsoCheck& c : log) findings += c.finding != Finding::none;
    // The processor time says what the wall time would be on a machine no one else uses.
    std::printf(
        "%zu logs, %zu QSOs: cross-check %.3f s wall, %.3f s processor (best of %d), %zu findings; memory: "
        "logs read %.0f MB, the cross-check adds %.0f MB\n",
        paths.size(), qsos, best, bestCpu, rounds, findings, before / 1024.0, (peakKilobytes() - before) / 1024.0);
    return 0;
}
