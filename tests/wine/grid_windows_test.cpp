// The grid windows through the set the companion window owns them by: where they open
// and when they write their position, what keys and the close command do, the pixels
// that carry meaning (area lamps, the DXCC table's list and per-call grid), the
// band-change timer against a scripted clock, and the GDI objects and windows left
// after many repaints and many openings.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gdi_probe.h"
#include "operator/grid_layout.h"
#include "resources/resource.h"
#include "windows/grid_window_set.h"
#include "wine_test.h"

namespace {

// ---- a settings store and a clock the test controls ----------------------------------------

struct MemoryStore : ProfileStore {
    std::map<std::string, std::string> values;
    std::vector<std::string> written;  // keys, in order
    std::string read(const std::string&, const std::string&, const std::string& key) override {
        const auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    }
    void write(const std::string&, const std::string&, const std::string& key, const std::string& value) override {
        values[key] = value;
        written.push_back(key);
    }
};

struct ScriptedClock : Clock {
    DateTime now = DateTime::fromCalendar(2024, 12, 14, 12, 0, 0);
    DateTime nowUtc() override { return now; }
    void set(int hour, int minute, int second) { now = DateTime::fromCalendar(2024, 12, 14, hour, minute, second); }
};

void key(HWND w, WPARAM vk) {
    SetForegroundWindow(w);
    SetFocus(GetDlgItem(w, IDC_DXCC_TABLE) ? GetDlgItem(w, IDC_DXCC_TABLE) : w);
    PostMessageA(GetFocus(), WM_KEYDOWN, vk, 0);
    PostMessageA(GetFocus(), WM_KEYUP, vk, 0xC0000000);
    wt::pump();
}

RECT windowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}
bool topmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
bool closeDisabled(HWND w) {
    const UINT state = GetMenuState(GetSystemMenu(w, FALSE), SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_DISABLED) != 0;
}

// ---- the test -------------------------------------------------------------------------------

struct Fixture {
    ContestState state;
    MemoryStore store;
    Settings settings{store};
    ScriptedClock clock;
    WatchView view;
    GridWindowSet grids{state, settings, clock};
    Fixture() { grids.setView(&view); }
};

void openingAndKeys(Fixture& f) {
    f.grids.openDxcc();
    f.grids.openArea(true);
    HWND dxcc = f.grids.dxcc() ? f.grids.dxcc()->window() : nullptr;
    HWND area = f.grids.area() ? f.grids.area()->window() : nullptr;
    if (!wt::check(dxcc && area, "both grid windows open")) return;
    wt::pump();
    wt::check(f.state.shared.dxccWindow == dxcc && f.state.shared.areaWindow == area, "their handles are published");
    const RECT d = windowRect(dxcc), a = windowRect(area);
    wt::check(d.left == 10 && d.top == 400, "DXCC window without saved position at 10, 400");
    wt::check(a.left == 0 && a.top == 0, "area window without saved position at 0, 0");
    for (HWND w : {dxcc, area}) {
        const std::string which = w == dxcc ? "DXCC: " : "area: ";
        wt::check(IsWindowVisible(w) && !topmost(w), which + "shown, not topmost by default");
        wt::check(SendMessageA(w, WM_GETICON, ICON_BIG, 0) != 0, which + "has a large icon");
        wt::check(closeDisabled(w), which + "Close of the system menu is disabled");
        key(w, VK_RETURN);
        wt::check(IsWindowVisible(w), which + "Enter does not close it");
        SendMessageA(w, WM_COMMAND, IDOK, 0);
        wt::check(IsWindowVisible(w), which + "nor does OK");
        key(w, VK_ESCAPE);
        wt::check(IsWindowVisible(w), which + "nor does Escape, even through IsDialogMessage");
        SendMessageA(w, WM_CLOSE, 0, 0);
        wt::pump();
        wt::check(!IsWindowVisible(w) && IsWindow(w), which + "WM_CLOSE hides it too, the window stays");
        ShowWindow(w, SW_SHOW);
    }
    wt::check(f.grids.dxccOpen() && f.grids.areaOpen(), "hidden windows still count as open");

    f.grids.setDxccTitle("RTTY worked DXCC on 20m 3 of 338");
    wt::checkEqual(wt::text(dxcc), "RTTY worked DXCC on 20m 3 of 338", "DXCC title set");
    // Given in code page 1251, shown in Cyrillic whatever this process's code page.
    f.grids.setAreaTitle("RTTY Cработано областей 2 на 20m ");
    wchar_t shown[100] = {0};
    InternalGetWindowText(area, shown, 100);  // as stored: WM_GETTEXT would pass the ANSI procedure
    wt::check(std::wstring(shown) ==
                  L"RTTY C\u0440\u0430\u0431\u043e\u0442\u0430\u043d\u043e "
                  L"\u043e\u0431\u043b\u0430\u0441\u0442\u0435\u0439 2 \u043d\u0430 20m ",
              "area title set, in Cyrillic");

    // Reopened with the on-top option: a new window, topmost.
    f.grids.setOnTop(true);
    f.grids.closeDxcc();
    wt::check(!IsWindow(dxcc) && f.state.shared.dxccWindow == nullptr,
              "closing destroys the window, clears its handle");
    f.grids.openDxcc();
    wt::check(f.grids.dxcc() && topmost(f.grids.dxcc()->window()), "with the option on it reopens topmost");
    f.grids.setOnTop(false);
}

