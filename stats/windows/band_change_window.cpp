#include "windows/band_change_window.h"

#include "resources/resource.h"
#include "windows/window_setup.h"

Change_Band::Change_Band(ContestState& state, const Settings& settings, Clock& clock)
    : state_(state), settings_(settings), clock_(clock) {}

Change_Band::~Change_Band() {
    stop();
    paint_ = nullptr;
    destroy();
}

bool Change_Band::open(LampPainter paint) {
    if (!createModeless(IDD_BAND_CHANGE)) return false;
    paint_ = std::move(paint);
    publishWindow(state_.shared.bandChangeWindow, window());
    lamp_.switchedOn();
    start(kBandChangePeriodMs);
    if (paint_) paint_(LampPaint::green);
    return true;
}

void Change_Band::start(UINT periodMs) {
    if (!window()) return;
    // The same id replaces a running timer's period and restarts its count.
    running_ = SetTimer(window(), kBandChangeTimerId, periodMs, nullptr) != 0;
}

void Change_Band::stop() {
    // Also takes the timer's messages still waiting in the queue.
    if (window()) KillTimer(window(), kBandChangeTimerId);
    running_ = false;
}

bool Change_Band::onInit() {
    // The window is never seen; its saved position is honoured all the same, and never
    // written back.
    SavedPosition position(settings_, "change_band_x", "change_band_y");
    position.read();
    position.moveTo(window());
    makeTopmost(window());
    setLargeIcon(window());
    return false;  // no focus, which would activate it
}

void Change_Band::tick() {
    stop();
    const LampPaint paint = lamp_.tick(state_, clock_.nowUtc());
    // Re-armed before the painter runs: a painter that fails leaves the timer running.
    start(kBandChangePeriodMs);
    if (paint != LampPaint::none && paint_) paint_(paint);
}

INT_PTR Change_Band::onMessage(UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_TIMER:
            // Only one timer lives here; the id is not looked at.
            tick();
            return FALSE;
        case WM_DESTROY:
            stop();
            paint_ = nullptr;
            unpublishWindow(state_.shared.bandChangeWindow, window());
            return FALSE;
        default:
            return FALSE;
    }
}
