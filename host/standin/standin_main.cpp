// orba-standin: a program that answers as the host Orba does where the plug-in and
// modepad meet it: a running "Orba2.Application" object, a main window whose class
// modepad looks for, and the plug-in loaded and called on the main thread. What it
// reports is set from its command line and, while it runs, through commands on its
// standard input (see --help). Every macro it is sent is appended to a record file.
//
// The main thread owns the object and the window, runs every command and every call of
// the plug-in, and waits for nothing but its messages: COM calls from other threads and
// processes arrive through them. A second thread only reads standard input and hands
// each line over.
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "standin/automation_object.h"
#include "standin/plugin_driver.h"
#include "standin/protocol.h"
#include "standin/registration.h"
#include "win32_owners.h"
#include "window_base.h"
#include "window_search.h"

namespace {

using namespace standin;

// The class name begins as the host's MFC frame window class does ("Afx:" instance,
// class style, cursor...): modepad finds the host's window by its first 18 characters.
const wchar_t* const kWindowClass = L"Afx:400000:b:10011:6:0";
const wchar_t* const kWindowTitle = L"Orba (stand-in host)";

enum : UINT { kInputMessage = WM_APP + 1 };
enum : UINT_PTR { kTimeLimitTimer = 1 };
enum ExitCode { exitClean = 0, exitUsage = 2, exitUnusable = 3, exitTimeLimit = 4, exitWatchdog = 5 };

const char* const kUsage =
    "usage: orba-standin [options]\n"
    "Publishes \"Orba2.Application\" as the host Orba does, shows a window of the host's\n"
    "class, and prints \"ready ...\" once clients can bind.\n"
    "\n"
    "  --mode TEXT          the Mode property (default RTTY)\n"
    "  --frequency HZ       the Frequency property (default 14080000)\n"
    "  --call TEXT          entry field 5, the call being typed (default empty)\n"
    "  --record FILE        write every ExecuteMacros text to FILE, one per line\n"
    "  --time-limit SECONDS end after this long (default 600; 0: never)\n"
    "  --detached           read no commands; run until closed or the time limit\n"
    "  --window-class NAME  the main window's class (default one beginning as the host's)\n"
    "\n"
    "Commands on standard input, one per line, each answered by one line \"ok ...\" or\n"
    "\"error ...\"; texts are code page 1251 bytes; \"-\" is an empty word:\n"
    "  mode TEXT | frequency HZ | field N TEXT      set what the object reports\n"
    "  fault none|error|wrong-type                  make its calls fail, or answer a wrong type\n"
    "  state                                        ok MODE FREQUENCY CALL MACRO-COUNT\n"
    "  load PATH | unload | version TEXT            the plug-in library\n"
    "  reset CALL PREFIX CONTINENT START END [EXPORT [FOLDER]]\n"
    "  add PREFIX CONTINENT QSO: ... | remove PREFIX CONTINENT QSO: ...\n"
    "  check CALL BAND MODE PREFIX [AREA] | result  the plug-in's exports\n"
    "  click ID TITLE                               press control ID of this process's window\n"
    "                                               whose title begins with TITLE, as a mouse does\n"
    "  debug                                        ok COUNT LAST: the debug texts (OutputDebugString)\n"
    "                                               of this process so far, each also on standard error\n"
    "  reenter check ...|result|reset ...|add ...   run that plug-in command inside the next\n"
    "                                               ExecuteMacros call, as a host's macro handler may\n"
    "  reentered                                    ok REPLY: the reply of that command (error: none ran)\n"
    "  quit                                         end (as does the end of the input)\n";

struct Options {
    std::wstring mode = L"RTTY";
    double frequencyHz = 14080000.0;
    std::wstring call;
    std::wstring record;
    unsigned timeLimit = 600;
    bool detached = false;
    std::wstring windowClass = kWindowClass;
};

bool parseNumber(const std::wstring& text, double& out) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    const double v = std::wcstod(text.c_str(), &end);
    if (*end != L'\0' || !std::isfinite(v) || v < 0) return false;
    out = v;
    return true;
}