void krAndSlVisibility(Fixture& f) {
    struct Case {
        bool show;
        const char* what;
    };
    for (const Case c : {Case{false, "an operator outside Ukraine"}, Case{true, "an operator in Ukraine"}}) {
        f.grids.closeArea();
        f.grids.openArea(c.show);
        const HWND w = f.grids.area()->window();
        int visible = 0;
        for (int i = 0; i < IDC_AREA_COUNT; ++i) visible += IsWindowVisible(GetDlgItem(w, IDC_AREA_FIRST + i)) ? 1 : 0;
        wt::checkEqual(visible, c.show ? 27 : 25, std::string("lamps shown for ") + c.what);
        for (int id : {IDC_AREA_FIRST + 25, IDC_AREA_FIRST + 26}) {
            const HWND box = GetDlgItem(w, id);
            wt::check(IsWindowVisible(box) == c.show && (IsWindowEnabled(box) != 0) == c.show,
                      wt::text(box) + (c.show ? " shown and enabled for " : " hidden and disabled for ") + c.what);
        }
    }
}

void positionSaving(Fixture& f) {
    struct Move {
        int dx, dy;
        std::vector<std::string> writes;
    };
    struct Window {
        HWND w;
        const char *x, *y;
    };
    SetCursorPos(1020, 760);  // the pointer away from the windows: no WM_SETCURSOR of its own
    for (const Window win : {Window{f.grids.dxcc()->window(), "dxcc_x", "dxcc_y"},
                             Window{f.grids.area()->window(), "oblast_x", "oblast_y"}}) {
        const Move moves[] = {{0, 0, {}}, {25, 0, {win.x}}, {0, 17, {win.y}}, {-5, 3, {win.x, win.y}}, {0, 0, {}}};
        for (const Move& m : moves) {
            const RECT r = windowRect(win.w);
            SetWindowPos(win.w, nullptr, r.left + m.dx, r.top + m.dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            wt::pump();
            f.store.written.clear();
            SendMessageA(win.w, WM_SETCURSOR, reinterpret_cast<WPARAM>(win.w), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
            std::string got, expected;
            for (const auto& k : f.store.written) got += k + " ";
            for (const auto& k : m.writes) expected += k + " ";
            wt::checkEqual(got, expected, "moved by " + std::to_string(m.dx) + ", " + std::to_string(m.dy));
        }
        const RECT r = windowRect(win.w);
        wt::check(f.store.values[win.x] == std::to_string(r.left) && f.store.values[win.y] == std::to_string(r.top),
                  std::string("the saved position is the window's: ") + win.x);
    }

    // Saved positions come back at the next opening; a saved 0 is the DXCC window's default.
    f.store.values = {{"dxcc_x", "0"}, {"dxcc_y", "123"}, {"oblast_x", "-7x"}, {"oblast_y", "abc"}};
    f.grids.closeDxcc();
    f.grids.closeArea();
    f.grids.openDxcc();
    f.grids.openArea(true);
    const RECT d = windowRect(f.grids.dxcc()->window()), a = windowRect(f.grids.area()->window());
    wt::check(d.left == 10 && d.top == 123, "DXCC window at the saved y, x 0 read as 10");
    wt::check(a.left == -7 && a.top == 0, "area window at the saved leading number, non-numeric as 0");
    f.store.written.clear();
    SendMessageA(f.grids.dxcc()->window(), WM_SETCURSOR, 0, 0);
    SendMessageA(f.grids.area()->window(), WM_SETCURSOR, 0, 0);
    wt::checkEqual(static_cast<long long>(f.store.written.size()), 0, "where it was read from, nothing is written");
    // Back where the pixel checks want them, apart.
    SetWindowPos(f.grids.area()->window(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(f.grids.dxcc()->window(), nullptr, 10, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void areaLamps(Fixture& f) {
    const HWND w = f.grids.area()->window();
    const auto lamp = [&](const char* code) {
        for (size_t i = 0; i < kAreaCount; ++i)
            if (std::strcmp(areaDisplayOrder[i], code) == 0) return GetDlgItem(w, IDC_AREA_FIRST + static_cast<int>(i));
        return HWND{};
    };
    // Left of the centred label, inside the ring.
    const auto face = [](HWND box) {
        const wt::Picture p = wt::Picture::of(box);
        return p.at(5, p.height() / 2);
    };
    f.grids.clearAreaMarks();
    f.grids.markAreaWorked("KV");
    f.grids.markAreaWorked("KV");
    f.grids.markAreaWorked("kv");  // codes are exact
    f.grids.markAreaWorked("SL");
    f.grids.refreshAreaBoxes();
    wt::pump();
    wt::checkColor(face(lamp("KV")), Obl::kWorkedFace, "a worked area's lamp");
    wt::checkColor(face(lamp("CH")), Obl::kFreeFace, "an unworked area's lamp");
    const wt::Picture kv = wt::Picture::of(lamp("KV"));
    wt::check(kv.count(Obl::kWorkedText) > 0, "the worked lamp's label is yellow");
    int marked = 0;
    for (size_t i = 0; i < kAreaCount; ++i) marked += f.grids.area()->marked(i) ? 1 : 0;
    wt::checkEqual(marked, 2, "two areas marked (KV, SL)");
    wt::checkColor(wt::Picture::of(w).at(2, 2), Obl::kBackground, "the window's own background");

    // As the companion window does when the host has removed a QSO.
    f.grids.clearAreaMarks();
    wt::pumpUntil([&] { return !f.grids.area()->marked(11); }, 2000);
    wt::checkColor(face(lamp("KV")), Obl::kFreeFace, "cleared: green again");
}

// The DXCC window sized by the operator, down to less than it allows: the per-call grid
// whole (every row below the header, none over another, NR/OBL not cut at the right
// edge) and the worked list scrolled to its last entry when it does not fit.
template <typename Paint>
void dxccTableMadeSmall(Fixture& f, Paint paint) {
    const HWND dxcc = f.grids.dxcc()->window();
    const HWND table = f.grids.dxcc()->table();
    const bool scrollBar = (GetWindowLongA(dxcc, GWL_STYLE) & WS_VSCROLL) != 0;
    wt::check(!scrollBar, "a list that fits has no scroll bar");
    const SIZE sizes[] = {{400, 260}, {300, 200}, {280, 170}, {220, 90}, {60, 40}};
    for (const SIZE size : sizes) {
        SetWindowPos(dxcc, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const std::string what = "sized " + std::to_string(size.cx) + " x " + std::to_string(size.cy) + ": ";
        RECT t{};
        GetClientRect(table, &t);
        wt::check(t.right >= kMinCallGridWidth && t.bottom >= kMinCallGridHeight,
                  what + "the table no smaller than the whole grid (" + std::to_string(t.right) + " x " +
                      std::to_string(t.bottom) + ")");
        const wt::Picture p = paint("UT5ABC", "RTTY", 3);
        const CallGridLayout l = callGridLayout(p.width(), p.height(), 3);
        wt::checkEqual(p.dark({0, 33, p.width(), 2 * l.rowHeight - 1}), 0, what + "nothing between header and 80 m");
        for (int row = 2; row <= 6; ++row) {
            const int top = row * l.rowHeight;
            wt::check(p.dark({l.columns[0], top, l.columns[1], top + 14}) > 0 &&
                          p.dark({l.columns[3], top, p.width(), top + 14}) > 0,
                      what + "row " + std::to_string(row) + " drawn whole");
            // Text is 13 pixels high at most: the gap above the next row stays clear.
            wt::checkEqual(p.dark({0, top + 14, p.width(), top + l.rowHeight}), 0,
                           what + "row " + std::to_string(row) + " clear of the next");
        }
        wt::check(p.dark({l.columns[3], 18, p.width(), 32}) > 0, what + "NR/OBL drawn");
        wt::checkEqual(p.dark({p.width() - 3, 0, p.width(), p.height()}), 0, what + "no text cut at the right edge");
    }
    // Sixty prefixes in the smallest window: a scroll bar, and at its end the last entry.
    {
        const auto d = f.state.lock();
        d->dxccRtty[3].clear();
        for (int i = 0; i < 60; ++i) d->dxccRtty[3].push_back(std::string(1, char('A' + i / 10)) + char('0' + i % 10));
    }
    const wt::Picture top = paint("", "RTTY", 3);
    wt::check((GetWindowLongA(dxcc, GWL_STYLE) & WS_VSCROLL) != 0, "a list that does not fit has a scroll bar");
    SendMessageA(dxcc, WM_VSCROLL, SB_BOTTOM, 0);
    UpdateWindow(table);
    const wt::Picture end = wt::Picture::of(table);
    const int lines = dxccListLines(60, end.width());
    const int first = lines - dxccListVisibleLines(end.height());
    const std::vector<TextSpot> spots = dxccListLayout(60, end.width(), first);
    wt::check(first > 0 && spots[59].y + 14 <= end.height() &&
                  end.dark({spots[59].x, spots[59].y, spots[59].x + 35, spots[59].y + 14}) > 0,
              "scrolled to the end: the last entry drawn whole");
    wt::check(!top.sameAs(end), "scrolling moves the list");
    wt::checkEqual(static_cast<long long>(
                       SendMessageA(dxcc, WM_MOUSEACTIVATE, WPARAM(dxcc), MAKELPARAM(HTVSCROLL, WM_LBUTTONDOWN))),
                   static_cast<long long>(MA_NOACTIVATE), "a click on the scroll bar leaves the keyboard where it is");
    f.view = WatchView{"UT5ABC", "RTTY", 3};
    f.grids.repaintDxccTable();
    wt::check((GetWindowLongA(dxcc, GWL_STYLE) & WS_VSCROLL) == 0, "a call's grid has no scroll bar");
}

struct TableCase {
    const char* what;
    std::string call, mode;
    int band;
};

void dxccTable(Fixture& f) {
    {
        const auto d = f.state.lock();
        d->dxccRtty[3] = {"UR", "DL", "9A"};
        d->dxccBpsk[3] = {"S5", "OK", "HA", "F", "G", "I", "EA", "CT", "ON", "PA", "LX", "OE", "SP", "YO"};
        for (size_t b = 0; b < kBandCount; ++b) d->infoGridRows[b] = {"80m", "12:34", "   -", "KV", ""};
    }
    const HWND dxcc = f.grids.dxcc()->window();
    const HWND table = f.grids.dxcc()->table();
    SetForegroundWindow(dxcc);
    const auto paint = [&](const std::string& call, const std::string& mode, int band) {
        f.view = WatchView{call, mode, band};
        f.grids.repaintDxccTable();
        UpdateWindow(table);
        return wt::Picture::of(table);
    };
    const TableCase lists[] = {{"RTTY list", "", "RTTY", 3},
                               {"BPSK63 list", "", "BPSK63", 3},
                               {"another mode shows the BPSK63 list", "", "BPSK31", 3}};
    for (const TableCase& c : lists) {
        const wt::Picture p = paint(c.call, c.mode, c.band);
        const size_t n = c.mode == "RTTY" ? 3 : 14;
        const std::vector<TextSpot> spots = dxccListLayout(n, p.width());
        wt::checkColor(p.at(p.width() - 2, p.height() - 2), RGB(255, 250, 198), std::string(c.what) + ": background");
        wt::check(p.dark({spots[0].x, spots[0].y, spots[0].x + 35, spots[0].y + 15}) > 0,
                  std::string(c.what) + ": the first entry drawn");
        wt::check(p.dark({spots[n - 1].x, spots[n - 1].y, spots[n - 1].x + 35, spots[n - 1].y + 15}) > 0,
                  std::string(c.what) + ": the last entry drawn where the layout puts it");
        wt::checkEqual(p.dark({0, spots[n - 1].y + 16, p.width(), p.height()}), 0,
                       std::string(c.what) + ": nothing below the last line");
    }
    {
        const auto d = f.state.lock();
        wt::check(std::is_sorted(d->dxccRtty[3].begin(), d->dxccRtty[3].end()) &&
                      std::is_sorted(d->dxccBpsk[3].begin(), d->dxccBpsk[3].end()),
                  "drawing sorted the state's lists in place");
    }
    const wt::Picture noBand = paint("", "RTTY", -1);
    wt::checkEqual(noBand.dark({0, 0, noBand.width(), noBand.height()}), 0, "no band known: background only");

    for (const int band : {3, 0, -1}) {
        const wt::Picture p = paint("UT5ABC", "RTTY", band);
        const CallGridLayout l = callGridLayout(p.width(), p.height(), band);
        const std::string what = "per-call grid, band " + std::to_string(band);
        for (int row = 1; row <= 6; ++row) {
            const bool marked = l.highlight && row == band + 1;
            wt::checkColor(p.at(5, row * l.rowHeight + l.rowHeight / 2),
                           marked ? RGB(198, 255, 255) : RGB(255, 255, 198), what + ", row " + std::to_string(row));
        }
        wt::check(p.dark({140, 0, 200, 16}) > 0 && p.dark({20, 18, 60, 32}) > 0, what + ": call and header drawn");
        wt::check(p.dark({20, 2 * l.rowHeight, 60, 2 * l.rowHeight + 14}) > 0, what + ": the 80 m row drawn");
        // Below the header's texts, above the 80 m row.
        wt::checkEqual(p.dark({0, 36, p.width(), 2 * l.rowHeight - 1}), 0, what + ": no 160 m row");
    }

    // Resizing the window fits the table to its client area.
    SetWindowPos(dxcc, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{}, inner{};
    GetClientRect(dxcc, &client);
    GetWindowRect(table, &inner);
    MapWindowPoints(nullptr, dxcc, reinterpret_cast<POINT*>(&inner), 2);
    wt::check(inner.left == 1 && inner.top == 1 && inner.right - inner.left == client.right - 4 &&
                  inner.bottom - inner.top == client.bottom - 4,
              "the table follows the window's size");
    dxccTableMadeSmall(f, paint);
    SetWindowPos(dxcc, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
}

void bandChangeTimer(Fixture& f) {
    std::vector<LampPaint> painted;
    const bool opened = f.grids.openBandChange([&](LampPaint p) { painted.push_back(p); });
    Change_Band* band = f.grids.bandChange();
    if (!wt::check(opened && band, "band-change window opens")) return;
    const HWND w = band->window();
    wt::check(!IsWindowVisible(w) && topmost(w) && SendMessageA(w, WM_GETICON, ICON_BIG, 0) != 0,
              "hidden, topmost, with the icon");
    wt::check(f.state.shared.bandChangeWindow == w && band->running(), "published, its timer running");
    wt::check(painted == std::vector<LampPaint>{LampPaint::green}, "the lamp painted green at once");
    wt::check(!f.grids.openBandChange([](LampPaint) {}), "a second opening is refused");

    // A change at the second QSO, three minutes after the first.
    {
        const auto d = f.state.lock();
        for (const int minute : {0, 3}) {
            CInfo q;
            q.call = "DL1ABC";
            q.time = DateTime::fromCalendar(2024, 12, 14, 12, minute, 0);
            d->qsoLog.push_back(q);
            d->index.add(q, static_cast<int>(d->qsoLog.size()) - 1);
        }
    }
    f.state.shared.lastChangeQsoIndex = 1;
    f.state.shared.changeWarning = true;
    f.clock.set(12, 3, 0);
    painted.clear();
    f.grids.startBandChangeTimer(20);
    wt::check(wt::pumpUntil([&] { return !painted.empty(); }, 2000) && painted.back() == LampPaint::red,
              "the next tick turns the lamp red");
    f.clock.set(12, 10, 0);
    const DWORD redAt = GetTickCount();
    wt::check(wt::pumpUntil([&] { return painted.size() == 2; }, 3000) && painted.back() == LampPaint::green,
              "ten minutes after the reference QSO: green");
    const DWORD gap = GetTickCount() - redAt;
    wt::check(gap >= 700 && gap <= 2500, "the tick re-armed itself at a second (" + std::to_string(gap) + " ms)");

    f.grids.stopBandChangeTimer();
    f.clock.set(12, 4, 0);
    f.state.shared.changeWarning = true;
    wt::check(!wt::pumpUntil([&] { return painted.size() > 2; }, 1300), "stopped: no tick");
    // As the companion window does when a change has been logged.
    f.grids.startBandChangeTimer(kBandChangeWarningPeriodMs);
    wt::check(wt::pumpUntil([&] { return painted.size() == 3; }, 1500) && painted.back() == LampPaint::red,
              "re-armed: red within the warning period");

    f.grids.closeBandChange();
    wt::check(!IsWindow(w) && f.state.shared.bandChangeWindow == nullptr, "closed: window gone, handle cleared");
    f.clock.set(13, 0, 0);
    wt::check(!wt::pumpUntil([&] { return painted.size() > 3; }, 1300), "and the painter is never called again");
    f.grids.startBandChangeTimer(10);  // nothing to start
}

BOOL CALLBACK countDialog(HWND w, LPARAM n) {
    if (wt::className(w) == "#32770") ++*reinterpret_cast<int*>(n);
    return TRUE;
}
// The dialogs of this thread (the system may keep windows of its own here, such as IME's).
int threadDialogs() {
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), countDialog, reinterpret_cast<LPARAM>(&n));
    return n;
}

void nothingLeftBehind(Fixture& f, bool counting) {
    wt::pump();
    wt::GdiCounts& counts = wt::gdiCounts();
    counts = wt::GdiCounts{};
    counts.on = true;
    const HWND table = f.grids.dxcc()->table();
    for (int i = 0; i < 100; ++i) {
        f.view = i % 2 ? WatchView{"UT5ABC", "RTTY", 3} : WatchView{"", "BPSK63", 3};
        f.grids.repaintDxccTable();
        UpdateWindow(table);
        f.grids.clearAreaMarks();
        f.grids.markAreaWorked(areaDisplayOrder[static_cast<size_t>(i) % kAreaCount]);
    }
    wt::pump();
    const wt::GdiCounts repaints = counts;
    const int before = threadDialogs();
    // Counted from no window open to no window open.
    f.grids.closeAll();
    counts = wt::GdiCounts{};
    counts.on = true;
    for (int i = 0; i < 20; ++i) {
        f.grids.closeAll();
        f.grids.openDxcc();
        f.grids.openArea(i % 2 == 0);
        f.grids.openBandChange([](LampPaint) {});
        wt::pump();
    }
    f.grids.closeAll();
    wt::pump();
    counts.on = false;
    if (counting) {
        wt::check(repaints.created >= 200, "repaints make surfaces (" + std::to_string(repaints.created) + ")");
        wt::checkEqual(repaints.deleted, repaints.created, "100 repaints: every GDI object made is deleted");
        wt::checkEqual(counts.deleted, counts.created, "20 openings and closings: every GDI object made is deleted");
        wt::checkEqual(counts.stillSelected, 0, "none was still selected when deleted");
    }
    wt::check(before >= 2 && threadDialogs() == 0,
              "all windows gone after closeAll (" + std::to_string(before) + " dialogs while open)");
    wt::check(!f.state.shared.dxccWindow && !f.state.shared.areaWindow && !f.state.shared.bandChangeWindow,
              "and no handle left published");
}

}  // namespace

int main() {
    return wt::run(90, [] {
        const bool counting = wt::countGdiObjects();
        wt::check(counting, "the windows' GDI calls can be counted");
        Fixture f;
        openingAndKeys(f);
        if (f.grids.dxcc() && f.grids.area()) {
            krAndSlVisibility(f);
            positionSaving(f);
            areaLamps(f);
            dxccTable(f);
            bandChangeTimer(f);
            nothingLeftBehind(f, counting);
        }
    });
}
