#include "windows/companion_window.h"

#include <atomic>
#include <iterator>
#include <utility>

#include "operator/texts.h"
#include "platform/seams.h"
#include "resources/resource.h"
#include "windows/wide_text.h"
#include "windows/window_setup.h"
#include "windows/window_thread.h"

namespace {

constexpr COLORREF kBackground = 0xC6FAFF;
constexpr COLORREF kTextBackground = 0xC6F0FF;
constexpr COLORREF kSelected = 0x00FF00;
constexpr COLORREF kNotSelected = 0xF0F0F0;
constexpr COLORREF kButtonText = 0x010101;
constexpr COLORREF kButtonTextDisabled = 0x808080;
constexpr COLORREF kLampGreen = 0x00FF00;
constexpr COLORREF kLampRed = 0x0000FF;
constexpr COLORREF kBlack = 0x000000;
const RECT kLamp = {180, 80, 200, 100};

int settingInt(Settings& s, const char* key) { return s.getInt(key); }

// Set by a stop; a window still being created when it came closes as soon as it exists.
std::atomic<bool> stopRequested{false};

// At most one of each of the host thread's requests waits in the window's queue: each
// is served from the state as it is then, so one covers all posted before it. A host
// removing QSOs one by one faster than the window can repaint its area lamps and ask the
// host for its state would otherwise pile hundreds of them up, and a close request
// would wait behind them all.
constexpr UINT kQueuedMessages[] = {kRefreshMessage, kRearmTimerMessage, kResetAreaMessage};
std::atomic<bool> queued[std::size(kQueuedMessages)];

std::atomic<bool>* queuedFlag(UINT message) {
    for (size_t i = 0; i < std::size(kQueuedMessages); ++i)
        if (kQueuedMessages[i] == message) return &queued[i];
    return nullptr;
}

// Posts `message` unless one of its kind is still waiting.
void postOnce(HWND window, UINT message) {
    std::atomic<bool>* flag = queuedFlag(message);
    if (flag && flag->exchange(true)) return;
    if (!PostMessageW(window, message, 0, 0) && flag) *flag = false;
}

void queueRefresh(HWND window) { postOnce(window, kRefreshMessage); }

// The companion window whose keys are dropped: the one open on this thread.
thread_local HWND keylessWindow = nullptr;

// The operator types into the host while the companion window stands beside it: a key
// that reaches the companion (it was clicked, or activated from the task bar) must do
// nothing there. The dialog's own loop would turn Enter and Escape into OK and Cancel and
// Space into a click of the focused button (a mode macro sent to the host, a grid window
// closed), so every key to it or its controls is dropped before the loop looks at it.
// Keys with Alt pass: the system menu and Alt+F4, which is the close box.
LRESULT CALLBACK dropCompanionKeys(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && m && keylessWindow && (m->hwnd == keylessWindow || IsChild(keylessWindow, m->hwnd)))
        if (m->message == WM_KEYDOWN || m->message == WM_KEYUP || m->message == WM_CHAR || m->message == WM_DEADCHAR)
            return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

Setup::Setup(ContestState& state, Settings& settings, BandModeWatch& watch, HWND hostWindow)
    : state_(state),
      settings_(settings),
      watch_(watch),
      hostWindow_(hostWindow),
      grids_(state, settings, defaultPlatform().clock),
      position_(settings, "master_x", "master_y") {
    grids_.setView(&watch_.view());
}

Setup::~Setup() = default;

void Setup::run() {
    const win32::WindowsHook keys(SetWindowsHookExW(WH_MSGFILTER, &dropCompanionKeys, nullptr, GetCurrentThreadId()));
    runModal(IDD_SETUP);
    keylessWindow = nullptr;
}

void Setup::returnKeyboard() {
    if (hostWindow_ && IsWindow(hostWindow_)) SetForegroundWindow(hostWindow_);
}

bool Setup::onInit() {
    state_.shared.companionWindow = window();
    keylessWindow = window();
    position_.read(10, 400);

    bpsk_.AttachItem(IDC_SETUP_BPSK, window(), kNotSelected, kButtonText, kButtonTextDisabled);
    rtty_.AttachItem(IDC_SETUP_RTTY, window(), kNotSelected, kButtonText, kButtonTextDisabled);
    bpsk_.SetShape(0);
    rtty_.SetShape(0);

    // Always topmost, whatever the on-top option says (that one is the grid windows').
    position_.moveTo(window());
    makeTopmost(window());

    background_.reset(CreateSolidBrush(kBackground));
    setLargeIcon(window());

    // No running host is an ordinary case: the window works without one.
    (void)host_.bind();
    // What the windows opened later are made of (their icon is this window's), while the
    // host's thread still waits.
    for (const int dialog : {IDD_MULTIPLIER, IDD_AREA, IDD_BAND_CHANGE}) (void)dialogTemplate(dialog);

    dxccOption_ = settingInt(settings_, "DXCC") != 0;
    areaOption_ = settingInt(settings_, "Obl") != 0;
    hintOption_ = settingInt(settings_, "setup_mast") != 0;
    state_.shared.areaHintEnabled = hintOption_;

    applyTexts();

    const std::string savedMode = settings_.get("Mode");
    if (savedMode == "RTTY" || savedMode.empty())
        selectMode(true, true);
    else if (savedMode == "BPSK")
        selectMode(false, true);
    // Any other stored value sends nothing and shows neither button selected.

    bandChangeOption_ = false;
    onTopOption_ = false;
    grids_.setOnTop(false);
    copyOptionsToBoxes();

    // The picture the lamp is drawn on, as large as the screen, in the window's colour.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    {
        win32::WindowDC screen(window());
        surface_.reset(CreateCompatibleDC(screen.get()));
        surfaceBitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
    }
    if (surface_ && surfaceBitmap_) {
        surfaceBitmapSelection_ = win32::ScopedSelect(surface_.get(), surfaceBitmap_.get());
        RECT all = {0, 0, width, height};
        FillRect(surface_.get(), &all, background_.get());
        lampPen_.reset(CreatePen(PS_SOLID, 1, kBlack));
        surfacePenSelection_ = win32::ScopedSelect(surface_.get(), lampPen_.get());
    }

