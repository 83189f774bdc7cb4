// The band-change window (class Change_Band, template IDD_BAND_CHANGE): a window that
// is never shown and exists to own the band-change timer on the operator windows'
// thread. At each tick it asks BandChangeLamp whether the companion window's lamp turns
// red (a band or mode change under ten minutes old), green, or stays, and hands a change
// to the painter the companion window gave it.
//
// Everything here runs on the operator windows' thread; the host's thread reaches it
// only through the companion window (kRearmTimerMessage, windows/companion_window.h).
#pragma once
#include <windows.h>

#include <functional>

#include "contest/state.h"
#include "operator/lamp.h"
#include "platform/seams.h"
#include "settings.h"
#include "windows/dialog_base.h"

// The band-change window's timer and its usual period.
constexpr UINT_PTR kBandChangeTimerId = 1445;
constexpr UINT kBandChangePeriodMs = 1000;
// The period a new change warning re-arms the timer with, so the lamp reacts sooner.
constexpr UINT kBandChangeWarningPeriodMs = 300;

class Change_Band : public CDialogBase {
public:
    // Paints the companion window's lamp green or red; never given LampPaint::none.
    using LampPainter = std::function<void(LampPaint)>;

    Change_Band(ContestState& state, const Settings& settings, Clock& clock);
    // Stops the timer and destroys the window: no tick, and no call of the painter,
    // comes after it.
    ~Change_Band() override;

    // Creates the window (hidden, topmost, unowned), publishes it in
    // state.shared.bandChangeWindow, starts the timer at kBandChangePeriodMs and paints
    // the lamp green. False when it could not be created (or is already open).
    bool open(LampPainter paint);
    // (Re)starts the timer with this period; nothing while the window is not open.
    void start(UINT periodMs);
    void stop();
    bool running() const { return running_; }
    // The lamp as painted last.
    bool red() const { return lamp_.red(); }

private:
    bool onInit() override;
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void tick();

    ContestState& state_;
    Settings settings_;
    Clock& clock_;
    BandChangeLamp lamp_;
    LampPainter paint_;
    bool running_ = false;
};
