// Fakes shared by the unit tests, the soak test and the benchmark (none of them needs
// GoogleTest): settings in memory, recorded faults, a plug-in on the headless platform,
// the reset of the generated contest, and the host and grid windows as the operator
// windows' watch sees them.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "operator/host_link.h"
#include "operator/watch.h"
#include "platform/headless.h"
#include "plugin.h"

class MemoryProfileStore : public ProfileStore {
public:
    std::string read(const std::string&, const std::string&, const std::string& key) override {
        auto it = values.find(key);
        if (it == values.end()) return std::string();
        return it->second.substr(0, 99);
    }
    void write(const std::string&, const std::string&, const std::string& key, const std::string& value) override {
        values[key] = value;
    }
    std::map<std::string, std::string> values;
};

class RecordingDiagnostics : public Diagnostics {
public:
    void fault(const std::string& what) override { faults.push_back(what); }
    std::vector<std::string> faults;
};

// A plug-in on the headless platform, its settings in memory and its faults recorded.
struct HeadlessPlugin {
    MemoryProfileStore profile;
    HeadlessFolderSearch folders;
    StderrNotifier notifier;
    ConfirmingHeaderDialog dialog;
    HeadlessWindowBridge windows;
    SystemClock clock;
    RecordingDiagnostics diagnostics;
    Platform platform{profile, folders, notifier, dialog, windows, clock, diagnostics};
    Plugin plugin{platform};
};

// The reset of a run for OK1XYZ (OK, EU) in the contest of 16-17.12.2017.
inline ResetArgs contestReset() {
    ResetArgs a;
    a.ownCall = "OK1XYZ";
    a.ownPrefix = "OK";
    a.ownContinent = "EU";
    a.start = DateTime::fromCalendar(2017, 12, 16, 12, 0, 0);
    a.end = DateTime::fromCalendar(2017, 12, 17, 11, 59, 0);
    return a;
}

// The host as the watch sees it: `typed` in the entry field, the radio on `hertz` in
// `hostMode`; `failing` makes every call fail as a host gone away would.
struct TypingHost : HostLink {
    bool bound() const override { return isBound; }
    bool entryField(int, std::string& text) override {
        text = typed;
        return !failing;
    }
    bool frequency(double& hz) override {
        hz = hertz;
        return !failing;
    }
    bool mode(std::string& text) override {
        text = hostMode;
        return !failing;
    }
    bool executeMacro(const std::string&) override { return !failing; }
    bool isBound = true, failing = false;
    std::string typed, hostMode = "RTTY";
    double hertz = 14080000.0;
};

// Both grid windows open; only the DXCC window's title is kept. Nothing is painted.
struct OpenGrids : GridWindows {
    bool dxccOpen() override { return true; }
    void openDxcc() override {}
    bool areaOpen() override { return true; }
    void openArea(bool) override {}
    void setDxccTitle(const std::string& t) override { title = t; }
    void setAreaTitle(const std::string&) override {}
    void clearAreaMarks() override {}
    void markAreaWorked(const std::string&) override {}
    void refreshAreaBoxes() override {}
    void repaintDxccTable() override {}
    std::string title;
};
