// modepad beside the stand-in host, as an operator meets it: the notice when no host runs;
// the window (caption, size, buttons, always on top); the macros of the start and of each
// button in order, and the keyboard handed back to the host; a second copy that ends
// unseen; a host call that fails inside a button; and the end of the host ending modepad.
//
//   modepad_test.exe PATH\Stats.dll      (modepad.exe and orba-standin.exe lie beside it)
#include <string>
#include <vector>

#include "standin_host.h"
#include "wine_test.h"

namespace {

using Macros = std::vector<std::string>;

std::string gModepad;
const char* const kCaption = "TALVENA CUP    ";

std::string joined(const Macros& m) {
    std::string s;
    for (const std::string& x : m) s += (s.empty() ? "" : " ") + x;
    return s;
}

// The macros that arrived after the first `from`.
Macros since(const wt::StandInHost& host, size_t from) {
    const Macros all = host.macros();
    return from < all.size() ? Macros(all.begin() + from, all.end()) : Macros();
}

HWND startModepad(wt::Process& pad, const char* what) {
    if (!wt::check(pad.start(gModepad, L""), std::string(what) + ": modepad starts")) return nullptr;
    HWND w = wt::waitForWindow(pad.id(), "Form1", kCaption, 10000, &pad);
    wt::check(w != nullptr, std::string(what) + ": its window appears");
    return w;
}

void noHost() {
    wt::Process pad;
    if (!wt::check(pad.start(gModepad, L""), "no host: modepad starts")) return;
    HWND box = wt::waitForWindow(pad.id(), "#32770", nullptr, 10000, &pad);
    if (wt::check(box != nullptr, "no host: a message box appears")) {
        wt::checkEqual(wt::messageBoxText(box), "Orba2 is not loaded", "no host: its text");
        wt::check(wt::waitForWindow(pad.id(), "Form1", nullptr, 0) == nullptr, "no host: no modepad window");
        wt::pressAndWaitClosed(box, IDOK, 5000);
    }
    wt::check(pad.waitExit(5000), "no host: modepad ends after OK");
}

void window(HWND w, HWND hostWindow) {
    wt::check((GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, "window: always on top");
    RECT client;
    GetClientRect(w, &client);
    wt::check(client.right >= 150, "window: client width at least the buttons' 150");
    wt::checkEqual(client.bottom, 40, "window: client height");
    // The caption's text fits between the icon and the three caption buttons.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const win32::Font font(CreateFontIndirectA(&metrics.lfCaptionFont));
    const win32::WindowDC screen(nullptr);
    const win32::ScopedSelect selected(screen.get(), font.get());
    SIZE text{};
    GetTextExtentPoint32A(screen.get(), "TALVENA CUP", 11, &text);
    RECT outer;
    GetWindowRect(w, &outer);
    const int room = (outer.right - outer.left) - GetSystemMetrics(SM_CXSMICON) - 3 * GetSystemMetrics(SM_CXSIZE);
    wt::check(text.cx < room, "window: the whole caption shows (" + std::to_string(text.cx) + " of " +
                                  std::to_string(room) + " pixels)");
    struct Place {
        const char* caption;
        int left, top, width, height;
    };
    for (const Place& p : {Place{"RTTY75", 16, 8, 49, 25}, Place{"BPSK63", 80, 8, 49, 25}}) {
        HWND b = wt::findChild(w, p.caption);
        if (!wt::check(b != nullptr, std::string("window: button ") + p.caption)) continue;
        RECT r;
        GetWindowRect(b, &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        wt::check(r.left == p.left && r.top == p.top && r.right - r.left == p.width && r.bottom - r.top == p.height,
                  std::string("window: ") + p.caption + " at its place (" + std::to_string(r.left) + "," +
                      std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
                      std::to_string(r.bottom - r.top) + ")");
    }
    wt::check(wt::waitForeground(hostWindow), "start: the host's window has the keyboard");
}

// Clicks a button and checks what it sent, and that the host has the keyboard again.
void press(wt::StandInHost& host, HWND pad, const char* button, const char* hostMode, const Macros& expected) {
    host.commandOk(std::string("mode ") + hostMode);
    const std::string what = std::string(button) + " with the host in " + hostMode;
    // Somebody else has the keyboard before the click.
    SetForegroundWindow(pad);
    wt::check(wt::waitForeground(pad), what + ": modepad has the keyboard before");
    const size_t before = host.macros().size();
    wt::check(wt::click(wt::findChild(pad, button)), what + ": clicked");
    wt::checkEqual(joined(since(host, before)), joined(expected), what + ": macros");
    wt::check(wt::waitForeground(host.window()), what + ": the host's window has the keyboard again");
}

void secondCopy(wt::StandInHost& host, wt::Process& first, HWND firstWindow) {
    const size_t before = host.macros().size();
    wt::Process second;
    if (!wt::check(second.start(gModepad, L""), "second copy: starts")) return;
    bool seen = false;
    const DWORD t0 = GetTickCount();
    while (second.running() && GetTickCount() - t0 < 5000) {
        seen = seen || wt::hasVisibleWindow(second.id());
        Sleep(5);
    }
    wt::check(second.waitExit(0), "second copy: ends by itself");
    wt::check(!seen, "second copy: never shows a window");
    wt::checkEqual(host.macros().size(), before, "second copy: sends no macro");
    wt::check(first.running() && IsWindow(firstWindow), "second copy: the first keeps running");
}

// A host call that fails inside a button: the error is shown, then modepad ends cleanly.
void failingCall(wt::StandInHost& host, wt::Process& pad, HWND w) {
    host.commandOk("fault error");
    // Posted: the message box holds the click's handler until it is closed.
    PostMessageA(wt::findChild(w, "RTTY75"), BM_CLICK, 0, 0);
    HWND box = wt::waitForWindow(pad.id(), "#32770", nullptr, 5000, &pad);
    if (wt::check(box != nullptr, "failing call: the error is shown")) {
        const std::string text = wt::messageBoxText(box);
        wt::check(text.find("ExecuteMacros") != std::string::npos && text.find("told to fail") != std::string::npos,
                  "failing call: the message names the call and the host's words: " + wt::visible(text));
        wt::pressAndWaitClosed(box, IDOK, 5000);
    }
    wt::check(pad.waitExit(5000), "failing call: modepad ends");
    wt::checkEqual(pad.exitCode(), 0, "failing call: with exit code 0");
    host.commandOk("fault none");
}

void hostEnds(wt::StandInHost& host) {
    // A host that fails every call at the start does not stop modepad from starting.
    host.commandOk("fault error");
    const size_t before = host.macros().size();
    wt::Process pad;
    HWND w = startModepad(pad, "host ends");
    wt::checkEqual(host.macros().size(), before, "start with failing calls: nothing recorded, window still there");
    host.commandOk("fault none");
    if (!w) return;
    const DWORD t0 = GetTickCount();
    wt::check(host.quit(), "host ends: the stand-in quits");
    wt::check(pad.waitExit(3000), "host ends: modepad ends");
    const DWORD took = GetTickCount() - t0;
    wt::check(took < 1500, "host ends: within about a second (" + std::to_string(took) + " ms)");
}

// A host whose main window has another class: modepad finds it as the only visible
// window of the Orba*.exe process and hands it the keyboard after a click.
void hostOfAnotherClass(const std::string& bin) {
    wt::StandInHost host;
    if (!wt::check(host.start(bin, L"--window-class OrbaMainFrame"), "another class: the stand-in starts")) return;
    wt::Process pad;
    if (HWND w = startModepad(pad, "another class")) {
        wt::check(wt::waitForeground(host.window()), "another class: the start hands the host the keyboard");
        press(host, w, "RTTY75", "BPSK63", {"<MODE:RTTY>", "<BAUDRATE:75>"});
    }
    wt::check(host.quit() && pad.waitExit(3000), "another class: both end");
}

// The plug-in's companion window holds the keyboard when the host unloads the plug-in:
// the keyboard goes to the host's window, not to modepad, the topmost window left.
void pluginUnloads(wt::StandInHost& host, HWND pad, const std::string& dll) {
    CreateDirectoryA("Plugins", nullptr);
    DeleteFileA("Plugins\\TALVENA-CUP.ini");  // a stored "Start" toggle would keep the windows closed
    host.commandOk("load " + dll);
    host.commandOk("reset OK1XYZ OK EU 2017-12-16T1200 2017-12-17T1159 0 " + wt::currentFolder() + "\\");
    const HWND companion = wt::waitForWindow({host.process().id(), "#32770", "Setup TALVENA-CUP", true}, 10000);
    if (!wt::check(companion != nullptr, "plug-in unloads: its window opens")) return;
    SetForegroundWindow(companion);
    wt::check(wt::waitForeground(companion), "plug-in unloads: its window has the keyboard before");
    host.commandOk("unload");
    wt::check(wt::waitClosed(companion, 2000), "plug-in unloads: its window is gone");
    Sleep(300);  // Wine activates the next window asynchronously
    wt::check(GetForegroundWindow() != pad && wt::waitForeground(host.window()),
              "plug-in unloads: the host's window has the keyboard, not modepad");
}

void everyCase(const std::string& dll) {
    const std::string bin = wt::folderOf(dll);
    gModepad = bin + "\\modepad.exe";
    noHost();
    wt::StandInHost host;
    if (wt::check(host.start(bin, L"--mode RTTY"), "stand-in starts")) {
        wt::Process pad;
        if (HWND w = startModepad(pad, "with host")) {
            wt::check(host.waitForMacros(2, 5000), "start: two macros");
            wt::checkEqual(joined(host.macros()), "<MODE:BPSK31> <BAUDRATE:63>", "start: switched to BPSK63");
            window(w, host.window());
            press(host, w, "RTTY75", "BPSK63", {"<MODE:RTTY>", "<BAUDRATE:75>"});
            press(host, w, "RTTY75", "RTTY", {"<MODE:RTTY>", "<BAUDRATE:75>"});
            press(host, w, "BPSK63", "BPSK31", {"<BAUDRATE:63>"});
            press(host, w, "BPSK63", "BPSK63", {"<MODE:BPSK31>", "<BAUDRATE:63>"});
            press(host, w, "BPSK63", "RTTY", {"<MODE:BPSK31>", "<BAUDRATE:63>"});
            press(host, w, "BPSK63", "bpsk31", {"<MODE:BPSK31>", "<BAUDRATE:63>"});
            pluginUnloads(host, w, dll);
            secondCopy(host, pad, w);
            failingCall(host, pad, w);
        }
        hostEnds(host);
    }
    hostOfAnotherClass(bin);
}

}  // namespace

int main(int argc, char** argv) { return wt::run(90, argc, argv, everyCase); }