// False with a message for a wrong command line; `help` when --help was asked.
bool parseOptions(int argc, wchar_t** argv, Options& o, bool& help, std::string& error) {
    help = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        auto value = [&](std::wstring& out) {
            if (i + 1 >= argc) {
                error = "option " + cp1251FromWide(a) + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::wstring v;
        if (a == L"--help" || a == L"-h") {
            help = true;
        } else if (a == L"--mode") {
            if (!value(o.mode)) return false;
        } else if (a == L"--call") {
            if (!value(o.call)) return false;
        } else if (a == L"--record") {
            if (!value(o.record)) return false;
        } else if (a == L"--frequency") {
            if (!value(v)) return false;
            if (!parseNumber(v, o.frequencyHz)) {
                error = "--frequency wants hertz, not '" + cp1251FromWide(v) + "'";
                return false;
            }
        } else if (a == L"--time-limit") {
            double seconds = 0;
            if (!value(v)) return false;
            if (!parseNumber(v, seconds) || seconds > 86400 || seconds != std::floor(seconds)) {
                error = "--time-limit wants whole seconds up to a day, not '" + cp1251FromWide(v) + "'";
                return false;
            }
            o.timeLimit = unsigned(seconds);
        } else if (a == L"--window-class") {
            if (!value(o.windowClass) || o.windowClass.empty()) return false;
        } else if (a == L"--detached") {
            o.detached = true;
        } else {
            error = "unknown option '" + cp1251FromWide(a) + "'";
            return false;
        }
    }
    return true;
}

// What the process's code (the plug-in's, above all) says through OutputDebugString, as
// a debugger would show it. It comes as an exception on the saying thread, any thread.
struct DebugTexts {
    std::mutex lock;
    unsigned long count = 0;
    std::string last;
};

DebugTexts& debugTexts() {
    static DebugTexts texts;
    return texts;
}

LONG CALLBACK catchDebugText(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD& r = *e->ExceptionRecord;
    if (r.ExceptionCode != DBG_PRINTEXCEPTION_C || r.NumberParameters < 2 || !r.ExceptionInformation[1])
        return EXCEPTION_CONTINUE_SEARCH;
    const char* text = reinterpret_cast<const char*>(r.ExceptionInformation[1]);
    std::string line(text, strnlen(text, static_cast<size_t>(r.ExceptionInformation[0])));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::fprintf(stderr, "orba-standin: debug: %s\n", line.c_str());
    std::fflush(stderr);
    DebugTexts& texts = debugTexts();
    const std::lock_guard<std::mutex> hold(texts.lock);
    ++texts.count;
    texts.last = std::move(line);
    return EXCEPTION_CONTINUE_EXECUTION;
}

void writeLine(HANDLE out, const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr);
}

// Lines read from standard input, handed from the reading thread to the main thread.
// Shared by both: the reading thread may outlive everything else of the program.
struct InputQueue {
    std::mutex lock;
    std::deque<std::string> lines;
    bool ended = false;

    bool pop(std::string& line) {
        std::lock_guard<std::mutex> hold(lock);
        if (lines.empty()) return false;
        line = std::move(lines.front());
        lines.pop_front();
        return true;
    }
    bool hasEnded() {
        std::lock_guard<std::mutex> hold(lock);
        return ended && lines.empty();
    }
};

struct Reader {
    std::shared_ptr<InputQueue> queue;
    HWND window;
};

DWORD WINAPI readInput(LPVOID param) {
    std::unique_ptr<Reader> reader(static_cast<Reader*>(param));
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char buffer[4096];
    DWORD n = 0;
    auto hand = [&](std::string line, bool end) {
        {
            std::lock_guard<std::mutex> hold(reader->queue->lock);
            if (!line.empty()) reader->queue->lines.push_back(std::move(line));
            if (end) reader->queue->ended = true;
        }
        PostMessageW(reader->window, kInputMessage, 0, 0);
    };
    while (in && in != INVALID_HANDLE_VALUE && ReadFile(in, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        pending.append(buffer, n);
        size_t start = 0, end;
        while ((end = pending.find('\n', start)) != std::string::npos) {
            hand(pending.substr(start, end - start), false);
            start = end + 1;
        }
        pending.erase(0, start);
    }
    hand(pending, true);
    return 0;
}

DWORD WINAPI watchdog(LPVOID param) {
    const DWORD seconds = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(param));
    Sleep(seconds * 1000);
    std::fprintf(stderr, "orba-standin: still running %lu s after its time limit; ending it\n",
                 static_cast<unsigned long>(seconds));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), exitWatchdog);
    return 0;
}