    // The grid windows of stored options open at this first refresh, not here.
    state_.shared.refreshPending = true;
    for (auto& flag : queued) flag = false;
    queueRefresh(window());
    if (stopRequested) PostMessageW(window(), WM_CLOSE, 0, 0);
    // Shown here, not by the dialog's loop, which would activate it; and no control is
    // given the focus, which would activate it too: the keyboard stays with the host.
    showWithoutActivating(window());
    setCursorOnce(window());
    return false;
}

void Setup::applyTexts() {
    const auto snapshot = state_.snapshot();
    const bool russian = snapshot.russianTexts;
    if (russian) {
        MoveWindow(item(IDC_SETUP_VIEW_LABEL), 10, 12, 70, 20, TRUE);
        setItemText(IDC_SETUP_CHOICE_LABEL, "Выбор моды");
        setItemText(IDC_SETUP_VIEW_LABEL, "Отображать");
        setItemText(IDC_SETUP_HINT, "Подсказку");
        setItemText(IDC_SETUP_BAND_CHANGE, "Контроль за переходами");
        setItemText(IDC_SETUP_ON_TOP, "Поверх окон");
    } else {
        setItemText(IDC_SETUP_CHOICE_LABEL, "Choice mode");
        setItemText(IDC_SETUP_VIEW_LABEL, "View");
        setItemText(IDC_SETUP_HINT, "Hint");
        setItemText(IDC_SETUP_BAND_CHANGE, "Control of change Band,Mode");
        setItemText(IDC_SETUP_ON_TOP, "Window on top");
    }
    setWindowTextCp1251(window(), companionTitle(russian, snapshot.contestStartYear));
}

