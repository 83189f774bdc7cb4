// modepad: a small always-on-top window with two buttons that switch the running host
// Orba between RTTY at 75 baud and BPSK63 through its automation object, and then hand
// the keyboard back to the host's main window. It runs only while the host runs, one
// copy at a time.
//
// One thread: the window's message loop runs the start, the buttons and the 500 ms
// check that the host is still there, one after the other.
#include <objbase.h>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <string>

#include "host_link.h"
#include "mode_switch.h"
#include "win32_owners.h"
#include "window_base.h"
#include "window_search.h"

namespace {

using modepad::Button;

const char* const kCaption = "TALVENA CUP    ";
const char* const kMessageTitle = "TALVENA CUP";
const char* const kWindowClass = "Form1";
const char* const kSemaphoreName = "Dira_Vevo";

// The form is laid out in twips, 15 to a pixel.
constexpr int kClientWidth = 150, kClientHeight = 40;
struct Layout {
    int id;
    Button button;
    const char* caption;
    int left, top, width, height;
};
const Layout kButtons[] = {
    // Ids clear of IDOK and IDCANCEL, which the dialog keys (Enter, Esc) send.
    {101, Button::rtty75, "RTTY75", 16, 8, 49, 25},  // 240, 120, 732, 372 twips
    {103, Button::bpsk63, "BPSK63", 80, 8, 49, 25},  // 1200, 120, 732, 372 twips
};

const COLORREF kBackground = RGB(192, 192, 192);
const COLORREF kButtonFace = RGB(224, 224, 224);
enum : UINT_PTR { kHostCheckTimer = 1 };
constexpr UINT kHostCheckInterval = 500;

std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

class ModePad : public win32::WindowBase {
public:
    ModePad() : WindowBase("modepad") {}

    // Start steps up to the window: false when the program is to end now.
    bool start() {
        connected_ = true;
        if (FAILED(modepad::getRunningHost(hostObject_))) {
            MessageBoxA(nullptr, "Orba2 is not loaded", kMessageTitle, MB_OK);
            connected_ = false;
            return false;
        }
        // A second copy ends here, silently and without touching the host.
        SetLastError(ERROR_SUCCESS);
        instanceSemaphore_.reset(CreateSemaphoreA(nullptr, 0, 1, kSemaphoreName));
        if (!instanceSemaphore_ || GetLastError() != ERROR_SUCCESS) return false;
        hostWindow_ = findHostWindow();
        return true;
    }

    bool createWindow(HINSTANCE instance) {
        background_.reset(CreateSolidBrush(kBackground));
        face_.reset(CreateSolidBrush(kButtonFace));
        // Verdana 7.5 pt bold, Cyrillic character set.
        const win32::WindowDC screen(nullptr);
        const int height = -MulDiv(75, screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96, 720);
        font_.reset(CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Verdana"));
        WNDCLASSA c{};
        c.lpfnWndProc = procedure;
        c.hInstance = instance;
        c.hCursor = LoadCursor(nullptr, IDC_ARROW);
        c.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        c.lpszClassName = kWindowClass;
        if (!RegisterClassA(&c)) return false;
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        RECT r{0, 0, kClientWidth, kClientHeight};
        AdjustWindowRectEx(&r, style, FALSE, 0);
        const int width = std::max(static_cast<int>(r.right - r.left), widthForCaption());
        window_ = CreateWindowExA(0, kWindowClass, kCaption, style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                                  r.bottom - r.top, nullptr, nullptr, instance, creationParameter());
        if (!window_) return false;
        for (const Layout& b : kButtons) {
            HWND button = CreateWindowExA(0, "BUTTON", b.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                          b.left, b.top, b.width, b.height, window_,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), instance, nullptr);
            SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        }
        return true;
    }

    // The window's width that shows the whole caption beside its icon and its three
    // buttons (minimise, the greyed maximise, close) in the system's caption font: wider
    // than the 150 pixels of the buttons' area, which stays as it is on the left.
    static int widthForCaption() {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return 0;
        const win32::Font font(CreateFontIndirectA(&metrics.lfCaptionFont));
        const win32::WindowDC screen(nullptr);
        if (!font || !screen) return 0;
        const win32::ScopedSelect selected(screen.get(), font.get());
        const std::string text = std::string(kCaption).substr(0, std::string(kCaption).find_last_not_of(' ') + 1);
        SIZE size{};
        GetTextExtentPoint32A(screen.get(), text.data(), static_cast<int>(text.size()), &size);
        const int frame = GetSystemMetrics(SM_CXFIXEDFRAME) + GetSystemMetrics(SM_CXEDGE);
        return size.cx + GetSystemMetrics(SM_CXSMICON) + 3 * GetSystemMetrics(SM_CXSIZE) + 2 * frame + 16;
    }

    // The rest of the start, with the window there: always on top, shown, the host
    // switched to BPSK63 (a failing macro is skipped), the keyboard handed back.
    void run() {
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
        busy_ = true;
        for (const std::string& macro : modepad::startMacros()) {
            modepad::HostError ignored;
            modepad::executeMacros(hostObject_.get(), wide(macro), ignored);
        }
        busy_ = false;
        if (hostWindow_) SetForegroundWindow(hostWindow_);
        SetTimer(window_, kHostCheckTimer, kHostCheckInterval, nullptr);
    }

