#include "wine_test.h"

#include <cstdlib>

#include "window_search.h"

namespace wt {

int& failures() {
    static int n = 0;
    return n;
}

int& checks() {
    static int n = 0;
    return n;
}

bool check(bool ok, const std::string& what) {
    ++checks();
    if (!ok) ++failures();
    if (!ok || std::getenv("WINE_TEST_VERBOSE")) {
        std::printf("  %s: %s\n", ok ? "ok" : "FAILED", what.c_str());
        std::fflush(stdout);
    }
    return ok;
}

bool checkEqual(const std::string& actual, const std::string& expected, const std::string& what) {
    if (actual == expected) return check(true, what);
    return check(false,
                 what + "\n      got:      \"" + visible(actual) + "\"\n      expected: \"" + visible(expected) + "\"");
}

bool checkEqual(long long actual, long long expected, const std::string& what) {
    if (actual == expected) return check(true, what);
    return check(false, what + ": got " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

std::string visible(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02x", c);
            out += b;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

namespace {
// The name of this program's file without its folder and ".exe".
std::string programName() {
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path - 1);
    std::string name = path;
    name.erase(0, name.find_last_of("\\/") + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

DWORD WINAPI watchdog(LPVOID param) {
    Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(param)) * 1000);
    std::printf("  FAILED: internal time limit of %u s reached\n",
                static_cast<unsigned>(reinterpret_cast<UINT_PTR>(param)));
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return 0;
}
}  // namespace

int run(unsigned seconds, const std::function<void()>& body) {
    // The watchdog's thread runs on without its handle.
    const win32::KernelHandle thread(
        CreateThread(nullptr, 0, watchdog, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(seconds)), 0, nullptr));
    body();
    std::printf("%s: %d checks, %d failed\n", programName().c_str(), checks(), failures());
    std::fflush(stdout);
    return failures() == 0 ? 0 : 1;
}

int run(unsigned seconds, int argc, char** argv, const std::function<void(const std::string& dll)>& body) {
    if (argc < 2) {
        std::printf("usage: %s PATH\\Stats.dll\n", programName().c_str());
        return 2;
    }
    const std::string dll = argv[1];
    return run(seconds, [&] { body(dll); });
}

Worker::Worker(std::function<void()> body) : body_(std::move(body)) {
    thread_.reset(CreateThread(nullptr, 0, entry, this, 0, &id_));
}

Worker::~Worker() {
    if (!thread_) return;
    // A worker still blocked in a dialog cannot be joined; the process ends around it.
    if (WaitForSingleObject(thread_.get(), 5000) != WAIT_OBJECT_0) {
        std::printf("  FAILED: a worker thread did not end\n");
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 4);
    }
}

DWORD WINAPI Worker::entry(LPVOID self) {
    static_cast<Worker*>(self)->body_();
    return 0;
}

bool Worker::wait(DWORD milliseconds) {
    return thread_ && WaitForSingleObject(thread_.get(), milliseconds) == WAIT_OBJECT_0;
}

HWND createHostWindow(const char* title, HWND owner) {
    static const ATOM windowClass = [] {
        WNDCLASSA c{};
        c.lpfnWndProc = DefWindowProcA;
        c.hInstance = GetModuleHandleA(nullptr);
        c.hCursor = LoadCursor(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        c.lpszClassName = "WineTestHostWindow";
        return RegisterClassA(&c);
    }();
    if (!windowClass) return nullptr;
    const DWORD style = owner ? WS_POPUP | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW;
    HWND w = CreateWindowExA(0, "WineTestHostWindow", title, style | WS_VISIBLE, 60, 60, 500, 400, owner, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (w) {
        SetForegroundWindow(w);
        SetActiveWindow(w);
    }
    return w;
}

void pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        const HWND top = m.hwnd ? GetAncestor(m.hwnd, GA_ROOT) : nullptr;
        if (top && IsDialogMessageA(top, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pump();
    }
    return true;
}

LRESULT ask(HWND w, UINT message) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(w, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

std::string className(HWND w) {
    char name[256] = {0};
    GetClassNameA(w, name, sizeof name);
    return name;
}

std::string text(HWND w) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "<no answer>";
    std::vector<char> buffer(length + 2, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return "<no answer>";
    return std::string(buffer.data(), copied);
}

bool setText(HWND w, const std::string& s) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()), SMTO_ABORTIFHUNG, 5000,
                               &result) != 0 &&
           result != 0;
}

namespace {
BOOL CALLBACK matchChild(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(param);
    if (!(*s->first)(w)) return TRUE;
    s->second = w;
    return FALSE;
}
}  // namespace

HWND findChild(HWND parent, const std::function<bool(HWND)>& match) {
    std::pair<const std::function<bool(HWND)>*, HWND> search{&match, nullptr};
    EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND findChild(HWND parent, const char* caption) {
    return findChild(parent, [caption](HWND w) { return text(w) == caption; });
}

std::vector<HWND> findWindows(const WindowQuery& q) {
    std::vector<HWND> found;
    for (HWND w : win32::topWindows(q.pid, q.visibleOnly)) {
        if (q.className && className(w) != q.className) continue;
        if (q.caption && (q.captionStart ? text(w).rfind(q.caption, 0) != 0 : text(w) != q.caption)) continue;
        found.push_back(w);
    }
    return found;
}

HWND waitForWindow(const WindowQuery& query, DWORD milliseconds, const std::function<bool()>& givenUp) {
    const DWORD start = GetTickCount();
    for (;;) {
        // Asked first: a window shown just before the end is still found.
        const bool ended = givenUp && givenUp();
        const std::vector<HWND> found = findWindows(query);
        if (!found.empty()) return found.front();
        if (ended || GetTickCount() - start > milliseconds) return nullptr;
        Sleep(10);
    }
}

HWND waitForDialog(const char* caption, DWORD milliseconds, Worker* opener) {
    const WindowQuery dialog{GetCurrentProcessId(), "#32770", caption};
    return waitForWindow(dialog, milliseconds, [opener] { return opener && opener->wait(0); });
}

std::string messageBoxText(HWND box) {
    // The message itself is the static control 0xFFFF; any static with text otherwise.
    if (HWND t = GetDlgItem(box, 0xFFFF)) return text(t);
    const HWND t = findChild(box, [](HWND w) { return className(w) == "Static" && !text(w).empty(); });
    return t ? text(t) : std::string();
}

bool waitClosed(HWND w, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (IsWindow(w)) {
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(20);
    }
    return true;
}

bool pressAndWaitClosed(HWND dialog, int buttonId, DWORD milliseconds) {
    DWORD_PTR result = 0;
    if (HWND button = GetDlgItem(dialog, buttonId))
        SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    if (waitClosed(dialog, milliseconds)) return true;
    std::printf("  note: button %d did not close the window; sending WM_CLOSE\n", buttonId);
    SendMessageTimeoutA(dialog, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    waitClosed(dialog, milliseconds);
    return false;
}

bool readFile(const std::string& path, std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes.clear();
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return true;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && whole;
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string currentFolder() {
    const DWORD n = GetCurrentDirectoryA(0, nullptr);
    std::string s(n, '\0');
    const DWORD got = GetCurrentDirectoryA(n, &s[0]);
    s.resize(got);
    return s;
}

}  // namespace wt