bool Setup::selectMode(bool rtty, bool send) {
    // Without a host (none ran, or it has gone away) the faces still change and the choice
    // is still stored; a host that refuses the switch keeps both as they were, for it
    // stayed in its mode.
    if (send && host_.bound()) {
        const bool switched = rtty ? executeMacro("<MODE:RTTY>") && executeMacro("<BAUDRATE:75>")
                                   : executeMacro("<MODE:BPSK31>") && executeMacro("<BAUDRATE:63>");
        if (!switched && host_.bound()) {
            defaultPlatform().diagnostics.fault(std::string("the host refused the switch to ") +
                                                (rtty ? "RTTY 75" : "BPSK63") + "; the mode stays as it was");
            return false;
        }
    }
    rtty_.SetBackColor(rtty ? kSelected : kNotSelected);
    bpsk_.SetBackColor(rtty ? kNotSelected : kSelected);
    return true;
}

void Setup::chooseMode(bool rtty) {
    if (!selectMode(rtty, true)) return;
    settings_.set("Mode", rtty ? "RTTY" : "BPSK");
    refresh();
}

void Setup::refresh() {
    state_.shared.refreshPending = true;
    queueRefresh(window());
}

void Setup::copyOptionsToBoxes() {
    const auto set = [&](int id, bool on) { CheckDlgButton(window(), id, on ? BST_CHECKED : BST_UNCHECKED); };
    set(IDC_SETUP_DXCC, dxccOption_);
    set(IDC_SETUP_AREA, areaOption_);
    set(IDC_SETUP_HINT, hintOption_);
    set(IDC_SETUP_BAND_CHANGE, bandChangeOption_);
    set(IDC_SETUP_ON_TOP, onTopOption_);
}

// The boxes open or close their window according to whether it is open, not to the
// box's own check mark.
void Setup::toggleDxcc() {
    if (grids_.dxccOpen()) {
        grids_.closeDxcc();
        dxccOption_ = false;
    } else {
        grids_.openDxcc();
        dxccOption_ = true;
    }
    settings_.set("DXCC", dxccOption_ ? "1" : "0");
    refresh();
}

void Setup::toggleArea() {
    if (grids_.areaOpen()) {
        grids_.closeArea();
        areaOption_ = false;
    } else {
        // HOST-QUIRK: opened from the box, KR and SL stay visible whatever the country.
        grids_.openArea(true);
        areaOption_ = true;
    }
    settings_.set("Obl", areaOption_ ? "1" : "0");
    refresh();
}

void Setup::toggleBandChange() {
    if (grids_.bandChangeOpen()) {
        grids_.closeBandChange();
        bandChangeOption_ = false;
        settings_.set("Timer", "0");
        paintLamp(kBackground, kBackground);
    } else {
        grids_.openBandChange([this](LampPaint p) {
            if (p == LampPaint::red)
                paintLamp(kLampRed, kBlack);
            else if (p == LampPaint::green)
                paintLamp(kLampGreen, kBlack);
        });
        bandChangeOption_ = true;
        settings_.set("Timer", "1");
        paintLamp(kLampGreen, kBlack);
    }
}

void Setup::toggleOnTop() {
    onTopOption_ = !onTopOption_;
    grids_.setOnTop(onTopOption_);
    settings_.set("setup_window_on_top", onTopOption_ ? "1" : "0");
    grids_.closeDxcc();
    grids_.closeArea();
    copyOptionsToBoxes();
    refresh();
}

bool Setup::onCommand(int id, int notification) {
    if (notification != BN_CLICKED) return CDialogBase::onCommand(id, notification);
    const bool handled = runOption(id);
    // A click took the keyboard with the activation: it goes back to where the operator
    // types, as modepad does.
    if (handled) returnKeyboard();
    return handled || CDialogBase::onCommand(id, notification);
}

