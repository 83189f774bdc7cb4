// The band-change lamp's decisions: at each tick of the band-change window's timer, from
// the change flags and the time of the QSO before the last change, whether the lamp
// turns red, turns green, or stays as it is. The window paints what this says.
#pragma once
#include "contest/datetime.h"
#include "contest/state.h"

enum class LampPaint { none, green, red };

class BandChangeLamp {
public:
    // The monitor was switched on: the lamp is painted green.
    void switchedOn() { red_ = false; }
    // One tick at `now` (UTC). Clears the flags it has consumed.
    LampPaint tick(ContestState& state, const DateTime& now);
    bool red() const { return red_; }

private:
    LampPaint turnGreen(SharedFlags& f);
    bool red_ = false;
};
