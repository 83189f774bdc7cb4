// The Win32 side of the seams: private-profile functions, file search, message boxes,
// the system clock, and the library's load and unload.
#include <windows.h>

#include "contest/datetime.h"
#include "platform/win32_platform.h"
#include "win32_owners.h"
#include "windows/companion_window.h"
#include "windows/wide_text.h"

std::string Win32ProfileStore::read(const std::string& file, const std::string& section, const std::string& key) {
    char buffer[100] = {0};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, file.c_str());
    buffer[99] = '\0';
    return buffer;
}

void Win32ProfileStore::write(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& value) {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

std::vector<std::string> Win32FolderSearch::list(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    const win32::FindHandle search(FindFirstFileA(pattern.c_str(), &data));
    if (!search) return names;
    do {
        names.emplace_back(data.cFileName);
    } while (FindNextFileA(search.get(), &data));
    return names;
}

void Win32Notifier::show(const std::string& text, const std::string& caption, Icon icon) {
    const UINT flags = MB_OK | (icon == Icon::information ? MB_ICONINFORMATION : 0);
    const std::wstring title = wideFromCp1251(caption);
    MessageBoxW(nullptr, wideFromCp1251(text).c_str(), caption.empty() ? nullptr : title.c_str(), flags);
}

DateTime Win32Clock::nowUtc() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    // FILETIME counts 100 ns from 1 January 1601, which is 109205 days before 30 December 1899.
    const double days = static_cast<double>(t.QuadPart) / (864000000000.0) - 109205.0;
    return DateTime(days, DateTime::valid);
}

void Win32Diagnostics::fault(const std::string& what) { OutputDebugStringA(("Stats: " + what + "\n").c_str()); }

bool Win32WindowBridge::companionRunning() { return companionWindowRunning(); }
void Win32WindowBridge::startCompanion(ContestState& state) { startCompanionWindow(state); }
void Win32WindowBridge::postRefresh() { postToCompanionWindow(kRefreshMessage); }
void Win32WindowBridge::rearmBandChangeTimer() { postToCompanionWindow(kRearmTimerMessage); }
void Win32WindowBridge::resetAreaWindow() { postToCompanionWindow(kResetAreaMessage); }

Platform& defaultPlatform() {
    static Win32ProfileStore profile;
    static Win32FolderSearch folders;
    static Win32Notifier notifier;
    static Win32HeaderDialog dialog;
    static Win32WindowBridge windows;
    static Win32Clock clock;
    static Win32Diagnostics diagnostics;
    static Platform platform{profile, folders, notifier, dialog, windows, clock, diagnostics};
    return platform;
}

Diagnostics& defaultDiagnostics() { return defaultPlatform().diagnostics; }
