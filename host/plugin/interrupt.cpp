#include "plugin/interrupt.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <unistd.h>

#include <csignal>
#endif

namespace replay {

namespace fs = std::filesystem;

namespace {

std::mutex& interruptLock() {
    static std::mutex lock;
    return lock;
}

struct Folder {
    fs::path path;
    bool onlyWhenEmpty;
};

// Guarded by interruptLock().
std::vector<Folder>& folders() {
    static std::vector<Folder> list;
    return list;
}

// Removes what the run made and ends the process; runs on the thread that took the
// signal while the main thread may be anywhere, except inside InterruptsWait.
[[noreturn]] void endInterrupted(int status) {
    interruptLock().lock();
    for (auto it = folders().rbegin(); it != folders().rend(); ++it) {
        std::error_code ec;
        if (it->onlyWhenEmpty) {
            fs::remove(it->path, ec);
            continue;
        }
        // The plug-in may still be making files in it: a few tries.
        for (int attempt = 0; attempt < 5 && fs::exists(it->path, ec); ++attempt) fs::remove_all(it->path, ec);
    }
#ifdef _WIN32
    // Not ExitProcess: that would run the plug-in's unload on this thread while the
    // main thread may be inside it.
    TerminateProcess(GetCurrentProcess(), UINT(status));
    for (;;) Sleep(INFINITE);
#else
    _exit(status);
#endif
}

#ifdef _WIN32
BOOL WINAPI consoleEvent(DWORD event) { endInterrupted(event == CTRL_C_EVENT ? 130 : 143); }
#endif

}  // namespace

void handleInterrupts() {
#ifdef _WIN32
    SetConsoleCtrlHandler(consoleEvent, TRUE);
#else
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    // Blocked here and so in every thread started later, the plug-in's included; only
    // the waiting thread takes them.
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set] {
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {
        }
        endInterrupted(128 + signal);
    }).detach();
#endif
}

void removeOnInterrupt(const fs::path& folder, bool onlyWhenEmpty) {
    const std::lock_guard<std::mutex> hold(interruptLock());
    folders().push_back({folder, onlyWhenEmpty});
}

void keepOnInterrupt(const fs::path& folder) {
    const std::lock_guard<std::mutex> hold(interruptLock());
    auto& list = folders();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const Folder& f) { return f.path == folder; }), list.end());
}

InterruptsWait::InterruptsWait() : hold_(interruptLock()) {}

}  // namespace replay
