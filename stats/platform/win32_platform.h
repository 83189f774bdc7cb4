// The Win32 implementations of the seams.
#pragma once
#include "platform/seams.h"

class Win32ProfileStore : public ProfileStore {
public:
    std::string read(const std::string& file, const std::string& section, const std::string& key) override;
    void write(const std::string& file, const std::string& section, const std::string& key,
               const std::string& value) override;
};

class Win32FolderSearch : public FolderSearch {
public:
    std::vector<std::string> list(const std::string& pattern) override;
};

class Win32Notifier : public Notifier {
public:
    void show(const std::string& text, const std::string& caption, Icon icon) override;
};

// The modal Cabrillo header dialog (dialog resource 101).
class Win32HeaderDialog : public HeaderDialog {
public:
    bool run(CabrilloHeader& values) override;
};

// The operator windows live on a thread of their own: every request is posted to the
// companion window, which carries it out there (or starts or stops that thread).
class Win32WindowBridge : public WindowBridge {
public:
    bool companionRunning() override;
    void startCompanion(ContestState& state) override;
    void postRefresh() override;
    void rearmBandChangeTimer() override;
    void resetAreaWindow() override;
};

class Win32Clock : public Clock {
public:
    DateTime nowUtc() override;
};

// OutputDebugString: what a debugger attached to the host, or DebugView, shows.
class Win32Diagnostics : public Diagnostics {
public:
    void fault(const std::string& what) override;
};