bool Setup::runOption(int id) {
    switch (id) {
        case IDC_SETUP_RTTY:
            chooseMode(true);
            return true;
        case IDC_SETUP_BPSK:
            chooseMode(false);
            return true;
        case IDC_SETUP_DXCC:
            toggleDxcc();
            return true;
        case IDC_SETUP_AREA:
            toggleArea();
            return true;
        case IDC_SETUP_HINT:
            hintOption_ = !hintOption_;
            state_.shared.areaHintEnabled = hintOption_;
            settings_.set("setup_mast", hintOption_ ? "1" : "0");
            copyOptionsToBoxes();
            return true;
        case IDC_SETUP_BAND_CHANGE:
            toggleBandChange();
            return true;
        case IDC_SETUP_ON_TOP:
            toggleOnTop();
            return true;
        default:
            return false;
    }
}

void Setup::paintLamp(COLORREF fill, COLORREF outline) {
    if (!surface_) return;
    lampColour_ = fill;
    // The new brush and pen replace the old ones in the picture before those are deleted.
    win32::Brush brush(CreateSolidBrush(fill));
    win32::Pen pen(CreatePen(PS_SOLID, 1, outline));
    if (brush && pen) {
        surfaceBrushSelection_.reset();
        surfacePenSelection_.reset();
        surfaceBrushSelection_ = win32::ScopedSelect(surface_.get(), brush.get());
        surfacePenSelection_ = win32::ScopedSelect(surface_.get(), pen.get());
        lampBrush_ = std::move(brush);
        lampPen_ = std::move(pen);
        Ellipse(surface_.get(), kLamp.left, kLamp.top, kLamp.right, kLamp.bottom);
    }
    InvalidateRect(window(), nullptr, FALSE);
}

void Setup::paint() {
    win32::PaintDC dc(window());
    RECT client;
    GetClientRect(window(), &client);
    if (surface_) BitBlt(dc.get(), 0, 0, client.right, client.bottom, surface_.get(), 0, 0, SRCCOPY);
}

INT_PTR Setup::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (std::atomic<bool>* flag = queuedFlag(message)) {
        // Requests from here on need a message of their own.
        *flag = false;
        // Closing: the host's thread waits for the close, and these would only delay it.
        if (stopRequested) return TRUE;
    }
    switch (message) {
        case kRefreshMessage:
            watch_.refresh(*this, grids_, dxccOption_, areaOption_);
            // The first refresh, posted at opening, opens the grid windows of the stored
            // options: with it the window is up.
            if (ready_) std::exchange(ready_, nullptr)();
            return TRUE;
        case kRearmTimerMessage:
            // The lamp reacts sooner to a change just logged.
            if (grids_.bandChangeOpen()) grids_.startBandChangeTimer(kBandChangeWarningPeriodMs);
            return TRUE;
        case kResetAreaMessage:
            if (grids_.areaOpen()) grids_.clearAreaMarks();
            // A refresh waiting ahead of this one has marked the lamps already: the
            // marks come back with a refresh after this.
            queueRefresh(window());
            return TRUE;
        case WM_SETCURSOR:
            position_.saveIfMoved(window());
            return FALSE;  // the default handling sets the cursor
        case WM_EXITSIZEMOVE:
            // Moved by its caption, which activated it.
            position_.saveIfMoved(window());
            returnKeyboard();
            return FALSE;
        case WM_CLOSE:
            // The close box or a stop; Escape, which the dialog would also make Cancel,
            // never gets here (see dropCompanionKeys).
            if (stopRequested) endModalLoops();
            // Left with one of these windows, the keyboard would go to whatever window
            // the system picks next (modepad, always on top), not to the host's.
            if (GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId()) returnKeyboard();
            end(IDCANCEL);
            return TRUE;
        case WM_PAINT:
            paint();
            return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kBlack);
            SetBkColor(dc, kTextBackground);
            return reinterpret_cast<INT_PTR>(background_.get());
        }
        case WM_DESTROY:
            // The band-change timer stops before anything it paints on goes.
            grids_.closeAll();
            state_.shared.companionWindow = nullptr;
            return FALSE;
        default:
            (void)lParam;
            return FALSE;
    }
}

