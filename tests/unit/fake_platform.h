// A platform for tests: settings in memory, a fixed clock, recorded message boxes and
// a scripted header dialog. Each test runs in a fresh temporary folder, because the
// plug-in writes its reports into the current folder.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes.h"

class ListedFolders : public FolderSearch {
public:
    std::vector<std::string> list(const std::string& pattern) override {
        patterns.push_back(pattern);
        return names;
    }
    std::vector<std::string> names;
    std::vector<std::string> patterns;
};

class RecordingNotifier : public Notifier {
public:
    void show(const std::string& text, const std::string& caption, Icon) override {
        shown.push_back(caption + "|" + text);
    }
    std::vector<std::string> shown;
};

class ScriptedDialog : public HeaderDialog {
public:
    bool run(CabrilloHeader& v) override {
        seen = v;
        ++runs;
        if (edit) edit(v);
        return confirm;
    }
    bool confirm = true;
    int runs = 0;
    CabrilloHeader seen;
    std::function<void(CabrilloHeader&)> edit;
};

class FixedClock : public Clock {
public:
    DateTime nowUtc() override { return now; }
    DateTime now = DateTime::fromCalendar(2017, 12, 16, 12, 0, 0);
};

// Runs each test in a temporary folder of its own.
class InTempFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static std::string readFile(const std::string& name);
    static bool fileExists(const std::string& name);
    // Whether a file writer's temporary file ("*.tmp") is left in the folder.
    static bool temporaryFilesIn(const std::string& folder);

private:
    std::string previous_, folder_;
};

// A plug-in on the fake platform, with helpers that speak in contest terms.
class PluginTest : public InTempFolder {
protected:
    PluginTest();
    MemoryProfileStore profile;
    ListedFolders folders;
    RecordingNotifier notifier;
    ScriptedDialog dialog;
    HeadlessWindowBridge windows;
    FixedClock clock;
    RecordingDiagnostics diagnostics;
    Platform platform{profile, folders, notifier, dialog, windows, clock, diagnostics};
    std::unique_ptr<Plugin> plugin;

    // The state as the window thread reaches it: the data under the lock (held while
    // the handle lives: release it before calling the plug-in), and the shared flags.
    ContestState::Locked<ContestData> data() { return plugin->state().lock(); }
    SharedFlags& flags() { return plugin->state().shared; }

    // A reset for own call, prefix and continent; the contest ends 17.12.2017.
    void reset(const std::string& ownCall = "OK1XYZ", const std::string& ownPrefix = "OK",
               const std::string& ownContinent = "EU", int exportRequested = 0);
    // One QSO; `hhmm` is the time on 16.12.2017 as "HHMM" or "HHMMSS".
    static QsoArgs qso(const std::string& call, const std::string& band, const std::string& mode,
                       const std::string& hhmm, const std::string& exchange = "001", const std::string& prefix = "DL",
                       const std::string& continent = "EU");
    int add(const QsoArgs& q) { return plugin->addData(q); }
    std::string report() { return readFile("BadQSO_StatsTALVENCP_17_12_2017.txt"); }
};

DateTime at(const std::string& hhmm, int day = 16);

// While it lives, no file of this process grows past `bytes`: writes fail as on a full
// disk (EFBIG instead of ENOSPC), for root too, with no file system to fill.
class FullDisk {
public:
    explicit FullDisk(unsigned long bytes);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    unsigned long previous_;
    void (*previousHandler_)(int);
};