std::wstring thousands(double hz) {
    wchar_t digits[64];
    std::swprintf(digits, 64, L"%.0f", hz);
    std::wstring s = digits, out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (i > 0 && (s.size() - i) % 3 == 0) out += L' ';
        out += s[i];
    }
    return out;
}

class StandIn : public win32::WindowBase {
public:
    StandIn(const Options& o, HANDLE out) : WindowBase("orba-standin"), options_(o), out_(out) {}

    int exitCode = exitClean;

    bool createWindow(std::string& error) {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW c{};
        c.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        c.lpfnWndProc = procedure;
        c.hInstance = instance;
        c.hCursor = LoadCursor(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        c.lpszClassName = options_.windowClass.c_str();
        if (!RegisterClassW(&c)) {
            error = "cannot register the window class";
            return false;
        }
        RECT r{0, 0, 380, 150};
        AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
        window_ = CreateWindowExW(0, options_.windowClass.c_str(), kWindowTitle, WS_OVERLAPPEDWINDOW, 176, 16,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, creationParameter());
        if (!window_) {
            error = "cannot create the main window";
            return false;
        }
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
        return true;
    }

    bool publish(std::string& error) {
        object_.reset(new AutomationObject([w = window_] { InvalidateRect(w, nullptr, TRUE); }));
        object_->state.mode = options_.mode;
        object_->state.frequencyHz = options_.frequencyHz;
        if (!options_.call.empty()) object_->state.fields[5] = options_.call;
        if (!object_->record.open(options_.record, error)) return false;
        CLSID clsid;
        if (!registerProgId(clsid, error)) return false;
        // One host at a time: two would answer clients at random.
        win32::ComPtr<IUnknown> other;
        if (SUCCEEDED(GetActiveObject(clsid, nullptr, other.put()))) {
            error = "another program already publishes Orba2.Application";
            return false;
        }
        const HRESULT hr = published_.registerObject(object_.get(), clsid);
        if (FAILED(hr)) {
            error = "RegisterActiveObject failed with " + hex(hr);
            return false;
        }
        return true;
    }

    void startInput() {
        if (options_.detached) return;
        queue_ = std::make_shared<InputQueue>();
        auto* reader = new Reader{queue_, window_};
        // The thread is never waited for: it may sit in ReadFile until the process ends.
        const win32::KernelHandle thread(CreateThread(nullptr, 0, readInput, reader, 0, nullptr));
        if (!thread) delete reader;
    }

    void startTimeLimit() {
        if (options_.timeLimit == 0) return;
        SetTimer(window_, kTimeLimitTimer, options_.timeLimit * 1000, nullptr);
        // If the main thread is stuck (in a plug-in call, say), the timer never fires.
        const win32::KernelHandle thread(
            CreateThread(nullptr, 0, watchdog, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(options_.timeLimit + 10)),
                         0, nullptr));
    }

    // After the message loop: what the host does when it closes.
    void shutDown() {
        // The plug-in first: its own threads may still call the object while it unloads.
        driver_.unload();
        if (object_) CoDisconnectObject(static_cast<IDispatch*>(object_.get()), 0);
        published_.reset();
        object_.reset();
    }

private:
    LRESULT handle(HWND w, UINT message, WPARAM wp, LPARAM lp) override {
        switch (message) {
            case WM_PAINT:
                paint();
                return 0;
            case kInputMessage:
                drainInput();
                return 0;
            case WM_TIMER:
                if (wp == kTimeLimitTimer) {
                    KillTimer(w, kTimeLimitTimer);
                    std::fprintf(stderr, "orba-standin: time limit of %u s reached\n", options_.timeLimit);
                    std::fflush(stderr);
                    exitCode = exitTimeLimit;
                    DestroyWindow(w);
                    return 0;
                }
                break;
            case WM_DESTROY:
                PostQuitMessage(0);
                return 0;
        }
        return DefWindowProcW(w, message, wp, lp);
    }