// Once a stop has come, the host is asked nothing more. Its thread is unloading the
// library under the loader lock, and a call may need a new thread of the system's to be
// delivered, which cannot start meanwhile: the call, and so the stop, would wait in vain.
bool Setup::entryField(int field, std::string& text) {
    if (stopRequested) return false;
    auto r = host_.entryField(field);
    if (!answered(r.call)) return false;
    text = std::move(r.value);
    return true;
}

bool Setup::frequency(double& hertz) {
    if (stopRequested) return false;
    const auto r = host_.frequency();
    if (!answered(r.call)) return false;
    hertz = r.value;
    return true;
}

bool Setup::mode(std::string& text) {
    if (stopRequested) return false;
    auto r = host_.mode();
    if (!answered(r.call)) return false;
    text = std::move(r.value);
    return true;
}

bool Setup::executeMacro(const std::string& macro) {
    if (stopRequested || !host_.bound()) return false;
    return answered(host_.executeMacros(macro));
}

// A host whose process has ended is let go at once, and the window goes on as without
// one: every call to it would fail all the same, each after a wait, and its binding would
// otherwise be released during the unload, when that wait holds up the host's thread.
bool Setup::answered(const automation::HostCall& call) {
    if (call.ok()) return true;
    const long gone[] = {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE),
                         HRESULT_FROM_WIN32(RPC_S_CALL_FAILED),
                         RPC_E_DISCONNECTED,
                         RPC_E_SERVER_DIED,
                         RPC_E_SERVER_DIED_DNE,
                         CO_E_OBJNOTCONNECTED};
    for (const long code : gone)
        if (call.code == code) host_.unbind();
    return false;
}

// A move or size by the mouse and a menu run loops of the system's own on this thread,
// which end with the mouse button or a key: a stop would wait for the operator to let go.
// Cancel mode is the system's way to end them; Wine's move loop heeds only Escape.
void Setup::endModalLoops() {
    if (const HWND captured = GetCapture()) {
        SendMessageW(captured, WM_CANCELMODE, 0, 0);
        PostMessageW(captured, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    EndMenu();
}

// ---- the operator windows' thread ---------------------------------------------------

namespace {

WindowThread windowThread;

// The watch's memory lasts as long as the library: one per loaded plug-in.
BandModeWatch& watchOf(ContestState& state) {
    static BandModeWatch watch(state);
    return watch;
}

std::atomic<ContestState*> shownState{nullptr};

void askCompanionToClose() {
    stopRequested = true;
    if (ContestState* s = shownState.load())
        if (void* w = s->shared.companionWindow.load()) PostMessageW(static_cast<HWND>(w), WM_CLOSE, 0, 0);
}

}  // namespace

namespace {

// The window the operator types in, which keeps the keyboard while the operator windows
// open and gets it back after a click in them: the host's thread's active window, or the
// foreground window when it is one of this process's.
HWND hostsKeyboardWindow() {
    if (const HWND active = CDialogBase::callersActiveWindow()) return active;
    const HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId() ? foreground : nullptr;
}

}  // namespace

void startCompanionWindow(ContestState& state) {
    if (windowThread.running()) stopCompanionWindow();
    shownState = &state;
    stopRequested = false;
    BandModeWatch& watch = watchOf(state);
    const HWND hostWindow = hostsKeyboardWindow();
    const bool started = windowThread.start([&state, &watch, hostWindow] {
        if (state.shared.companionWindow) return;
        Settings settings(defaultPlatform().profile);
        Setup setup(state, settings, watch, hostWindow);
        setup.whenReady([] { windowThread.signalReady(); });
        setup.run();
        state.shared.companionWindow = nullptr;
    });
    // The host's thread goes on once the window thread needs nothing more of the loader
    // (see window_thread.h); a host that does not answer costs at most the limit.
    if (started) (void)windowThread.waitReady();
}

void stopCompanionWindow() { windowThread.stop(&askCompanionToClose); }

bool companionWindowRunning() { return windowThread.running(); }

void postToCompanionWindow(UINT message) {
    ContestState* s = shownState.load();
    const HWND w = s ? static_cast<HWND>(s->shared.companionWindow.load()) : nullptr;
    if (!w) return;
    postOnce(w, message);
}
