// Small harness of the Windows test programs run under Wine: every program's main
// (run: a watchdog that ends a hung program, the usage, the totals), checks that report
// and count, a worker thread with a bounded wait, windows standing in for the host's,
// and helpers that pump messages and find, read and press the windows of a process.
#pragma once
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "win32_owners.h"

namespace wt {

// ---- checks -------------------------------------------------------------------------

int& failures();
int& checks();
// Records one check; prints it when it fails (and always when WINE_TEST_VERBOSE is set).
bool check(bool ok, const std::string& what);
bool checkEqual(const std::string& actual, const std::string& expected, const std::string& what);
bool checkEqual(long long actual, long long expected, const std::string& what);

// Text with control characters spelled out, for messages.
std::string visible(const std::string& s);

// ---- the program ----------------------------------------------------------------------

// What every test program's main does: starts a watchdog that ends the whole process
// with exit code 3 after `seconds`, whatever it is doing; runs the body; prints the
// totals under the program's name and returns its exit code (0 when every check passed).
int run(unsigned seconds, const std::function<void()>& body);
// The same for a program that needs the path of Stats.dll (scripts/wine-tests.sh gives
// it to every program as the argument): without one, a usage line and exit code 2.
int run(unsigned seconds, int argc, char** argv, const std::function<void(const std::string& dll)>& body);

// ---- threads ------------------------------------------------------------------------

// Runs a function on a thread of its own (the dialogs and boxes block their caller).
class Worker {
public:
    explicit Worker(std::function<void()> body);
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    // True when the function returned within the time.
    bool wait(DWORD milliseconds);
    DWORD threadId() const { return id_; }

private:
    static DWORD WINAPI entry(LPVOID self);
    std::function<void()> body_;
    win32::KernelHandle thread_;
    DWORD id_ = 0;
};

// ---- windows ------------------------------------------------------------------------

// Serves this thread's messages as a modeless dialog's loop does (keys go through
// IsDialogMessage), until nothing is left.
void pump();
// Pumps until `done` or `milliseconds` have passed; true when done.
bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds);
// Sends a message with both parameters 0, waiting at most 5 s: its answer (0 when none).
LRESULT ask(HWND w, UINT message);

// A visible top-level window of the calling thread standing in for one of the host's,
// made the thread's active window: a main window, or with an owner a pop-up like the
// host's own dialogs. Destroy it on the same thread.
HWND createHostWindow(const char* title, HWND owner = nullptr);

std::string className(HWND w);
// WM_GETTEXT through SendMessageTimeout: works across threads and never hangs.
std::string text(HWND w);
bool setText(HWND w, const std::string& s);

// What a search of top-level windows looks for.
struct WindowQuery {
    DWORD pid = GetCurrentProcessId();
    const char* className = nullptr;  // any when null
    const char* caption = nullptr;    // any when null
    bool captionStart = false;        // the caption only begins with `caption`
    bool visibleOnly = true;
};
std::vector<HWND> findWindows(const WindowQuery& query);
// The first window found, waited for up to `milliseconds` or until `givenUp` (when
// given) says that whoever should show it has ended without it.
HWND waitForWindow(const WindowQuery& query, DWORD milliseconds, const std::function<bool()>& givenUp = nullptr);
// A visible top-level dialog-class window ("#32770") of this process whose caption is
// `caption` (any caption when null), waited for up to `milliseconds`, or until
// `opener` (the worker whose call should show it) has returned without it.
HWND waitForDialog(const char* caption, DWORD milliseconds, Worker* opener = nullptr);
// The first child window of `parent` (at any depth) that `match` accepts, or whose
// text is `caption`.
HWND findChild(HWND parent, const std::function<bool(HWND)>& match);
HWND findChild(HWND parent, const char* caption);
// The message text of a message box (its static control with text).
std::string messageBoxText(HWND box);
// Presses a button of a dialog (BM_CLICK) and waits until the dialog is gone; falls
// back to WM_CLOSE. True when it closed.
bool pressAndWaitClosed(HWND dialog, int buttonId, DWORD milliseconds);
bool waitClosed(HWND w, DWORD milliseconds);

// ---- files --------------------------------------------------------------------------

bool readFile(const std::string& path, std::string& bytes);
// Replaces the file with `bytes`; false when it could not be written whole.
bool writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
std::string currentFolder();

}  // namespace wt