    // A command that threw has left the queue's loop: later ones are still served.
    void recover(HWND) noexcept override { busy_ = false; }

    static std::string hex(HRESULT hr) {
        char b[16];
        std::snprintf(b, sizeof b, "0x%08lX", static_cast<unsigned long>(hr));
        return b;
    }

    void paint() {
        win32::PaintDC dc(window_);
        if (!dc) return;
        const win32::ScopedSelect font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc.get(), TRANSPARENT);
        const HostState none;
        const HostState& s = object_ ? object_->state : none;
        std::wstring macros = L"none yet";
        if (object_ && object_->record.count())
            macros = std::to_wstring(object_->record.count()) + L", the last " + object_->record.last();
        std::wstring plugin = L"none loaded";
        if (driver_.loaded()) plugin = wideFromCp1251(driver_.path());
        const std::wstring lines[][2] = {
            {L"Orba2.Application", L"published; macros are recorded, not run"},
            {L"Mode", s.mode},
            {L"Frequency", thousands(s.frequencyHz) + L" Hz"},
            {L"Typed call", s.field(5).empty() ? L"(none)" : s.field(5)},
            {L"Macros", macros},
            {L"Plug-in", plugin},
            {L"Commands", options_.detached ? L"none (detached)" : L"from standard input"},
        };
        int y = 10;
        for (const auto& line : lines) {
            RECT label{12, y, 110, y + 18}, value{112, y, 372, y + 18};
            DrawTextW(dc.get(), (line[0] + L":").c_str(), -1, &label, DT_SINGLELINE | DT_NOPREFIX);
            DrawTextW(dc.get(), line[1].c_str(), -1, &value, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            y += 19;
        }
    }

    // Runs the commands that have arrived. A command whose call waits in a modal loop
    // (a dialog of the plug-in) lets messages through: the commands behind it wait in
    // the queue, as the host never calls its plug-in twice at once.
    void drainInput() {
        if (busy_ || !queue_) return;
        busy_ = true;
        std::string line;
        while (!quitting_ && queue_->pop(line)) {
            const Request request = parseRequest(line);
            if (request.verb.empty()) continue;
            writeLine(out_, execute(request));
        }
        busy_ = false;
        if (!quitting_ && queue_->hasEnded()) quit();
    }

    void quit() {
        quitting_ = true;
        DestroyWindow(window_);
    }

    // A visible top-level window of this process whose title (in the ANSI code page)
    // begins with `prefix`.
    static HWND windowTitled(const std::string& prefix) {
        for (HWND w : win32::topWindows(GetCurrentProcessId())) {
            char title[256] = {0};
            GetWindowTextA(w, title, sizeof title);
            if (std::string(title).rfind(prefix, 0) == 0) return w;
        }
        return nullptr;
    }

