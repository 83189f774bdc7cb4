// The platform without windows: used natively (tests, replay tool, benchmarks).
// Settings go to a profile file relative to the current folder; message boxes become
// lines on standard error, and so do faults; the header dialog confirms at once; the operator windows
// do not exist, but what the core asks of them is counted so tests can observe it.
#pragma once
#include <atomic>

#include "platform/seams.h"

class HeadlessProfileStore : public ProfileStore {
public:
    std::string read(const std::string& file, const std::string& section, const std::string& key) override;
    void write(const std::string& file, const std::string& section, const std::string& key,
               const std::string& value) override;
    // "Plugins\TALVENA-CUP.ini" becomes "Plugins/TALVENA-CUP.ini".
    static std::string localPath(const std::string& file);
};

class HeadlessFolderSearch : public FolderSearch {
public:
    std::vector<std::string> list(const std::string& pattern) override;
};

class StderrNotifier : public Notifier {
public:
    void show(const std::string& text, const std::string& caption, Icon icon) override;
};

class ConfirmingHeaderDialog : public HeaderDialog {
public:
    bool run(CabrilloHeader& values) override;
};

class HeadlessWindowBridge : public WindowBridge {
public:
    bool companionRunning() override { return running; }
    void startCompanion(ContestState&) override { ++starts; }
    void postRefresh() override { ++refreshes; }
    void rearmBandChangeTimer() override { ++timerRearms; }
    void resetAreaWindow() override { ++areaResets; }

    std::atomic<bool> running{false};
    std::atomic<int> starts{0}, refreshes{0}, timerRearms{0}, areaResets{0};
};

class SystemClock : public Clock {
public:
    DateTime nowUtc() override;
};

class StderrDiagnostics : public Diagnostics {
public:
    void fault(const std::string& what) override;
};
