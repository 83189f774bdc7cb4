#include "platform/headless.h"

#include <dirent.h>
#include <fnmatch.h>

#include <chrono>
#include <cstdio>

#include "platform/ini_file.h"

std::string HeadlessProfileStore::localPath(const std::string& file) {
    std::string p = file;
    for (auto& c : p)
        if (c == '\\') c = '/';
    return p;
}

std::string HeadlessProfileStore::read(const std::string& file, const std::string& section, const std::string& key) {
    return ini::read(localPath(file), section, key);
}

void HeadlessProfileStore::write(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& value) {
    ini::write(localPath(file), section, key, value);
}

std::vector<std::string> HeadlessFolderSearch::list(const std::string& pattern) {
    std::string p = HeadlessProfileStore::localPath(pattern);
    const size_t slash = p.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : p.substr(0, slash));
    const std::string mask = slash == std::string::npos ? p : p.substr(slash + 1);
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        // Windows matches file names without regard to letter case.
        if (fnmatch(mask.c_str(), e->d_name, FNM_CASEFOLD) == 0) names.emplace_back(e->d_name);
    }
    closedir(d);
    return names;
}

void StderrNotifier::show(const std::string& text, const std::string& caption, Icon) {
    if (caption.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

bool ConfirmingHeaderDialog::run(CabrilloHeader&) { return true; }

void StderrDiagnostics::fault(const std::string& what) { std::fprintf(stderr, "Stats: %s\n", what.c_str()); }

DateTime SystemClock::nowUtc() {
    using namespace std::chrono;
    const double secs = duration_cast<duration<double>>(system_clock::now().time_since_epoch()).count();
    // 25569 days lie between 30 December 1899 and 1 January 1970.
    return DateTime(25569.0 + secs / 86400.0, DateTime::valid);
}

#ifndef _WIN32
Platform& defaultPlatform() {
    static HeadlessProfileStore profile;
    static HeadlessFolderSearch folders;
    static StderrNotifier notifier;
    static ConfirmingHeaderDialog dialog;
    static HeadlessWindowBridge windows;
    static SystemClock clock;
    static StderrDiagnostics diagnostics;
    static Platform platform{profile, folders, notifier, dialog, windows, clock, diagnostics};
    return platform;
}

Diagnostics& defaultDiagnostics() { return defaultPlatform().diagnostics; }
#endif