    std::string execute(const Request& r) {
        if (PluginDriver::handles(r.verb)) {
            std::string reply = driver_.run(r);
            InvalidateRect(window_, nullptr, TRUE);
            return reply;
        }
        HostState& s = object_->state;
        if (r.verb == "mode") {
            s.mode = wideFromCp1251(r.after(0));
        } else if (r.verb == "frequency") {
            double hz = 0;
            if (!parseNumber(wideFromCp1251(r.word(0)), hz)) return errorReply("frequency: give hertz");
            s.frequencyHz = hz;
        } else if (r.verb == "field") {
            char* end = nullptr;
            const std::string n = r.word(0);
            const long index = std::strtol(n.c_str(), &end, 10);
            if (n.empty() || *end) return errorReply("field: give N TEXT");
            s.fields[int32_t(index)] = wideFromCp1251(r.after(1));
        } else if (r.verb == "fault") {
            const std::string f = r.word(0);
            if (f == "none")
                s.fault = Fault::none;
            else if (f == "error")
                s.fault = Fault::error;
            else if (f == "wrong-type")
                s.fault = Fault::wrongType;
            else
                return errorReply("fault: none, error or wrong-type");
        } else if (r.verb == "state") {
            char hz[64];
            std::snprintf(hz, sizeof hz, "%.15g", s.frequencyHz);
            return okReply(
                {cp1251FromWide(s.mode), hz, cp1251FromWide(s.field(5)), std::to_string(object_->record.count())});
        } else if (r.verb == "click") {
            // Posted, never sent: the window may belong to the plug-in's own thread, which
            // may at this moment be waiting for this thread to answer a call.
            char* end = nullptr;
            const std::string id = r.word(0);
            const long control = std::strtol(id.c_str(), &end, 10);
            if (id.empty() || *end || r.after(1).empty()) return errorReply("click: give ID TITLE");
            const HWND w = windowTitled(r.after(1));
            if (!w) return errorReply("click: no window whose title begins with '" + r.after(1) + "'");
            const HWND button = GetDlgItem(w, int(control));
            if (!button) return errorReply("click: that window has no control " + id);
            PostMessageW(button, BM_CLICK, 0, 0);
        } else if (r.verb == "reenter") {
            const Request inner = parseRequest(r.after(0));
            if (!PluginDriver::handles(inner.verb) || inner.verb == "load" || inner.verb == "unload")
                return errorReply("reenter: give a plug-in call (check, result, reset, add, remove)");
            reentryReply_.clear();
            object_->macroHandler = [this, inner] { reentryReply_ = driver_.run(inner); };
        } else if (r.verb == "reentered") {
            if (reentryReply_.empty()) return errorReply("reentered: no command ran inside a macro");
            return okReply({reentryReply_});
        } else if (r.verb == "debug") {
            DebugTexts& texts = debugTexts();
            const std::lock_guard<std::mutex> hold(texts.lock);
            return okReply({std::to_string(texts.count), texts.last});
        } else if (r.verb == "quit") {
            quit();
        } else {
            return errorReply("unknown command '" + r.verb + "' (orba-standin --help lists them)");
        }
        InvalidateRect(window_, nullptr, TRUE);
        return okReply();
    }

    Options options_;
    HANDLE out_;
    win32::ComPtr<AutomationObject> object_;
    win32::ActiveObject published_;
    PluginDriver driver_;
    std::string reentryReply_;  // of the command run inside a macro ("reenter")
    std::shared_ptr<InputQueue> queue_;
    bool busy_ = false;
    bool quitting_ = false;
};

int run() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    int argc = 0;
    const win32::LocalMemory<LPWSTR> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
    Options options;
    bool help = false;
    std::string error;
    if (!argv || !parseOptions(argc, argv.get(), options, help, error)) {
        std::fprintf(stderr, "orba-standin: %s\n%s", error.c_str(), kUsage);
        return exitUsage;
    }
    if (help) {
        writeLine(out, kUsage);
        return exitClean;
    }
    AddVectoredExceptionHandler(1, catchDebugText);
    const win32::ComInit com(COINIT_APARTMENTTHREADED);
    if (!com) {
        std::fprintf(stderr, "orba-standin: COM does not start (0x%08lX)\n", static_cast<unsigned long>(com.result()));
        return exitUnusable;
    }
    StandIn host(options, out);
    if (!host.createWindow(error) || !host.publish(error)) {
        std::fprintf(stderr, "orba-standin: %s\n", error.c_str());
        host.shutDown();
        return exitUnusable;
    }
    char ready[96];
    std::snprintf(ready, sizeof ready, "ready pid=%lu window=0x%llX", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(host.window())));
    writeLine(out, ready);
    host.startInput();
    host.startTimeLimit();
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    host.shutDown();
    return host.exitCode;
}

}  // namespace

int main() {
    try {
        return run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orba-standin: %s\n", e.what());
        return exitUnusable;
    }
}
