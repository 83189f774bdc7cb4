// The operator windows as far as the host's thread reaches into them. The windows live
// on a thread of their own; each request is carried out there (or is a no-op while the
// window it concerns does not exist).
#pragma once

class ContestState;

class WindowBridge {
public:
    virtual ~WindowBridge() = default;
    virtual bool companionRunning() = 0;
    // The windows show and follow this state.
    virtual void startCompanion(ContestState& state) = 0;
    virtual void postRefresh() = 0;           // refresh message to the companion window
    virtual void rearmBandChangeTimer() = 0;  // when the band-change window exists
    virtual void resetAreaWindow() = 0;       // when the area window exists
};
