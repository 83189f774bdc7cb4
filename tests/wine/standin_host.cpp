#include "standin_host.h"

#include <cstdio>

#include "standin/protocol.h"
#include "window_search.h"
#include "wine_test.h"

namespace wt {

std::string folderOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

std::string programFolder() {
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path - 1);
    return folderOf(path);
}

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &out[0], n);
    return out;
}

// ---- processes --------------------------------------------------------------------------

Process::~Process() { endGently(0); }

bool Process::start(const std::string& program, const std::wstring& arguments, bool control) {
    std::wstring commandLine = L"\"" + widen(program) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    win32::FileHandle childInput, childOutput, childError;
    if (control) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE read = nullptr, write = nullptr;
        if (!CreatePipe(&read, &write, &inherit, 0)) return false;
        childInput.reset(read);
        input_.reset(write);
        if (!CreatePipe(&read, &write, &inherit, 0)) return false;
        output_.reset(read);
        childOutput.reset(write);
        // Only the child's ends go over; its messages go where ours do.
        SetHandleInformation(input_.get(), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(output_.get(), HANDLE_FLAG_INHERIT, 0);
        HANDLE error = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_ERROR_HANDLE), GetCurrentProcess(), &error, 0, TRUE,
                        DUPLICATE_SAME_ACCESS);
        childError.reset(error ? error : INVALID_HANDLE_VALUE);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput.get();
        startup.hStdOutput = childOutput.get();
        startup.hStdError = error;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, control ? TRUE : FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        std::printf("  note: cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        std::fflush(stdout);
        input_.reset();
        output_.reset();
        return false;
    }
    const win32::KernelHandle thread(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool Process::running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool Process::waitExit(DWORD milliseconds) {
    return process_ && WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD Process::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Process::kill() {
    if (!running()) return;
    std::printf("  note: ending process %lu by its id\n", id_);
    std::fflush(stdout);
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
}

void Process::endGently(DWORD milliseconds) {
    input_.reset();
    if (running() && milliseconds) waitExit(milliseconds);
    kill();
    output_.reset();
}

bool Process::writeLine(const std::string& line) {
    if (!input_) return false;
    const std::string text = line + "\n";
    DWORD written = 0;
    return WriteFile(input_.get(), text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
}

bool Process::readLine(std::string& line, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        const size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line = pending_.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            pending_.erase(0, end + 1);
            return true;
        }
        DWORD available = 0;
        if (!output_ || !PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &available, nullptr)) return false;
        if (available) {
            char buffer[4096];
            DWORD n = 0;
            if (!ReadFile(output_.get(), buffer, available < sizeof buffer ? available : sizeof buffer, &n, nullptr))
                return false;
            pending_.append(buffer, n);
            continue;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited > milliseconds) return false;
        // Most replies come within a millisecond or two: look again at once at first.
        Sleep(waited < 20 ? 0 : 1);
    }
}

// ---- the stand-in host ------------------------------------------------------------------

bool StandInHost::start(const std::string& binFolder, const std::wstring& arguments, DWORD milliseconds) {
    static int started = 0;
    record_ = currentFolder() + "\\macros-" + std::to_string(++started) + ".txt";
    const std::wstring all = L"--time-limit 120 --record \"" + widen(record_) + L"\" " + arguments;
    if (!process_.start(binFolder + "\\orba-standin.exe", all, true)) return false;
    std::string line;
    while (process_.readLine(line, milliseconds)) {
        unsigned long long handle = 0;
        if (std::sscanf(line.c_str(), "ready pid=%*u window=0x%llx", &handle) == 1) {
            window_ = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
            return true;
        }
        std::printf("  note: stand-in host says: %s\n", line.c_str());
    }
    std::printf("  note: the stand-in host gave no ready line (exit code %lu)\n", process_.exitCode());
    std::fflush(stdout);
    return false;
}

std::string StandInHost::command(const std::string& line, DWORD milliseconds) {
    std::string reply;
    if (!process_.writeLine(line) || !process_.readLine(reply, milliseconds)) return std::string();
    return reply;
}

std::vector<std::string> StandInHost::commandOk(const std::string& line) {
    const std::string reply = command(line);
    standin::Reply parsed;
    const bool ok = standin::parseReply(reply, parsed) && parsed.ok;
    check(ok, "stand-in host: '" + visible(line.substr(0, 60)) + "' answers ok (got '" + visible(reply) + "')");
    return ok ? parsed.fields : std::vector<std::string>();
}

std::string StandInHost::debugTexts() {
    const std::vector<std::string> said = commandOk("debug");
    if (said.size() != 2) return "no answer to 'debug'";
    return said[0] == "0" ? std::string() : said[0] + ", the last: " + said[1];
}

std::vector<std::string> StandInHost::macros() const {
    std::string bytes;
    std::vector<std::string> out;
    if (!readFile(record_, bytes)) return out;
    size_t start = 0, end;
    while ((end = bytes.find('\n', start)) != std::string::npos) {
        std::string macro;
        standin::unescapeField(bytes.substr(start, end - start), macro);
        out.push_back(macro);
        start = end + 1;
    }
    return out;
}

bool StandInHost::waitForMacros(size_t count, DWORD milliseconds) const {
    const DWORD start = GetTickCount();
    while (macros().size() < count) {
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(10);
    }
    return true;
}

bool StandInHost::quit(DWORD milliseconds) {
    process_.writeLine("quit");
    const bool ended = process_.waitExit(milliseconds);
    const bool clean = ended && process_.exitCode() == 0;
    process_.endGently(0);
    return clean;
}

// ---- windows of other processes -----------------------------------------------------------

HWND waitForWindow(DWORD pid, const char* className, const char* caption, DWORD milliseconds, Process* owner) {
    return wt::waitForWindow({pid, className, caption}, milliseconds, [owner] { return owner && !owner->running(); });
}

bool hasVisibleWindow(DWORD pid) { return !win32::topWindows(pid).empty(); }

bool waitForeground(HWND w, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetForegroundWindow() != w) {
        const DWORD waited = GetTickCount() - start;
        if (waited > milliseconds) return false;
        // Most replies come within a millisecond or two: look again at once at first.
        Sleep(waited < 20 ? 0 : 1);
    }
    return true;
}

bool click(HWND button, DWORD milliseconds) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, milliseconds, &result) != 0;
}

namespace {

void sendInput(INPUT input) { SendInput(1, &input, sizeof input); }

void mouseButton(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    sendInput(in);
}

}  // namespace

void mouseDownAt(HWND w, int x, int y) {
    RECT r{};
    GetWindowRect(w, &r);
    SetCursorPos(x >= 0 ? r.left + x : r.right + x, y >= 0 ? r.top + y : r.bottom + y);
    mouseButton(MOUSEEVENTF_LEFTDOWN);
}

void mouseUp() { mouseButton(MOUSEEVENTF_LEFTUP); }

void mouseClickAt(HWND w, int x, int y) {
    mouseDownAt(w, x, y);
    Sleep(30);
    mouseUp();
}

void mouseMoveBy(int dx, int dy) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    sendInput(in);
}

void pressKey(WORD virtualKey) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = virtualKey;
    sendInput(in);
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    sendInput(in);
}

HWND keyboardFocusOf(HWND w) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info) ? info.hwndFocus : nullptr;
}

}  // namespace wt
