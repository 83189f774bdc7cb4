// A shorter soak with the operator windows open (SOAK_CALLS sets the number of calls): the plug-in, loaded by the
// stand-in host with its DXCC and area windows showing, takes a long mixed stream of calls through the host's thread
// while its window thread follows every change. Afterwards a rescan gives the answers of a fresh load fed the same log,
// and the host's process holds no more handles than after the first thousand calls.
//
//   soak_windows_test.exe PATH\Stats.dll      (orba-standin.exe lies beside it)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "standin_host.h"
#include "wine_test.h"

namespace {

const char* const kReset = "reset OK1XYZ OK EU 2017-12-16T1200 2017-12-17T1159 0 ";

std::string qsoLine(std::mt19937& rng, int minute) {
    static const char* const freqs[] = {"3580", "7040", "14080", "21080", "28080", "1838"};
    const unsigned s = rng();
    const bool ukrainian = s % 4 == 0;
    char line[160];
    std::snprintf(line, sizeof line, "%s EU QSO: %s %s 2017-12-16 %02d%02d OK1XYZ 599 001 %s%u 599 %s",
                  ukrainian ? "UR" : "DL", freqs[rng() % 100 < 97 ? rng() % 5 : 5], rng() % 2 ? "RY" : "PK",
                  12 + minute / 60 % 12, minute % 60, ukrainian ? "UT" : "DL", s % 3000,
                  ukrainian ? (rng() % 5 ? "KV" : "XX") : "123");
    return line;
}

DWORD handles(HANDLE process) {
    DWORD n = 0;
    GetProcessHandleCount(process, &n);
    return n;
}

void soak(const std::string& dll) {
    const std::string bin = wt::folderOf(dll);
    CreateDirectoryA("Plugins", nullptr);
    wt::writeFile("Plugins\\TALVENA-CUP.ini", "[Settings]\r\nDXCC=1\r\nObl=1\r\n");

    wt::StandInHost host;
    if (!wt::check(host.start(bin, L"--time-limit 600"), "the stand-in host starts")) return;
    const std::string folder = wt::currentFolder() + "\\";
    host.commandOk("load " + dll);
    host.commandOk(kReset + folder);
    wt::check(wt::waitForWindow(host.process().id(), "#32770", nullptr, 10000) != nullptr, "the windows open");

    std::mt19937 rng(1216);
    std::vector<std::string> log;  // the QSO lines the host's log holds
    char count[32] = {0};
    // Each call makes a round trip through the stand-in host's channel (about 20 ms under
    // Wine, with the watch refreshing the windows): 2,000 in the test command, more with
    // SOAK_CALLS (20,000 take about seven minutes).
    const int calls = GetEnvironmentVariableA("SOAK_CALLS", count, sizeof count) ? std::atoi(count) : 2000;
    DWORD warmHandles = 0;
    for (int i = 0; i < calls; ++i) {
        if (i == 1000) warmHandles = handles(host.process().handle());
        const unsigned what = rng() % 100;
        if (what < 50 && log.size() < 800) {
            const std::string line = qsoLine(rng, i % 720);
            const std::string reply = host.command("add " + line);
            if (reply == "ok 1") log.push_back(line);
        } else if (what < 75 && !log.empty()) {
            const size_t at = rng() % log.size();
            host.command("remove " + log[at]);
            log.erase(log.begin() + static_cast<long>(at));
        } else if (what < 97) {
            host.command("field 5 " + std::string(rng() % 3 ? "-" : "DL" + std::to_string(rng() % 3000)));
            host.command("check DL" + std::to_string(rng() % 3000) + " 20m RTTY DL");
        } else {
            host.command("result");
        }
    }
    const DWORD endHandles = handles(host.process().handle());

    // The host rescans its log; then a fresh load of the library is fed the same log.
    const auto rescan = [&] {
        host.commandOk(kReset + folder);
        for (const std::string& line : log) host.command("add " + line);
        const std::vector<std::string> r = host.commandOk("result");
        return r.size() > 1 ? r[1] : std::string();
    };
    const std::string soaked = rescan();
    host.commandOk("unload");
    host.commandOk("load " + dll);
    const std::string fresh = rescan();
    wt::check(!soaked.empty() && soaked == fresh, "after a rescan the result equals a fresh load's");
    std::printf("soak_windows_test: %d calls, final log %zu QSOs, host handles %lu after 1,000 calls, %lu at the end\n",
                calls, log.size(), static_cast<unsigned long>(warmHandles), static_cast<unsigned long>(endHandles));
    const std::string said = host.debugTexts();
    wt::check(said.empty(), "the plug-in reported no fault (" + said + ")");
    if (warmHandles == 0)
        std::printf("soak_windows_test: this Wine reports no handle count; the handle check is skipped\n");
    else
        wt::check(endHandles <= warmHandles + 20, "the host's handles do not grow with the calls");
    host.commandOk("unload");
    wt::check(host.quit(), "the host ends normally");
}

}  // namespace

int main(int argc, char** argv) { return wt::run(170, argc, argv, soak); }
