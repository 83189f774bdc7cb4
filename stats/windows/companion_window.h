// The companion window `Setup` (template 106): two mode buttons that switch the host
// between RTTY 75 and BPSK63, five options (the DXCC and area windows, the area hint,
// the band-change control, grid windows on top), the band-change lamp, and the home
// of the band and mode watch, which runs at every refresh message. A modal dialog on
// the operator windows' thread; its message loop is the thread's.
//
// The operator types into the host's window meanwhile: the companion opens without
// taking the keyboard, hands it back to that window after a click or a move, ignores
// every key (Enter and Escape close nothing, Space clicks nothing) and closes only by
// its close box or a stop.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "automation/host_object.h"
#include "contest/state.h"
#include "drawn/advanced_button.h"
#include "operator/host_link.h"
#include "operator/watch.h"
#include "settings.h"
#include "win32_owners.h"
#include "windows/dialog_base.h"
#include "windows/grid_window_set.h"
#include "windows/window_setup.h"

// The host's thread's requests (WindowBridge, by postToCompanionWindow): the one way it
// reaches the operator windows. Posted to the companion window, both parameters 0, at
// most one of each kind waiting; the window serves them from the state as it then is.
constexpr UINT kRefreshMessage = WM_USER + 500;  // 1524: run the watch
constexpr UINT kRearmTimerMessage = WM_APP + 1;  // a change was logged: the lamp's timer at 300 ms
constexpr UINT kResetAreaMessage = WM_APP + 2;   // a QSO was removed: clear the area marks

class Setup : public CDialogBase, private HostLink {
public:
    // `hostWindow`: the host's window the operator types in (null: none known).
    Setup(ContestState& state, Settings& settings, BandModeWatch& watch, HWND hostWindow);
    ~Setup() override;

    // Runs the window until it is closed. Binds the host on this thread when it opens
    // and lets it go (with COM) when the object goes.
    void run();
    // Called once, on this thread, when the window is up: bound, the grid windows of
    // the stored options open, and every resource a window may need looked up.
    void whenReady(std::function<void()> ready) { ready_ = std::move(ready); }

private:
    bool onInit() override;
    bool onCommand(int id, int notification) override;
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // HostLink, over the automation client.
    bool bound() const override { return host_.bound(); }
    bool entryField(int field, std::string& text) override;
    bool frequency(double& hertz) override;
    bool mode(std::string& text) override;
    bool executeMacro(const std::string& macro) override;
    // Whether the call worked; lets go of a host that has gone away.
    bool answered(const automation::HostCall& call);

    void applyTexts();
    // The buttons' faces for the mode, after switching the host when `send`; false (and
    // nothing changed) when the bound host refused.
    bool selectMode(bool rtty, bool send);
    // A click on a mode button: the switch, then the choice stored.
    void chooseMode(bool rtty);
    // A click on a button or box; false for an id that is none of them.
    bool runOption(int id);
    void returnKeyboard();
    void endModalLoops();
    void refresh();
    void copyOptionsToBoxes();
    void toggleDxcc();
    void toggleArea();
    void toggleBandChange();
    void toggleOnTop();
    void paintLamp(COLORREF fill, COLORREF outline);
    void paint();

    ContestState& state_;
    Settings& settings_;
    BandModeWatch& watch_;
    HWND hostWindow_;
    automation::HostObject host_;
    GridWindowSet grids_;
    SavedPosition position_;
    CAdvancedButton rtty_, bpsk_;
    win32::Brush background_;
    win32::MemoryDC surface_;
    win32::Bitmap surfaceBitmap_;
    win32::ScopedSelect surfaceBitmapSelection_, surfacePenSelection_, surfaceBrushSelection_;
    win32::Pen lampPen_;
    win32::Brush lampBrush_;
    COLORREF lampColour_ = 0;
    bool dxccOption_ = false, areaOption_ = false, hintOption_ = false, bandChangeOption_ = false, onTopOption_ = false;
    std::function<void()> ready_;
};

// The operator windows' thread: started by a scoring run, stopped on unload and when
// a run starts them again. The host's thread calls these.
void startCompanionWindow(ContestState& state);
void stopCompanionWindow();
bool companionWindowRunning();
// Posts `message` to the companion window when it is open.
void postToCompanionWindow(UINT message);
