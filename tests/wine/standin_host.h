// What the tests of programs beside the host share: starting a program and ending it by
// its process id, the stand-in host (orba-standin.exe) driven through its control
// channel with its macro record, and finding and clicking windows of other processes.
//
// Every process started here is ended when its owner goes out of scope, if it has not
// ended by then: a failed check never leaves one running.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "win32_owners.h"

namespace wt {

// The folder of a file path ("Z:\build\bin\Stats.dll" gives "Z:\build\bin").
std::string folderOf(const std::string& path);
// The folder of this test program.
std::string programFolder();
// UTF-16 text of a UTF-8 or plain ASCII text.
std::wstring widen(const std::string& utf8);

class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // Asks nothing: ends it by its id if it still runs (see endGently()).
    ~Process();

    // Starts `program` with `arguments`. With `control`, its standard input and output
    // are pipes of this process: writeLine() and readLine(); otherwise it inherits nothing.
    bool start(const std::string& program, const std::wstring& arguments, bool control = false);

    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    bool running() const;
    // True when it ended within the time.
    bool waitExit(DWORD milliseconds);
    DWORD exitCode() const;
    // Ends it by its id at once and waits for the end.
    void kill();
    // Closes its input, gives it `milliseconds` to end on its own, then kills it.
    void endGently(DWORD milliseconds);

    bool writeLine(const std::string& line);
    // The next line of its output without the line end; false when none came within the
    // time or the output ended.
    bool readLine(std::string& line, DWORD milliseconds);

private:
    win32::KernelHandle process_;
    DWORD id_ = 0;
    win32::FileHandle input_, output_;
    std::string pending_;
};

// orba-standin.exe of the build, with its macro record in the working folder.
class StandInHost {
public:
    // Starts `binFolder`\orba-standin.exe with `arguments` and waits for its ready line.
    bool start(const std::string& binFolder, const std::wstring& arguments = L"", DWORD milliseconds = 15000);
    // One command and its reply line ("" when none came within the time).
    std::string command(const std::string& line, DWORD milliseconds = 10000);
    // A command that should answer "ok": checked, and its reply fields returned.
    std::vector<std::string> commandOk(const std::string& line);

    HWND window() const { return window_; }
    Process& process() { return process_; }
    const std::string& recordPath() const { return record_; }

    // The macros received so far, in order, as code page 1251 bytes.
    std::vector<std::string> macros() const;
    // Waits until at least `count` macros have arrived; false when they did not in time.
    bool waitForMacros(size_t count, DWORD milliseconds) const;

    // What the process has said through OutputDebugString (the plug-in's diagnostics):
    // "" when nothing, else the count and the last text.
    std::string debugTexts();

    // Ends it by its quit command; true when it ended within the time with exit code 0.
    bool quit(DWORD milliseconds = 5000);

private:
    Process process_;
    HWND window_ = nullptr;
    std::string record_;
};

// A visible top-level window of process `pid` with that window class and caption (null:
// any), waited for up to `milliseconds` or until `owner`, if given, has ended.
HWND waitForWindow(DWORD pid, const char* className, const char* caption, DWORD milliseconds, Process* owner = nullptr);
// Whether process `pid` has any visible top-level window.
bool hasVisibleWindow(DWORD pid);
// Waits until `w` is the foreground window; Wine activates a window of another process
// asynchronously.
bool waitForeground(HWND w, DWORD milliseconds = 2000);
// Clicks a button as the mouse does (BM_CLICK) and waits until its handler has returned.
bool click(HWND button, DWORD milliseconds = 5000);

// Real input into the desktop, as the operator's mouse and keyboard give it: it goes
// wherever the system sends it (the window under the pointer, the foreground window's
// focus), through every message loop on the way.
// The pointer to the point (x, y) of `w`'s window rectangle (negative: from its right or
// bottom edge), then the left button down, or down and up.
void mouseDownAt(HWND w, int x, int y);
void mouseUp();
void mouseClickAt(HWND w, int x, int y);
// The pointer moved by (dx, dy) as a mouse does, the button as it is.
void mouseMoveBy(int dx, int dy);
// A key pressed and released.
void pressKey(WORD virtualKey);
// The keyboard focus of `w`'s thread (null when none).
HWND keyboardFocusOf(HWND w);

}  // namespace wt