    // Before COM is left on this thread.
    void releaseHost() { hostObject_.reset(); }

private:
    // The host's main window: the first of the host's frame class; else, for a host
    // whose class differs, the only visible unowned top-level window of the only
    // Orba*.exe process. None when neither is found (the keyboard is then not handed
    // back).
    static HWND findHostWindow() {
        HWND byClass = nullptr;
        EnumWindows(findByClass, reinterpret_cast<LPARAM>(&byClass));
        return byClass ? byClass : findByProgram();
    }
    static BOOL CALLBACK findByClass(HWND w, LPARAM param) {
        char title[129] = {};
        char className[257] = {};
        GetWindowTextA(w, title, 128);  // read as the host finder always did; not used
        GetClassNameA(w, className, 256);
        if (!modepad::isHostWindowClass(className)) return TRUE;
        *reinterpret_cast<HWND*>(param) = w;
        return FALSE;
    }
    static HWND findByProgram() {
        const win32::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) return nullptr;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        DWORD host = 0;
        int hosts = 0;
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
            if (!modepad::isHostExecutable(asciiName(entry.szExeFile))) continue;
            host = entry.th32ProcessID;
            ++hosts;
        }
        if (hosts != 1) return nullptr;
        HWND found = nullptr;
        for (const HWND w : win32::topWindows(host)) {
            if (GetWindow(w, GW_OWNER)) continue;
            if (found) return nullptr;  // two candidates: neither is taken for the host's
            found = w;
        }
        return found;
    }
    // A file name in ASCII, or "" when it has other characters (no Orba*.exe then).
    static std::string asciiName(const wchar_t* name) {
        std::string ascii;
        for (; *name; ++name) {
            if (*name > 0x7F) return std::string();
            ascii += char(*name);
        }
        return ascii;
    }

    LRESULT handle(HWND w, UINT message, WPARAM wp, LPARAM lp) override {
        switch (message) {
            case WM_ERASEBKGND: {
                RECT r;
                GetClientRect(w, &r);
                FillRect(reinterpret_cast<HDC>(wp), &r, background_.get());
                return 1;
            }
            case WM_DRAWITEM:
                drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
                return TRUE;
            case WM_COMMAND:
                if (HIWORD(wp) == BN_CLICKED)
                    for (const Layout& b : kButtons)
                        if (LOWORD(wp) == b.id) press(b.button);
                return 0;
            case WM_TIMER:
                if (wp == kHostCheckTimer) checkHost();
                return 0;
            case WM_DESTROY:
                KillTimer(w, kHostCheckTimer);
                ending_ = true;
                hostObject_.reset();
                PostQuitMessage(0);
                return 0;
        }
        return DefWindowProcA(w, message, wp, lp);
    }

    // What can throw is a message text: end as after any failed host call.
    void recover(HWND w) noexcept override {
        ending_ = true;
        DestroyWindow(w);
    }

    void drawButton(const DRAWITEMSTRUCT& d) {
        RECT r = d.rcItem;
        FillRect(d.hDC, &r, face_.get());
        const bool pressed = (d.itemState & ODS_SELECTED) != 0;
        DrawEdge(d.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        char caption[32] = {};
        GetWindowTextA(d.hwndItem, caption, sizeof caption);
        const win32::ScopedSelect font(d.hDC, font_.get());
        SetBkMode(d.hDC, TRANSPARENT);
        SetTextColor(d.hDC, GetSysColor(COLOR_BTNTEXT));
        RECT text = r;
        if (pressed) OffsetRect(&text, 1, 1);
        DrawTextA(d.hDC, caption, -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        if (d.itemState & ODS_FOCUS) {
            InflateRect(&r, -3, -3);
            DrawFocusRect(d.hDC, &r);
        }
    }

    void press(Button button) {
        // A click that arrives while a host call waits (COM lets messages through) or
        // after the end has begun does nothing.
        if (!connected_ || busy_ || ending_) return;
        busy_ = true;
        modepad::HostError error;
        const wchar_t* member = L"Mode";
        std::wstring mode;
        bool ok = !modepad::readsHostMode(button) || modepad::readMode(hostObject_.get(), mode, error);
        if (ok) {
            member = L"ExecuteMacros";
            const std::u16string_view hostMode(reinterpret_cast<const char16_t*>(mode.data()), mode.size());
            for (const std::string& macro : modepad::buttonMacros(button, hostMode)) {
                ok = modepad::executeMacros(hostObject_.get(), wide(macro), error);
                if (!ok) break;
            }
        }
        busy_ = false;
        if (!ok) {
            fail(error.message(member));
            return;
        }
        if (hostWindow_) SetForegroundWindow(hostWindow_);
    }

    // A host call inside a button failed: say so, let go of the host and end. The check
    // timer is stopped first, so that nothing else runs while the message is up.
    void fail(const std::wstring& message) {
        ending_ = true;
        KillTimer(window_, kHostCheckTimer);
        hostObject_.reset();
        MessageBoxW(window_, message.c_str(), L"TALVENA CUP", MB_OK | MB_ICONERROR);
        DestroyWindow(window_);
    }

    void checkHost() {
        if (busy_ || ending_) return;
        busy_ = true;
        connected_ = true;
        win32::ComPtr<IDispatch> fresh;
        const HRESULT hr = modepad::getRunningHost(fresh);
        busy_ = false;
        if (FAILED(hr)) {
            connected_ = false;
            ending_ = true;
            DestroyWindow(window_);
            return;
        }
        hostObject_ = std::move(fresh);
    }

    win32::ComPtr<IDispatch> hostObject_;
    bool connected_ = false;
    win32::KernelHandle instanceSemaphore_;  // held until the process ends
    HWND hostWindow_ = nullptr;
    bool busy_ = false;    // inside a host call
    bool ending_ = false;  // the window is on its way out
    win32::Brush background_, face_;
    win32::Font font_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const win32::ComInit com(COINIT_APARTMENTTHREADED);
    ModePad pad;
    if (!pad.start()) return 0;
    if (!pad.createWindow(instance)) return 1;
    pad.run();
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        // Tab moves between the buttons, Space presses one.
        if (!IsDialogMessageA(pad.window(), &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    pad.releaseHost();
    return 0;
}
