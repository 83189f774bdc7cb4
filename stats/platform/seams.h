// The few ways the portable core reaches the platform. Each has a Win32 implementation,
// a headless one (native builds, the replay tool) and a test one (tests/unit).
#pragma once
#include <string>
#include <vector>

#include "contest/datetime.h"
#include "contest/window_bridge.h"
#include "platform/diagnostics.h"

// One key of a private settings file, section and key as given.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // Missing file or key: empty text. Values are cut to 99 characters.
    virtual std::string read(const std::string& file, const std::string& section, const std::string& key) = 0;
    // Failures are ignored.
    virtual void write(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

class FolderSearch {
public:
    virtual ~FolderSearch() = default;
    // File names (without folder) matching a pattern such as "C:\Orba\*.ini".
    virtual std::vector<std::string> list(const std::string& pattern) = 0;
};

class Notifier {
public:
    virtual ~Notifier() = default;
    enum class Icon { none, information };
    // Blocks until the operator closes it. An empty caption uses the system's default.
    virtual void show(const std::string& text, const std::string& caption, Icon icon) = 0;
};

// The eleven values of the Cabrillo header dialog.
struct CabrilloHeader {
    std::string callsign, name, address, claimed, contest, arrlSection, email, club, soapbox, operators, category;
};

class HeaderDialog {
public:
    virtual ~HeaderDialog() = default;
    // Shows the values, lets the operator edit them; true when confirmed (values updated).
    virtual bool run(CabrilloHeader& values) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime nowUtc() = 0;
};

struct Platform {
    ProfileStore& profile;
    FolderSearch& folders;
    Notifier& notifier;
    HeaderDialog& headerDialog;
    WindowBridge& windows;
    Clock& clock;
    Diagnostics& diagnostics;
};

// The platform of the build: Win32 on Windows, headless elsewhere.
Platform& defaultPlatform();
